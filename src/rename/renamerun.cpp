#include "rename/renamerun.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "posix/namecodec.h"
#include "posix/nativemove.h"
#include "posix/textescape.h"
#include "rename/accessgrant.h"
#include "rename/movelanes.h"
#include "rename/renamelog.h"
#include "rename/userdefaults.h"
#include "rules/namecomposer.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// How many failures the informative text names before it refers to the details.
constexpr qsizetype failuresNamed = 5;

// A name of thousands of characters would flood the log: long names are
// shortened there and in every message.
QString logLine(const QByteArray &fromPath, const QString &newName, const QString &reason)
{
    return QStringLiteral("Cannot rename “%1” to “%2”: %3")
        .arg(TextEscape::path(fromPath), TextEscape::line(TextEscape::shortened(newName)), reason);
}

QString failureReason(int error, const QByteArray &strandedName)
{
    QString text = NativeMove::reason(error);
    if (!strandedName.isEmpty())
        text += QCoreApplication::translate("RenameRun", " (the file was left as “%1”)")
                    .arg(TextEscape::path(strandedName));
    return text;
}

// The components of a path as the access root compares them: the leading
// slash of an absolute path is a component of its own, empty components
// (doubled or trailing slashes) are none.
class Components
{
public:
    explicit Components(QByteArrayView path) : m_path(path) {}

    // The next component, or a null view at the end.
    QByteArrayView next()
    {
        if (m_position == 0 && m_path.startsWith('/')) {
            m_position = 1;
            return m_path.first(1);
        }
        while (m_position < m_path.size() && m_path[m_position] == '/')
            ++m_position;
        if (m_position >= m_path.size())
            return {};
        qsizetype end = m_position;
        while (end < m_path.size() && m_path[end] != '/')
            ++end;
        const QByteArrayView component = m_path.sliced(m_position, end - m_position);
        m_position = end;
        return component;
    }

private:
    QByteArrayView m_path;
    qsizetype m_position = 0;
};

QByteArray joinedComponents(const QList<QByteArrayView> &components)
{
    QByteArray path;
    for (const QByteArrayView component : components) {
        if (!path.isEmpty() && !path.endsWith('/'))
            path += '/';
        path += component;
    }
    return path;
}

// The folder of the record being moved, open for the dirfd-relative moves of
// every following record in it.
class FolderHandle
{
public:
    ~FolderHandle() { release(); }

    // The descriptor of `folder`, or -1 with *error set.
    int open(QByteArrayView folder, int *error)
    {
        if (!m_valid || QByteArrayView(m_folder) != folder) {
            release();
            m_folder = folder.toByteArray();
            m_fd = ::open(m_folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            m_error = m_fd < 0 ? errno : 0;
            m_valid = true;
        }
        *error = m_error;
        return m_fd;
    }

private:
    void release()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_valid = false;
    }

    QByteArray m_folder;
    int m_fd = -1;
    int m_error = 0;
    bool m_valid = false;
};

// The reason for refusing a new name whose bytes (NameCodec) are at hand.
QString refusalFor(const QString &newName, const QByteArray &bytes)
{
    if (newName.isEmpty())
        return QCoreApplication::translate("RenameRun", "The new name is empty.");
    if (newName == u"." || newName == u"..")
        return QCoreApplication::translate("RenameRun", "The new name “%1” is not allowed.")
            .arg(newName);
    if (bytes.size() > 255)
        return QCoreApplication::translate("RenameRun", "The new name is longer than 255 bytes.");
    if (newName.contains(u'/'))
        return QCoreApplication::translate("RenameRun", "The new name contains “/”.");
    if (newName.contains(QChar(0)))
        return QCoreApplication::translate("RenameRun", "The new name contains a NUL character.");
    // A lone surrogate is a byte of the old name that is not UTF-8 (it is
    // written back as that byte), or half a character that has no bytes at
    // all: the name on disk would not be the name shown.
    if (NameCodec::hasForeignSurrogate(newName))
        return QCoreApplication::translate(
            "RenameRun", "The new name holds half of a character (a lone surrogate).");
    return QString();
}

// The folder part of a path whose last slash is at `slash`: "." for a bare
// name, "/" for a file at the root.
QByteArrayView folderOf(const QByteArray &path, qsizetype slash)
{
    return slash < 0 ? QByteArrayView(".") : QByteArrayView(path.constData(), slash ? slash : 1);
}

