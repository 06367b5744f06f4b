// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/runhistory.h"

#include "posix/filedescriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr QStringView suffix = u".journal";

// A run's ID split into its second and its number within that second; no
// second for a name of another shape.
struct RunKey
{
    QStringView second;
    qint64 number = 0;
};

RunKey runKey(QStringView id)
{
    // yyyyMMdd-HHmmss
    constexpr qsizetype stampSize = 15;
    const auto digits = [](QStringView text) {
        return !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                              [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (id.size() < stampSize || !digits(id.first(8)) || id[8] != u'-' || !digits(id.sliced(9, 6)))
        return {};
    if (id.size() == stampSize)
        return {id, 1};
    const QStringView number = id.sliced(stampSize + 1);
    // Numbers past 2 written with leading zeros are no names this program gives.
    if (id[stampSize] != u'-' || !digits(number) || number.size() > 9 || number[0] == u'0')
        return {};
    const qint64 value = number.toLongLong();
    return value >= 2 ? RunKey{id.first(stampSize), value} : RunKey{};
}

// The journals in `folder`, newest first.
QFileInfoList journalFiles(const QString &folder)
{
    QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name);
    std::stable_sort(files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return RunHistory::isNewer(QStringView(a.fileName()).chopped(suffix.size()),
                                   QStringView(b.fileName()).chopped(suffix.size()));
    });
    return files;
}

} // namespace

namespace RunHistory {

QString runsFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Velnor/runs");
}

bool isNewer(QStringView id, QStringView other)
{
    const RunKey a = runKey(id);
    const RunKey b = runKey(other);
    if (a.second.isEmpty() || b.second.isEmpty()) {
        if (a.second.isEmpty() != b.second.isEmpty())
            return b.second.isEmpty();
        return id > other;
    }
    const int second = a.second.compare(b.second);
    return second != 0 ? second > 0 : a.number > b.number;
}

// A lock lives with the open file, so it is gone once its holder has died.
bool inUse(const QString &path)
{
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return fd.isOpen() && ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

Listing list(const QString &folder)
{
    Listing listing;
    for (const QFileInfo &file : journalFiles(folder)) {
        RunSummary run;
        QString error;
        if (Journal::readSummary(file.filePath(), &run, &error)) {
            run.inUse = inUse(file.filePath());
            listing.runs << run;
        } else
            listing.unreadable.append({file.filePath(), error});
    }
    return listing;
}

qsizetype lastUndoable(const Listing &listing)
{
    for (qsizetype i = 0; i < listing.runs.size(); ++i) {
        const RunSummary::State state = listing.runs[i].state;
        // A run killed before its plan was whole moved nothing.
        if (listing.runs[i].planned > 0 &&
            (state == RunSummary::State::Complete || state == RunSummary::State::Interrupted ||
             state == RunSummary::State::Redone || state == RunSummary::State::PartlyUndone))
            return i;
    }
    return -1;
}

qsizetype lastRedoable(const Listing &listing)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < listing.runs.size(); ++i) {
        const qint64 when = listing.runs[i].lastUndoOrRedo;
        if (when > 0 && (last < 0 || when > listing.runs[last].lastUndoOrRedo))
            last = i;
    }
    if (last < 0 || listing.runs[last].lastWasRedo)
        return -1;
    const RunSummary::State state = listing.runs[last].state;
    return state == RunSummary::State::Undone || state == RunSummary::State::UndoInterrupted ||
                   state == RunSummary::State::PartlyUndone
               ? last
               : -1;
}

qsizetype find(const Listing &listing, const QString &id)
{
    for (qsizetype i = 0; i < listing.runs.size(); ++i)
        if (listing.runs[i].id == id)
            return i;
    return -1;
}

void prune(const QString &folder, int keepRuns, qint64 keepBytes)
{
    QFileInfoList files = journalFiles(folder);
    // Only our own journals count and go; what someone else put here is
    // none of ours to remove.
    files.removeIf([](const QFileInfo &file) {
        return runKey(QStringView(file.fileName()).chopped(suffix.size())).second.isEmpty() ||
               file.isSymLink() || file.ownerId() != ::geteuid();
    });
    qint64 bytes = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        bytes += files[i].size();
        if (i > 0 && (i >= keepRuns || bytes > keepBytes))
            QFile::remove(files[i].filePath());
    }
}

} // namespace RunHistory
