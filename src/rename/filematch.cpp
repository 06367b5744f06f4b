// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/filematch.h"

namespace {

// Times compared in whole units of what the file system keeps: exfat-fuse
// and sshfs give whole seconds, FAT two seconds, and a kernel's cache may
// hold a finer time than the disk until it is dropped.
qint64 unit(const QByteArray &fileSystem)
{
    return fileSystem == "vfat" ? 2000000000 : 1000000000;
}

qint64 floorDiv(qint64 value, qint64 by)
{
    const qint64 quotient = value / by;
    return (value % by != 0 && value < 0) ? quotient - 1 : quotient;
}

} // namespace

namespace FileMatch {

bool stableInodes(const QByteArray &fileSystem)
{
    return fileSystem == "ext4" || fileSystem == "xfs" || fileSystem == "btrfs" ||
           fileSystem == "tmpfs";
}

bool byStamp(const JournalMove &recorded)
{
    return recorded.size >= 0 && !stableInodes(recorded.fileSystem);
}

qint64 timeKey(const JournalMove &recorded)
{
    return floorDiv(recorded.modified, unit(recorded.fileSystem));
}

bool sameVolume(const JournalMove &recorded, const QByteArray &volume, quint64 device)
{
    if (recorded.size < 0)
        return recorded.device == device;
    if (!recorded.volume.isEmpty() && !volume.isEmpty())
        return recorded.volume == volume;
    return !stableInodes(recorded.fileSystem) || recorded.device == device;
}

bool sameFile(const JournalMove &recorded, const FileStamp &now)
{
    if (recorded.inode == 0)
        return false;
    if (recorded.size < 0)
        return now.device == recorded.device && now.inode == recorded.inode;
    if (stableInodes(recorded.fileSystem)) {
        if (now.inode != recorded.inode)
            return false;
        if (recorded.born != 0 && now.born != 0)
            return now.born == recorded.born;
        return now.size == recorded.size && now.modified == recorded.modified;
    }
    const qint64 by = unit(recorded.fileSystem);
    return now.size == recorded.size &&
           floorDiv(now.modified, by) == floorDiv(recorded.modified, by) &&
           (recorded.born == 0 || now.born == 0 ||
            floorDiv(now.born, by) == floorDiv(recorded.born, by));
}

} // namespace FileMatch
