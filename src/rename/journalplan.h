// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/journal.h"
#include "rename/renamerun.h"

#include <QList>

#include <vector>

class RenamePlan;

// The moves a run writes to its journal before it starts, each with what
// tells the file from another one put under its name later: its inode, size,
// modification and birth times, and its volume's file system and UUID.
namespace JournalPlan {

// One journal move for each entry at `positions`, in that order, made a
// block at a time as the journal writes them; folders[k] is the plan's folder
// of positions[k]. A file that is not there gets inode 0, which no file has.
// The plan, entries, positions and folders must outlive the source.
JournalWriter::MoveSource source(const RenamePlan &plan, const RenameRun::Entry *entries,
                                 const std::vector<qsizetype> &positions,
                                 const std::vector<qint32> &folders);

} // namespace JournalPlan
