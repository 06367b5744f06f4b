// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/fileidentity.h"
#include "rename/journal.h"

#include <QByteArray>

// How an undo knows that the file now under a name is the one a run moved.
//
// Where a file system keeps its inode numbers for good (ext4, xfs, btrfs,
// tmpfs), the file is the one with the recorded inode and birth time: a new
// file that was given the number of one deleted since was born later. Where
// it keeps no birth time, the size and modification time must agree too.
// Where the numbers do not last (FUSE volumes such as exFAT and NTFS through
// FUSE, sshfs, vfat, network shares), the file under the name the undo looks
// at is the one whose size and modification time agree, to the second (two
// seconds on FAT, which keeps no finer time). The volume must be the one
// recorded, by its UUID where both are known; on one with lasting inode
// numbers and no UUID, by its device number.
namespace FileMatch {

// Whether inode numbers of this file system (FolderFacts::fileSystem) last.
bool stableInodes(const QByteArray &fileSystem);

// Whether the move's file is known by its size and times rather than its
// inode.
bool byStamp(const JournalMove &recorded);
// The modification time in the units compared.
qint64 timeKey(const JournalMove &recorded);

// Whether the folder now, on the volume `volume` (empty: unknown) of device
// `device`, is on the volume the move recorded.
bool sameVolume(const JournalMove &recorded, const QByteArray &volume, quint64 device);

// Whether `now` is the file the move recorded, its volume being the same.
bool sameFile(const JournalMove &recorded, const FileStamp &now);

} // namespace FileMatch
