// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

struct RunJournal;

namespace UndoRun {

// A name of one entry of its folder: a journal that says otherwise (edited,
// or damaged in a way that still reads) must not lead a move into another
// folder, or to a shorter name at a NUL byte.
bool isEntryName(const QByteArray &name);
// The same for a new name that leads into folders below: entry names apart
// by "/".
bool isNameBelow(const QByteArray &name);

// Puts right what a kill left half way through a step of a move (the last
// step the journal holds for a folder): a placeholder of ours still empty
// next to the file it was made for goes, and so does the second link of a
// file that was still under its first name. Whatever else stands at a step's
// names is left alone: the step was taken whole, or someone has been there
// since.
void settleOpenSteps(const RunJournal &journal);

} // namespace UndoRun
