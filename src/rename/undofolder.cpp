// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/undofolder.h"

#include "plan/folderfacts.h"
#include "plan/renameplan.h"
#include "posix/fileidentity.h"
#include "posix/nativemove.h"
#include "posix/nativepath.h"
#include "posix/textescape.h"
#include "rename/filematch.h"
#include "rename/folderlevels.h"
#include "rename/foldernow.h"
#include "rename/folderrun.h"
#include "rename/journal.h"
#include "rename/movers.h"
#include "rename/opensteps.h"
#include "rename/renamerun.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A name a move of case takes on the way (NativeMove, never journaled), or a
// cycle's name other than the last one the journal holds for the move: a
// file of the run found under one was on its way, and goes on from there.
bool isPassingName(const QByteArray &name)
{
    return name.startsWith(".velnor-move-") || name.startsWith(".velnor-cycle-");
}

} // namespace

namespace UndoFolder {

bool isOwed(const RunJournal &journal, qsizetype move, bool redo)
{
    const RunJournal::Outcome outcome = journal.outcomes[size_t(move)];
    if (redo)
        return outcome == RunJournal::Outcome::Moved || journal.takenBack[size_t(move)];
    return outcome == RunJournal::Outcome::Moved ||
           (!journal.closed && outcome == RunJournal::Outcome::Unknown &&
            journal.moves[move].inode != 0);
}

qsizetype owedOf(const RunJournal &journal, const std::vector<qsizetype> &moves, bool redo)
{
    return qsizetype(std::count_if(moves.cbegin(), moves.cend(),
                                   [&](qsizetype move) { return isOwed(journal, move, redo); }));
}

void undoFolder(const QByteArray &folder, const std::vector<qsizetype> &moves, Context &c)
{
    const RunJournal &journal = c.journal;
    Results &results = c.results;
    const auto keep = [&](qsizetype move, const QByteArray &from, const QByteArray &to,
                          const QString &reason) {
        results.result[size_t(move)] = Result::Kept;
        results.reason[size_t(move)] = reason;
        results.from[size_t(move)] = NativePath::joined(journal.moves[move].folder, from);
        results.to[size_t(move)] = NativePath::joined(journal.moves[move].folder, to);
    };
    const FolderNow now(folder, c.volumes);
    if (!now.facts().opened) {
        for (const qsizetype move : moves) {
            const JournalMove &m = journal.moves[move];
            if (isOwed(journal, move, c.redo))
                keep(move, c.redo ? m.oldName : m.newName, c.redo ? m.newName : m.oldName,
                     now.facts().openError);
        }
        c.movers.moved(owedOf(journal, moves, c.redo));
        return;
    }

    // Files told apart by their size and time alone, where two of the run
    // agree on both: a chain or a swap of such look-alikes may leave either
    // under the other's name, and where the run was cut off the journal
    // must say which moves began.
    std::vector<quint8> lookAlike(moves.size(), 0);
    bool placesInSteps = false;
    {
        QHash<std::pair<qint64, qint64>, qsizetype> seen;
        for (size_t i = 0; i < moves.size(); ++i) {
            const JournalMove &m = journal.moves[moves[i]];
            placesInSteps =
                placesInSteps || journal.runSteps[size_t(moves[i])] == RunJournal::PlaceStep;
            if (m.inode == 0 || !FileMatch::byStamp(m))
                continue;
            const auto key = std::pair(m.size, FileMatch::timeKey(m));
            const auto found = seen.constFind(key);
            if (found == seen.cend()) {
                seen.insert(key, qsizetype(i));
            } else {
                lookAlike[i] = 1;
                lookAlike[size_t(*found)] = 1;
            }
        }
    }

    // Where each file is now: under a temporary name of a cycle that an
    // interrupted run or undo left it in, or under the name it is to leave.
    std::vector<qsizetype> moving; // journal moves
    std::vector<QByteArray> current;
    for (size_t i = 0; i < moves.size(); ++i) {
        const qsizetype move = moves[i];
        const JournalMove &m = journal.moves[move];
        const QByteArray &from = c.redo ? m.oldName : m.newName;
        const QByteArray &to = c.redo ? m.newName : m.oldName;
        const RunJournal::Outcome outcome = journal.outcomes[size_t(move)];
        // A redo moves only what the run moved and what an undo took back;
        // an undo looks at every planned file, since the last outcomes of an
        // interrupted run may never have reached the journal.
        if (c.redo && outcome != RunJournal::Outcome::Moved && !journal.takenBack[size_t(move)])
            continue;
        // Known by its size and time, a file the run failed to move stays
        // where it is: under its new name is another file.
        const bool byStamp = FileMatch::byStamp(m);
        if (!c.redo && byStamp && outcome == RunJournal::Outcome::Failed)
            continue;
        // Where moves place files in steps, each one is journalled before
        // it is taken: a move with none never began.
        // A move with none never began, and one whose last step placed
        // nothing at the new name left the file elsewhere.
        const bool unsure = !c.redo && lookAlike[i] && outcome == RunJournal::Outcome::Unknown;
        if (unsure && placesInSteps && journal.runSteps[size_t(move)] == RunJournal::NoStep)
            continue;
        const QByteArray temporary = journal.temporaryNames.value(move);
        const bool atTemporary = !temporary.isEmpty() && now.holds(temporary, m);
        bool atFrom = !atTemporary && now.holds(from, m);
        if (unsure && placesInSteps)
            atFrom = atFrom && journal.lastPlaced.value(move) == from;
        // Otherwise only the inode, where it is still the one recorded, can
        // tell which of the look-alikes is which.
        const bool undecided = atFrom && unsure && !placesInSteps && !now.sameInode(from, m);
        atFrom = atFrom && !undecided;
        // Where it is to go already; unless it is under the name to leave
        // too (two links of one file, of which the one at `to` may be
        // another move's to take along first).
        if (!atTemporary && !atFrom && now.holds(to, m))
            continue;
        if (atTemporary) {
            moving.push_back(move);
            current.push_back(temporary);
        } else if (atFrom) {
            moving.push_back(move);
            current.push_back(from);
        } else if (const QByteArray name = undecided ? QByteArray() : now.nameOf(m);
                   isPassingName(name)) {
            moving.push_back(move);
            current.push_back(name);
        } else if (isOwed(journal, move, c.redo)) {
            QString reason;
            if (undecided) {
                reason = QCoreApplication::translate(
                    "UndoRun", "cannot be told apart from another file of the run");
            } else if (now.has(from)) {
                reason = QCoreApplication::translate("UndoRun", "changed since the run");
            } else if (!name.isEmpty()) {
                reason = QCoreApplication::translate("UndoRun", "renamed since the run (now “%1”)")
                             .arg(TextEscape::path(name));
            } else {
                reason = QCoreApplication::translate("UndoRun", "missing");
            }
            keep(move, from, to, reason);
        }
    }

    // A file whose name to take is held by a file that stays, stays too, and
    // so does the file that was to take its name, and so on.
    // Names compare by the folder's rule: on a volume that does not tell
    // case apart, "P2" is taken while "p2" is there.
    const bool caseInsensitive = now.facts().caseInsensitive;
    const auto keyOf = [caseInsensitive](const QByteArray &name) {
        return caseInsensitive ? RenamePlan::nameKey(name, true) : name;
    };
    QSet<QByteArray> takenKeys;
    if (caseInsensitive) {
        for (const std::string_view name : now.facts().names)
            takenKeys.insert(keyOf(QByteArray(name.data(), qsizetype(name.size()))));
    }
    const qsizetype count = qsizetype(moving.size());
    QHash<QByteArray, qsizetype> byCurrent;
    byCurrent.reserve(count);
    for (qsizetype k = 0; k < count; ++k)
        byCurrent.insert(keyOf(current[size_t(k)]), k);
    const auto targetOf = [&](qsizetype k) -> const QByteArray & {
        const JournalMove &m = journal.moves[moving[size_t(k)]];
        return c.redo ? m.newName : m.oldName;
    };
    std::vector<qsizetype> waitsFor(size_t(count), -1);
    std::vector<qsizetype> waitedBy(size_t(count), -1);
    std::vector<qsizetype> blocked;
    for (qsizetype k = 0; k < count; ++k) {
        const QByteArray target = keyOf(targetOf(k));
        const auto found = byCurrent.constFind(target);
        if (found != byCurrent.cend()) {
            // A change of case only waits for nothing: the name is its own.
            if (*found != k) {
                waitsFor[size_t(k)] = *found;
                waitedBy[size_t(*found)] = k;
            }
        } else if (caseInsensitive ? takenKeys.contains(target) : now.has(targetOf(k))) {
            blocked.push_back(k);
        }
    }
    std::vector<quint8> stays(size_t(count), 0);
    for (qsizetype k : blocked) {
        for (; k >= 0 && !stays[size_t(k)]; k = waitedBy[size_t(k)]) {
            stays[size_t(k)] = 1;
            keep(moving[size_t(k)], current[size_t(k)], targetOf(k),
                 c.redo ? QCoreApplication::translate("UndoRun", "new name taken")
                        : QCoreApplication::translate("UndoRun", "old name taken"));
        }
    }

    std::vector<RenameRun::Entry> entries(static_cast<size_t>(count));
    std::vector<qint32> positions;
    for (qsizetype k = 0; k < count; ++k) {
        if (stays[size_t(k)])
            continue;
        RenameRun::Entry &entry = entries[size_t(k)];
        const QByteArray &spelling = journal.moves[moving[size_t(k)]].folder;
        entry.oldPath = NativePath::joined(spelling, current[size_t(k)]);
        entry.newPath = NativePath::joined(spelling, targetOf(k));
        entry.base = qint32(spelling.endsWith('/') ? spelling.size() : spelling.size() + 1);
        entry.outcome = RenameRun::Outcome::Renamed;
        positions.push_back(qint32(k));
    }
    // The progress counts the files owed a move; the run counts those it
    // moves here.
    c.movers.moved(
        std::max<qsizetype>(0, owedOf(journal, moves, c.redo) - qsizetype(positions.size())));
    const FileIdentity folderIdentity(now.facts().device, now.facts().inode);
    FolderRun run(entries.data(), [&](const QByteArray &, FileIdentity *id) {
        *id = folderIdentity;
        return true;
    });
    run.setRecorder(
        {[&](qsizetype k, const QByteArray &name) {
             return c.appender.temporaryName(moving[size_t(k)], name);
         },
         [&](qsizetype k, bool moved) {
             if (moved)
                 c.appender.back(moving[size_t(k)]);
         },
         [&](qsizetype k, JournalStep::Kind kind, const QByteArray &from, const QByteArray &to) {
             return c.appender.step(moving[size_t(k)], kind, from, to);
         }});
    std::vector<quint8> finished(static_cast<size_t>(count), 0);
    run.run(
        positions, [&](qsizetype k) { return waitsFor[size_t(k)]; }, finished,
        [&](qsizetype some) { c.movers.moved(some); },
        [&] { return c.cancel && c.cancel->load(std::memory_order_relaxed); });
    for (const qint32 k : positions) {
        const RenameRun::Entry &entry = entries[size_t(k)];
        const qsizetype move = moving[size_t(k)];
        if (!finished[size_t(k)]) {
            results.result[size_t(move)] = Result::NotAttempted;
        } else if (entry.outcome == RenameRun::Outcome::Renamed) {
            results.result[size_t(move)] = Result::Moved;
            results.from[size_t(move)] = entry.oldPath;
            results.to[size_t(move)] = entry.newPath;
        } else {
            keep(move, current[size_t(k)], targetOf(k), entry.error);
        }
    }
}

} // namespace UndoFolder
