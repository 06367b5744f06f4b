// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/undorun.h"

#include "plan/folderfacts.h"
#include "plan/renameplan.h"
#include "posix/fileidentity.h"
#include "posix/nativemove.h"
#include "posix/textescape.h"
#include "rename/filematch.h"
#include "rename/folderlevels.h"
#include "rename/foldernow.h"
#include "rename/folderrun.h"
#include "rename/journal.h"
#include "rename/movers.h"
#include "rename/opensteps.h"
#include "rename/renamerun.h"
#include "rename/undofolder.h"

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

bool isBelowOneOf(QByteArray folder, const QSet<QByteArray> &folders)
{
    for (qsizetype slash = folder.lastIndexOf('/'); slash > 0; slash = folder.lastIndexOf('/')) {
        folder.truncate(slash);
        if (folders.contains(folder))
            return true;
    }
    return folders.contains("/") && folder.size() > 1;
}

// An absolute folder, spelled as a run writes it: no "." or ".." steps.
bool isFolderPath(const QByteArray &folder)
{
    if (folder == "/")
        return true;
    if (!folder.startsWith('/') || folder.contains('\0'))
        return false;
    const QList<QByteArray> steps = folder.mid(1).split('/');
    return std::none_of(steps.cbegin(), steps.cend(), [](const QByteArray &step) {
        return step.isEmpty() || step == "." || step == "..";
    });
}

// The folders' groups in the order they can go: where the run renamed
// folders, an undo takes the shallowest back first (the paths below are then
// as the journal names them) and a redo the deepest first, as the run did.
std::vector<std::vector<size_t>> levelsOf(const RunJournal &journal,
                                          const std::vector<QByteArray> &folders, bool redo)
{
    if (!FolderLevels::movesFolders(journal.moves))
        return FolderLevels::single(folders.size());
    return FolderLevels::of(folders, redo);
}

} // namespace

