// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/filelist.h"

#include "files/counttext.h"
#include "files/sortkeys.h"

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
    movePath(file, nativePath, nullptr);
}

void FileList::setNativePath(ZQFile *file, const QByteArray &nativePath, const QString &name)
{
    movePath(file, nativePath, &name);
}

void FileList::movePath(ZQFile *file, const QByteArray &nativePath, const QString *name)
{
    const auto apply = [&] {
        if (name)
            file->setNativePath(nativePath, *name);
        else
            file->setNativePath(nativePath);
    };
    if (file->nativePath() == nativePath) {
        if (name)
            file->setName(*name);
        return;
    }
    // A rename keeps the folder; anything else may move the record to another.
    const QByteArray &old = file->nativePath();
    const qsizetype start = NativePath::nameStart(old);
    // A new name may join or leave a group of companions.
    m_companions.reset();
    if (!nativePath.startsWith(QByteArrayView(old).first(start)) ||
        nativePath.indexOf('/', start) >= 0)
        invalidateFolderPlaces();
    if (m_pathChanges) {
        apply();
        // A lookup before the end (from a progress callback, say) must see
        // this change too.
        m_pathsStale = true;
        return;
    }
    paths().remove(file, file->nativePath());
    apply();
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

const CompanionGroups &FileList::companions() const
{
    if (!m_companions)
        m_companions = std::make_unique<CompanionGroups>(m_files);
    return *m_companions;
}

qint64 FileList::companionLead(qint64 row) const
{
    if (!m_groupsCompanions || row < 0 || row >= count())
        return -1;
    const qint64 lead = rowOfPosition(companions().leadOf(positionOfRow(row), m_sortDescending));
    return lead == row ? -1 : lead;
}

qsizetype FileList::companionStem(qint64 row) const
{
    if (!m_groupsCompanions || row < 0 || row >= count())
        return 0;
    return companions().stemOf(positionOfRow(row));
}

qint64 FileList::counterIndex(qint64 row, bool perFolder) const
{
    const auto n = qint64(m_files.size());
    if (m_groupsCompanions && row >= 0 && row < n)
        return companions().counterIndex(positionOfRow(row), m_sortDescending, perFolder);
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
    const std::vector<quint32> order =
        SortKeys::order(m_files, m_lastColumn, m_naturalOrder, m_dateKey);
    if (order.empty())
        return;
    std::vector<std::unique_ptr<ZQFile>> sorted;
    sorted.reserve(n);
    for (quint32 index : order)
        sorted.push_back(std::move(m_files[index]));
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

void FileList::removeRows(qint64 row, qint64 count)
{
    const qint64 n = this->count();
    if (row < 0 || count <= 0 || row + count > n)
        return;
    // The rows are a run of stored places in either direction.
    const auto first = size_t(m_sortDescending ? n - row - count : row);
    const auto last = first + size_t(count);
    for (size_t i = first; i < last; ++i)
        paths().remove(m_files[i].get(), m_files[i]->nativePath());
    m_files.erase(m_files.begin() + qsizetype(first), m_files.begin() + qsizetype(last));
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

void FileList::putBack(std::vector<std::unique_ptr<ZQFile>> files, bool sorted)
{
    std::vector<std::unique_ptr<ZQFile>> since = takeAll();
    const bool joined = !since.empty();
    // They were one list before: no path among them twice.
    appendAllUnlisted(std::move(files));
    appendAll(std::move(since));
    m_sorted = sorted && !joined;
}

QString FileList::countText(qsizetype count)
{
    return CountText::files(count);
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
