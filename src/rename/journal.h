// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/filedescriptor.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

// The journal of one rename run: a small file in the user's state folder that
// says, before the first file moves, every move the run is about to make, and
// then how each one ended. It is what lets a run be undone, also one that was
// killed half way.
//
// The format is lines of text, one record a line, fields apart by one space.
// Every name and path is percent-encoded, so that any byte (a newline, a
// byte that is not UTF-8) goes through unchanged and a line is always whole
// or missing. The first line says what the file is and its version:
//
//   velnor rename journal 2
//   run STARTED_MSECS ROOT
//   folder INDEX PATH DEVICE FILE_SYSTEM VOLUME_UUID
//   move INDEX FOLDER_INDEX INODE SIZE MODIFIED BORN OLD_NAME NEW_NAME
//   planned COUNT                  (the plan is whole and on disk)
//   temp INDEX NAME                (move INDEX goes through NAME)
//   claim INDEX FROM TO            (an empty placeholder is made at TO)
//   link INDEX FROM TO             (a second link is made at TO)
//   done INDEX                     (that step failed, nothing was made)
//   settled                        (what those steps left was put right)
//   moved INDEX | failed INDEX
//   end RENAMED FAILED NOT_ATTEMPTED
//   undo STARTED_MSECS | redo STARTED_MSECS
//   back INDEX | kept INDEX REASON (a file went back, or could not)
//   undo-end BACK KEPT | redo-end BACK KEPT
//   mkdir PATH                     (a folder is about to be made; version 2)
//   rmdir PATH                     (it is gone again, or was never made)
//
// In version 2 a new name may hold "/": the file goes into a folder below
// its own, made by the run where it was missing.
//
// MODIFIED and BORN are nanoseconds since the epoch (BORN 0 where the file
// system keeps no birth time), SIZE is -1 where nothing but the inode was
// recorded. Version 1 wrote "folder INDEX PATH" and "move INDEX FOLDER_INDEX
// DEVICE INODE OLD_NAME NEW_NAME"; its journals are read as they are, their
// files known by device and inode alone.
//
// A reader takes every whole line it understands and stops at the first one
// it does not (a line cut off by a crash, garbage appended), so a damaged
// journal still tells what was done up to that point.

struct JournalMove
{
    QByteArray folder;
    QByteArray oldName;
    QByteArray newName;
    quint64 device = 0;
    quint64 inode = 0; // 0: the file was not there when the run was planned
    // The file as it was planned (FileStamp); a size of -1 when nothing but
    // the device and inode were recorded.
    qint64 size = -1;
    qint64 modified = 0;
    qint64 born = 0;
    // The folder's file system ("ext4", "exfat", ...) and its volume's UUID,
    // each empty where it could not be told.
    QByteArray fileSystem = {};
    QByteArray volume = {};

    bool operator==(const JournalMove &) const = default;
};

// What the history shows of a run: read from its journal without taking its
// names apart, so that listing a hundred runs of 100,000 files stays quick.
struct RunSummary
{
    enum class State
    {
        Interrupted, // the run never wrote its closing record
        Complete,
        Undone,
        Redone,
        UndoInterrupted, // an undo or a redo that never finished
        PartlyUndone,    // an undo that finished with files it could not take back
    };

    QString id;
    QString path;
    int version = 0;
    qint64 started = 0;
    QByteArray root;
    bool planComplete = false;
    // The moves of the plan; none while the plan is not whole.
    qsizetype planned = 0;
    // Moves whose outcome says the file went to its new name.
    qsizetype moved = 0;
    // The last undo or redo record is a redo's.
    bool lastWasRedo = false;
    // When the last undo or redo of the run started (0: never).
    qint64 lastUndoOrRedo = 0;
    // A step of a move that leaves something to put right after a kill (a
    // placeholder, a second link) was recorded since the last closing
    // record: UndoRun::settle has work to look at.
    bool stepsOpen = false;
    bool closed = false;
    qsizetype renamed = 0;
    qsizetype failed = 0;
    qsizetype notAttempted = 0;
    State state = State::Interrupted;
    // The reader stopped before the end of the file, at a line it could not
    // take (cut off or damaged).
    bool damaged = false;
    // The bytes up to the end of the last record read.
    qint64 soundSize = 0;
    // A run, undo or redo holds the journal's lock: it is moving the files
    // now, in this process or another, and is not interrupted, only not done
    // yet. Only the history's listing looks.
    bool inUse = false;

