// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/namehash.h"
#include "posix/fileidentity.h"

#include <QByteArray>
#include <QString>

#include <string_view>
#include <utility>
#include <vector>

// What a rename plan needs to know of one folder, read from the disk in one
// step so that the plan itself can be worked out from plain values.
struct FolderFacts
{
    bool opened = false; // false: nothing below was read
    QString openError;   // why the folder could not be opened
    quint64 device = 0;
    quint64 inode = 0;
    // "ext4", "exfat", "ntfs", "vfat", "cifs", "fuse.sshfs", ... as far as
    // it could be told; empty when unknown.
    QString fileSystem;
    bool caseInsensitive = false;
    // The folder is not there yet and a run makes it: the other facts are
    // those of its nearest parent that is.
    bool missing = false;
    // A file system made for Windows: its stricter name rules apply.
    bool windowsNames = false;
    // Why no file can be renamed in the folder (a read-only mount, no write
    // and search permission), or empty.
    QString notWritable;
    // The name of every entry, read in one pass over the folder, in the
    // folder's order. Views into nameBytes, whose buffer stays where it is
    // when the facts are moved.
    bool namesRead = false;
    std::vector<char> nameBytes;
    std::vector<std::string_view> names;

    // Makes `names` and their index from the spans of nameBytes, each an
    // offset and a length.
    void indexNames(const std::vector<std::pair<size_t, size_t>> &spans);
    bool hasName(std::string_view name) const { return indexOf(name) >= 0; }
    // The index of a name in `names`, or -1.
    qint64 indexOf(std::string_view name) const { return indexOf(name, nameHash(name)); }
    // The same, with the name's nameHash given.
    qint64 indexOf(std::string_view name, quint32 hash) const;
    // Asks the memory for the slot where a look for the name of this
    // nameHash starts (see NameTable::prefetch).
    void prefetch(quint32 hash) const
    {
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
    }
    bool hasName(const QByteArray &name) const
    {
        return hasName(std::string_view(name.constData(), size_t(name.size())));
    }
    // Lets go of the names and their index (namesRead stays as it was): a
    // plan that has checked its new names against them keeps the rest.
    void releaseNames()
    {
        nameBytes = std::vector<char>();
        names = std::vector<std::string_view>();
        m_slots = std::vector<quint32>();
        m_tagged = false;
    }

private:
    // Open addressing over names: each slot the index of a name plus one, or
    // 0 for none; with m_tagged, a byte of the name's hash above it.
    std::vector<quint32> m_slots;
    bool m_tagged = false;
};

namespace FolderFactsReader {

// Reads the facts of a folder; its entries' names only when `withNames`
// (a folder where nothing moves needs none).
FolderFacts read(const QByteArray &folder, bool withNames);

// The names of a folder's entries as a walk read them, from the folder it
// opened: their bytes end to end, and each name's offset and length.
struct WalkedNames
{
    FileIdentity folder;
    std::vector<char> bytes;
    std::vector<std::pair<size_t, size_t>> spans;
};
// As read(folder, true), with the names the walk read of it rather than
// reading them again; they are read from the disk after all where the
// folder now found there is not the one walked.
FolderFacts read(const QByteArray &folder, WalkedNames walked);

// Whether the open folder's file system keeps a file's inode number for as
// long as the file lives (ext4, xfs, btrfs, tmpfs), so that the number tells
// the file.
bool lastingInodes(int folder);

} // namespace FolderFactsReader
