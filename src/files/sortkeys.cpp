// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sortkeys.h"

#include "files/filelist.h"
#include "posix/namecodec.h"
#include "rules/textrules.h"

#include <QChar>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace {

// Sort keys, worked out once per record so that a sort of a million records
// does not decode and fold the same texts twenty times over.
//
// A text key is the sequence that QString::compare(..., Qt::CaseInsensitive)
// walks: each UTF-16 unit folded on its own, except that a low surrogate after
// a high one stands for the folded code point of the pair. Each value is
// written as value + 1 in the UTF-8 pattern, whose byte order is the order of
// the values and which never holds a zero byte: comparing keys byte by byte
// then gives exactly the order of the comparison, and a zero pad marks where
// a key ends.
void appendKeyValue(std::string &key, char32_t value)
{
    const char32_t w = value + 1;
    if (w < 0x80) {
        key.push_back(char(w));
    } else if (w < 0x800) {
        key.push_back(char(0xC0 | (w >> 6)));
        key.push_back(char(0x80 | (w & 0x3F)));
    } else if (w < 0x10000) {
        key.push_back(char(0xE0 | (w >> 12)));
        key.push_back(char(0x80 | ((w >> 6) & 0x3F)));
        key.push_back(char(0x80 | (w & 0x3F)));
    } else {
        key.push_back(char(0xF0 | (w >> 18)));
        key.push_back(char(0x80 | ((w >> 12) & 0x3F)));
        key.push_back(char(0x80 | ((w >> 6) & 0x3F)));
        key.push_back(char(0x80 | (w & 0x3F)));
    }
}

inline char32_t foldAscii(char32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

void appendFoldedText(std::string &key, QStringView text)
{
    // Plain ASCII is written in place; the first other unit hands the rest
    // to the general path.
    const size_t start = key.size();
    const qsizetype length = text.size();
    key.resize(start + size_t(length));
    char *out = key.data() + start;
    const char16_t *units = text.utf16();
    qsizetype i = 0;
    for (; i < length && units[i] < 0x7F; ++i)
        out[i] = char(foldAscii(units[i]) + 1);
    if (i == length)
        return;
    key.resize(start + size_t(i));
    char16_t last = i > 0 ? units[i - 1] : 0;
    for (; i < length; ++i) {
        const char16_t unit = units[i];
        char32_t value;
        if (unit < 0x80) {
            value = foldAscii(unit);
        } else {
            char32_t ucs4 = unit;
            if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last))
                ucs4 = QChar::surrogateToUcs4(last, unit);
            value = QChar::toCaseFolded(ucs4);
        }
        last = unit;
        appendKeyValue(key, value);
    }
}

// The key of the decoded path, without decoding when the bytes are ASCII.
void appendFoldedPath(std::string &key, QByteArrayView path)
{
    const size_t start = key.size();
    const qsizetype length = path.size();
    key.resize(start + size_t(length));
    char *out = key.data() + start;
    const auto *bytes = reinterpret_cast<const unsigned char *>(path.constData());
    for (qsizetype i = 0; i < length; ++i) {
        if (bytes[i] >= 0x7F) {
            key.resize(start);
            appendFoldedText(key, NameCodec::decode(path));
            return;
        }
        out[i] = char(foldAscii(bytes[i]) + 1);
    }
}

// The key of a record's name, from the path's bytes where the name is the
// path's last component.
void appendFoldedName(std::string &key, const ZQFile &file)
{
    const QByteArrayView bytes = file.nameBytes();
    if (bytes.isEmpty())
        appendFoldedText(key, file.name());
    else
        appendFoldedPath(key, bytes);
}

// Rewrites the ASCII digits of a key from `start` on so that bytes compare
// runs of digits by their value: a run becomes the key of "0" (digits sort
// among the characters where they always did), the count of its significant
// digits, those digits, and the length of the whole run, so that equal values
// order "2" before "02". Every value is written as appendKeyValue does, with
// no zero byte.
void naturalizeKey(std::string &key, size_t start)
{
    constexpr char zero = char('0' + 1);
    constexpr char nine = char('9' + 1);
    size_t i = start;
    while (i < key.size() && (key[i] < zero || key[i] > nine))
        ++i;
    if (i == key.size())
        return;
    std::string out = key.substr(start, i - start);
    while (i < key.size()) {
        if (key[i] < zero || key[i] > nine) {
            out.push_back(key[i++]);
            continue;
        }
        size_t end = i;
        while (end < key.size() && key[end] >= zero && key[end] <= nine)
            ++end;
        size_t significant = i;
        while (significant < end && key[significant] == zero)
            ++significant;
        out.push_back(zero);
        appendKeyValue(out, char32_t(end - significant));
        out.append(key, significant, end - significant);
        appendKeyValue(out, char32_t(end - i));
        i = end;
    }
    key.replace(start, std::string::npos, out);
}

struct SortItem
{
    quint64 chunk;
    quint32 index;
};

bool chunkThenIndex(const SortItem &a, const SortItem &b)
{
    return a.chunk != b.chunk ? a.chunk < b.chunk : a.index < b.index;
}

struct TextKeys
{
    std::string bytes;
    std::vector<size_t> offsets; // record i: [offsets[i], offsets[i + 1])

    // Eight key bytes from `depth` on, big-endian, zero past the end.
    quint64 chunk(quint32 index, size_t depth) const
    {
        const size_t begin = offsets[index] + depth;
        const size_t end = offsets[index + 1];
        if (begin >= end)
            return 0;
        unsigned char buffer[8] = {};
        std::memcpy(buffer, bytes.data() + begin, std::min<size_t>(8, end - begin));
        return qFromBigEndian<quint64>(buffer);
    }
};

