// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// Taking a run back, or doing it again, from its journal. Each file the
// journal says was moved goes back to its old name (or, for a redo, to its
// new name again) only when the file now at the name it is to leave is the one
// recorded (same device and inode) and the name it is to take is free: a file
// is never replaced. Chains and cycles go back in the order that lets them
// through, temporary names included. A run that was interrupted is taken
// back from the disk as it is: each planned file is looked for under its old
// name, its new name and its temporary name.
namespace UndoRun {

enum class Direction
{
    Undo,
    Redo
};

// A file that went back (or forth again), as the list's records must follow it.
struct Moved
{
    QByteArray from; // full paths
    QByteArray to;
};

// A file that stayed where it is, and why ("changed since the run", "old name
// taken", ...).
struct Kept
{
    QByteArray path;   // where the file is (or was to be found)
    QByteArray wanted; // where it was to go
    QString reason;
};

struct Report
{
    bool ran = false;
    // Why nothing was done: the journal cannot be read, the run was undone
    // already, ...; empty when the run was taken back (in part or whole).
    QString error;
    QList<Moved> moved;
    QList<Kept> kept;
    qsizetype notAttempted = 0; // left when cancelled
    bool redone = false;        // the report of a redo
    // Folders the run made that an undo left, for they are not empty.
    QList<QByteArray> foldersKept;

    // "12 files restored." / "12 files renamed again." style summary.
    QString message() const;
    // Empty when every file went; otherwise how many stayed, the first few
    // with their reasons.
    QString informativeText() const;
    // Every file that stayed, one a line.
    QString detailedText() const;
};

using Progress = std::function<void(qsizetype done, qsizetype total)>;

// Undoes or redoes the run whose journal is at `journalPath`, writing what it
// does to the same journal. `cancel` (any thread) stops after the moves in
// flight.
Report run(const QString &journalPath, Direction direction, const Progress &progress = {},
           const std::atomic<bool> *cancel = nullptr);

// What a run, undo or redo killed in the middle of a move's steps left on
// disk (an empty placeholder of ours, a second link) is put right, so that
// the folder holds each file under one name of the journal; the files stay
// where they are otherwise. Skipped for a journal that is in use or closed.
void settle(const QString &journalPath);

} // namespace UndoRun
