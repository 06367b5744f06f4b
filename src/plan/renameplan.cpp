#include "plan/renameplan.h"

#include "files/filelist.h"
#include "plan/namerules.h"

#include <QHash>
#include <QSet>

#include <utility>

namespace {

constexpr qsizetype CancelCheckInterval = 4096;

bool isAscii(const QByteArray &bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// What two names of one folder are compared by: canonically equivalent names
// look the same, so they compare in NFC, and on a folder that does not tell
// case apart, case-folded as well. Plain ASCII keeps its bytes.
QByteArray keyOf(const QString &text, const QByteArray &bytes, bool caseInsensitive)
{
    const bool ascii = isAscii(bytes);
    if (ascii && !caseInsensitive)
        return bytes;
    QString key = ascii ? text : text.normalized(QString::NormalizationForm_C);
    if (caseInsensitive)
        key = key.toCaseFolded();
    return key.toUtf8();
}

QByteArray lastComponent(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

QString quoted(const QString &name)
{
    return QStringLiteral("“%1”").arg(name);
}

} // namespace

std::vector<RenamePlan::File> RenamePlan::filesOf(const FileList &list)
{
    std::vector<File> files;
    files.reserve(size_t(list.count()));
    for (qint64 row = 0; row < list.count(); ++row) {
        const ZQFile *file = list.fileAtIndex(row);
        files.push_back({file->nativePath(), file->ruleFile()});
    }
    return files;
}

std::vector<QByteArray> RenamePlan::foldersOf(const std::vector<File> &files,
                                              std::vector<qint32> *folderOfFile)
{
    std::vector<QByteArray> folders;
    QHash<QByteArray, qint32> indexOf;
    folderOfFile->resize(files.size());
    QByteArray last;
    qint32 lastIndex = -1;
    for (size_t i = 0; i < files.size(); ++i) {
        const QByteArray &path = files[i].path;
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray folder = slash < 0    ? QByteArray()
                                  : slash == 0 ? QByteArray("/")
                                               : path.left(slash);
        if (lastIndex < 0 || folder != last) {
            auto found = indexOf.find(folder);
            if (found == indexOf.end()) {
                found = indexOf.insert(folder, qint32(folders.size()));
                folders.push_back(folder);
            }
            last = folder;
            lastIndex = *found;
        }
        (*folderOfFile)[i] = lastIndex;
    }
    return folders;
}

std::vector<FolderFacts> RenamePlan::gatherFacts(const std::vector<QByteArray> &folders,
                                                 const std::vector<bool> &needsNames)
{
    std::vector<FolderFacts> facts;
    facts.reserve(folders.size());
    for (size_t i = 0; i < folders.size(); ++i)
        facts.push_back(FolderFactsReader::read(folders[i], needsNames[i]));
    return facts;
}

std::vector<QString> RenamePlan::composeNames(const std::vector<File> &files,
                                              const NewNames &newNames,
                                              const std::atomic<bool> *cancel)
{
    std::vector<QString> names(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        if (cancel && i % CancelCheckInterval == 0 && cancel->load(std::memory_order_relaxed))
            return {};
        names[i] = newNames(files[i].rule, qint64(i));
    }
    return names;
}

RenamePlan RenamePlan::make(const std::vector<File> &files, const NewNames &newNames,
                            const std::atomic<bool> *cancel)
{
    std::vector<QString> names = composeNames(files, newNames, cancel);
    if (names.size() != files.size() || (cancel && cancel->load()))
        return RenamePlan();
    return fromNames(files, std::move(names));
}

RenamePlan RenamePlan::fromNames(const std::vector<File> &files, std::vector<QString> names)
{
    std::vector<qint32> folderOfFile;
    std::vector<QByteArray> folders = foldersOf(files, &folderOfFile);
    std::vector<bool> needsNames(folders.size(), false);
    for (size_t i = 0; i < files.size(); ++i) {
        if (names[i] != files[i].rule.name)
            needsNames[size_t(folderOfFile[i])] = true;
    }
    std::vector<FolderFacts> facts = gatherFacts(folders, needsNames);
    return compute(files, std::move(names), folderOfFile, std::move(folders), std::move(facts));
}

RenamePlan RenamePlan::compute(const std::vector<File> &files, std::vector<QString> newNames,
                               const std::vector<qint32> &folderOfFile,
                               std::vector<QByteArray> folders, std::vector<FolderFacts> facts)
{
    RenamePlan plan;
    plan.m_folders = std::move(folders);
    plan.m_facts = std::move(facts);
    plan.m_rows.resize(files.size());

    // Two spellings of one folder (through a link) are one folder.
    QHash<std::pair<quint64, quint64>, qint32> groupOfIdentity;
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

    for (size_t i = 0; i < files.size(); ++i) {
        Row &row = plan.m_rows[i];
        row.folder = folderOfFile[i];
        row.newName = std::move(newNames[i]);
        if (row.newName == files[i].rule.name) {
            row.newNativeName = lastComponent(files[i].path);
            row.status = Status::Unchanged;
        } else {
            row.newNativeName = row.newName.toUtf8();
            row.reason = NameRules::refusalReason(row.newName, row.newNativeName);
            row.status = row.reason.isEmpty() ? Status::Move : Status::Refused;
        }
        rowsOfGroup[size_t(groupOfFolder[size_t(row.folder)])].push_back(qint64(i));
    }
    for (const std::vector<qint64> &rows : rowsOfGroup) {
        if (!rows.empty())
            plan.resolveFolder(rows, files,
                               plan.m_facts[size_t(plan.m_rows[size_t(rows[0])].folder)]);
    }

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

void RenamePlan::conflict(qint64 row, const QString &reason, qint64 other)
{
    Row &r = m_rows[size_t(row)];
    r.status = Status::Conflict;
    r.reason = reason;
    r.other = other;
    r.after = -1;
}

void RenamePlan::resolveFolder(const std::vector<qint64> &rows, const std::vector<File> &files,
                               const FolderFacts &facts)
{
    const bool caseless = facts.caseInsensitive;
    const auto rowText = [&](qint64 other) {
        return QStringLiteral("row %1 (%2)")
            .arg(other + 1)
            .arg(quoted(files[size_t(other)].rule.name));
    };

    // The same entry listed twice (through two spellings of its folder): the
    // first listing moves it; a second move would find it gone.
    QHash<QByteArray, qint64> firstListing;
    firstListing.reserve(qsizetype(rows.size()));
    std::vector<qint64> oldOwner; // per position in rows: the row whose entry it is
    oldOwner.reserve(rows.size());
    for (const qint64 r : rows) {
        const QByteArray oldName = lastComponent(files[size_t(r)].path);
        const qint64 owner = *firstListing.insert(oldName, firstListing.value(oldName, r));
        oldOwner.push_back(owner);
        if (owner != r && m_rows[size_t(r)].status == Status::Move) {
            conflict(r, QStringLiteral("The same file as %1, listed twice.").arg(rowText(owner)),
                     owner);
        }
    }

    // What no listed file of the folder can change.
    for (const qint64 r : rows) {
        if (m_rows[size_t(r)].status != Status::Move)
            continue;
        if (!facts.opened) {
            conflict(r, facts.openError);
        } else if (!facts.notWritable.isEmpty()) {
            conflict(r, facts.notWritable);
        } else if (facts.windowsNames) {
            const QString reason =
                NameRules::windowsReason(m_rows[size_t(r)].newName, facts.fileSystem);
            if (!reason.isEmpty())
                conflict(r, reason);
        }
    }

    // The names of the folder on disk, by key, for a folder that does not
    // tell case apart.
    QHash<QByteArray, QByteArray> diskByKey;
    if (caseless) {
        for (const std::string_view name : facts.names) {
            const QByteArray bytes(name.data(), qsizetype(name.size()));
            diskByKey.insert(keyOf(QString::fromUtf8(bytes), bytes, true), bytes);
        }
    }

    std::vector<QByteArray> oldKeys(rows.size());
    std::vector<QByteArray> newKeys(rows.size());
    for (size_t k = 0; k < rows.size(); ++k) {
        const qint64 r = rows[k];
        const File &file = files[size_t(r)];
        oldKeys[k] = keyOf(file.rule.name, lastComponent(file.path), caseless);
        const Row &row = m_rows[size_t(r)];
        if (row.status == Status::Move)
            newKeys[k] = keyOf(row.newName, row.newNativeName, caseless);
    }

    // Conflicts only ever turn a move into a conflict, which may take a
    // name away from a move that waited for it: repeat until nothing changes.
    bool changed = true;
    while (changed) {
        changed = false;
        QHash<QByteArray, qint64> movingFrom; // key of a moving file's current name
        QHash<QByteArray, qint64> stayingAt;  // key of a listed file's name that stays
        QSet<QByteArray> movingNames;         // exact current names of moving files
        for (size_t k = 0; k < rows.size(); ++k) {
            const qint64 r = rows[k];
            if (oldOwner[k] != r)
                continue; // the entry is its first listing's
            if (m_rows[size_t(r)].status == Status::Move) {
                movingFrom.insert(oldKeys[k], r);
                movingNames.insert(lastComponent(files[size_t(r)].path));
            } else {
                stayingAt.insert(oldKeys[k], r);
            }
        }
        QHash<QByteArray, qint64> claimed;
        for (size_t k = 0; k < rows.size(); ++k) {
            const qint64 r = rows[k];
            Row &row = m_rows[size_t(r)];
            if (row.status != Status::Move)
                continue;
            const QByteArray &key = newKeys[k];
            const auto staying = stayingAt.constFind(key);
            if (staying != stayingAt.constEnd() && *staying != r) {
                conflict(r,
                         QStringLiteral("The new name is taken by %1, which is not renamed.")
                             .arg(rowText(*staying)),
                         *staying);
                changed = true;
                continue;
            }
            const auto moving = movingFrom.constFind(key);
            const bool freedByListed = moving != movingFrom.constEnd();
            if (!freedByListed) {
                QByteArray onDisk;
                if (caseless)
                    onDisk = diskByKey.value(key);
                else if (facts.hasName(row.newNativeName))
                    onDisk = row.newNativeName;
                if (!onDisk.isEmpty() && !movingNames.contains(onDisk)) {
                    conflict(r, QStringLiteral("%1 is taken by a file that is not listed.")
                                    .arg(quoted(QString::fromUtf8(onDisk))));
                    changed = true;
                    continue;
                }
            }
            const auto first = claimed.constFind(key);
            if (first != claimed.constEnd()) {
                const Row &other = m_rows[size_t(*first)];
                QString reason;
                if (other.newNativeName == row.newNativeName)
                    reason = QStringLiteral("The same new name as %1.");
                else if (other.newName.normalized(QString::NormalizationForm_C) ==
                         row.newName.normalized(QString::NormalizationForm_C))
                    reason = QStringLiteral("The new name looks the same as that of %1 (the two "
                                            "are canonically equivalent).");
                else
                    reason = QStringLiteral("The new name differs only in case from that of %1, "
                                            "and this folder does not tell case apart.");
                conflict(r, reason.arg(rowText(*first)), *first);
                changed = true;
                continue;
            }
            claimed.insert(key, r);
            row.after = freedByListed && *moving != r ? *moving : -1;
        }
    }
}
