// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/renameplan.h"

#include "plan/namerules.h"
#include "plan/plannames.h"
#include "posix/fileidentity.h"
#include "posix/namecodec.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <map>
#include <string_view>

using PlanNames::keyOf;
using PlanNames::quoted;

QByteArray RenamePlan::targetFolder(const Row &row) const
{
    const QByteArray &folder = m_folders[size_t(row.folder)];
    const qsizetype slash = row.newName.lastIndexOf(u'/');
    if (slash < 0)
        return folder;
    return (folder.endsWith('/') ? folder : folder + '/') +
           NameCodec::encode(row.newName.first(slash));
}

void RenamePlan::resolveTargets(const std::vector<Listed> &files, const TargetFacts &targets)
{
    // Folders that no listing covers: made by the run, on the file system of
    // the file's own folder, so empty and with its rules.
    std::map<QByteArray, FolderFacts> assumed;
    // The names each target folder holds by key, for one that does not tell
    // case apart.
    std::map<QByteArray, QHash<QByteArray, QByteArray>> caselessNames;
    QHash<QByteArray, qint64> claimed; // target folder, NUL, key of the name
    // The rows stopped here: the checks of their own folder counted on them.
    std::vector<qint64> stopped;
    const auto conflict = [&](qint64 row, const QString &reason, qint64 other = -1) {
        RenamePlan::conflict(row, reason, other);
        stopped.push_back(row);
    };
    const auto leadsBelow = [](const Row &row) {
        return row.status == Status::Move && row.newName.contains(u'/');
    };
    // A folder below that is listed itself (or another spelling of one) has
    // moves of its own, which take names there that no check of that folder
    // weighed against the moves from above: the group of each such target
    // folder, -1 for any other, and the new names of the moves there, by
    // group, NUL, key.
    QHash<QByteArray, qint32> groupOfTarget;
    QHash<QByteArray, qint64> movedTo;
    {
        QHash<QByteArray, qint32> groupOfPath;
        QHash<FileIdentity, qint32> groupOfIdentity;
        for (size_t f = 0; f < m_folders.size(); ++f) {
            groupOfPath.insert(m_folders[f], m_groupOfFolder[f]);
            if (m_facts[f].opened)
                groupOfIdentity.insert({m_facts[f].device, m_facts[f].inode}, m_groupOfFolder[f]);
        }
        std::vector<bool> listedBelow(size_t(m_groupCount), false);
        bool any = false;
        for (const Row &row : m_rows) {
            if (!leadsBelow(row))
                continue;
            const QByteArray target = targetFolder(row);
            if (groupOfTarget.contains(target))
                continue;
            qint32 group = groupOfPath.value(target, -1);
            const auto found = targets.find(target);
            if (group < 0 && found != targets.end() && found->second.opened &&
                !found->second.missing)
                group = groupOfIdentity.value({found->second.device, found->second.inode}, -1);
            groupOfTarget.insert(target, group);
            if (group >= 0)
                listedBelow[size_t(group)] = any = true;
        }
        for (size_t i = 0; any && i < m_rows.size(); ++i) {
            const Row &row = m_rows[i];
            const qint32 group = m_groupOfFolder[size_t(row.folder)];
            if (row.status != Status::Move || row.newName.contains(u'/') ||
                !listedBelow[size_t(group)])
                continue;
            movedTo.insert(QByteArray::number(group) + '\0' +
                               keyOf(row.newName, row.nativeName(),
                                     m_facts[size_t(row.folder)].caseInsensitive),
                           qint64(i));
        }
    }
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        if (!leadsBelow(row))
            continue;
        const QByteArray native = row.nativeName();
        const qsizetype slash = native.lastIndexOf('/');
        const QByteArray target = targetFolder(row);
        auto found = targets.find(target);
        const FolderFacts *facts = nullptr;
        if (found != targets.end()) {
            facts = &found->second;
        } else {
            auto made = assumed.find(target);
            if (made == assumed.end()) {
                const FolderFacts &own = m_facts[size_t(row.folder)];
                FolderFacts empty;
                empty.opened = own.opened;
                empty.openError = own.openError;
                empty.fileSystem = own.fileSystem;
                empty.caseInsensitive = own.caseInsensitive;
                empty.windowsNames = own.windowsNames;
                empty.notWritable = own.notWritable;
                empty.missing = true;
                made = assumed.emplace(target, std::move(empty)).first;
            }
            facts = &made->second;
        }
        const QByteArray leaf = native.sliced(slash + 1);
        const QString leafText = NameCodec::decode(leaf);
        if (!facts->opened) {
            conflict(qint64(i), facts->openError);
            continue;
        }
        if (!facts->notWritable.isEmpty()) {
            conflict(qint64(i), facts->notWritable);
            continue;
        }
        if (facts->windowsNames) {
            QString reason;
            for (const QString &part : row.newName.split(u'/')) {
                reason = NameRules::windowsReason(part, facts->fileSystem);
                if (!reason.isEmpty())
                    break;
            }
            if (!reason.isEmpty()) {
                conflict(qint64(i), reason);
                continue;
            }
        }
        const bool caseless = facts->caseInsensitive;
        const QByteArray key = keyOf(leafText, leaf, caseless);
        bool onDisk = false;
        if (caseless && !facts->missing) {
            auto names = caselessNames.find(target);
            if (names == caselessNames.end()) {
                QHash<QByteArray, QByteArray> byKey;
                for (const std::string_view name : facts->names) {
                    const QByteArray bytes(name.data(), qsizetype(name.size()));
                    byKey.insert(keyOf(NameCodec::decode(bytes), bytes, true), bytes);
                }
                names = caselessNames.emplace(target, std::move(byKey)).first;
            }
            onDisk = names->second.contains(key);
        } else if (!facts->missing) {
            onDisk = facts->hasName(leaf);
        }
        if (onDisk) {
            conflict(qint64(i),
                     QCoreApplication::translate("RenamePlan", "%1 is taken in the folder %2.")
                         .arg(quoted(leafText), quoted(NameCodec::decode(target))));
            continue;
        }
        if (const qint32 group = groupOfTarget.value(target, -1); group >= 0) {
            const qint64 within = movedTo.value(QByteArray::number(group) + '\0' + key, -1);
            if (within >= 0) {
                conflict(qint64(i),
                         QCoreApplication::translate("RenamePlan",
                                                     "%1 in the folder %2 is the new name of %3.")
                             .arg(quoted(leafText), quoted(NameCodec::decode(target)),
                                  QCoreApplication::translate("RenamePlan", "row %1 (%2)")
                                      .arg(within + 1)
                                      .arg(quoted(files[size_t(within)].currentName()))),
                         within);
                continue;
            }
        }
        const QByteArray claim = target + '\0' + key;
        const qint64 first = claimed.value(claim, -1);
        if (first < 0) {
            claimed.insert(claim, qint64(i));
            continue;
        }
        const Row &other = m_rows[size_t(first)];
        const QString rowText = QCoreApplication::translate("RenamePlan", "row %1 (%2)")
                                    .arg(first + 1)
                                    .arg(quoted(files[size_t(first)].currentName()));
        const QByteArray otherNative = other.nativeName();
        const bool same = otherNative.sliced(otherNative.lastIndexOf('/') + 1) == leaf;
        conflict(qint64(i),
                 (same ? QCoreApplication::translate("RenamePlan", "The same new name as %1.")
                       : QCoreApplication::translate(
                             "RenamePlan", "The new name differs only in case from that of %1, "
                                           "and this folder does not tell case apart."))
                     .arg(rowText),
                 first);
    }
    if (!stopped.empty())
        holdWaiters(std::move(stopped), files);
}

