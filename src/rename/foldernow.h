// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/folderfacts.h"
#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "rename/journal.h"

#include <QByteArray>
#include <QHash>
#include <QMultiHash>

#include <mutex>
#include <utility>
#include <vector>

// The UUIDs of the volumes an undo meets, each asked once by whichever lane
// meets it first.
class VolumeIds
{
public:
    QByteArray of(int folder, quint64 device);

private:
    std::mutex m_mutex;
    QHash<quint64, QByteArray> m_ids;
};

// One folder as it is now: its names from one listing, and for each name
// asked about, which file it is (FileMatch).
class FolderNow
{
public:
    FolderNow(const QByteArray &folder, VolumeIds &volumes);
    FolderNow(const FolderNow &) = delete;
    FolderNow &operator=(const FolderNow &) = delete;

    const FolderFacts &facts() const { return m_facts; }

    // Whether an entry is spelled exactly `name`.
    bool has(const QByteArray &name) const;

    // Whether the entry spelled exactly `name` is the file the move recorded.
    bool holds(const QByteArray &name, const JournalMove &move) const;

    // Whether the entry spelled exactly `name` has the device and inode the
    // move recorded.
    bool sameInode(const QByteArray &name, const JournalMove &move) const;

    // The name the file the move recorded now has in this folder, if it is
    // still there; where it is told by its size and time, only a name that
    // no other entry could be taken for. All names are looked at once, on
    // the first question.
    QByteArray nameOf(const JournalMove &move) const;

private:
    bool onRecordedVolume(const JournalMove &move) const;

    FolderFacts m_facts;
    FileDescriptor m_fd;
    QByteArray m_volume;
    mutable bool m_stampsRead = false;
    mutable std::vector<std::pair<QByteArray, FileStamp>> m_stamps;
    mutable QMultiHash<qint64, size_t> m_byInode;
    mutable QMultiHash<qint64, size_t> m_bySize;
};
