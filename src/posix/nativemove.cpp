// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/nativemove.h"

#include "posix/filedescriptor.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Errors by which link() says the file system has no hard links at all, as
// opposed to a reason that concerns this move.
bool linkUnsupported(int error)
{
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EMLINK;
}

int moveNoReplace(int fromDir, const char *fromName, int toDir, const char *toName,
                  NativeMove::MoveSteps *steps)
{
    if (renameat2(fromDir, fromName, toDir, toName, RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
    const int linkError = NativeMove::linkMove(fromDir, fromName, toDir, toName, steps);
    if (linkError == 0 || !linkUnsupported(linkError))
        return linkError;
    return NativeMove::placeholderMove(fromDir, fromName, toDir, toName, steps);
}

bool sameFile(int fromDir, const char *fromName, int toDir, const char *toName)
{
    struct stat from;
    struct stat to;
    return fstatat(fromDir, fromName, &from, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(toDir, toName, &to, AT_SYMLINK_NOFOLLOW) == 0 && from.st_dev == to.st_dev &&
           from.st_ino == to.st_ino;
}

// Whether `name` in the folder is still the empty placeholder with this
// identity, that is, ours and untouched.
bool isOurPlaceholder(int dir, const char *name, const struct stat &claimed)
{
    struct stat now;
    return fstatat(dir, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == claimed.st_dev &&
           now.st_ino == claimed.st_ino && now.st_size == 0 && S_ISREG(now.st_mode);
}

} // namespace

namespace NativeMove {

int linkMove(int fromDir, const char *fromName, int toDir, const char *toName, MoveSteps *steps)
{
    if (steps) {
        if (const int refused = steps->before(MoveSteps::Step::Link, fromName, toName))
            return refused;
    }
    if (linkat(fromDir, fromName, toDir, toName, 0) != 0) {
        const int error = errno;
        if (steps)
            steps->abandoned(MoveSteps::Step::Link);
        return error;
    }
    if (steps)
        steps->after(MoveSteps::Step::Link);
    if (unlinkat(fromDir, fromName, 0) != 0) {
        const int error = errno;
        // The file must not end up under two names when the move failed.
        unlinkat(toDir, toName, 0);
        return error;
    }
    return 0;
}

int placeholderMove(int fromDir, const char *fromName, int toDir, const char *toName,
                    MoveSteps *steps)
{
    // Why this never replaces a file that was there before: the exclusive
    // create is atomic in the file system (over FUSE too, where the daemon's
    // create fails on an existing name), so it succeeds only when no entry of
    // that name exists, under the volume's own case rule, and from then on
    // the name belongs to us. Another program that creates the name after us
    // with O_EXCL fails; one that merely opens it gets our empty placeholder.
    // Just before the plain rename, which replaces whatever holds the name,
    // the name is checked to still be our empty placeholder (same inode, no
    // byte written into it); if anything touched it, we give up without the
    // rename. What remains open is a program writing into or replacing our
    // placeholder in the microseconds between that check and the rename:
    // it would have to do so to a name that did not exist a moment before
    // and that nobody had created but us.
    struct stat claimed;
    bool known = false;
    if (steps) {
        if (const int refused = steps->before(MoveSteps::Step::Claim, fromName, toName))
            return refused;
    }
    {
        const FileDescriptor fd(
            openat(toDir, toName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.isOpen()) {
            const int error = errno;
            // Whatever holds the name was there before: never ours to remove.
            if (steps)
                steps->abandoned(MoveSteps::Step::Claim);
            return error;
        }
        known = fstat(fd.get(), &claimed) == 0;
    }
    if (!known)
        return EIO; // cannot tell our placeholder later; leave it, it is empty
    if (steps)
        steps->after(MoveSteps::Step::Claim);
    if (!isOurPlaceholder(toDir, toName, claimed))
        return EEXIST;
    if (renameat(fromDir, fromName, toDir, toName) == 0)
        return 0;
    const int error = errno;
    // Only our own placeholder goes, never a file someone put in its place.
    if (isOurPlaceholder(toDir, toName, claimed))
        unlinkat(toDir, toName, 0);
    return error;
}

int hasExactEntry(int dir, const char *name)
{
    FileDescriptor fd(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR *stream = fd.isOpen() ? fdopendir(fd.get()) : nullptr;
    if (!stream)
        return -1;
    fd.release(); // the stream's now
    int found = 0;
    while (const dirent *entry = readdir(stream)) {
        if (std::strcmp(entry->d_name, name) == 0) {
            found = 1;
            break;
        }
    }
    closedir(stream);
    return found;
}

int moveThroughTemporaryName(int dir, const char *fromName, const char *toName,
                             QByteArray *strandedName, MoveSteps *steps)
{
    static std::atomic<unsigned> serial = 0;
    char temporary[64];
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::snprintf(temporary, sizeof temporary, ".velnor-move-%ld-%u", long(getpid()), ++serial);
        if (steps) {
            if (const int refused = steps->before(MoveSteps::Step::Passing, fromName, temporary))
                return refused;
        }
        error = moveNoReplace(dir, fromName, dir, temporary, steps);
    }
    if (error != 0)
        return error;
    if (steps)
        steps->after(MoveSteps::Step::Passing);
    error = moveNoReplace(dir, temporary, dir, toName, steps);
    if (error == 0)
        return 0;
    if (moveNoReplace(dir, temporary, dir, fromName, steps) != 0 && strandedName)
        *strandedName = temporary;
    return error;
}

int moveAt(int fromDir, const char *fromName, int toDir, const char *toName,
           QByteArray *strandedName, MoveSteps *steps)
{
    const int error = moveNoReplace(fromDir, fromName, toDir, toName, steps);
    // The target is the source itself only on a case-insensitive (or
    // normalising) folder where the two names differ in spelling: then no
    // entry is spelled like the target. Two hard links of one file under
    // both names are two entries, and the target then really is taken. Some
    // FUSE file systems (exfat-fuse) give each spelling its own inode
    // number, so names that differ only in case count as the same file too.
    if (error == EEXIST && fromDir == toDir && std::strcmp(fromName, toName) != 0 &&
        (sameFile(fromDir, fromName, toDir, toName) ||
         QString::fromUtf8(fromName).compare(QString::fromUtf8(toName), Qt::CaseInsensitive) ==
             0) &&
        hasExactEntry(fromDir, toName) == 0)
        return moveThroughTemporaryName(fromDir, fromName, toName, strandedName, steps);
    return error;
}

QString reason(int error)
{
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

} // namespace NativeMove
