// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/renameplan.h"

#include "files/filelist.h"
#include "plan/namerules.h"
#include "plan/plannames.h"
#include "plan/typednames.h"
#include "posix/fileidentity.h"
#include "posix/namecodec.h"
#include "posix/sidebyside.h"
#include "rules/companionname.h"
#include "rules/textrules.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <utility>

namespace PlanNames {

// What two names of one folder are compared by: canonically equivalent names
// look the same, so they compare in NFC, and on a folder that does not tell
// case apart, case-folded as well. Plain ASCII keeps its bytes.
QByteArray keyOf(const QString &text, const QByteArray &bytes, bool caseInsensitive)
{
    // A name holding bytes that are not UTF-8 is compared by its bytes:
    // normalising or folding would turn those bytes into U+FFFD, and two
    // different names into one.
    if ((!caseInsensitive && NameCodec::isAscii(bytes)) || NameCodec::hasEscapedBytes(text))
        return bytes;
    QString key = NameCodec::isAscii(bytes) ? text : text.normalized(QString::NormalizationForm_C);
    if (caseInsensitive)
        key = key.toCaseFolded();
    return key.toUtf8();
}

QString quoted(const QString &name)
{
    return QStringLiteral("“%1”").arg(name);
}

} // namespace PlanNames

using PlanNames::keyOf;

QByteArray RenamePlan::Row::nativeName() const
{
    return NameCodec::encode(newName);
}

QByteArray RenamePlan::nameKey(const QByteArray &name, bool caseInsensitive)
{
    return keyOf(NameCodec::decode(name), name, caseInsensitive);
}

RenamePlan RenamePlan::compute(const std::vector<File> &files, std::vector<QString> newNames,
                               const std::vector<qint32> &folderOfFile,
                               std::vector<QByteArray> folders, std::vector<FolderFacts> facts,
                               bool uniqueNames, bool makeFolders, const TargetFacts &targets)
{
    return compute(listedOf(files), std::move(newNames), folderOfFile, std::move(folders),
                   std::move(facts), uniqueNames, makeFolders, targets);
}

RenamePlan RenamePlan::compute(const std::vector<Listed> &files, std::vector<QString> newNames,
                               const std::vector<qint32> &folderOfFile,
                               std::vector<QByteArray> folders, std::vector<FolderFacts> facts,
                               bool uniqueNames, bool makeFolders, const TargetFacts &targets)
{
    RenamePlan plan;
    plan.m_folders = std::move(folders);
    plan.m_facts = std::move(facts);
    plan.m_rows.resize(files.size());

    // Two spellings of one folder (through a link) are one folder.
    QHash<FileIdentity, qint32> groupOfIdentity;
    std::vector<qint32> groupOfFolder(plan.m_folders.size());
    qint32 groups = 0;
    for (size_t f = 0; f < plan.m_folders.size(); ++f) {
        const FolderFacts &folder = plan.m_facts[f];
        if (!folder.opened) {
            groupOfFolder[f] = groups++;
            continue;
        }
        const auto found = groupOfIdentity.constFind({folder.device, folder.inode});
        groupOfFolder[f] = found != groupOfIdentity.constEnd() ? *found : groups;
        if (groupOfFolder[f] == groups)
            groupOfIdentity.insert({folder.device, folder.inode}, groups++);
    }
    std::vector<std::vector<qint64>> rowsOfGroup(static_cast<size_t>(groups));
    plan.m_groupOfFolder = groupOfFolder;
    plan.m_groupCount = groups;

    const auto judge = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            Row &row = plan.m_rows[i];
            row.folder = folderOfFile[i];
            row.newName = std::move(newNames[i]);
            if (files[i].isCurrentName(row.newName)) {
                row.status = Status::Unchanged;
            } else {
                row.reason = makeFolders ? NameRules::folderPathReason(row.newName)
                                         : NameRules::refusalReason(
                                               row.newName, NameCodec::encodedSize(row.newName));
                row.status = row.reason.isEmpty() ? Status::Move : Status::Refused;
            }
        }
    };
    const size_t half = files.size() / 2;
    sideBySideWhen(
        files.size() >= ParallelFiles, [&] { judge(0, half); }, [&] { judge(half, files.size()); });
    // The rows hold the names now; a million empty strings are still 24 MB.
    newNames = std::vector<QString>();
    // Each group's rows reserved exactly: grown by push_back, a group of a
    // million rows would hold up to twice what it needs.
    {
        std::vector<qint64> counts(rowsOfGroup.size(), 0);
        for (size_t i = 0; i < files.size(); ++i)
            ++counts[size_t(groupOfFolder[size_t(folderOfFile[i])])];
        for (size_t g = 0; g < rowsOfGroup.size(); ++g)
            rowsOfGroup[g].reserve(size_t(counts[g]));
    }
    for (size_t i = 0; i < files.size(); ++i)
        rowsOfGroup[size_t(groupOfFolder[size_t(folderOfFile[i])])].push_back(qint64(i));
    // Each folder's rows are its own: two threads take folders in turn.
    std::atomic<size_t> nextGroup{0};
    const auto resolve = [&] {
        for (size_t g = nextGroup++; g < rowsOfGroup.size(); g = nextGroup++) {
            const std::vector<qint64> &rows = rowsOfGroup[g];
            if (!rows.empty())
                plan.resolveFolder(rows, files,
                                   plan.m_facts[size_t(plan.m_rows[size_t(rows[0])].folder)],
                                   uniqueNames, rowsOfGroup.size() == 1);
        }
    };
    sideBySideWhen(rowsOfGroup.size() > 1 && files.size() >= ParallelFiles, resolve, resolve);
    // Each folder's names have done their part: a million of them are some
    // forty megabytes that the run would otherwise hold to its end.
    for (FolderFacts &folder : plan.m_facts)
        folder.releaseNames();
    if (makeFolders)
        plan.resolveTargets(files, targets);

    for (size_t i = 0; i < plan.m_rows.size(); ++i) {
        switch (plan.m_rows[i].status) {
        case Status::Unchanged:
            ++plan.m_unchanged;
            break;
        case Status::Move:
            ++plan.m_moves;
            break;
        case Status::Refused:
        case Status::Conflict:
            if (plan.m_problems++ == 0)
                plan.m_firstProblem = qint64(i);
            break;
        }
    }
    plan.m_complete = true;
    return plan;
}