namespace UndoRun {

Report run(const QString &journalPath, Direction direction, const Progress &progress,
           const std::atomic<bool> *cancel)
{
    Report report;
    const bool redo = direction == Direction::Redo;
    report.redone = redo;
    RunJournal journal;
    QString error;
    if (!Journal::read(journalPath, &journal, &error)) {
        report.error =
            QCoreApplication::translate("UndoRun", "The journal cannot be read: %1").arg(error);
        return report;
    }
    if (journal.moves.isEmpty()) {
        report.error = QCoreApplication::translate("UndoRun", "The journal holds no moves.");
        return report;
    }
    // Moves come folder by folder: each folder is looked at once.
    const QByteArray *soundFolder = nullptr;
    for (qsizetype move = 0; move < journal.moves.size(); ++move) {
        const JournalMove &m = journal.moves[move];
        const QByteArray temporary = journal.temporaryNames.value(move);
        const bool folderSound =
            (soundFolder && *soundFolder == m.folder) || isFolderPath(m.folder);
        soundFolder = folderSound ? &m.folder : nullptr;
        const bool newSound = journal.version >= 2 ? UndoRun::isNameBelow(m.newName)
                                                   : UndoRun::isEntryName(m.newName);
        if (!folderSound || !UndoRun::isEntryName(m.oldName) || !newSound ||
            (!temporary.isEmpty() && !UndoRun::isEntryName(temporary))) {
            report.error = QCoreApplication::translate(
                               "UndoRun", "The journal is damaged: move %1 is not one of a file "
                                          "in its folder.")
                               .arg(move);
            return report;
        }
    }
    QSet<QByteArray> moveFolders;
    for (const JournalMove &m : std::as_const(journal.moves))
        moveFolders.insert(m.folder);
    for (const QByteArray &made : std::as_const(journal.madeFolders)) {
        if (!isFolderPath(made) || !isBelowOneOf(made, moveFolders)) {
            report.error = QCoreApplication::translate(
                               "UndoRun", "The journal is damaged: the folder “%1” is not one "
                                          "below the folders of its files.")
                               .arg(TextEscape::path(made));
            return report;
        }
    }
    const RunJournal::State state = journal.state;
    if (!redo && state == RunJournal::State::Undone) {
        report.error = QCoreApplication::translate("UndoRun", "This run has been undone already.");
        return report;
    }
    if (redo && state != RunJournal::State::Undone && state != RunJournal::State::UndoInterrupted &&
        state != RunJournal::State::PartlyUndone) {
        report.error = QCoreApplication::translate(
            "UndoRun", "This run has not been undone, so there is nothing to redo.");
        return report;
    }
    JournalAppender appender;
    bool writable = appender.open(journalPath, &error, journal.damaged ? journal.soundSize : -1);
    if (writable && !appender.start(redo, QDateTime::currentMSecsSinceEpoch())) {
        error = appender.failure();
        writable = false;
    }
    if (!writable) {
        report.error =
            QCoreApplication::translate("UndoRun", "The journal cannot be written: %1").arg(error);
        return report;
    }
    report.ran = true;
    UndoRun::settleOpenSteps(journal);
    // The files go back into the folders the run made for them.
    if (redo)
        RenameRun::makeFolders(journal.madeFolders,
                               [&](const QByteArray &folder) { return appender.folder(folder); },
                               {});

    // The folders in the order of their first move, each with its moves last
    // first. A folder the run reached by two paths (itself and a link to it)
    // is one folder here too: its names are taken back in one listing, or
    // each path's moves would find the names the other's are to free taken.
    std::vector<QByteArray> folders;
    std::vector<std::vector<qsizetype>> movesOf;
    QHash<QByteArray, size_t> folderIndex;
    QHash<FileIdentity, size_t> identityIndex;
    for (qsizetype move = journal.moves.size() - 1; move >= 0; --move) {
        const QByteArray &folder = journal.moves[move].folder;
        auto found = folderIndex.constFind(folder);
        if (found == folderIndex.cend()) {
            size_t index = folders.size();
            struct stat info;
            if (::stat(folder.constData(), &info) == 0) {
                const FileIdentity identity = fileIdentity(info);
                const auto same = identityIndex.constFind(identity);
                if (same != identityIndex.cend())
                    index = *same;
                else
                    identityIndex.insert(identity, index);
            }
            if (index == folders.size()) {
                folders.push_back(folder);
                movesOf.emplace_back();
            }
            found = folderIndex.insert(folder, index);
        }
        movesOf[*found].push_back(move);
    }

    const qsizetype total = journal.moves.size();
    UndoFolder::Results results(total);
    // The progress counts files to move back, not the moves planned: the
    // files a cancelled run never reached have nothing to undo.
    qsizetype owed = 0;
    for (qsizetype move = 0; move < total; ++move)
        owed += UndoFolder::isOwed(journal, move, redo) ? 1 : 0;
    VolumeIds volumes;
    qsizetype doneBefore = 0;
    for (const std::vector<size_t> &level : levelsOf(journal, folders, redo)) {
        Movers movers(level.size(), owed, doneBefore);
        UndoFolder::Context context{journal, redo, results, appender, cancel, movers, volumes};
        movers.run(
            [&] {
                size_t taken = 0;
                while (movers.take(&taken)) {
                    const size_t f = level[taken];
                    if (cancel && cancel->load()) {
                        for (const qsizetype move : movesOf[f])
                            results.result[size_t(move)] = UndoFolder::Result::NotAttempted;
                        continue;
                    }
                    UndoFolder::undoFolder(folders[f], movesOf[f], context);
                }
            },
            progress);
        for (const size_t f : level)
            doneBefore += UndoFolder::owedOf(journal, movesOf[f], redo);
    }

    for (qsizetype move = total - 1; move >= 0; --move) {
        switch (results.result[size_t(move)]) {
        case UndoFolder::Result::None:
            break;
        case UndoFolder::Result::Moved:
            report.moved.append({results.from[size_t(move)], results.to[size_t(move)]});
            break;
        case UndoFolder::Result::Kept:
            report.kept.append({results.from[size_t(move)], results.to[size_t(move)],
                                results.reason[size_t(move)]});
            appender.kept(move, results.reason[size_t(move)]);
            break;
        case UndoFolder::Result::NotAttempted:
            ++report.notAttempted;
            break;
        }
    }
    // A cancelled undo stays open: it may be carried on, or the files taken
    // back so far may be redone. One that kept files closes as partly undone
    // (the reader tells by its count of files kept): a later undo takes back
    // the rest.
    // The folders the run made go once empty, deepest first; one that holds
    // anything else stays.
    if (!redo && report.notAttempted == 0) {
        QList<QByteArray> made = journal.madeFolders;
        std::sort(made.begin(), made.end());
        for (auto folder = made.crbegin(); folder != made.crend(); ++folder) {
            if (::rmdir(folder->constData()) != 0 && errno != ENOENT)
                report.foldersKept << *folder;
        }
    }
    if (report.notAttempted == 0)
        appender.finish(redo, report.moved.size(), report.kept.size());
    if (progress)
        progress(owed, owed);
    return report;
}

} // namespace UndoRun