    qsizetype movedCount() const { return moved; }
};

// A step of a move that a kill may have left half taken (NativeMove's
// MoveSteps): the names are entries of the move's folder.
struct JournalStep
{
    enum class Kind : char
    {
        Claim,
        Link,
        Passing,
        Abandoned, // the move's last step failed and made nothing
    };
    qsizetype move = -1;
    Kind kind = Kind::Passing;
    QByteArray from;
    QByteArray to;
};

// Everything a journal says, as read back.
struct RunJournal : RunSummary
{
    enum class Outcome : signed char
    {
        Unknown = 0,
        Moved = 1,
        Failed = -1,
    };

    QList<JournalMove> moves;
    std::vector<Outcome> outcomes; // one per move
    // The latest temporary name recorded for a move (by the run, or by an
    // undo or redo that went through a cycle).
    QHash<qsizetype, QByteArray> temporaryNames;
    // Per move: an undo took the file back to its old name ("back" in an
    // undo). What a redo may move again besides what the run moved.
    std::vector<quint8> takenBack;
    // Per move: which steps the run recorded before any undo or redo. On a
    // volume that moves in steps (a placeholder, a link), a move with none
    // never began.
    enum RunStep : quint8
    {
        NoStep = 0,
        SomeStep = 1,  // a temporary or passing name
        PlaceStep = 2, // a placeholder claimed or a second link made
    };
    std::vector<quint8> runSteps;
    // Per move, where the run's last placeholder or second link for it was
    // made, unless that step failed: where a kill may have left the file,
    // if not under the name the step started from.
    QHash<qsizetype, QByteArray> lastPlaced;
    // For each folder, the last step recorded since a run, undo or redo last
    // closed its records: a folder's moves are made one after the other, so
    // only that one can have been in flight when the process died.
    std::vector<JournalStep> openSteps;
    // The folders the run made (or was about to make) and did not remove
    // again, in the order they were recorded.
    QList<QByteArray> madeFolders;
};

class JournalWriter
{
public:
    JournalWriter() = default;
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    // Creates a new journal in `folder` (made if missing) and writes the
    // whole plan to disk, synced, before returning. False, with the reason in
    // *error, when the journal cannot be written: the run must not start
    // without the user's word then.
    bool begin(const QString &folder, const QList<JournalMove> &moves, qint64 startedMsecs,
               QString *error);
    // The same for moves made a block at a time while they are written, so
    // that a plan of a million moves is never held whole: `count` moves,
    // folderOf(i) the folder of move i (alive until begin returns), and
    // fill(from, to, out) makes moves [from, to) into out[0, to - from).
    struct MoveSource
    {
        qsizetype count = 0;
        std::function<const QByteArray &(qsizetype)> folderOf;
        std::function<void(qsizetype, qsizetype, JournalMove *)> fill;
    };
    bool begin(const QString &folder, const MoveSource &moves, qint64 startedMsecs, QString *error);

    QString id() const { return m_id; }
    QString path() const { return m_path; }

    // Written and synced before the caller may use the name. Safe to call
    // from any thread.
    bool recordTemporaryName(qsizetype move, const QByteArray &name);
    // A step of a move about to be taken: written at once, not synced (a
    // kill cannot lose what the kernel has been handed). Safe to call from
    // any thread.
    bool recordStep(qsizetype move, JournalStep::Kind kind, const QByteArray &from,
                    const QByteArray &to);
    // A folder about to be made, written and synced first; and one made that
    // is gone again (or could not be made).
    bool recordFolder(const QByteArray &path);
    void recordFolderGone(const QByteArray &path);
    // Buffered; reaches the file every few hundred outcomes and at finish().
    void recordOutcome(qsizetype move, bool moved);

