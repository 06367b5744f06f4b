// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/foldernames.h"

#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "posix/sidebyside.h"

#include <algorithm>

namespace {

bool asciiBytes(std::string_view bytes)
{
    return NameCodec::isAscii(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

} // namespace

FolderNames::FolderNames(const std::vector<qint64> &rows,
                         const std::vector<RenamePlan::Listed> &files,
                         const std::vector<RenamePlan::Row> &planRows, const FolderFacts &facts,
                         bool twoThreads)
    : oldNames(rows.size()), listing(OldName{&oldNames}, rows), firstListing(rows.size()),
      newEnds(rows.size() + 1, 0)
{
    const size_t n = rows.size();
    const auto moves = [&](qint64 r) {
        return planRows[size_t(r)].status == RenamePlan::Status::Move;
    };
    // The old names and their table on one thread, the new names' bytes and
    // whether each is a name on disk on another: both only read the rows,
    // and each half is mostly a wait on memory for a folder of many files.
    const auto fileOldNames = [&] {
        for (size_t k = 0; k < n; ++k) {
            const QByteArray &path = *files[size_t(rows[k])].path;
            const qsizetype start = NativePath::nameStart(path);
            oldNames[k] = View(path.constData() + start, size_t(path.size() - start));
        }
        oldAscii = std::all_of(oldNames.begin(), oldNames.end(), asciiBytes);
        // The hashes of the next LookAhead names, each made once.
        quint32 ahead[LookAhead];
        for (size_t k = 0; k < std::min(n, LookAhead); ++k) {
            ahead[k] = nameHash(oldNames[k]);
            listing.prefetch(ahead[k]);
        }
        for (size_t k = 0; k < n; ++k) {
            const quint32 hash = ahead[k % LookAhead];
            if (k + LookAhead < n) {
                ahead[k % LookAhead] = nameHash(oldNames[k + LookAhead]);
                listing.prefetch(ahead[k % LookAhead]);
            }
            firstListing[k] = listing.tryEmplace(k, hash).second;
        }
    };
    // What the helper thread fills is allocated here: memory that thread
    // allocates stays in an arena of its own once freed, out of reach of the
    // run that follows. The buffer is sized once, from the texts' lengths:
    // each unit of plain ASCII text is one byte, and growing it to a million
    // names would hold the old and the new block at once.
    {
        size_t units = 0;
        for (const qint64 r : rows) {
            if (moves(r))
                units += size_t(planRows[size_t(r)].newName.size());
        }
        newBuffer.reserve(units);
    }
    const bool caseless = facts.caseInsensitive;
    if (!caseless) {
        newHashes.resize(n);
        newOnDisk.assign(n, false);
    }
    const auto encodeNewNames = [&] {
        for (size_t k = 0; k < n; ++k) {
            const RenamePlan::Row &row = planRows[size_t(rows[k])];
            if (row.status == RenamePlan::Status::Move) {
                const size_t from = newBuffer.size();
                NameCodec::appendEncoded(newBuffer, row.newName);
                newAscii =
                    newAscii && asciiBytes(View(newBuffer.data() + from, newBuffer.size() - from));
            }
            newEnds[k + 1] = quint32(newBuffer.size());
        }
        if (caseless)
            return;
        const auto bytesOf = [&](size_t k) {
            return View(newBuffer.data() + newEnds[k], newEnds[k + 1] - newEnds[k]);
        };
        for (size_t k = 0; k < n; ++k)
            newHashes[k] = nameHash(bytesOf(k));
        if (!facts.opened)
            return;
        for (size_t k = 0; k < n; ++k) {
            if (k + LookAhead < n && moves(rows[k + LookAhead]))
                facts.prefetch(newHashes[k + LookAhead]);
            newOnDisk[k] = moves(rows[k]) && facts.indexOf(bytesOf(k), newHashes[k]) >= 0;
        }
    };
    sideBySideWhen(twoThreads, fileOldNames, encodeNewNames);
}
