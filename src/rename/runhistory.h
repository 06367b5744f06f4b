// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/journal.h"

#include <QList>
#include <QString>

// The journals of past runs, kept in the user's state folder: the one place
// where Velnor writes files of its own. The window and the command line read
// and prune the same folder.
namespace RunHistory {

// $XDG_STATE_HOME/Velnor/runs, or ~/.local/state/Velnor/runs.
QString runsFolder();

// Whether the run `id` started after the run `other`. IDs are the start
// time in UTC to the second, those of one second numbered on from 2
// ("20261207-044012", "20261207-044012-2", ... "-10"); a name of another
// shape counts as older than every run.
bool isNewer(QStringView id, QStringView other);

struct Listing
{
    // What each journal says of its run (its moves are not read), newest
    // first. Undo and redo read the whole journal from `path`.
    QList<RunSummary> runs;
    // Journals that could not be read, each with its reason.
    QList<std::pair<QString, QString>> unreadable;
};
Listing list(const QString &folder);

// Whether a run, undo or redo holds the journal's lock (JournalWriter,
// JournalAppender): it is moving files now. A lock lives with its open file,
// so it is gone once its holder has died.
bool inUse(const QString &path);

// The newest run that may be undone (complete, interrupted or partly undone,
// with moves planned), or -1.
qsizetype lastUndoable(const Listing &listing);
// The run undone last, when its undo is the last undo or redo of the
// history (a redo since then leaves nothing to redo), or -1.
qsizetype lastRedoable(const Listing &listing);
// The run with this id, or -1.
qsizetype find(const Listing &listing, const QString &id);

// Removes the oldest journals until at most `keepRuns` remain and they take
// at most `keepBytes` together; the newest is always kept, and files whose
// names are not those of a run are left alone.
void prune(const QString &folder, int keepRuns = 100, qint64 keepBytes = 100 * 1024 * 1024);

} // namespace RunHistory
