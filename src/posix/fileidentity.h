// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <sys/stat.h>
#include <utility>

// Which file an entry is, whatever name leads to it: its device and inode, as
// stat gives them. The one spelling of that pair, for the folders a listing
// came from, the folders a run opens, and the files an undo looks for. A pair,
// so that it orders and hashes (QHash, std::set) as it is.
using FileIdentity = std::pair<quint64, quint64>;

inline FileIdentity fileIdentity(const struct stat &info)
{
    return {quint64(info.st_dev), quint64(info.st_ino)};
}

// What tells a file from another one put under its name later, besides its
// inode number, which some file systems do not keep (FUSE volumes give new
// numbers after a remount or when their cache is dropped, sshfs after every
// move) and others give again to a new file once the old one is gone.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds since the epoch
    qint64 born = 0;     // nanoseconds since the epoch; 0 where the file system keeps none
};

// A statx time in nanoseconds since the epoch.
qint64 stampNanoseconds(const struct statx_timestamp &time);

// The stamp of the entry `name` of the open folder `folder`, a link not
// followed; false when it cannot be looked at.
bool readStamp(int folder, const char *name, FileStamp *stamp);
