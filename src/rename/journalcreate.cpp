// SPDX-License-Identifier: GPL-3.0-or-later
// A new journal: its private folder, its file, and the whole plan written and
// synced before the first move (JournalWriter::begin).
#include "rename/journal.h"

#include "posix/filedescriptor.h"
#include "posix/sidebyside.h"
#include "rename/journalio.h"
#include "rename/pausepoints.h"
#include "rename/twohalves.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using JournalIo::systemReason;
using JournalIo::writeAll;

namespace {

// The deepest folder that holds the folders of every move.
QByteArray commonFolder(const JournalWriter::MoveSource &moves)
{
    if (moves.count == 0)
        return {};
    QList<QByteArray> prefix = moves.folderOf(0).split('/');
    const QByteArray *last = nullptr;
    for (qsizetype i = 0; i < moves.count; ++i) {
        const QByteArray &folder = moves.folderOf(i);
        if (last && *last == folder)
            continue;
        last = &folder;
        const QList<QByteArray> parts = folder.split('/');
        qsizetype same = 0;
        while (same < std::min(prefix.size(), parts.size()) && prefix[same] == parts[same])
            ++same;
        prefix.resize(same);
    }
    const QByteArray joined = prefix.join('/');
    return joined.isEmpty() ? QByteArrayLiteral("/") : joined;
}

// Creates the journal's file under a name made from the start time, claimed
// with an exclusive create so that two runs started in the same second do not
// share one.
int createJournalFile(const QString &folder, qint64 startedMsecs, QString *id, QString *path,
                      int *error)
{
    const QString stamp = QDateTime::fromMSecsSinceEpoch(startedMsecs, Qt::UTC)
                              .toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString candidate =
            attempt == 1 ? stamp : stamp + QLatin1Char('-') + QString::number(attempt);
        const QString file = folder + QLatin1Char('/') + candidate + QStringLiteral(".journal");
        const int fd = ::open(QFile::encodeName(file).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_APPEND, 0600);
        if (fd >= 0) {
            *id = candidate;
            *path = file;
            return fd;
        }
        if (errno != EEXIST) {
            *error = errno;
            return -1;
        }
    }
    *error = EEXIST;
    return -1;
}

// Journal::encodeField, written at `to`, which has room for three bytes a
// byte (and at least one); returns the end.
char *putField(char *to, const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        *to++ = '%';
        return to;
    }
    static const char hex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            *to++ = c;
        } else {
            *to++ = '%';
            *to++ = hex[byte >> 4];
            *to++ = hex[byte & 0xF];
        }
    }
    return to;
}

char *putText(char *to, std::string_view text)
{
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

char *putNumber(char *to, quint64 value)
{
    return std::to_chars(to, to + 20, value).ptr;
}

char *putSigned(char *to, qint64 value)
{
    return std::to_chars(to, to + 20, value).ptr;
}

// The most bytes a field of `bytes` takes, or a number with its space.
qsizetype fieldRoom(const QByteArray &bytes)
{
    return 3 * bytes.size() + 1;
}
constexpr qsizetype numberRoom = 21;

// The plan's records of moves [begin, end): a folder's record before its
// first move, then the move. opensFolder[i] says move i is the first of its
// folder, folderOf[i] is its folder's number.
// Moves [begin, end) of the plan, of which `moves` holds those from `first` on.
QByteArray planRecords(const JournalMove *moves, qsizetype first,
                       const std::vector<qint32> &folderOf, const std::vector<quint8> &opensFolder,
                       qsizetype begin, qsizetype end)
{
    qsizetype room = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const JournalMove &move = moves[i - first];
        room += 5 + 6 * numberRoom + fieldRoom(move.oldName) + fieldRoom(move.newName) + 1;
        if (opensFolder[size_t(i)])
            room += 7 + 2 * numberRoom + fieldRoom(move.folder) + fieldRoom(move.fileSystem) +
                    fieldRoom(move.volume) + 1;
    }
    QByteArray text;
    text.resize(room);
    char *to = text.data();
    for (qsizetype i = begin; i < end; ++i) {
        const JournalMove &move = moves[i - first];
        const quint64 folder = quint64(folderOf[size_t(i)]);
        if (opensFolder[size_t(i)]) {
            to = putText(to, "folder ");
            to = putNumber(to, folder);
            *to++ = ' ';
            to = putField(to, move.folder);
            *to++ = ' ';
            to = putNumber(to, move.device);
            *to++ = ' ';
            to = putField(to, move.fileSystem);
            *to++ = ' ';
            to = putField(to, move.volume);
            *to++ = '\n';
        }
        to = putText(to, "move ");
        to = putNumber(to, quint64(i));
        *to++ = ' ';
        to = putNumber(to, folder);
        *to++ = ' ';
        to = putNumber(to, move.inode);
        *to++ = ' ';
        to = putSigned(to, move.size);
        *to++ = ' ';
        to = putSigned(to, move.modified);
        *to++ = ' ';
        to = putSigned(to, move.born);
        *to++ = ' ';
        to = putField(to, move.oldName);
        *to++ = ' ';
        to = putField(to, move.newName);
        *to++ = '\n';
    }
    text.truncate(to - text.constData());
    return text;
}

