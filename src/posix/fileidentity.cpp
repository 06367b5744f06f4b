// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/fileidentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

qint64 stampNanoseconds(const struct statx_timestamp &time)
{
    return qint64(time.tv_sec) * 1000000000 + qint64(time.tv_nsec);
}

bool readStamp(int folder, const char *name, FileStamp *stamp)
{
    struct statx info;
    if (::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) != 0 ||
        !(info.stx_mask & STATX_INO))
        return false;
    stamp->device = quint64(makedev(info.stx_dev_major, info.stx_dev_minor));
    stamp->inode = quint64(info.stx_ino);
    stamp->size = (info.stx_mask & STATX_SIZE) ? qint64(info.stx_size) : -1;
    stamp->modified = (info.stx_mask & STATX_MTIME) ? stampNanoseconds(info.stx_mtime) : 0;
    // A birth time of 0 says none is kept, which is what a file system that
    // keeps none would have to give.
    stamp->born = (info.stx_mask & STATX_BTIME) ? stampNanoseconds(info.stx_btime) : 0;
    return true;
}
