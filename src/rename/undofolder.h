// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Undo's work in one folder: the moves of that folder taken back (or forth
// again), last move first, each found on disk as the journal knows it before
// it is moved. Seen only by the undo's own code.

#include "rename/journal.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <vector>

class JournalAppender;
class Movers;
class VolumeIds;

namespace UndoFolder {

enum class Result : quint8
{
    None, // in place already, or nothing to do
    Moved,
    Kept,
    NotAttempted,
};

// What became of every move of the journal, each written by the one lane
// that has the move's folder.
struct Results
{
    explicit Results(qsizetype count)
        : result(size_t(count), Result::None), reason(size_t(count)), from(size_t(count)),
          to(size_t(count))
    {}
    std::vector<Result> result;
    std::vector<QString> reason;
    std::vector<QByteArray> from;
    std::vector<QByteArray> to;
};

struct Context
{
    const RunJournal &journal;
    bool redo;
    Results &results;
    JournalAppender &appender;
    const std::atomic<bool> *cancel;
    Movers &movers;
    VolumeIds &volumes;
};

// Whether an undo or a redo is to bring this file back or forth at all, and
// so must say why when it cannot: a redo, what the run moved and an undo took
// back; an undo, what the run moved, and in a run cut short also each file
// whose outcome never reached the journal.
bool isOwed(const RunJournal &journal, qsizetype move, bool redo);

// How many of `moves` are owed a move back (or forth again).
qsizetype owedOf(const RunJournal &journal, const std::vector<qsizetype> &moves, bool redo);

// Takes back (or forth again) the moves of one folder, given last move first;
// `folder` is one of the spellings the moves name it by.
void undoFolder(const QByteArray &folder, const std::vector<qsizetype> &moves, Context &c);

} // namespace UndoFolder