// Sorts by text key eight bytes at a time: the items carry the bytes being
// compared, so most comparisons stay inside the item array, and a group that
// agrees so far is refilled from the next eight bytes only. Ties keep their
// stored order.
void sortTextRange(SortItem *first, SortItem *last, size_t depth, const TextKeys &keys)
{
    for (;;) {
        for (SortItem *item = first; item != last; ++item)
            item->chunk = keys.chunk(item->index, depth);
        const quint64 common = first->chunk;
        const bool allSame = std::all_of(
            first, last, [common](const SortItem &item) { return item.chunk == common; });
        if (!allSame)
            break;
        // Every key ended here, equal: the items are in stored order already
        // (the caller's sort put them so, or nothing has moved them yet).
        if ((common & 0xFF) == 0)
            return;
        depth += 8;
    }
    std::sort(first, last, chunkThenIndex);
    for (SortItem *run = first; run != last;) {
        SortItem *runEnd = run + 1;
        while (runEnd != last && runEnd->chunk == run->chunk)
            ++runEnd;
        // A zero last byte means the keys ended within this chunk: they are
        // equal and already in stored order.
        if (runEnd - run > 1 && (run->chunk & 0xFF) != 0)
            sortTextRange(run, runEnd, depth + 8, keys);
        run = runEnd;
    }
}

using Records = std::vector<std::unique_ptr<ZQFile>>;

std::vector<SortItem> unsortedItems(size_t count)
{
    std::vector<SortItem> items(count);
    for (size_t i = 0; i < count; ++i)
        items[i].index = quint32(i);
    return items;
}

// After a sort the records lie in memory in another order than the list's,
// so that reading them in list order misses the cache at every record: ask
// for each record, and then for the path bytes it points to (which hold the
// name too), a little ahead.
constexpr size_t RecordLookahead = 16;
constexpr size_t PathLookahead = 8;

template<typename AppendKey>
std::vector<SortItem> sortedByText(const Records &files, AppendKey appendKey,
                                   bool readsPath = false)
{
    TextKeys keys;
    const size_t count = files.size();
    keys.offsets.reserve(count + 1);
    keys.offsets.push_back(0);
    for (size_t i = 0; i < count; ++i) {
        if (i + RecordLookahead < count)
            __builtin_prefetch(files[i + RecordLookahead].get());
        if (readsPath && i + PathLookahead < count)
            __builtin_prefetch(files[i + PathLookahead]->nativePath().constData());
        appendKey(keys.bytes, *files[i]);
        keys.offsets.push_back(keys.bytes.size());
    }
    std::vector<SortItem> items = unsortedItems(files.size());
    sortTextRange(items.data(), items.data() + items.size(), 0, keys);
    return items;
}

template<typename KeyOf> std::vector<SortItem> sortedBySigned(const Records &files, KeyOf keyOf)
{
    std::vector<SortItem> items = unsortedItems(files.size());
    const size_t count = files.size();
    for (size_t i = 0; i < count; ++i) {
        if (i + RecordLookahead < count)
            __builtin_prefetch(files[i + RecordLookahead].get());
        // Flipping the sign bit puts signed order into unsigned order.
        items[i].chunk = quint64(qint64(keyOf(*files[i]))) ^ (quint64(1) << 63);
    }
    std::sort(items.begin(), items.end(), chunkThenIndex);
    return items;
}

} // namespace

namespace SortKeys {

std::vector<quint32> order(const std::vector<std::unique_ptr<ZQFile>> &files, const QString &column,
                           bool natural, const std::function<qint64(const ZQFile &)> &dateKey)
{
    // The comparison named after the column ("Size" gives SizeComparison)
    // and the key it compares; a column without one gives no order.
    std::vector<SortItem> items;
    if (natural && (column == FileList::OldName || column == FileList::Location)) {
        const bool byName = column == FileList::OldName;
        items = sortedByText(
            files,
            [byName](std::string &key, const ZQFile &f) {
                const size_t start = key.size();
                if (byName)
                    appendFoldedName(key, f);
                else
                    appendFoldedPath(key, f.nativePath());
                naturalizeKey(key, start);
            },
            true);
    } else if (column == FileList::OldName) {
        items = sortedByText(
            files, [](std::string &key, const ZQFile &f) { appendFoldedName(key, f); }, true);
    } else if (column == FileList::NewName) {
        items = sortedByText(
            files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.newName()); });
    } else if (column == QLatin1String("Kind")) {
        items = sortedByText(
            files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.kind()); });
    } else if (column == QLatin1String("Ext")) {
        items = sortedByText(files, [](std::string &key, const ZQFile &f) {
            appendFoldedText(key, TextRules::displayExtension(f.name()));
        });
    } else if (column == FileList::Date && dateKey) {
        items = sortedBySigned(files, dateKey);
    } else if (column == FileList::Date) {
        items = sortedByText(
            files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.date()); });
    } else if (column == QLatin1String("Attr")) {
        items = sortedByText(
            files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.attrs()); });
    } else if (column == FileList::Location) {
        items = sortedByText(
            files, [](std::string &key, const ZQFile &f) { appendFoldedPath(key, f.nativePath()); },
            true);
    } else if (column == FileList::Size) {
        items = sortedBySigned(files, [](const ZQFile &f) { return f.fullSize(); });
    } else if (column == QLatin1String("Folder")) {
        items = sortedBySigned(files, [](const ZQFile &f) { return f.isDirectory() ? 1 : 0; });
    } else {
        return {};
    }

    std::vector<quint32> order;
    order.reserve(items.size());
    for (const SortItem &item : items)
        order.push_back(item.index);
    return order;
}

} // namespace SortKeys