    // Outcomes gathered by one thread and handed over together, which spares
    // the threads that move the files a shared lock for each move.
    class Outcomes
    {
    public:
        void add(qsizetype move, bool moved);
        int count() const { return m_count; }

    private:
        friend class JournalWriter;
        QByteArray m_text;
        int m_count = 0;
    };
    // Takes the batch's outcomes (leaving it empty), as recordOutcome() would
    // one by one.
    void recordOutcomes(Outcomes &outcomes);
    // The closing record, synced. Without it the run reads as interrupted.
    bool finish(qsizetype renamed, qsizetype failed, qsizetype notAttempted);

    // Whether every write so far reached the file; safe to ask from any
    // thread. Once one has failed, nothing more is written.
    bool healthy() const { return m_healthy.load(std::memory_order_acquire); }
    // Why a write failed, once one has.
    QString failure() const
    {
        const std::lock_guard lock(m_mutex);
        return m_failure;
    }

private:
    bool appendLocked(const QByteArray &text, bool sync);

    mutable std::mutex m_mutex;
    FileDescriptor m_fd;
    QString m_id;
    QString m_path;
    QByteArray m_pending;
    int m_pendingCount = 0;
    qint64 m_size = 0; // the bytes written whole
    std::atomic<bool> m_healthy{true};
    QString m_failure;
};

// Appends the records of an undo or redo to an existing journal, so the
// history knows what was taken back.
class JournalAppender
{
public:
    ~JournalAppender();
    // A journal read as damaged (`soundSize` less than its size) is cut back
    // to its last whole record first, or the records appended would follow
    // the damage and never be read.
    bool open(const QString &path, QString *error, qint64 soundSize = -1);
    bool start(bool redo, qint64 startedMsecs);
    // These three are safe to call from any thread.
    // Written and synced before the caller may use the name.
    bool temporaryName(qsizetype move, const QByteArray &name);
    bool step(qsizetype move, JournalStep::Kind kind, const QByteArray &from, const QByteArray &to);
    // What the open steps left has been put right (UndoRun::settle).
    bool settled();
    bool folder(const QByteArray &path);
    void folderGone(const QByteArray &path);
    void back(qsizetype move);
    void kept(qsizetype move, const QString &reason);
    bool finish(bool redo, qsizetype back, qsizetype kept);
    // Why the last write that failed did.
    QString failure() const
    {
        const std::lock_guard lock(m_mutex);
        return m_failure;
    }

private:
    bool append(const QByteArray &text, bool sync);
    mutable std::mutex m_mutex;
    FileDescriptor m_fd;
    QByteArray m_pending;
    QString m_failure;
};

namespace Journal {

// The first line of every journal, without its version.
inline constexpr char magic[] = "velnor rename journal";
inline constexpr int version = 2;
// What a reader takes at most: a run of millions of files writes less, and a
// record (two names and a folder, each byte of them written as three) is
// shorter than a line.
inline constexpr qint64 maxBytes = qint64(1) << 30;
inline constexpr qsizetype maxLineBytes = qsizetype(1) << 16;

// Reads a journal up to its last whole record it understands. False, with a
// reason, for a file that is no journal or one from a later version, one
// that is not a regular file of the user's that only the user may write,
// and one larger than maxBytes or with a line longer than maxLineBytes.
bool read(const QString &path, RunJournal *journal, QString *error);
// The same reading, line for line, keeping only what the history shows: the
// names are checked but not decoded, and no list of moves is built.
bool readSummary(const QString &path, RunSummary *summary, QString *error);

QByteArray encodeField(const QByteArray &bytes);
// The record of a step, with its newline.
QByteArray stepRecord(qsizetype move, JournalStep::Kind kind, const QByteArray &from,
                      const QByteArray &to);
// False for a field that is not well formed.
bool decodeField(QByteArrayView field, QByteArray *bytes);

} // namespace Journal
