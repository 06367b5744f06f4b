// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/renameplan.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

class AccessPrompt;
class FileList;
class NameComposer;
class UserDefaults;
class ZQFile;

namespace RenameRun {

enum class Outcome : quint8
{
    Renamed,
    Unchanged,
    Failed,
    // The run was cancelled before it came to the file: nothing was tried.
    NotAttempted
};

struct Entry
{
    QByteArray oldPath;
    // Where the file went, or for a failed move where it was to go (empty for
    // a refused name); an unchanged file keeps oldPath.
    QByteArray newPath;
    // The new name as the table showed it; a name that could not be made
    // leaves the old one here (and newPath empty).
    QString newName;
    QString error; // why it failed
    // Where the names of oldPath and newPath start (after the folder both
    // are named in), for a move into a folder below: the new name then holds
    // "/". -1: each path's name starts after its last slash. A run holds a
    // million entries: the small fields are packed.
    qint32 base = -1;
    Outcome outcome = Outcome::Unchanged;
    // A folder's own move (the paths below it then change), not a file's.
    bool folder = false;
};

// The start of an entry's names in its paths (Entry::base), and the names.
qsizetype nameStart(const Entry &entry);
const char *oldNameOf(const Entry &entry);
const char *newNameOf(const Entry &entry);
// The old name as text, read from oldPath when asked: a run of a million
// files would otherwise hold each name twice.
QString oldNameText(const Entry &entry);

struct Report
{
    bool ran = false; // false: empty list, or access declined
    QList<Entry> entries;
    qsizetype renamed = 0;
    qsizetype failed = 0;
    qsizetype unchanged = 0;
    qsizetype notAttempted = 0; // left when the run was cancelled
    // The run's journal (see JournalChoice); empty when it kept none.
    QString journalPath;
    // Why the journal could not be written. The run then moved nothing
    // (ran is false): the user must say first whether to rename without undo.
    QString journalError;
    // Why the journal could no longer be written during the run, which then
    // stopped after the moves in flight; empty when it could.
    QString journalFailure;

    // "%@ renamed successfully." with the count text of the files moved.
    QString message() const;
    // Empty when nothing failed and nothing was left; otherwise how many
    // could not be renamed, with the first few names and their reasons, and
    // how many were not attempted.
    QString informativeText() const;
    // Every failure, one a line.
    QString detailedText() const;
};

// The deepest folder that holds every path: the folder of a single file,
// "/" for paths on unrelated branches.
QByteArray accessRoot(const QList<QByteArray> &paths);
// The same for the paths of a list's records, read where they are.
QByteArray accessRoot(const FileList &list);

// Why a new name cannot be used, or an empty text when it can: empty, ".",
// "..", longer than 255 bytes (its bytes as NameCodec encodes it), a "/" or
// NUL character, half a surrogate pair that stands for no byte.
QString refusalReason(const QString &newName);

// Why the files of a folder are not moved when the folder opened for the run
// is not the one the intake listed.
QString folderReplacedReason();

// Moves `from` to `to` without ever replacing or copying: renameat2 with
// RENAME_NOREPLACE, link and unlink where the file system lacks it, and a
// temporary name in the same folder for a case-only change on a
// case-insensitive volume. On failure writes one log line and gives the
// reason in *error.
bool renameFile(const QByteArray &from, const QByteArray &to, QString *error = nullptr);

// Whether the run keeps a journal that lets it be undone, and where.
struct JournalChoice
{
    bool keep = false;
    QString folder; // empty: the history's folder (RunHistory::runsFolder())
};

// The run over the whole list: checks the access grant (through prompt and
// defaults, skipped when prompt is null), makes the rename plan of the list
// and follows it: every file the plan moves gets the name the table shows
// for it, chains and cycles of names within a folder included; every file
// the plan refuses or finds in conflict fails with the plan's reason.
// Different folders move side by side, one lane per processor, since a move
// never touches another folder's names. Outcomes and log lines come in
// stored order on the calling thread, progress as the moves go on. A
// successful move updates the record's path and name.
//
// A run whose `cancel` flag is set (from any thread) stops after the moves
// in flight: every file moved so far has its record follow it, and the rest
// are reported as not attempted. With uniqueNames (from the composer's
// settings), taken names are numbered as the plan numbers them.
using Progress = std::function<void(qsizetype done, qsizetype total)>;
Report clickStart(FileList &list, const NameComposer &composer, AccessPrompt *prompt,
                  UserDefaults *defaults, const Progress &progress = {},
                  const std::atomic<bool> *cancel = nullptr, const JournalChoice &journal = {});
// The same run with the new names from any source, such as a fixed table.
// Without recordsFollow the records keep the paths and names they were
// listed with, for an owner that reads only the report and then ends.
using NameSource = std::function<QString(const ZQFile &file, qint64 index)>;
Report clickStart(FileList &list, const NameSource &newNameForFile, AccessPrompt *prompt,
                  UserDefaults *defaults, const Progress &progress = {},
                  const std::atomic<bool> *cancel = nullptr, const JournalChoice &journal = {},
                  bool uniqueNames = false, bool makeFolders = false,
                  RenamePlan::ReadAhead *ahead = nullptr, bool recordsFollow = true);

// Makes the folders a run or a redo moves files into, parents first, each
// recorded by `record` before it is made (false: it could not be, and the
// folder is not made); `made` tells of each one made. Folders that are there
// already are left alone.
void makeFolders(const QList<QByteArray> &folders,
                 const std::function<bool(const QByteArray &folder)> &record,
                 const std::function<void(const QByteArray &folder, bool made)> &made);

} // namespace RenameRun
