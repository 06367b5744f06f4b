// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamerun.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "plan/namerules.h"
#include "plan/renameplan.h"
#include "plan/typednames.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "rename/accessgrant.h"
#include "rename/folderlevels.h"
#include "rename/folderrun.h"
#include "rename/identitylookahead.h"
#include "rename/journal.h"
#include "rename/journalplan.h"
#include "rename/movers.h"
#include "rename/pausepoints.h"
#include "rename/renamelog.h"
#include "rename/runhistory.h"
#include "rename/userdefaults.h"
#include "rules/namecomposer.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDateTime>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

// Every record below a folder the run renamed (whose own move left its path
// as it was before the run) takes the folder's new path, and so do the
// listed folders' identities.
void followRenamedFolders(FileList &list, const RenameRun::Entry *entries, qsizetype total)
{
    QHash<QByteArray, QByteArray> renamed;
    for (qsizetype position = 0; position < total; ++position) {
        const RenameRun::Entry &entry = entries[position];
        if (entry.folder && entry.outcome == RenameRun::Outcome::Renamed &&
            list.contentsArray()[size_t(position)]->nativePath() == entry.newPath)
            renamed.insert(entry.oldPath, entry.newPath);
    }
    if (renamed.isEmpty())
        return;
    FolderLevels::PathMap map([&renamed](const QByteArray &before, QByteArray *after) {
        const auto found = renamed.constFind(before);
        if (found == renamed.cend())
            return false;
        *after = *found;
        return true;
    });
    for (const auto &file : list.contentsArray()) {
        const QByteArray now = map.path(file->nativePath());
        if (now != file->nativePath())
            list.setNativePath(file.get(), now);
    }
    const QHash<QByteArray, FileList::FolderIdentity> identities = list.folderIdentities();
    for (auto it = identities.cbegin(); it != identities.cend(); ++it) {
        const QByteArray now = map.folder(it.key());
        if (now != it.key())
            list.setFolderIdentity(now, it.value());
    }
}

} // namespace

namespace RenameRun {

qsizetype nameStart(const Entry &entry)
{
    return entry.base >= 0 ? entry.base : NativePath::nameStart(entry.oldPath);
}

const char *oldNameOf(const Entry &entry)
{
    return entry.oldPath.constData() + nameStart(entry);
}

const char *newNameOf(const Entry &entry)
{
    return entry.newPath.constData() +
           (entry.base >= 0 ? entry.base : NativePath::nameStart(entry.newPath));
}

QString oldNameText(const Entry &entry)
{
    return NameCodec::decode(QByteArrayView(oldNameOf(entry)));
}

QString refusalReason(const QString &newName)
{
    return NameRules::refusalReason(newName);
}

QString folderReplacedReason()
{
    return QStringLiteral("the folder was replaced after it was listed");
}

Report clickStart(FileList &list, const NameComposer &composer, AccessPrompt *prompt,
                  UserDefaults *defaults, const Progress &progress, const std::atomic<bool> *cancel,
                  const JournalChoice &journal)
{
    const TypedNames none;
    return clickStart(list, none.source(list, composer), prompt, defaults, progress, cancel,
                      journal, composer.settings().uniqueNames, composer.settings().makeFolders);
}

Report clickStart(FileList &list, const NameSource &newNameForFile, AccessPrompt *prompt,
                  UserDefaults *defaults, const Progress &progress, const std::atomic<bool> *cancel,
                  const JournalChoice &journal, bool uniqueNames, bool makeFolders,
                  RenamePlan::ReadAhead *readAhead, bool recordsFollow)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    Report report;
    if (list.isEmpty())
        return report;

    const auto &files = list.contentsArray();
    const qsizetype total = list.count();
    if (prompt) {
        const QByteArray root = accessRoot(list);
        std::unique_ptr<UserDefaults> ownDefaults;
        if (!defaults) {
            ownDefaults = std::make_unique<UserDefaults>();
            defaults = ownDefaults.get();
        }
        if (!storedGrantCovers(root, *defaults) && !requestFilesystem(root, *prompt, *defaults))
            return report;
    }
    report.ran = true;