// Moves the entry's file from oldPath to newPath, both in one folder; on
// failure, the reason in the entry's error.
bool move(FolderHandle &folder, RenameRun::Entry &entry)
{
    const QByteArray &oldPath = entry.oldPath;
    const qsizetype slash = oldPath.lastIndexOf('/');
    int error = 0;
    QByteArray stranded;
    const int dir = folder.open(folderOf(oldPath, slash), &error);
    if (dir >= 0) {
        error = NativeMove::moveAt(dir, oldPath.constData() + slash + 1, dir,
                                   entry.newPath.constData() + slash + 1, &stranded);
    }
    if (error != 0)
        entry.error = failureReason(error, stranded);
    return error == 0;
}

} // namespace

namespace RenameRun {

QString Report::message() const
{
    return QCoreApplication::translate("RenameRun", "%1 renamed successfully.")
        .arg(FileList::countText(renamed));
}

QString Report::informativeText() const
{
    if (failed == 0 && notAttempted == 0)
        return QString();
    QStringList lines;
    if (notAttempted > 0)
        lines << QCoreApplication::translate("RenameRun", "Cancelled: %1 not attempted.")
                     .arg(FileList::countText(notAttempted));
    if (failed == 0)
        return lines.join(u'\n');
    lines << QCoreApplication::translate("RenameRun", "%1 could not be renamed:")
                 .arg(FileList::countText(failed));
    qsizetype named = 0;
    for (const Entry &entry : entries) {
        if (entry.outcome != Outcome::Failed)
            continue;
        if (named == failuresNamed) {
            lines << QCoreApplication::translate("RenameRun", "and %1 more (see the details).")
                         .arg(failed - named);
            break;
        }
        lines << QCoreApplication::translate("RenameRun", "“%1” to “%2”: %3")
                     .arg(TextEscape::line(TextEscape::shortened(entry.oldName)),
                          TextEscape::line(TextEscape::shortened(entry.newName)), entry.error);
        ++named;
    }
    return lines.join(u'\n');
}

QString Report::detailedText() const
{
    QStringList lines;
    for (const Entry &entry : entries) {
        if (entry.outcome == Outcome::Failed)
            // The log's line in the reader's language; the log itself stays English.
            lines << QCoreApplication::translate("RenameRun", "Cannot rename “%1” to “%2”: %3")
                         .arg(TextEscape::path(entry.oldPath),
                              TextEscape::line(TextEscape::shortened(entry.newName)), entry.error);
    }
    return lines.join(u'\n');
}

QByteArray accessRoot(const QList<QByteArray> &paths)
{
    if (paths.isEmpty())
        return QByteArray();
    QList<QByteArrayView> prefix;
    Components first(paths.first());
    for (QByteArrayView component = first.next(); !component.isNull(); component = first.next())
        prefix << component;
    for (qsizetype i = 1; i < paths.size() && !prefix.isEmpty(); ++i) {
        Components components(paths[i]);
        qsizetype equal = 0;
        while (equal < prefix.size()) {
            const QByteArrayView component = components.next();
            if (component.isNull() || component != prefix[equal])
                break;
            ++equal;
        }
        if (equal < prefix.size())
            prefix.resize(equal);
    }
    if (paths.size() < 2 && prefix.size() > 1)
        prefix.removeLast();
    return joinedComponents(prefix);
}

QString refusalReason(const QString &newName)
{
    return refusalFor(newName, NameCodec::encode(newName));
}

bool renameFile(const QByteArray &from, const QByteArray &to, QString *error)
{
    const auto split = [](const QByteArray &path) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash < 0)
            return std::pair(QByteArray("."), path);
        return std::pair(slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1));
    };
    const auto [fromFolder, fromName] = split(from);
    const auto [toFolder, toName] = split(to);
    int result = 0;
    QByteArray stranded;
    const int fromDir = ::open(fromFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fromDir < 0) {
        result = errno;
    } else {
        const int toDir = toFolder == fromFolder
                              ? fromDir
                              : ::open(toFolder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (toDir < 0) {
            result = errno;
        } else {
            result = NativeMove::moveAt(fromDir, fromName.constData(), toDir, toName.constData(),
                                        &stranded);
            if (toDir != fromDir)
                ::close(toDir);
        }
        ::close(fromDir);
    }
    if (result == 0)
        return true;
    const QString reason = failureReason(result, stranded);
    RenameLog::write(logLine(from, NameCodec::decode(toName), reason));
    if (error)
        *error = reason;
    return false;
}

