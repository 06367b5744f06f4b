// SPDX-License-Identifier: GPL-3.0-or-later
// Settling the steps of a move that a kill cut in half, on volumes where a
// move takes several (a placeholder claimed, a link before its unlink).
#include "rename/opensteps.h"

#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/nativemove.h"
#include "rename/journal.h"
#include "rename/undorun.h"

#include <QList>
#include <QString>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UndoRun {

bool isEntryName(const QByteArray &name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0');
}

bool isNameBelow(const QByteArray &name)
{
    const QList<QByteArray> parts = name.split('/');
    return std::all_of(parts.cbegin(), parts.cend(), isEntryName);
}

void settleOpenSteps(const RunJournal &journal)
{
    for (const JournalStep &step : journal.openSteps) {
        if (step.kind == JournalStep::Kind::Passing || !isEntryName(step.from) ||
            !isNameBelow(step.to))
            continue;
        // A claim is never made where the two names differ only in case (the
        // exclusive create finds the source), and there both may name one
        // file, whatever inode numbers the volume gives.
        if (QString::fromUtf8(step.from).compare(QString::fromUtf8(step.to), Qt::CaseInsensitive) ==
            0)
            continue;
        const FileDescriptor dir(
            ::open(journal.moves[step.move].folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        // The step's target may be in a folder below, made by the run.
        const qsizetype slash = step.to.lastIndexOf('/');
        const QByteArray toName = step.to.sliced(slash + 1);
        FileDescriptor below;
        if (slash >= 0 && dir.isOpen())
            below.reset(::openat(dir.get(), step.to.first(slash).constData(),
                                 O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        const int toDir = slash >= 0 ? below.get() : dir.get();
        struct stat from;
        struct stat to;
        if (!dir.isOpen() || toDir < 0 ||
            ::fstatat(dir.get(), step.from.constData(), &from, AT_SYMLINK_NOFOLLOW) != 0 ||
            ::fstatat(toDir, toName.constData(), &to, AT_SYMLINK_NOFOLLOW) != 0 ||
            NativeMove::hasExactEntry(toDir, toName.constData()) != 1)
            continue;
        const bool sameFile = fileIdentity(from) == fileIdentity(to);
        const bool settle =
            step.kind == JournalStep::Kind::Link
                ? sameFile && from.st_nlink > 1
                : !sameFile && S_ISREG(to.st_mode) && to.st_size == 0 && to.st_uid == ::geteuid();
        if (settle)
            ::unlinkat(toDir, toName.constData(), 0);
    }
}

void settle(const QString &journalPath)
{
    RunJournal journal;
    QString error;
    if (!Journal::read(journalPath, &journal, &error) || !journal.stepsOpen)
        return;
    JournalAppender appender;
    if (!appender.open(journalPath, &error, journal.damaged ? journal.soundSize : -1))
        return;
    settleOpenSteps(journal);
    appender.settled();
}

} // namespace UndoRun