    // The plan of the list as the table shows it: the counter index is the
    // display row, so that the names applied are the names previewed in
    // either sort direction. Every name is known before the first move.
    const bool descending = list.sortDescending();
    const auto flip = [&](qsizetype i) { return descending ? total - 1 - i : i; };
    // The plan reads no more of a file than its path and name, where the
    // record has them: its new name comes from the source. A name that is
    // the decoded last component of the path (every listed file's) is
    // decoded where the plan needs it; any other is held here meanwhile.
    // The journal's look at each file, on a second thread while the plan
    // is made (until the journal is written).
    std::optional<IdentityLookahead> ahead;
    if (journal.keep)
        ahead.emplace(files);
    std::vector<RenamePlan::Listed> planFiles(static_cast<size_t>(total));
    std::deque<QString> ownNames;
    std::vector<QString> names(static_cast<size_t>(total));
    for (qsizetype row = 0; row < total; ++row) {
        const ZQFile &file = *files[size_t(flip(row))];
        const QString *name = nullptr;
        if (file.nameBytes().isEmpty())
            name = &ownNames.emplace_back(file.name());
        // Companions carry their lead, so that the plan moves each group
        // as one.
        planFiles[size_t(row)] = {&file.nativePath(), name, qint32(list.companionLead(row))};
        names[size_t(row)] = newNameForFile(file, row);
    }
    RenamePlan plan =
        RenamePlan::fromNames(planFiles, std::move(names), uniqueNames, makeFolders, readAhead);
    // A million files hold hundreds of megabytes here: what is no longer
    // needed goes before the next step takes its share.
    planFiles = std::vector<RenamePlan::Listed>();
    ownNames = std::deque<QString>();

    // Reserved exactly: growing by resize would round the block up to a
    // power of two. So are the lists of moves, from the plan's counts.
    report.entries.reserve(total);
    report.entries.resize(total);
    Entry *const entries = report.entries.data();
    // Positions in 32 bits, as the plan numbers its rows.
    std::vector<qint32> waitsFor(size_t(total), -1);
    std::vector<std::vector<qint32>> movesOfGroup(size_t(plan.groupCount()));
    {
        std::vector<qsizetype> counts(movesOfGroup.size(), 0);
        for (const RenamePlan::Row &row : plan.rows()) {
            if (row.status == RenamePlan::Status::Move)
                ++counts[size_t(plan.groupOf(row.folder))];
        }
        for (size_t g = 0; g < movesOfGroup.size(); ++g)
            movesOfGroup[g].reserve(size_t(counts[g]));
    }
    qsizetype moves = 0;
    std::vector<qint32> journalPositions; // the moves, in the journal's order
    std::vector<qint32> journalFolders;
    if (journal.keep) {
        journalPositions.reserve(size_t(plan.moves()));
        journalFolders.reserve(size_t(plan.moves()));
    }
    bool foldersMove = false;
    for (qsizetype position = 0; position < total; ++position) {
        const ZQFile &file = *files[size_t(position)];
        const RenamePlan::Row &row = plan.row(flip(position));
        Entry &entry = entries[position];
        entry.oldPath = file.nativePath();
        entry.folder = file.isDirectory();
        // A name that could not be made leaves the file under its own; the
        // plan refuses such a name.
        entry.newName = ComposedName::isRefused(row.newName) ? file.name() : row.newName;
        if (row.status == RenamePlan::Status::Unchanged) {
            entry.newPath = entry.oldPath;
            entry.outcome = Outcome::Unchanged;
            continue;
        }
        // Its new path is made once the rows are gone (below).
        if (row.status != RenamePlan::Status::Refused)
            entry.base = qint32(NativePath::nameStart(entry.oldPath));
        if (row.status != RenamePlan::Status::Move) {
            entry.outcome = Outcome::Failed;
            entry.error = row.reason;
            continue;
        }
        entry.outcome = Outcome::Renamed; // until the move says otherwise
        waitsFor[size_t(position)] = row.after < 0 ? -1 : qint32(flip(row.after));
        movesOfGroup[size_t(plan.groupOf(row.folder))].push_back(qint32(position));
        ++moves;
        foldersMove = foldersMove || entry.folder;
        if (journal.keep) {
            journalPositions.push_back(qint32(position));
            journalFolders.push_back(row.folder);
        }
    }
    // The entries hold all that the moves need of the rows.
    plan.releaseRows();
    // Each new path where the rows held the new names, so that a million
    // rows and a million paths are never held at once: the folder the file
    // is listed in, then the new name's bytes (Row::nativeName).
    QSet<QByteArray> foldersToMake;
    for (qsizetype position = 0; position < total; ++position) {
        Entry &entry = entries[position];
        if (entry.outcome == Outcome::Unchanged || entry.base < 0)
            continue;
        const QByteArray newNativeName = NameCodec::encode(entry.newName);
        entry.newPath.reserve(entry.base + newNativeName.size());
        entry.newPath.append(entry.oldPath.constData(), entry.base);
        entry.newPath += newNativeName;
        if (entry.outcome == Outcome::Renamed && entry.newName.contains(u'/')) {
            // Every folder on the way, parents first once sorted.
            for (qsizetype slash = entry.newPath.indexOf('/', entry.base); slash >= 0;
                 slash = entry.newPath.indexOf('/', slash + 1))
                foldersToMake.insert(entry.newPath.first(slash));
        }
    }

