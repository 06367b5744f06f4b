// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/journal.h"
#include "rename/renamerun.h"

#include <QList>

#include <memory>
#include <vector>

class IdentityLookahead;
class RenamePlan;
class ZQFile;

// The moves a run writes to its journal before it starts, each with what
// tells the file from another one put under its name later: its inode, size,
// modification and birth times, and its volume's file system and UUID.
//
// Where inode numbers last and the listing kept a file's inode and birth
// time (ZQFile::listedIdentity), or they were read while the plan was made
// (IdentityLookahead), those are recorded, which spares a look at each file
// at the start of the run. A file put in the place of the listed
// one since then is moved all the same, but undo then finds it is not the
// file recorded and leaves it where it is.
namespace JournalPlan {

// One journal move for each entry at `positions`, in that order, made a
// block at a time as the journal writes them; folders[k] is the plan's folder
// of positions[k], and records[positions[k]] the entry's record. A file that
// is not there gets inode 0, which no file has. `ahead` (may be null) holds
// identities read of the records. The plan, entries, records, positions,
// folders and `ahead` must outlive the source.
JournalWriter::MoveSource source(const RenamePlan &plan, const RenameRun::Entry *entries,
                                 const std::vector<std::unique_ptr<ZQFile>> &records,
                                 const std::vector<qint32> &positions,
                                 const std::vector<qint32> &folders,
                                 const IdentityLookahead *ahead = nullptr);

} // namespace JournalPlan
