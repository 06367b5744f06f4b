// SPDX-License-Identifier: GPL-3.0-or-later
// Settling the steps of a move that a kill cut in half, on volumes where a
// move takes several (a placeholder claimed, a link before its unlink).
#include "rename/opensteps.h"

#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/nativemove.h"
#include "rename/journal.h"
#include "rename/undorun.h"

#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UndoRun {

bool isEntryName(const QByteArray &name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
           !name.contains('\0');
}

void settleOpenSteps(const RunJournal &journal)
{
    for (const JournalStep &step : journal.openSteps) {
        if (step.kind == JournalStep::Kind::Passing || !isEntryName(step.from) ||
            !isEntryName(step.to))
            continue;
        // A claim is never made where the two names differ only in case (the
        // exclusive create finds the source), and there both may name one
        // file, whatever inode numbers the volume gives.
        if (QString::fromUtf8(step.from).compare(QString::fromUtf8(step.to), Qt::CaseInsensitive) ==
            0)
            continue;
        const FileDescriptor dir(
            ::open(journal.moves[step.move].folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat from;
        struct stat to;
        if (!dir.isOpen() ||
            ::fstatat(dir.get(), step.from.constData(), &from, AT_SYMLINK_NOFOLLOW) != 0 ||
            ::fstatat(dir.get(), step.to.constData(), &to, AT_SYMLINK_NOFOLLOW) != 0 ||
            NativeMove::hasExactEntry(dir.get(), step.to.constData()) != 1)
            continue;
        const bool sameFile = fileIdentity(from) == fileIdentity(to);
        const bool settle =
            step.kind == JournalStep::Kind::Link
                ? sameFile && from.st_nlink > 1
                : !sameFile && S_ISREG(to.st_mode) && to.st_size == 0 && to.st_uid == ::geteuid();
        if (settle)
            ::unlinkat(dir.get(), step.to.constData(), 0);
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