// Makes the folder and each missing one above it readable by the user
// alone, whatever the umask: the journals say which files a user has and
// where, and a journal put there by someone else must not be acted on.
bool makePrivateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? path : path.left(slash);
        if (::mkdir(step.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            break;
    }
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool syncFolder(const QString &folder)
{
    const FileDescriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.isOpen() && ::fsync(fd.get()) == 0;
}

} // namespace

bool JournalWriter::begin(const QString &folder, const QList<JournalMove> &moves,
                          qint64 startedMsecs, QString *error)
{
    return begin(folder,
                 MoveSource{moves.size(),
                            [&moves](qsizetype i) -> const QByteArray & { return moves[i].folder; },
                            [&moves](qsizetype from, qsizetype to, JournalMove *out) {
                                std::copy(moves.cbegin() + from, moves.cbegin() + to, out);
                            }},
                 startedMsecs, error);
}

bool JournalWriter::begin(const QString &folder, const MoveSource &moves, qint64 startedMsecs,
                          QString *error)
{
    if (!makePrivateFolder(folder)) {
        *error = QStringLiteral("cannot make the folder %1").arg(folder);
        return false;
    }
    int createError = 0;
    m_fd.reset(createJournalFile(folder, startedMsecs, &m_id, &m_path, &createError));
    if (!m_fd.isOpen()) {
        *error = systemReason(createError);
        return false;
    }
    // Held while the run lasts, so that no undo starts on its files while
    // they are still moving (JournalAppender::open). A file system without
    // locks still runs.
    ::flock(m_fd.get(), LOCK_EX | LOCK_NB);

    QByteArray head = Journal::magic;
    head += ' ' + QByteArray::number(Journal::version) + '\n';
    head += "run " + QByteArray::number(startedMsecs) + ' ' +
            Journal::encodeField(commonFolder(moves)) + '\n';
    // Each folder is numbered where its first move is; the records of a plan
    // of 100,000 moves (several megabytes) are then written in two halves at
    // once, each straight into one buffer.
    std::vector<qint32> folderOf(size_t(moves.count));
    std::vector<quint8> opensFolder(size_t(moves.count), 0);
    QHash<QByteArray, qint32> folderIndex;
    const QByteArray *lastFolder = nullptr;
    qint32 lastIndex = -1;
    for (qsizetype i = 0; i < moves.count; ++i) {
        const QByteArray &folder = moves.folderOf(i);
        if (!lastFolder || *lastFolder != folder) {
            auto found = folderIndex.constFind(folder);
            if (found == folderIndex.cend()) {
                found = folderIndex.insert(folder, qint32(folderIndex.size()));
                opensFolder[size_t(i)] = 1;
            }
            lastFolder = &folder;
            lastIndex = *found;
        }
        folderOf[size_t(i)] = lastIndex;
    }
    // The records go out a block at a time, each block made in two halves
    // at once: the plan of a million moves is some hundred megabytes of text,
    // which is never all held at once. A block's moves and the room for their
    // text come to some hundred and fifty bytes a move, held while the run's
    // entries are: small enough to add little to a run of a million files,
    // large enough that the writes stay few.
    constexpr qsizetype block = 16384;
    const QByteArray tail = "planned " + QByteArray::number(moves.count) + '\n';
    qsizetype size = 0;
    const auto put = [&](QByteArrayView bytes) {
        if (!writeAll(m_fd.get(), bytes.data(), bytes.size()))
            return false;
        size += bytes.size();
        return true;
    };
    const auto putRecords = [&](qsizetype from, qsizetype to) {
        std::array<QByteArray, 2> halves;
        std::vector<JournalMove> made;
        for (qsizetype start = from; start < to; start += block) {
            const qsizetype end = std::min(to, start + block);
            // Fresh moves each block: a fill need not set what it cannot tell.
            made.assign(size_t(end - start), JournalMove());
            moves.fill(start, end, made.data());
            inTwoHalves(end - start, [&](qsizetype begin, qsizetype stop, int half) {
                halves[size_t(half)] = planRecords(made.data(), start, folderOf, opensFolder,
                                                   start + begin, start + stop);
            });
            const qsizetype blockStart = size;
            if (!put(halves[0]) || !put(halves[1]))
                return false;
            halves = {};
            // The block starts on its way to the disk while the next one is
            // made, so that the sync below waits for little more than the
            // last; only that sync says the plan is there.
            (void)::sync_file_range(m_fd.get(), blockStart, size - blockStart,
                                    SYNC_FILE_RANGE_WRITE);
        }
        return true;
    };

    // The plan and the file's own entry in the folder are on disk before the
    // first file moves: a power cut after that still leaves the plan. The
    // entry is there since the file was made, so the folder is synced while
    // the plan is read and written rather than after it.
    int failure = 0;
    int folderFailure = 0;
    sideBySide(
        [&] {
            const qsizetype middle = moves.count / 2;
            if (!put(head) || !putRecords(0, middle))
                failure = errno;
            else
                PausePoints::at("journal");
            if (failure == 0 && (!putRecords(middle, moves.count) || !put(tail)))
                failure = errno;
            else if (failure == 0 && ::fdatasync(m_fd.get()) != 0)
                failure = errno;
        },
        [&] {
            if (!syncFolder(folder))
                folderFailure = errno != 0 ? errno : EIO;
        });
    if (failure == 0)
        failure = folderFailure;
    if (failure != 0) {
        *error = systemReason(failure);
        m_fd.reset();
        ::unlink(QFile::encodeName(m_path).constData());
        return false;
    }
    m_size = size;
    return true;
}
