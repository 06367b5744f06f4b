// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names one folder's checks compare: each file's current name with the
// table of them, and the bytes of each moving file's new name.

#include "plan/folderfacts.h"
#include "plan/nametable.h"
#include "plan/renameplan.h"

#include <string_view>
#include <vector>

struct FolderNames
{
    using View = std::string_view;
    // How many keys ahead the loops over the tables ask for the slots they
    // will probe (NameTable::prefetch).
    static constexpr size_t LookAhead = 8;

    // Reads the names of `rows` (places in `files` and `planRows`); the old
    // names and the new on two threads side by side where `twoThreads`.
    FolderNames(const std::vector<qint64> &rows, const std::vector<RenamePlan::Listed> &files,
                const std::vector<RenamePlan::Row> &planRows, const FolderFacts &facts,
                bool twoThreads);
    // The table views oldNames.
    FolderNames(const FolderNames &) = delete;
    FolderNames &operator=(const FolderNames &) = delete;

    // Each file's current name, viewing its path.
    std::vector<View> oldNames;
    struct OldName
    {
        const std::vector<View> *names;
        View operator()(size_t k) const { return (*names)[k]; }
    };
    // The same entry listed twice (through two spellings of its folder): the
    // first listing moves it; a second move would find it gone.
    NameTable<OldName> listing;
    std::vector<bool> firstListing;
    bool oldAscii = false;
    // The bytes of the moving rows' new names, end to end in one buffer
    // rather than one allocation each; row k's are newBuffer[newEnds[k],
    // newEnds[k + 1]). A row that a check stops later keeps its bytes here
    // unused.
    std::vector<char> newBuffer;
    std::vector<quint32> newEnds;
    bool newAscii = true;
    // Whether each moving row's new name is a name on disk, in a folder that
    // tells case apart (none in the others, where names on disk are compared
    // by key). No check turns a row into a move, nor changes its new name,
    // before the folder's passes.
    std::vector<bool> newOnDisk;
    // The nameHash of each moving row's new name, in a folder that tells
    // case apart, where the keys may be the names' bytes: every table is
    // asked with it.
    std::vector<quint32> newHashes;
};