    // The journal is whole on disk before the first move, or nothing moves.
    std::unique_ptr<JournalWriter> writer;
    std::vector<qint32> journalIndex;
    const QString journalFolder =
        journal.folder.isEmpty() ? RunHistory::runsFolder() : journal.folder;
    if (ahead)
        ahead->finish();
    if (journal.keep && moves > 0) {
        writer = std::make_unique<JournalWriter>();
        QString error;
        if (!writer->begin(journalFolder,
                           JournalPlan::source(plan, entries, files, journalPositions,
                                               journalFolders, ahead ? &*ahead : nullptr),
                           QDateTime::currentMSecsSinceEpoch(), &error)) {
            Report refused;
            refused.journalError =
                QCoreApplication::translate("RenameRun", "cannot write the journal in %1: %2")
                    .arg(journalFolder, error);
            return refused;
        }
        report.journalPath = writer->path();
        journalIndex.assign(size_t(total), -1);
        for (size_t k = 0; k < journalPositions.size(); ++k)
            journalIndex[size_t(journalPositions[k])] = qint32(k);
        PausePoints::at("planned");
    }
    journalPositions.clear();
    journalFolders.clear();

    // The folders the new names lead into, each in the journal before it is
    // made, so that an undo removes what the run made, even after a kill.
    QList<QByteArray> madeFolders;
    if (!foldersToMake.isEmpty()) {
        RenameRun::makeFolders(
            foldersToMake.values(),
            [&](const QByteArray &folder) { return !writer || writer->recordFolder(folder); },
            [&](const QByteArray &folder, bool made) {
                if (made)
                    madeFolders << folder;
                else if (writer)
                    writer->recordFolderGone(folder);
            });
    }

    // The identity each folder was listed with, for the check that the folder
    // opened for the moves is that folder; the plan's look at it when the
    // intake recorded none.
    QHash<QByteArray, FileIdentity> listed;
    for (size_t f = 0; f < plan.folders().size(); ++f) {
        const QByteArray &folder = plan.folders()[f];
        FileIdentity identity;
        if (list.folderIdentity(folder, &identity))
            listed.insert(folder, identity);
        else if (plan.facts()[f].opened)
            listed.insert(folder, {plan.facts()[f].device, plan.facts()[f].inode});
    }
    const auto listedIdentity = [&listed](const QByteArray &folder, FileIdentity *id) {
        const auto found = listed.constFind(folder);
        if (found == listed.constEnd())
            return false;
        *id = *found;
        return true;
    };

