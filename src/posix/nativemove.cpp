#include "posix/nativemove.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

int moveNoReplace(int fromDir, const char *fromName, int toDir, const char *toName)
{
    if (renameat2(fromDir, fromName, toDir, toName, RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS)
        return error;
    // EINVAL is also how a file system refuses a name it cannot hold; keep
    // that reason when the fallback cannot even be tried.
    const int linkError = NativeMove::linkMove(fromDir, fromName, toDir, toName);
    return linkError != 0 && linkUnsupported(linkError) ? error : linkError;
}

bool sameFile(int fromDir, const char *fromName, int toDir, const char *toName)
{
    struct stat from;
    struct stat to;
    return fstatat(fromDir, fromName, &from, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(toDir, toName, &to, AT_SYMLINK_NOFOLLOW) == 0 && from.st_dev == to.st_dev &&
           from.st_ino == to.st_ino;
}

} // namespace

namespace NativeMove {

int linkMove(int fromDir, const char *fromName, int toDir, const char *toName)
{
    if (linkat(fromDir, fromName, toDir, toName, 0) != 0)
        return errno;
    if (unlinkat(fromDir, fromName, 0) != 0) {
        const int error = errno;
        // The file must not end up under two names when the move failed.
        unlinkat(toDir, toName, 0);
        return error;
    }
    return 0;
}

int moveThroughTemporaryName(int dir, const char *fromName, const char *toName,
                             QByteArray *strandedName)
{
    static std::atomic<unsigned> serial = 0;
    char temporary[64];
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::snprintf(temporary, sizeof temporary, ".velnor-move-%ld-%u", long(getpid()), ++serial);
        error = moveNoReplace(dir, fromName, dir, temporary);
    }
    if (error != 0)
        return error;
    error = moveNoReplace(dir, temporary, dir, toName);
    if (error == 0)
        return 0;
    if (moveNoReplace(dir, temporary, dir, fromName) != 0 && strandedName)
        *strandedName = temporary;
    return error;
}

int moveAt(int fromDir, const char *fromName, int toDir, const char *toName,
           QByteArray *strandedName)
{
    const int error = moveNoReplace(fromDir, fromName, toDir, toName);
    if (error == EEXIST && fromDir == toDir && sameFile(fromDir, fromName, toDir, toName))
        return moveThroughTemporaryName(fromDir, fromName, toName, strandedName);
    return error;
}

QString reason(int error)
{
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

} // namespace NativeMove
