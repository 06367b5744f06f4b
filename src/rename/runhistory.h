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

struct Listing
{
    QList<RunJournal> runs; // newest first
    // Journals that could not be read, each with its reason.
    QList<std::pair<QString, QString>> unreadable;
};
Listing list(const QString &folder);

// The newest run that may be undone (complete or interrupted, not undone
// yet), or -1.
qsizetype lastUndoable(const Listing &listing);
// The run with this id, or -1.
qsizetype find(const Listing &listing, const QString &id);

// Removes the oldest journals until at most `keepRuns` remain and they take
// at most `keepBytes` together; the newest is always kept.
void prune(const QString &folder, int keepRuns = 100, qint64 keepBytes = 100 * 1024 * 1024);

} // namespace RunHistory