    // Folders move side by side, each whole on one thread, since a move never
    // touches another folder's names; this thread reports the progress.
    std::erase_if(movesOfGroup, [](const auto &group) { return group.empty(); });
    std::vector<quint8> finished(size_t(total), 0);
    // Where folders are renamed, a folder's group goes only once every group
    // below it has, so that each path is good when its move comes.
    std::vector<std::vector<size_t>> levels;
    if (foldersMove) {
        std::vector<QByteArray> groupFolders;
        groupFolders.reserve(movesOfGroup.size());
        for (const auto &group : movesOfGroup) {
            const QByteArray &path = entries[group.front()].oldPath;
            groupFolders.push_back(path.first(NativePath::nameStart(path)));
        }
        levels = FolderLevels::of(groupFolders, true);
    } else {
        levels = FolderLevels::single(movesOfGroup.size());
    }
    const std::vector<size_t> *level = nullptr;
    Movers *levelMovers = nullptr;
    const auto mover = [&] {
        Movers &movers = *levelMovers;
        // Handed to the journal in batches, as they reach the file anyway.
        JournalWriter::Outcomes outcomes;
        size_t taken = 0;
        while (!cancelled() && (!writer || writer->healthy()) && movers.take(&taken)) {
            const size_t group = (*level)[taken];
            FolderRun folder(entries, listedIdentity);
            if (writer)
                folder.setRecorder(
                    {[&](qsizetype p, const QByteArray &name) {
                         return writer->recordTemporaryName(journalIndex[size_t(p)], name);
                     },
                     [&](qsizetype p, bool moved) {
                         outcomes.add(journalIndex[size_t(p)], moved);
                         if (outcomes.count() >= 64)
                             writer->recordOutcomes(outcomes);
                     },
                     [&](qsizetype p, JournalStep::Kind kind, const QByteArray &from,
                         const QByteArray &to) {
                         return writer->recordStep(journalIndex[size_t(p)], kind, from, to);
                     }});
            folder.run(
                movesOfGroup[group], [&](qsizetype p) { return waitsFor[size_t(p)]; }, finished,
                [&](qsizetype count) { movers.moved(count); },
                [&] { return movers.stopped() || cancelled() || (writer && !writer->healthy()); });
        }
        if (writer)
            writer->recordOutcomes(outcomes);
    };
    const auto recordMove = [&](qsizetype position) {
        const Entry &entry = entries[position];
        ZQFile *file = files[size_t(position)].get();
        // Into a folder below: the record's name is the last part.
        const qsizetype slash = entry.newName.lastIndexOf(u'/');
        list.setNativePath(file, entry.newPath,
                           slash < 0 ? entry.newName : entry.newName.sliced(slash + 1));
    };

    list.beginPathChanges();
    try {
        qsizetype doneBefore = total - moves;
        for (const std::vector<size_t> &groups : levels) {
            Movers movers(groups.size(), total, doneBefore);
            level = &groups;
            levelMovers = &movers;
            movers.run(mover, progress);
            for (const size_t group : groups)
                doneBefore += qsizetype(movesOfGroup[group].size());
        }
        for (qsizetype position = 0; position < total; ++position) {
            Entry &entry = entries[position];
            // A move the cancelled run never came to.
            if (entry.outcome == Outcome::Renamed && !finished[size_t(position)])
                entry.outcome = Outcome::NotAttempted;
            switch (entry.outcome) {
            case Outcome::Renamed:
                if (recordsFollow)
                    recordMove(position);
                ++report.renamed;
                break;
            case Outcome::Failed:
                ++report.failed;
                // Only a name that could not be made fails under the old one.
                RenameLog::write(RenameLog::failureLine(
                    entry.oldPath,
                    entry.newName == oldNameText(entry) ? ComposedName::refused({}) : entry.newName,
                    entry.error));
                break;
            case Outcome::Unchanged:
                ++report.unchanged;
                break;
            case Outcome::NotAttempted:
                ++report.notAttempted;
                break;
            }
        }
        if (foldersMove && recordsFollow)
            followRenamedFolders(list, entries, total);
        // A folder made for files that then could not move there goes again.
        std::sort(madeFolders.begin(), madeFolders.end());
        for (auto folder = madeFolders.crbegin(); folder != madeFolders.crend(); ++folder) {
            if (::rmdir(folder->constData()) == 0 && writer)
                writer->recordFolderGone(*folder);
        }
        if (writer) {
            if (!writer->finish(report.renamed, report.failed, report.notAttempted))
                report.journalFailure = writer->failure();
            writer.reset();
            RunHistory::prune(journalFolder);
        }
        if (progress)
            progress(total, total);
    } catch (...) {
        // The movers have ended (run() joins them on the way out), and every
        // file they moved must have its record follow it, or the list would
        // name files that are gone.
        if (recordsFollow) {
            for (qsizetype position = 0; position < total; ++position) {
                if (finished[size_t(position)] && entries[position].outcome == Outcome::Renamed &&
                    files[size_t(position)]->nativePath() != entries[position].newPath)
                    recordMove(position);
            }
            if (foldersMove)
                followRenamedFolders(list, entries, total);
        }
        list.endPathChanges();
        throw;
    }
    list.endPathChanges();
    return report;
}

} // namespace RenameRun
