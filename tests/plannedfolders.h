// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/folderfacts.h"
#include "plan/renameplan.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// What a plan would learn of a folder holding `names`, without a disk: a
// Windows-named one on a `fileSystem` given, with the reason it cannot be
// written to in `notWritable`.
inline FolderFacts factsWith(const QStringList &names, bool caseless,
                             const QString &fileSystem = {}, const QString &notWritable = {})
{
    FolderFacts facts;
    facts.opened = true;
    facts.device = 1;
    facts.inode = 2;
    facts.caseInsensitive = caseless;
    facts.fileSystem = fileSystem;
    facts.windowsNames = !fileSystem.isEmpty();
    facts.notWritable = notWritable;
    std::vector<std::pair<size_t, size_t>> spans;
    for (const QString &name : names) {
        const QByteArray bytes = name.toUtf8();
        spans.emplace_back(facts.nameBytes.size(), size_t(bytes.size()));
        facts.nameBytes.insert(facts.nameBytes.end(), bytes.begin(), bytes.end());
    }
    facts.indexNames(spans);
    return facts;
}

// Each row as "unchanged", "move", "move after N" (1-based), "refused: REASON"
// or "conflict: REASON".
inline QStringList planOutcome(const RenamePlan &plan)
{
    QStringList result;
    for (const RenamePlan::Row &row : plan.rows()) {
        using St = RenamePlan::Status;
        result << (row.status == St::Unchanged ? QStringLiteral("unchanged")
                   : row.status == St::Refused ? QStringLiteral("refused: ") + row.reason
                   : row.status == St::Conflict
                       ? QStringLiteral("conflict: ") + row.reason
                       : (row.after < 0 ? QStringLiteral("move")
                                        : QStringLiteral("move after %1").arg(row.after + 1)));
    }
    return result;
}

// The plan of `files`, all of one folder that `facts` tells of, given their new
// names; with `makeFolders`, `targets` tells of the folders the names make. The
// facts are moved, never copied: their names point into their own bytes.
template<typename Files> // of RenamePlan::File or RenamePlan::Listed
RenamePlan planOfOneFolder(const Files &files, const QStringList &newNames, FolderFacts &&facts,
                           bool unique = false, bool makeFolders = false,
                           const RenamePlan::TargetFacts &targets = {})
{
    std::vector<qint32> folderOfFile;
    std::vector<QByteArray> folders = RenamePlan::foldersOf(files, &folderOfFile);
    std::vector<FolderFacts> all;
    all.push_back(std::move(facts));
    return RenamePlan::compute(files, std::vector<QString>(newNames.begin(), newNames.end()),
                               folderOfFile, std::move(folders), std::move(all), unique,
                               makeFolders, targets);
}
