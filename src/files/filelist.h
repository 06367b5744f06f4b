// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/companiongroups.h"
#include "files/pathindex.h"
#include "files/zqfile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The one list of records (contentsArray) in stored order, with the sort
// state that decides how the table shows it. Stored order is the order of
// addition until a sort by a column; the table reads it backwards while
// sortDescending is set. Exact full paths are indexed, so the duplicate test
// of the intake costs constant time per path.
class FileList
{
public:
    // Column identifiers of the table.
    static inline const QString OldName = QStringLiteral("OldName");
    static inline const QString NewName = QStringLiteral("NewName");
    static inline const QString Size = QStringLiteral("Size");
    static inline const QString Date = QStringLiteral("Date");
    static inline const QString Location = QStringLiteral("Location");

    FileList();
    ~FileList();

    const std::vector<std::unique_ptr<ZQFile>> &contentsArray() const { return m_files; }
    qsizetype count() const { return qsizetype(m_files.size()); }
    bool isEmpty() const { return m_files.empty(); }

    // Appends at the end of the stored order. Refuses (returns nullptr) a
    // record whose native path is already listed.
    ZQFile *append(std::unique_ptr<ZQFile> file);
    // Appends without the duplicate test: records that name no file on disk,
    // such as the tutorial's examples, may share a label as their path.
    ZQFile *appendUnchecked(std::unique_ptr<ZQFile> file);
    // Appends a record whose path the caller knows is not listed (a walk of a
    // folder into a list that held nothing before it): the duplicate index
    // then catches up when it is next needed, all at once.
    ZQFile *appendUnlisted(std::unique_ptr<ZQFile> file);
    // Appends those of `files` whose paths are not listed (the first of a
    // path within `files` counts), in their order, and gives their number.
    // `beforeStore` hears that number after the test and before the list
    // changes, so that a model can announce the rows.
    qsizetype appendAll(std::vector<std::unique_ptr<ZQFile>> files,
                        const std::function<void(qsizetype count)> &beforeStore = {});
    // As appendAll, for records the caller knows name no listed path and no
    // path twice (one walk into a list that was empty): the duplicate index
    // catches up when it is next needed, as after appendUnlisted.
    qsizetype appendAllUnlisted(std::vector<std::unique_ptr<ZQFile>> files,
                                const std::function<void(qsizetype count)> &beforeStore = {});
    bool containsPath(const QByteArray &nativePath) const;
    // Moves a listed record to another path, keeping the duplicate index right.
    // Change a listed record's path only through here.
    void setNativePath(ZQFile *file, const QByteArray &nativePath);
    // As above, and names the record `name` (ZQFile::setNativePath).
    void setNativePath(ZQFile *file, const QByteArray &nativePath, const QString &name);
    // Many path changes at once, as after a rename run: between these two,
    // setNativePath only changes the record, and the end rebuilds the index
    // in one go, which costs far less than moving each entry. Nothing may be
    // appended in between.
    void beginPathChanges() { m_pathChanges = true; }
    void endPathChanges();

    // The display row of a stored position, and the stored position of a
    // display row: one mapping, its own inverse, since the table reads the
    // list backwards while sortDescending is set. Positions outside the list
    // map outside it.
    static qint64 rowOfPosition(qint64 position, qint64 count, bool descending)
    {
        return descending ? count - 1 - position : position;
    }
    qint64 rowOfPosition(qint64 position) const
    {
        return rowOfPosition(position, count(), m_sortDescending);
    }
    qint64 positionOfRow(qint64 row) const { return rowOfPosition(row); }

    // The record shown in display row `row` (0 <= row < count()); nullptr
    // for any other row.
    ZQFile *fileAtIndex(qint64 row) const;
    // The display row of a listed record, or -1.
    qint64 rowOfFile(const ZQFile *file) const;

    bool sortDescending() const { return m_sortDescending; }
    void setSortDescending(bool descending) { m_sortDescending = descending; }
    // The identifier of the column the list was last sorted by; empty for none.
    QString lastColumn() const { return m_lastColumn; }
    void setLastColumn(const QString &identifier) { m_lastColumn = identifier; }

    // Natural order: the Old Name and Location sorts compare runs of ASCII
    // digits by their value ("a2" before "a10"; equal values by their
    // length, "a02" after "a2"). Off, they compare digits as characters.
    // Where the date of a file comes from when it is not its modification
    // date (RuleFile dates: a date taken, a birth time): the Date column
    // then sorts by this key, smallest first. Unset, by the date text.
    using DateKey = std::function<qint64(const ZQFile &file)>;
    void setDateKey(DateKey key) { m_dateKey = std::move(key); }

    bool naturalOrder() const { return m_naturalOrder; }
    void setNaturalOrder(bool natural) { m_naturalOrder = natural; }
    // Whether performSort has put the list in order since it was last cleared.
    bool hasBeenSorted() const { return m_sorted; }

