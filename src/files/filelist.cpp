#include "files/filelist.h"

#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "rules/textrules.h"

#include <QChar>
#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

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
void appendFoldedPath(std::string &key, const QByteArray &path)
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
// for each record, and then for the path bytes it points to, a little ahead.
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

FileList::FileList() = default;

FileList::~FileList() = default;

ZQFile *FileList::append(std::unique_ptr<ZQFile> file)
{
    if (!file)
        return nullptr;
    if (!paths().insertUnique(file.get()))
        return nullptr;
    return store(std::move(file));
}

ZQFile *FileList::appendUnchecked(std::unique_ptr<ZQFile> file)
{
    if (!file)
        return nullptr;
    paths().insert(file.get());
    return store(std::move(file));
}

ZQFile *FileList::appendUnlisted(std::unique_ptr<ZQFile> file)
{
    if (!file)
        return nullptr;
    m_pathsStale = true;
    return store(std::move(file));
}

ZQFile *FileList::store(std::unique_ptr<ZQFile> file)
{
    ZQFile *added = file.get();
    m_files.push_back(std::move(file));
    if (m_placesValid)
        m_places.insert(added, qsizetype(m_files.size()) - 1);
    invalidateFolderPlaces();
    return added;
}

qsizetype FileList::appendAll(std::vector<std::unique_ptr<ZQFile>> files,
                              const std::function<void(qsizetype)> &beforeStore)
{
    // Indexed as they are tested, so that a path twice in `files` is caught
    // too; the records do not move in memory when they are stored.
    size_t kept = 0;
    for (auto &file : files) {
        if (file && paths().insertUnique(file.get()))
            files[kept++] = std::move(file);
    }
    files.resize(kept);
    if (beforeStore)
        beforeStore(qsizetype(kept));
    // No reserve: one of the exact size for each batch of a listing would
    // copy the whole list again for every batch.
    for (auto &file : files)
        store(std::move(file));
    return qsizetype(kept);
}

qsizetype FileList::appendAllUnlisted(std::vector<std::unique_ptr<ZQFile>> files,
                                      const std::function<void(qsizetype)> &beforeStore)
{
    std::erase(files, nullptr);
    if (beforeStore)
        beforeStore(qsizetype(files.size()));
    for (auto &file : files)
        appendUnlisted(std::move(file));
    return qsizetype(files.size());
}

bool FileList::containsPath(const QByteArray &nativePath) const
{
    return paths().contains(nativePath);
}

void FileList::setNativePath(ZQFile *file, const QByteArray &nativePath)
{
    if (file->nativePath() == nativePath)
        return;
    // A rename keeps the folder; anything else may move the record to another.
    const QByteArray &old = file->nativePath();
    const qsizetype start = NativePath::nameStart(old);
    if (!nativePath.startsWith(QByteArrayView(old).first(start)) ||
        nativePath.indexOf('/', start) >= 0)
        invalidateFolderPlaces();
    if (m_pathChanges) {
        file->setNativePath(nativePath);
        // A lookup before the end (from a progress callback, say) must see
        // this change too.
        m_pathsStale = true;
        return;
    }
    paths().remove(file, file->nativePath());
    file->setNativePath(nativePath);
    // A record may be moved onto a path that another record still names (a
    // vanished file's path, reused by a rename): both stay listed, and the
    // path stays indexed until neither names it.
    paths().insert(file);
}

void FileList::endPathChanges()
{
    // The index, stale since the first change, is rebuilt when next needed,
    // so that a run does not wait for it.
    m_pathChanges = false;
}

PathIndex &FileList::paths() const
{
    if (m_pathsStale) {
        m_paths.clear();
        m_paths.reserve(qsizetype(m_files.size()));
        for (const auto &file : m_files)
            m_paths.insert(file.get());
        m_pathsStale = false;
    }
    return m_paths;
}

ZQFile *FileList::fileAtIndex(qint64 row) const
{
    const auto n = qint64(m_files.size());
    if (row < 0 || row >= n)
        return nullptr;
    return m_files[size_t(positionOfRow(row))].get();
}

qint64 FileList::rowOfFile(const ZQFile *file) const
{
    if (!m_placesValid) {
        m_places.clear();
        m_places.reserve(qsizetype(m_files.size()));
        for (size_t i = 0; i < m_files.size(); ++i)
            m_places.insert(m_files[i].get(), qsizetype(i));
        m_placesValid = true;
    }
    const auto place = m_places.constFind(file);
    if (place == m_places.cend())
        return -1;
    return rowOfPosition(place.value());
}

void FileList::invalidatePlaces()
{
    m_placesValid = false;
    m_places.clear();
    invalidateFolderPlaces();
}

qint64 FileList::counterIndex(qint64 row, bool perFolder) const
{
    const auto n = qint64(m_files.size());
    if (!perFolder || row < 0 || row >= n)
        return row;
    if (m_folderPlaces.size() != m_files.size()) {
        // Places counted in stored order; the descending direction reads
        // each folder from its other end.
        m_folderPlaces.assign(m_files.size(), {0, 0});
        QHash<QByteArray, std::vector<quint32>> folders;
        for (size_t i = 0; i < m_files.size(); ++i) {
            const QByteArray &path = m_files[i]->nativePath();
            const QByteArray folder = path.left(NativePath::nameStart(path));
            std::vector<quint32> &members = folders[folder];
            m_folderPlaces[i].first = quint32(members.size());
            members.push_back(quint32(i));
        }
        for (const std::vector<quint32> &members : std::as_const(folders)) {
            for (const quint32 member : members)
                m_folderPlaces[member].second = quint32(members.size());
        }
    }
    const auto place = size_t(positionOfRow(row));
    const auto [inFolder, folderSize] = m_folderPlaces[place];
    return m_sortDescending ? qint64(folderSize) - 1 - inFolder : inFolder;
}

