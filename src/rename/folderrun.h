// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "rename/journal.h"
#include "rename/renamerun.h"

#include <QByteArray>
#include <QHash>

#include <atomic>
#include <functional>
#include <map>
#include <utility>
#include <vector>

// The moves of one folder of a run, made in an order that lets chains and
// cycles of names through (MoveOrder), each move inside its folder's open
// descriptor. A folder whose device and inode are not those it was listed
// with has none of its files moved.
class FolderRun
{
public:
    // The identity a folder (as spelled in the entries' paths) had when it
    // was listed; false when none is known.
    using ListedIdentity = std::function<bool(const QByteArray &folder, FileIdentity *identity)>;

    FolderRun(RenameRun::Entry *entries, ListedIdentity listedIdentity)
        : m_entries(entries), m_listedIdentity(std::move(listedIdentity))
    {}
    ~FolderRun();

    // What a journal learns of the moves, by entry position: a temporary
    // name before the file is moved there (false: it could not be written,
    // and the name is not used), each move's outcome as it ends, and each
    // step of a move that a kill could leave half taken, before it is taken
    // (false: it could not be written, and the move fails).
    struct Recorder
    {
        std::function<bool(qsizetype position, const QByteArray &name)> temporaryName;
        std::function<void(qsizetype position, bool moved)> outcome;
        std::function<bool(qsizetype position, JournalStep::Kind kind, const QByteArray &from,
                           const QByteArray &to)>
            step;
    };
    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }

    FolderRun(const FolderRun &) = delete;
    FolderRun &operator=(const FolderRun &) = delete;

    // Moves the entries at `positions` (one folder, in stored order), whose
    // outcome is Renamed until a move says otherwise; waitsFor(position) is
    // the position of the move that must leave that entry's new name first,
    // or -1. Each entry gets its outcome and finished[position] set;
    // finishedSome(count) tells of them now and then. Once stopping() says
    // so it makes no further move, except to bring back a file parked under
    // a temporary name.
    void run(const std::vector<qint32> &positions,
             const std::function<qsizetype(qsizetype)> &waitsFor, std::vector<quint8> &finished,
             const std::function<void(qsizetype)> &finishedSome,
             const std::function<bool()> &stopping);

private:
    struct Folder
    {
        FileDescriptor fd;
        QString error; // why nothing in it moves
    };
    const Folder &folderOf(const RenameRun::Entry &entry);
    bool move(RenameRun::Entry &entry, const char *from, const char *to, int *error);
    bool toTemporary(RenameRun::Entry &entry);

    RenameRun::Entry *m_entries;
    ListedIdentity m_listedIdentity;
    std::map<QByteArray, Folder> m_folders;
    Recorder m_recorder;
    // The temporary name of the file a cycle of moves has parked, recorded
    // before the file is moved there; a cycle parks one file at a time.
    QByteArray m_parkedName;
};
