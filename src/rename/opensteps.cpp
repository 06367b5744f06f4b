// SPDX-License-Identifier: GPL-3.0-or-later
// Settling the steps of a move that a kill cut in half, on volumes where a
// move takes several (a placeholder claimed, a link before its unlink).
#include "rename/opensteps.h"

#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/nativemove.h"
#include "rename/filematch.h"
#include "rename/journal.h"
#include "rename/undorun.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads up to `size` bytes, fewer only at the end of the file; -1 on error.
ssize_t readFull(int fd, char *into, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += size_t(got);
    }
    return ssize_t(done);
}

// Where a volume gives every name an inode number of its own and counts one
// link for each (sshfs), the two links of one file look like two files. They
// are taken for one only where both are regular files of one owner, size and
// second, holding the same bytes: the name removed then takes no byte with it.
bool sameBytes(int fromDir, const char *from, const struct stat &a, int toDir, const char *to,
               const struct stat &b)
{
    if (!S_ISREG(a.st_mode) || !S_ISREG(b.st_mode) || a.st_uid != b.st_uid ||
        a.st_size != b.st_size || a.st_mtim.tv_sec != b.st_mtim.tv_sec)
        return false;
    const FileDescriptor one(::openat(fromDir, from, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    const FileDescriptor two(::openat(toDir, to, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!one.isOpen() || !two.isOpen())
        return false;
    std::vector<char> x(size_t(1) << 16);
    std::vector<char> y(x.size());
    for (;;) {
        const ssize_t got = readFull(one.get(), x.data(), x.size());
        if (got < 0 || readFull(two.get(), y.data(), y.size()) != got ||
            std::memcmp(x.data(), y.data(), size_t(got)) != 0)
            return false;
        if (got == 0)
            return true;
    }
}

} // namespace

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
        const bool sameFile =
            fileIdentity(from) == fileIdentity(to) ||
            (step.kind == JournalStep::Kind::Link &&
             !FileMatch::stableInodes(journal.moves[step.move].fileSystem) && from.st_nlink == 1 &&
             to.st_nlink == 1 &&
             sameBytes(dir.get(), step.from.constData(), from, toDir, toName.constData(), to));
        const bool settle =
            step.kind == JournalStep::Kind::Link
                ? sameFile && (from.st_nlink > 1 || fileIdentity(from) != fileIdentity(to))
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