void FileList::performSort()
{
    const size_t n = m_files.size();
    // The sort numbers records with 32 bits.
    if (n < 2 || n > std::numeric_limits<quint32>::max())
        return;

    // The comparison named after the column ("Size" gives SizeComparison)
    // and the key it compares; a column without one leaves the list alone.
    const QString &column = m_lastColumn;
    std::vector<SortItem> items;
    if (m_naturalOrder && (column == OldName || column == Location)) {
        const bool byName = column == OldName;
        items = sortedByText(
            m_files,
            [byName](std::string &key, const ZQFile &f) {
                const size_t start = key.size();
                if (byName)
                    appendFoldedText(key, f.name());
                else
                    appendFoldedPath(key, f.nativePath());
                naturalizeKey(key, start);
            },
            !byName);
    } else if (column == OldName) {
        items = sortedByText(
            m_files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.name()); });
    } else if (column == NewName) {
        items = sortedByText(
            m_files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.newName()); });
    } else if (column == QLatin1String("Kind")) {
        items = sortedByText(
            m_files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.kind()); });
    } else if (column == QLatin1String("Ext")) {
        items = sortedByText(m_files, [](std::string &key, const ZQFile &f) {
            appendFoldedText(key, TextRules::displayExtension(f.name()));
        });
    } else if (column == Date && m_dateKey) {
        items = sortedBySigned(m_files, m_dateKey);
    } else if (column == Date) {
        items = sortedByText(
            m_files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.date()); });
    } else if (column == QLatin1String("Attr")) {
        items = sortedByText(
            m_files, [](std::string &key, const ZQFile &f) { appendFoldedText(key, f.attrs()); });
    } else if (column == Location) {
        items = sortedByText(
            m_files,
            [](std::string &key, const ZQFile &f) { appendFoldedPath(key, f.nativePath()); }, true);
    } else if (column == Size) {
        items = sortedBySigned(m_files, [](const ZQFile &f) { return f.fullSize(); });
    } else if (column == QLatin1String("Folder")) {
        items = sortedBySigned(m_files, [](const ZQFile &f) { return f.isDirectory() ? 1 : 0; });
    } else {
        return;
    }

    std::vector<std::unique_ptr<ZQFile>> sorted;
    sorted.reserve(n);
    for (const SortItem &item : items)
        sorted.push_back(std::move(m_files[item.index]));
    m_files.swap(sorted);
    invalidatePlaces();
    m_sorted = true;
}

FileList::HeaderClick FileList::tableView(const QString &clickedColumn)
{
    HeaderClick click;
    if (clickedColumn == NewName || clickedColumn.isEmpty()) {
        click.indicatorColumn = m_lastColumn;
        click.descending = m_sortDescending;
        return click;
    }
    click.changed = true;
    if (clickedColumn == m_lastColumn) {
        m_sortDescending = !m_sortDescending;
    } else {
        m_sortDescending = false;
        click.clearedColumn = m_lastColumn;
        m_lastColumn = clickedColumn;
        performSort();
        click.sorted = true;
    }
    click.indicatorColumn = clickedColumn;
    click.descending = m_sortDescending;
    return click;
}

QList<ZQFile *> FileList::getSelectedFilesBySets(QList<qint64> rows) const
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<ZQFile *> files;
    files.reserve(rows.size());
    for (const qint64 row : std::as_const(rows)) {
        if (ZQFile *file = fileAtIndex(row))
            files.append(file);
    }
    return files;
}

void FileList::removeFiles(const QList<ZQFile *> &files)
{
    if (files.isEmpty() || m_files.empty())
        return;
    QSet<const ZQFile *> doomed;
    doomed.reserve(files.size());
    for (const ZQFile *file : files)
        doomed.insert(file);
    size_t keep = 0;
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (doomed.contains(m_files[i].get())) {
            paths().remove(m_files[i].get(), m_files[i]->nativePath());
            m_files[i].reset();
        } else {
            if (keep != i)
                m_files[keep] = std::move(m_files[i]);
            ++keep;
        }
    }
    m_files.resize(keep);
    invalidatePlaces();
}

void FileList::clear()
{
    m_sorted = false;
    m_files.clear();
    m_paths.clear();
    m_pathsStale = false;
    invalidatePlaces();
}

std::vector<std::unique_ptr<ZQFile>> FileList::takeAll()
{
    std::vector<std::unique_ptr<ZQFile>> files = std::exchange(m_files, {});
    clear();
    return files;
}

QString FileList::countText(qsizetype count)
{
    if (count == 0)
        return QCoreApplication::translate("FileList", "No files");
    if (count == 1)
        return QCoreApplication::translate("FileList", "1 file");
    return QCoreApplication::translate("FileList", "%1 files").arg(quint64(count));
}

void FileList::setFolderIdentity(const QByteArray &folder, FolderIdentity identity)
{
    m_folderIdentities.insert(folder, identity);
}

bool FileList::folderIdentity(const QByteArray &folder, FolderIdentity *identity) const
{
    const auto found = m_folderIdentities.constFind(folder);
    if (found == m_folderIdentities.constEnd())
        return false;
    *identity = *found;
    return true;
}