    // The counter index of display row `row`: the row itself, or with
    // perFolder its place among the rows of its own folder, in display order.
    // While companions are grouped, each group counts once: a companion has
    // its lead's index.
    qint64 counterIndex(qint64 row, bool perFolder) const;

    // Whether companion files move as one group (the rename setting
    // RenameSettings::companions, which whoever holds the settings sets
    // here too). Off, every file stands alone. Written only when it changes:
    // a plan's worker may be reading it meanwhile, and is let go of the list
    // first only where it changes.
    void setGroupsCompanions(bool on)
    {
        if (m_groupsCompanions != on)
            m_groupsCompanions = on;
    }
    bool groupsCompanions() const { return m_groupsCompanions; }
    // The display row of the lead of the companion shown in `row`, or -1
    // where the row leads, stands alone, or companions are not grouped.
    // The groups are worked out when first asked for after a change of the
    // list, and so, like counterIndex, on the thread that owns the list.
    qint64 companionLead(qint64 row) const;
    // The length of the stem the name of `row` shares with its group.
    qsizetype companionStem(qint64 row) const;

    // Sorts the stored list ascending by lastColumn's comparison of ZQFile
    // ("Size" sorts by SizeComparison). Records that compare the same keep
    // their order; a column without a comparison leaves the list alone.
    void performSort();

    // What a header click changes on the table.
    struct HeaderClick
    {
        bool changed = false;    // false for the New Name column
        QString indicatorColumn; // carries the indicator now
        bool descending = false; // its direction
        QString clearedColumn;   // lost the indicator, or empty
        bool sorted = false;     // the stored list was sorted
    };
    // The header click on the column with this identifier: the New Name
    // column changes nothing, lastColumn turns the direction, any other
    // column becomes lastColumn and sorts ascending. Until the window sets
    // lastColumn, the first click on any sortable column sorts.
    HeaderClick tableView(const QString &clickedColumn);

    // The records in the given display rows, from the lowest row up; a row
    // given twice counts once, rows outside the list count not at all.
    QList<ZQFile *> getSelectedFilesBySets(QList<qint64> rows) const;

    // Removes these records, by identity, wherever they stand.
    void removeFiles(const QList<ZQFile *> &files);
    // Removes the records of `count` display rows from `row` on.
    void removeRows(qint64 row, qint64 count);
    // Removes every record; the sort state stays.
    void clear();
    // Hands every record over, in stored order, and is empty after.
    std::vector<std::unique_ptr<ZQFile>> takeAll();
    // Puts records handed over by takeAll back, ahead of those listed since,
    // which stay unless they name a path of the records put back. The list
    // counts as sorted again when it was then and nothing has joined it.
    void putBack(std::vector<std::unique_ptr<ZQFile>> files, bool sorted);

    // "No files", "1 file", "%n files" (CountText::files).
    static QString countText(qsizetype count);

    // Device and inode of a listed folder (as nativeFolder() spells it),
    // recorded by the intake when it lists the folder's files, so that a run
    // can tell that the folder it opens is still the folder that was listed.
    using FolderIdentity = std::pair<quint64, quint64>;
    void setFolderIdentity(const QByteArray &folder, FolderIdentity identity);
    // False when the folder's identity was never recorded.
    bool folderIdentity(const QByteArray &folder, FolderIdentity *identity) const;
    // Every folder identity recorded, to hand over with the records.
    const QHash<QByteArray, FolderIdentity> &folderIdentities() const { return m_folderIdentities; }

private:
    ZQFile *store(std::unique_ptr<ZQFile> file);
    // Moves a record to another path; `name` null keeps its name.
    void movePath(ZQFile *file, const QByteArray &nativePath, const QString *name);
    bool m_pathChanges = false;
    void invalidatePlaces();

    std::vector<std::unique_ptr<ZQFile>> m_files;
    PathIndex &paths() const;
    mutable PathIndex m_paths;
    mutable bool m_pathsStale = false;
    // Stored place of each record, built when first asked for.
    mutable QHash<const ZQFile *, qsizetype> m_places;
    mutable bool m_placesValid = false;
    bool m_sortDescending = false;
    bool m_naturalOrder = false;
    bool m_sorted = false;
    QString m_lastColumn;
    DateKey m_dateKey;
    // Per stored place: the place among the records of its folder (in stored
    // order) and how many records that folder has. Built when first asked for.
    void invalidateFolderPlaces()
    {
        m_folderPlaces.clear();
        m_companions.reset();
    }
    const CompanionGroups &companions() const;
    mutable std::unique_ptr<CompanionGroups> m_companions;
    bool m_groupsCompanions = false;
    mutable std::vector<std::pair<quint32, quint32>> m_folderPlaces;
    QHash<QByteArray, FolderIdentity> m_folderIdentities;
};
