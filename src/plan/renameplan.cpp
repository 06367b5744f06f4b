// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/renameplan.h"

#include "files/filelist.h"
#include "plan/namerules.h"
#include "plan/nametable.h"
#include "plan/typednames.h"
#include "posix/fileidentity.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "posix/sidebyside.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

constexpr qsizetype CancelCheckInterval = 4096;
// Below this many files a second thread costs more than it gains.
constexpr size_t ParallelThreshold = 20000;

// Runs both, side by side on a helper thread when `parallel`, else one after
// the other.
void inTwo(const std::function<void()> &first, const std::function<void()> &second, bool parallel)
{
    if (!parallel) {
        first();
        second();
        return;
    }
    sideBySide(first, second);
}

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
    // A name holding bytes that are not UTF-8 is compared by its bytes:
    // normalising or folding would turn those bytes into U+FFFD, and two
    // different names into one.
    if ((!caseInsensitive && isAscii(bytes)) || NameCodec::hasEscapedBytes(text))
        return bytes;
    QString key = isAscii(bytes) ? text : text.normalized(QString::NormalizationForm_C);
    if (caseInsensitive)
        key = key.toCaseFolded();
    return key.toUtf8();
}

QString quoted(const QString &name)
{
    return QStringLiteral("“%1”").arg(name);
}

} // namespace

std::vector<RenamePlan::File> RenamePlan::filesOf(const FileList &list, bool counterPerFolder,
                                                  const std::atomic<bool> *cancel)
{
    std::vector<File> files;
    files.reserve(size_t(list.count()));
    for (qint64 row = 0; row < list.count(); ++row) {
        if (cancel && row % CancelCheckInterval == 0 && cancel->load(std::memory_order_relaxed))
            return {};
        const ZQFile *file = list.fileAtIndex(row);
        files.push_back({file->nativePath(), file->ruleFile(),
                         counterPerFolder ? list.counterIndex(row, true) : row});
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
        const QByteArray folder = NativePath::folder(path);
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
    // Reading a folder waits mostly on the kernel: two threads read two
    // folders at a time, each taking the next folder as it is done.
    std::vector<FolderFacts> facts(folders.size());
    std::atomic<size_t> next{0};
    const auto reader = [&] {
        for (size_t i = next++; i < folders.size(); i = next++)
            facts[i] = FolderFactsReader::read(folders[i], needsNames[i]);
    };
    if (folders.size() < 4) {
        reader();
        return facts;
    }
    sideBySide(reader, reader);
    return facts;
}

std::vector<QString> RenamePlan::composeNames(const std::vector<File> &files,
                                              const NewNames &newNames,
                                              const std::atomic<bool> *cancel)
{
    // Two halves side by side, one on a helper thread.
    std::vector<QString> names(files.size());
    std::atomic<bool> stopped{false};
    const auto compose = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            if (i % CancelCheckInterval == 0 &&
                (stopped.load(std::memory_order_relaxed) ||
                 (cancel && cancel->load(std::memory_order_relaxed)))) {
                stopped = true;
                return;
            }
            names[i] = newNames(files[i].rule, files[i].index < 0 ? qint64(i) : files[i].index);
        }
    };
    const size_t half = files.size() / 2;
    inTwo([&] { compose(0, half); }, [&] { compose(half, files.size()); },
          files.size() >= ParallelThreshold);
    if (stopped)
        return {};
    return names;
}

