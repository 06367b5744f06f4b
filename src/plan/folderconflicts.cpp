// SPDX-License-Identifier: GPL-3.0-or-later
// The plan's checks within one folder: new names against each other, against
// the names that stay and against the names on disk, until no move waits for
// a name that another check took away.
#include "plan/renameplan.h"

#include "plan/foldernames.h"
#include "plan/namerules.h"
#include "plan/nametable.h"
#include "plan/plannames.h"
#include "posix/namecodec.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <utility>

using PlanNames::keyOf;
using PlanNames::quoted;

void RenamePlan::conflict(qint64 row, const QString &reason, qint64 other)
{
    Row &r = m_rows[size_t(row)];
    r.status = Status::Conflict;
    r.reason = reason;
    r.other = qint32(other);
    r.after = -1;
}

void RenamePlan::resolveFolder(const std::vector<qint64> &rows, const std::vector<Listed> &files,
                               const FolderFacts &facts, bool uniqueNames, bool alone)
{
    const auto moves = [this](qint64 r) { return m_rows[size_t(r)].status == Status::Move; };
    if (std::none_of(rows.begin(), rows.end(), moves))
        return;
    const bool caseless = facts.caseInsensitive;
    const auto rowText = [&](qint64 other) {
        return QCoreApplication::translate("RenamePlan", "row %1 (%2)")
            .arg(other + 1)
            .arg(quoted(files[size_t(other)].currentName()));
    };
    const size_t n = rows.size();
    constexpr size_t LookAhead = FolderNames::LookAhead;
    using View = std::string_view;
    const auto viewOf = [](const QByteArray &bytes) {
        return View(bytes.constData(), size_t(bytes.size()));
    };

    const auto isAsciiView = [](View bytes) {
        return NameCodec::isAscii(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    };

    FolderNames names(rows, files, m_rows, facts, alone && n >= ParallelFiles);
    const std::vector<View> &oldNames = names.oldNames;
    auto &listing = names.listing;
    const std::vector<bool> &firstListing = names.firstListing;
    const std::vector<char> &newBuffer = names.newBuffer;
    const std::vector<quint32> &newEnds = names.newEnds;
    std::vector<bool> &newOnDisk = names.newOnDisk;
    std::vector<quint32> &newHashes = names.newHashes;

    for (size_t k = 0; k < n; ++k) {
        const qint64 r = rows[k];
        if (!firstListing[k] && moves(r)) {
            const qint64 first = listing.value(oldNames[k]);
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
    // keeps its bytes where they are, so views into them stay good. The text
    // is made only for such a key.
    std::vector<QByteArray> keyStore;
    const auto keyView = [&](const auto &text, View bytes) {
        if (!caseless && isAsciiView(bytes))
            return bytes;
        keyStore.push_back(
            keyOf(text(), QByteArray(bytes.data(), qsizetype(bytes.size())), caseless));
        return viewOf(keyStore.back());
    };
    // The names of the folder on disk by key, for a folder that does not
    // tell case apart.
    std::unordered_map<View, View> diskByKey;
    if (caseless) {
        for (const View name : facts.names) {
            diskByKey.emplace(keyView(
                                  [name] {
                                      return NameCodec::decode(
                                          QByteArrayView(name.data(), qsizetype(name.size())));
                                  },
                                  name),
                              name);
        }
    }
    // A key that is the name's own bytes (plain ASCII on a folder that tells
    // case apart, the common case) is not held a second time: where every
    // name of the folder, old and new, is such a name, the keys are the names.
    const bool keysAreBytes = !caseless && names.oldAscii && names.newAscii;
    // A name numbered to make it unique has its bytes in keyStore instead,
    // and one that is kept after all its old bytes.
    std::unordered_map<size_t, View> numbered;
    const auto newBytes = [&](size_t k) {
        if (!numbered.empty()) {
            const auto found = numbered.find(k);
            if (found != numbered.end())
                return found->second;
        }
        return View(newBuffer.data() + newEnds[k], newEnds[k + 1] - newEnds[k]);
    };
    std::vector<View> oldKeyStore;
    std::vector<View> newKeyStore;
    if (!keysAreBytes) {
        oldKeyStore.resize(n);
        for (size_t k = 0; k < n; ++k) {
            const Listed &file = files[size_t(rows[k])];
            oldKeyStore[k] = keyView([&file] { return file.currentName(); }, oldNames[k]);
        }
        newKeyStore.resize(n);
        for (size_t k = 0; k < n; ++k) {
            const Row &row = m_rows[size_t(rows[k])];
            if (row.status == Status::Move)
                newKeyStore[k] = keyView([&row] { return row.newName; }, newBytes(k));
        }
    }
    const auto oldKey = [&](size_t k) { return keysAreBytes ? oldNames[k] : oldKeyStore[k]; };
    const auto newKey = [&](size_t k) { return keysAreBytes ? newBytes(k) : newKeyStore[k]; };
    // The name of row k is now `bytes`, compared by `key`.
    const auto setNewName = [&](size_t k, View bytes, View key) {
        numbered[k] = bytes;
        if (!keysAreBytes)
            newKeyStore[k] = key;
        else
            newHashes[k] = nameHash(bytes);
    };

    const std::vector<std::vector<qint64>> groups = companionGroups(files, &rows);

    if (uniqueNames) {
        // A new name is taken by a name on disk that no listed file leaves,
        // by a listed file that stays, or by the new name of a file before
        // it. Names asked for as they are come first, in display order; the
        // files that lost theirs then get the first number free, so that a
        // file named "scan (2)" by the rules keeps that name.
        NameTable leaving(oldKey, rows);
        NameTable keeping(oldKey, rows);
        for (size_t k = 0; k < n; ++k) {
            if (firstListing[k])
                (moves(rows[k]) ? leaving : keeping).tryEmplace(k);
        }
        const auto onDisk = [&](View key, View bytes) {
            bool found = false;
            if (caseless)
                found = diskByKey.find(key) != diskByKey.end();
            else
                found = facts.opened && facts.hasName(bytes);
            return found && leaving.value(key) < 0;
        };
        NameTable claimed(newKey, rows);
        // Companions keep one stem: a group takes the names asked for only
        // if every member's is free, and otherwise one number for all.
        // Each member's place in `rows` and its group, by place.
        std::unordered_map<size_t, size_t> groupOfPlace;
        std::vector<std::vector<size_t>> groupPlaces(groups.size());
        if (!groups.empty()) {
            std::unordered_map<qint64, size_t> placeOfRow;
            for (size_t k = 0; k < n; ++k)
                placeOfRow.emplace(rows[k], k);
            for (size_t g = 0; g < groups.size(); ++g) {
                for (const qint64 r : groups[g]) {
                    const auto found = placeOfRow.find(r);
                    if (found == placeOfRow.end() || !moves(r))
                        continue;
                    groupOfPlace.emplace(found->second, g);
                    groupPlaces[g].push_back(found->second);
                }
            }
        }
        std::vector<bool> judged(groupPlaces.size(), false);
        std::vector<size_t> lost;
        for (size_t k = 0; k < n; ++k) {
            const Row &row = m_rows[size_t(rows[k])];
            if (row.status != Status::Move)
                continue;
            const auto group = groupOfPlace.find(k);
            if (group == groupOfPlace.end()) {
                const View key = newKey(k);
                if (keeping.value(key) >= 0 || onDisk(key, newBytes(k)) ||
                    !claimed.tryEmplace(k).second)
                    lost.push_back(k);
                continue;
            }
            // A group is judged where its first member comes.
            if (judged[group->second])
                continue;
            judged[group->second] = true;
            const std::vector<size_t> &members = groupPlaces[group->second];
            const bool free = std::all_of(members.begin(), members.end(), [&](size_t m) {
                const View key = newKey(m);
                return keeping.value(key) < 0 && claimed.value(key) < 0 &&
                       !onDisk(key, newBytes(m));
            });
            bool claimedAll = free;
            for (size_t m = 0; claimedAll && m < members.size(); ++m)
                claimedAll = claimed.tryEmplace(members[m]).second;
            if (!claimedAll)
                lost.insert(lost.end(), members.begin(), members.end());
        }
        if (!groups.empty()) {
            std::sort(lost.begin(), lost.end());
            lost.erase(std::unique(lost.begin(), lost.end()), lost.end());
        }
        // A file that has a number of its name already ("scan (2).pdf" asked
        // to be "scan.pdf" again) keeps it where it is free, so that the
        // same rules run twice move nothing the second time; companions
        // only where the whole group can, with one number.
        std::vector<bool> done(groupPlaces.size(), false);
        const auto keepsNumber = [&](size_t k, const QString &lead, qint64 number) {
            const Row &row = m_rows[size_t(rows[k])];
            return row.status == Status::Move && firstListing[k] &&
                   numberedLike(row.newName, lead, number) ==
                       files[size_t(rows[k])].currentName() &&
                   claimed.value(oldKey(k)) < 0;
        };
        for (const size_t k : lost) {
            const auto group = groupOfPlace.find(k);
            std::span<const size_t> members(&k, 1);
            qint64 lead = rows[k];
            if (group != groupOfPlace.end()) {
                if (done[group->second])
                    continue;
                done[group->second] = true;
                members = groupPlaces[group->second];
                lead = groups[group->second].front();
            }
            const QString &leadName = m_rows[size_t(lead)].newName;
            const qint64 number = numberOf(files[size_t(lead)].currentName(), leadName);
            if (number < 2 || !std::all_of(members.begin(), members.end(), [&](size_t m) {
                    return keepsNumber(m, leadName, number);
                }))
                continue;
            for (const size_t m : members) {
                Row &row = m_rows[size_t(rows[m])];
                setNewName(m, oldNames[m], oldKey(m));
                claimed.tryEmplace(m);
                row.newName = files[size_t(rows[m])].currentName();
                row.status = Status::Unchanged;
            }
        }
        // Ten files named "scan" count on from where the one before stopped.
        std::unordered_map<View, qint64> nextNumber;
        // The first number free for every member of a group of companions,
        // each numbered where its lead is ("T.CR3.xmp" beside "T.CR3" as
        // "T (2).CR3.xmp"), so that the group keeps one stem.
        std::fill(done.begin(), done.end(), false);
        const auto numberGroup = [&](size_t g) {
            const std::vector<size_t> &members = groupPlaces[g];
            const QString lead = m_rows[size_t(groups[g].front())].newName;
            qint64 number = 2;
            for (const size_t m : members)
                number = std::max(number, nextNumber.try_emplace(newKey(m), 2).first->second);
            std::vector<QString> names(members.size());
            std::vector<QByteArray> bytes(members.size());
            std::vector<View> keys(members.size());
            for (;; ++number) {
                bool free = true;
                for (size_t i = 0; free && i < members.size(); ++i) {
                    names[i] = numberedLike(m_rows[size_t(rows[members[i]])].newName, lead, number);
                    bytes[i] = NameCodec::encode(names[i]);
                    const QString &name = names[i];
                    keys[i] = keyView([&name] { return name; }, viewOf(bytes[i]));
                    free = keeping.value(keys[i]) < 0 && claimed.value(keys[i]) < 0 &&
                           !onDisk(keys[i], viewOf(bytes[i])) &&
                           std::find(keys.begin(), keys.begin() + qsizetype(i), keys[i]) ==
                               keys.begin() + qsizetype(i);
                }
                if (free)
                    break;
            }
            for (size_t i = 0; i < members.size(); ++i) {
                nextNumber[newKey(members[i])] = number + 1;
                m_rows[size_t(rows[members[i]])].newName = std::move(names[i]);
                keyStore.push_back(std::move(bytes[i]));
                setNewName(members[i], viewOf(keyStore.back()), keys[i]);
                claimed.tryEmplace(members[i]);
            }
        };
        for (const size_t k : lost) {
            Row &row = m_rows[size_t(rows[k])];
            if (row.status != Status::Move)
                continue;
            if (const auto group = groupOfPlace.find(k); group != groupOfPlace.end()) {
                if (!done[group->second])
                    numberGroup(group->second);
                done[group->second] = true;
            } else {
                const View wanted = newKey(k);
                qint64 &number = nextNumber.try_emplace(wanted, 2).first->second;
                for (;; ++number) {
                    QString name = numberedName(row.newName, number);
                    QByteArray bytes = NameCodec::encode(name);
                    const View key = keyView([&name] { return name; }, viewOf(bytes));
                    if (keeping.value(key) >= 0 || claimed.value(key) >= 0 ||
                        onDisk(key, viewOf(bytes)))
                        continue;
                    // A numbered name's bytes live in the store, where the
                    // key may view them; the buffer keeps those the rules
                    // asked for.
                    row.newName = std::move(name);
                    keyStore.push_back(std::move(bytes));
                    setNewName(k, viewOf(keyStore.back()), key);
                    claimed.tryEmplace(k);
                    ++number;
                    break;
                }
            }
            // The number may make the name too long, or break the rules of
            // a folder made for Windows. A name that makes folders (the only
            // moves with a "/") is judged part by part, as it was before.
            row.reason = row.newName.contains(u'/')
                             ? NameRules::folderPathReason(row.newName)
                             : NameRules::refusalReason(row.newName, row.nativeName());
            if (row.reason.isEmpty() && facts.windowsNames)
                row.reason = NameRules::windowsReason(row.newName, facts.fileSystem);
            if (!row.reason.isEmpty())
                row.status = Status::Refused;
        }
    }

    // A name numbered to make it unique is looked up again: the bytes looked
    // up above are those of the name asked for.
    if (!newOnDisk.empty()) {
        for (const auto &[k, bytes] : numbered)
            newOnDisk[k] = facts.hasName(bytes);
    }

    // Conflicts only ever turn a move into a conflict, which may take a
    // name away from a move that waited for it: repeat until nothing changes.
    // The key of a moving file's current name, and of a listed file's name
    // that stays, each as the pass found it. Where the keys are the names'
    // own bytes, the first listings are `listing` under the same keys, and a
    // bit taken as the pass starts tells the two apart: two more tables of a
    // million keys would say no more.
    using OldKeyTable = NameTable<decltype(oldKey)>;
    std::optional<OldKeyTable> movingFromTable;
    std::optional<OldKeyTable> stayingAtTable;
    std::vector<bool> movedAtStart;
    if (keysAreBytes) {
        movedAtStart.resize(n);
    } else {
        movingFromTable.emplace(oldKey, rows);
        stayingAtTable.emplace(oldKey, rows);
    }
    // `place`: listing.placeOf(key), looked up once for both questions where
    // the keys are the names' bytes.
    const auto listedAt = [&](View key, qint64 place, bool moving) {
        if (!keysAreBytes)
            return (moving ? *movingFromTable : *stayingAtTable).value(key);
        return place >= 0 && movedAtStart[size_t(place)] == moving ? rows[size_t(place)]
                                                                   : qint64(-1);
    };
    NameTable claimed(newKey, rows); // key of a new name, first taken by
    const auto fileOldKeys = [&] {
        for (size_t k = 0; k < n; ++k) {
            if (!firstListing[k])
                continue; // the entry is its first listing's
            if (keysAreBytes)
                movedAtStart[k] = moves(rows[k]);
            else
                (moves(rows[k]) ? *movingFromTable : *stayingAtTable).tryEmplace(k);
        }
    };
    fileOldKeys();
    bool changed = true;
    for (bool firstPass = true; changed; firstPass = false) {
        changed = false;
        if (!firstPass) {
            if (!keysAreBytes) {
                movingFromTable->clear();
                stayingAtTable->clear();
            }
            claimed.clear();
            fileOldKeys();
        }
        for (size_t k = 0; k < n; ++k) {
            if (k + LookAhead < n && moves(rows[k + LookAhead])) {
                if (keysAreBytes) {
                    listing.prefetch(newHashes[k + LookAhead]);
                    claimed.prefetch(newHashes[k + LookAhead]);
                } else {
                    claimed.prefetch(nameHash(newKey(k + LookAhead)));
                }
            }
            const qint64 r = rows[k];
            Row &row = m_rows[size_t(r)];
            if (row.status != Status::Move)
                continue;
            const View key = newKey(k);
            const quint32 hash = keysAreBytes ? newHashes[k] : nameHash(key);
            const qint64 place = keysAreBytes ? listing.placeOf(key, hash) : -1;
            const qint64 staying = listedAt(key, place, false);
            if (staying >= 0 && staying != r) {
                conflict(r,
                         QCoreApplication::translate(
                             "RenamePlan", "The new name is taken by %1, which is not renamed.")
                             .arg(rowText(staying)),
                         staying);
                changed = true;
                continue;
            }
            const qint64 moving = listedAt(key, place, true);
            const bool freedByListed = moving >= 0;
            if (!freedByListed) {
                View onDisk;
                if (caseless) {
                    const auto found = diskByKey.find(key);
                    if (found != diskByKey.end())
                        onDisk = found->second;
                } else if (newOnDisk[k]) {
                    onDisk = newBytes(k);
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
            const auto [first, free] = claimed.tryEmplace(k, hash);
            if (!free) {
                const Row &other = m_rows[size_t(first)];
                QString reason;
                if (other.nativeName() == row.nativeName())
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
            row.after = freedByListed && moving != r ? qint32(moving) : -1;
        }
        if (!groups.empty() && holdGroups(groups, files))
            changed = true;
    }
}