void RenamePlan::holdWaiters(std::vector<qint64> stopped, const std::vector<Listed> &files)
{
    // A row is waited for by at most the one move of its folder that takes
    // its name, but two spellings of a folder may list more: a chain each.
    std::vector<qint32> firstWaiter(m_rows.size(), -1);
    std::vector<qint32> nextWaiter(m_rows.size(), -1);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        if (row.status == Status::Move && row.after >= 0) {
            nextWaiter[i] = firstWaiter[size_t(row.after)];
            firstWaiter[size_t(row.after)] = qint32(i);
        }
    }
    const bool companions =
        std::any_of(files.begin(), files.end(), [](const Listed &file) { return file.lead >= 0; });
    const std::vector<std::vector<qint64>> groups =
        companions ? companionGroups(files, nullptr) : std::vector<std::vector<qint64>>();
    while (!stopped.empty()) {
        // Companions move as one, also when a member's name is taken below.
        if (companions)
            holdGroups(groups, files, &stopped);
        std::vector<qint64> behind;
        while (!stopped.empty()) {
            const qint64 gone = stopped.back();
            stopped.pop_back();
            for (qint32 w = firstWaiter[size_t(gone)]; w >= 0; w = nextWaiter[size_t(w)]) {
                if (m_rows[size_t(w)].status != Status::Move)
                    continue;
                conflict(w,
                         QCoreApplication::translate(
                             "RenamePlan", "The new name is taken by %1, which is not renamed.")
                             .arg(QCoreApplication::translate("RenamePlan", "row %1 (%2)")
                                      .arg(gone + 1)
                                      .arg(quoted(files[size_t(gone)].currentName()))),
                         gone);
                stopped.push_back(w);
                behind.push_back(w);
            }
        }
        // The companions of the rows stopped behind, and what waits for them.
        if (!companions)
            break;
        stopped = std::move(behind);
    }
}