RenamePlan RenamePlan::make(const std::vector<File> &files, const NewNames &newNames,
                            const std::atomic<bool> *cancel, const TypedNames *typed)
{
    std::vector<QString> names = composeNames(files, newNames, cancel);
    if (names.size() != files.size() || (cancel && cancel->load()))
        return RenamePlan();
    if (typed)
        typed->applyTo(files, names);
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
            if (row.newName == files[i].rule.name) {
                row.status = Status::Unchanged;
            } else {
                row.newNativeName = NameCodec::encode(row.newName);
                row.reason = NameRules::refusalReason(row.newName, row.newNativeName);
                row.status = row.reason.isEmpty() ? Status::Move : Status::Refused;
            }
        }
    };
    const size_t half = files.size() / 2;
    inTwo([&] { judge(0, half); }, [&] { judge(half, files.size()); },
          files.size() >= ParallelThreshold);
    for (size_t i = 0; i < files.size(); ++i)
        rowsOfGroup[size_t(groupOfFolder[size_t(folderOfFile[i])])].push_back(qint64(i));
    // Each folder's rows are its own: two threads take folders in turn.
    std::atomic<size_t> nextGroup{0};
    const auto resolve = [&] {
        for (size_t g = nextGroup++; g < rowsOfGroup.size(); g = nextGroup++) {
            const std::vector<qint64> &rows = rowsOfGroup[g];
            if (!rows.empty())
                plan.resolveFolder(rows, files,
                                   plan.m_facts[size_t(plan.m_rows[size_t(rows[0])].folder)]);
        }
    };
    inTwo(resolve, resolve, rowsOfGroup.size() > 1 && files.size() >= ParallelThreshold);

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
    const auto moves = [this](qint64 r) { return m_rows[size_t(r)].status == Status::Move; };
    if (std::none_of(rows.begin(), rows.end(), moves))
        return;
    const bool caseless = facts.caseInsensitive;
    const auto rowText = [&](qint64 other) {
        return QCoreApplication::translate("RenamePlan", "row %1 (%2)")
            .arg(other + 1)
            .arg(quoted(files[size_t(other)].rule.name));
    };
    const size_t n = rows.size();
    using View = std::string_view;
    const auto viewOf = [](const QByteArray &bytes) {
        return View(bytes.constData(), size_t(bytes.size()));
    };

    std::vector<View> oldNames(n);
    for (size_t k = 0; k < n; ++k) {
        const QByteArray &path = files[size_t(rows[k])].path;
        const qsizetype start = NativePath::nameStart(path);
        oldNames[k] = View(path.constData() + start, size_t(path.size() - start));
    }

    // The same entry listed twice (through two spellings of its folder): the
    // first listing moves it; a second move would find it gone.
    NameTable listing(oldNames, rows);
    std::vector<qint64> owner(n);
    for (size_t k = 0; k < n; ++k) {
        const qint64 r = rows[k];
        const auto [first, inserted] = listing.tryEmplace(k);
        owner[k] = first;
        if (!inserted && moves(r)) {
            conflict(r,
                     QCoreApplication::translate("RenamePlan", "The same file as %1, listed twice.")
                         .arg(rowText(first)),
                     first);
        }
    }

    // What no listed file of the folder can change.
    for (const qint64 r : rows) {
        if (!moves(r))
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

    // Keys that are not a name's own bytes live here; moving a QByteArray
    // keeps its bytes where they are, so views into them stay good.
    std::vector<QByteArray> keyStore;
    const auto keyView = [&](const QString &text, View bytes) {
        if (!caseless &&
            std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
            return bytes;
        keyStore.push_back(
            keyOf(text, QByteArray(bytes.data(), qsizetype(bytes.size())), caseless));
        return viewOf(keyStore.back());
    };
    // The names of the folder on disk by key, for a folder that does not
    // tell case apart.
    std::unordered_map<View, View> diskByKey;
    if (caseless) {
        for (const View name : facts.names) {
            diskByKey.emplace(
                keyView(NameCodec::decode(QByteArrayView(name.data(), qsizetype(name.size()))),
                        name),
                name);
        }
    }
    std::vector<View> oldKeys(n);
    std::vector<View> newKeys(n);
    for (size_t k = 0; k < n; ++k) {
        const Row &row = m_rows[size_t(rows[k])];
        oldKeys[k] = keyView(files[size_t(rows[k])].rule.name, oldNames[k]);
        if (row.status == Status::Move)
            newKeys[k] = keyView(row.newName, viewOf(row.newNativeName));
    }

    // Conflicts only ever turn a move into a conflict, which may take a
    // name away from a move that waited for it: repeat until nothing changes.
    NameTable movingFrom(oldKeys, rows); // key of a moving file's current name
    NameTable stayingAt(oldKeys, rows);  // key of a listed file's name that stays
    NameTable claimed(newKeys, rows);    // key of a new name, first taken by
    bool changed = true;
    for (bool firstPass = true; changed; firstPass = false) {
        changed = false;
        if (!firstPass) {
            movingFrom.clear();
            stayingAt.clear();
            claimed.clear();
        }
        for (size_t k = 0; k < n; ++k) {
            if (owner[k] != rows[k])
                continue; // the entry is its first listing's
            (moves(rows[k]) ? movingFrom : stayingAt).tryEmplace(k);
        }
        for (size_t k = 0; k < n; ++k) {
            const qint64 r = rows[k];
            Row &row = m_rows[size_t(r)];
            if (row.status != Status::Move)
                continue;
            const View key = newKeys[k];
            const qint64 staying = stayingAt.value(key);
            if (staying >= 0 && staying != r) {
                conflict(r,
                         QCoreApplication::translate(
                             "RenamePlan", "The new name is taken by %1, which is not renamed.")
                             .arg(rowText(staying)),
                         staying);
                changed = true;
                continue;
            }
            const qint64 moving = movingFrom.value(key);
            const bool freedByListed = moving >= 0;
            if (!freedByListed) {
                View onDisk;
                if (caseless) {
                    const auto found = diskByKey.find(key);
                    if (found != diskByKey.end())
                        onDisk = found->second;
                } else if (facts.hasName(viewOf(row.newNativeName))) {
                    onDisk = viewOf(row.newNativeName);
                }
                const qint64 listed = onDisk.empty() ? -1 : listing.value(onDisk);
                if (!onDisk.empty() && (listed < 0 || !moves(listed))) {
                    conflict(r, QCoreApplication::translate(
                                    "RenamePlan", "%1 is taken by a file that is not listed.")
                                    .arg(quoted(NameCodec::decode(
                                        QByteArrayView(onDisk.data(), qsizetype(onDisk.size()))))));
                    changed = true;
                    continue;
                }
            }
            const auto [first, free] = claimed.tryEmplace(k);
            if (!free) {
                const Row &other = m_rows[size_t(first)];
                QString reason;
                if (other.newNativeName == row.newNativeName)
                    reason = QCoreApplication::translate("RenamePlan", "The same new name as %1.");
                else if (other.newName.normalized(QString::NormalizationForm_C) ==
                         row.newName.normalized(QString::NormalizationForm_C))
                    reason = QCoreApplication::translate(
                        "RenamePlan", "The new name looks the same as that of %1 (the two "
                                      "are canonically equivalent).");
                else
                    reason = QCoreApplication::translate(
                        "RenamePlan", "The new name differs only in case from that of %1, "
                                      "and this folder does not tell case apart.");
                conflict(r, reason.arg(rowText(first)), first);
                changed = true;
                continue;
            }
            row.after = freedByListed && moving != r ? moving : -1;
        }
    }
}