Report clickStart(FileList &list, const NameComposer &composer, AccessPrompt *prompt,
                  UserDefaults *defaults, const Progress &progress, const std::atomic<bool> *cancel)
{
    return clickStart(
        list,
        [&composer, &list](const ZQFile &file, qint64 row) {
            return composer.newNameForFile(
                file, list.counterIndex(row, composer.settings().counterPerFolder));
        },
        prompt, defaults, progress, cancel);
}

Report clickStart(FileList &list, const NameSource &newNameForFile, AccessPrompt *prompt,
                  UserDefaults *defaults, const Progress &progress, const std::atomic<bool> *cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    Report report;
    if (list.isEmpty())
        return report;

    const auto &files = list.contentsArray();
    const qsizetype total = list.count();
    if (prompt) {
        QList<QByteArray> paths;
        paths.reserve(total);
        for (const auto &file : files)
            paths << file->nativePath();
        const QByteArray root = accessRoot(paths);
        paths.clear();
        std::unique_ptr<UserDefaults> ownDefaults;
        if (!defaults) {
            ownDefaults = std::make_unique<UserDefaults>();
            defaults = ownDefaults.get();
        }
        if (!storedGrantCovers(root, *defaults) && !requestFilesystem(root, *prompt, *defaults))
            return report;
    }
    report.ran = true;
    report.entries.resize(total);
    Entry *const entries = report.entries.data();

    // The walk keeps stored order; the counter index is the row the table
    // shows the record in, so that the names applied are the names previewed
    // in either sort direction.
    //
    // The moves run on threads of their own, one lane of folders each, while
    // this thread works out the names ahead of them and then writes the
    // outcomes, the log lines and the progress behind them, in stored order.
    // Inside a folder the moves keep stored order; moves in different folders
    // cannot meet, so every outcome is the one a single walk would have. The
    // user-space work then hides behind the time the file system takes, and
    // folders on different processors move side by side. Each side hands over
    // in batches, so that waking the other costs little.
    constexpr qsizetype batch = 64;
    struct Lane
    {
        std::thread mover;
        std::atomic<qsizetype> moved{0}; // every move of the lane before it is done
        // Where the mover stopped, set before its last hand-over.
        std::atomic<qsizetype> attempted{std::numeric_limits<qsizetype>::max()};
    };
    MoveLanes laneMap(MoveLanes::defaultLaneCount());
    const auto lanes = std::make_unique<Lane[]>(size_t(laneMap.laneCount()));
    // The lane of each position's move, or -1 when it needs none.
    std::vector<qint8> laneAt(size_t(total), -1);
    std::atomic<qsizetype> named{0};
    const auto publish = [](std::atomic<qsizetype> &counter, qsizetype value) {
        counter.store(value, std::memory_order_release);
        counter.notify_all();
    };
    const auto awaitBeyond = [](const std::atomic<qsizetype> &counter, qsizetype position) {
        qsizetype seen = counter.load(std::memory_order_acquire);
        while (seen <= position) {
            counter.wait(seen, std::memory_order_acquire);
            seen = counter.load(std::memory_order_acquire);
        }
    };

    // Set when this thread gives up on the run (an exception from a name, the
    // progress or the log): the movers then stop before their next move.
    std::atomic<bool> stop{false};
    const auto moveLane = [&](int laneIndex, qsizetype first) {
        Lane &lane = lanes[size_t(laneIndex)];
        FolderHandle folder;
        qsizetype position = first;
        qsizetype sinceHandOver = 0;
        for (; position < total; ++position) {
            awaitBeyond(named, position);
            if (stop.load(std::memory_order_acquire) || cancelled())
                break;
            if (laneAt[size_t(position)] != laneIndex)
                continue;
            Entry &entry = entries[position];
            if (!move(folder, entry))
                entry.outcome = Outcome::Failed;
            if (++sinceHandOver == batch) {
                publish(lane.moved, position + 1);
                sinceHandOver = 0;
            }
        }
        lane.attempted.store(position, std::memory_order_relaxed);
        publish(lane.moved, total);
    };
    const auto joinMovers = [&] {
        for (int i = 0; i < laneMap.laneCount(); ++i) {
            if (lanes[size_t(i)].mover.joinable())
                lanes[size_t(i)].mover.join();
        }
    };

    const auto recordMove = [&](qsizetype position) {
        const Entry &entry = entries[position];
        ZQFile *file = files[size_t(position)].get();
        list.setNativePath(file, entry.newPath);
        file->setName(entry.newName);
    };

    list.beginPathChanges();
    qsizetype recorded = 0;
    // Positions from here on were never named, when the run was cancelled.
    qsizetype namedEnd = total;
    try {
        const bool descending = list.sortDescending();
        for (qsizetype position = 0; position < total; ++position) {
            if (cancelled()) {
                namedEnd = position;
                publish(named, total);
                break;
            }
            const ZQFile *file = files[size_t(position)].get();
            const qint64 row = FileList::rowOfPosition(position, total, descending);
            Entry &entry = entries[position];
            entry.oldPath = file->nativePath();
            entry.oldName = file->name();
            entry.newName = newNameForFile(*file, row);
            if (entry.newName == entry.oldName) {
                entry.newPath = entry.oldPath;
                entry.outcome = Outcome::Unchanged;
            } else {
                const QByteArray newName = NameCodec::encode(entry.newName);
                entry.error = refusalFor(entry.newName, newName);
                if (!entry.error.isEmpty()) {
                    entry.outcome = Outcome::Failed;
                } else {
                    const qsizetype slash = entry.oldPath.lastIndexOf('/');
                    entry.newPath.reserve(slash + 1 + newName.size());
                    entry.newPath.append(entry.oldPath.constData(), slash + 1);
                    entry.newPath += newName;
                    entry.outcome = Outcome::Renamed; // until the move says otherwise
                    const int lane = laneMap.laneOf(folderOf(entry.oldPath, slash));
                    laneAt[size_t(position)] = qint8(lane);
                    if (!lanes[size_t(lane)].mover.joinable())
                        lanes[size_t(lane)].mover = std::thread(moveLane, lane, position);
                }
            }
            if ((position + 1) % batch == 0 || position + 1 == total)
                publish(named, position + 1);
        }

        for (; recorded < total; ++recorded) {
            const int lane = laneAt[size_t(recorded)];
            if (lane >= 0)
                awaitBeyond(lanes[size_t(lane)].moved, recorded);
            Entry &entry = entries[recorded];
            if (recorded >= namedEnd) {
                entry.oldPath = files[size_t(recorded)]->nativePath();
                entry.oldName = files[size_t(recorded)]->name();
                entry.newPath = entry.oldPath;
                entry.outcome = Outcome::NotAttempted;
            } else if (lane >= 0 &&
                       recorded >= lanes[size_t(lane)].attempted.load(std::memory_order_relaxed)) {
                entry.outcome = Outcome::NotAttempted;
            }
            switch (entry.outcome) {
            case Outcome::Renamed:
                recordMove(recorded);
                ++report.renamed;
                break;
            case Outcome::Failed:
                ++report.failed;
                RenameLog::write(logLine(entry.oldPath, entry.newName, entry.error));
                break;
            case Outcome::Unchanged:
                ++report.unchanged;
                break;
            case Outcome::NotAttempted:
                ++report.notAttempted;
                break;
            }
            if (progress && ((recorded + 1) % 1024 == 0 || recorded + 1 == total))
                progress(recorded + 1, total);
        }
    } catch (...) {
        // The movers must not outlive this frame, and every file they moved
        // must have its record follow it, or the list would name files that
        // are gone. Entries they never reached are not moved.
        stop.store(true, std::memory_order_release);
        publish(named, total);
        joinMovers();
        for (qsizetype position = recorded; position < total; ++position) {
            const int lane = laneAt[size_t(position)];
            if (lane >= 0 &&
                position < lanes[size_t(lane)].attempted.load(std::memory_order_relaxed) &&
                entries[position].outcome == Outcome::Renamed)
                recordMove(position);
        }
        list.endPathChanges();
        throw;
    }
    joinMovers();
    list.endPathChanges();
    return report;
}

} // namespace RenameRun
