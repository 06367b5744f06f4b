// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/filetablemodel.h"

#include "files/counttext.h"
#include "files/filelist.h"
#include "files/zqfile.h"

#include <QCoreApplication>
#include <QItemSelection>

#include <algorithm>
#include <array>
#include <limits>

namespace {

const std::array<QString, FileTableModel::ColumnCount> &identifiers()
{
    static const std::array<QString, FileTableModel::ColumnCount> columns = {
        FileList::OldName, FileList::NewName, FileList::Size, FileList::Date, FileList::Location};
    return columns;
}

// Looked up on every call: the language can be chosen after the first table.
QString title(int column)
{
    static const char *const titles[FileTableModel::ColumnCount] = {
        QT_TRANSLATE_NOOP("FileTableModel", "Old Name"),
        QT_TRANSLATE_NOOP("FileTableModel", "New Name"),
        QT_TRANSLATE_NOOP("FileTableModel", "Size"), QT_TRANSLATE_NOOP("FileTableModel", "Date"),
        QT_TRANSLATE_NOOP("FileTableModel", "Location")};
    return QCoreApplication::translate("FileTableModel", titles[column]);
}

} // namespace

FileTableModel::FileTableModel(FileList *list, QObject *parent)
    : QAbstractTableModel(parent), m_list(list), m_totalText(CountText::files(list->count()))
{}

void FileTableModel::setSettings(const RenameSettings &settings)
{
    const bool datesMoved = settings.dateSources != m_composer.settings().dateSources;
    m_composer = NameComposer(settings);
    m_list->setGroupsCompanions(settings.companions);
    if (datesMoved) {
        if (settings.readsOtherDates()) {
            m_list->setDateKey([composer = NameComposer(settings)](const ZQFile &file) {
                return composer.dateSortKey(file.ruleFile());
            });
        } else {
            m_list->setDateKey({});
        }
    }
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, NewNameColumn),
                         index(rows - 1, datesMoved ? DateColumn : NewNameColumn),
                         {Qt::DisplayRole});
}

bool FileTableModel::isPending(const ZQFile &file) const
{
    return m_composer.readsFacts() && !file.facts();
}

void FileTableModel::updateResults()
{
    // The list has already changed under the model: a reset is the only
    // honest signal for that.
    beginResetModel();
    if (!m_typed.isEmpty())
        m_typed.keepListed(*m_list);
    endResetModel();
    countChanged();
}

void FileTableModel::countChanged()
{
    m_totalText = countText();
    emit totalTextChanged(m_totalText);
}

QString FileTableModel::countText() const
{
    return CountText::files(m_list->count());
}

void FileTableModel::appendRecords(std::vector<std::unique_ptr<ZQFile>> records, bool unlisted)
{
    if (records.empty())
        return;
    const qsizetype before = m_list->count();
    const auto announce = [this, before](qsizetype count) {
        if (count == 0)
            return;
        // Stored at the end, which the descending view shows at the top.
        const qsizetype first = m_list->sortDescending() ? 0 : before;
        beginInsertRows(QModelIndex(), int(first), int(first + count - 1));
    };
    const qsizetype added = unlisted ? m_list->appendAllUnlisted(std::move(records), announce)
                                     : m_list->appendAll(std::move(records), announce);
    if (added == 0)
        return;
    endInsertRows();
    countChanged();
}

void FileTableModel::appendExamples(std::vector<std::unique_ptr<ZQFile>> records)
{
    if (records.empty())
        return;
    const auto count = qsizetype(records.size());
    const qsizetype first = m_list->sortDescending() ? 0 : m_list->count();
    beginInsertRows(QModelIndex(), int(first), int(first + count - 1));
    for (auto &record : records)
        m_list->appendUnchecked(std::move(record));
    endInsertRows();
    countChanged();
}

void FileTableModel::removeFiles(const QList<ZQFile *> &files)
{
    QList<qint64> rows;
    rows.reserve(files.size());
    for (const ZQFile *file : files) {
        if (const qint64 row = m_list->rowOfFile(file); row >= 0)
            rows << row;
    }
    removeRows(std::move(rows));
}

void FileTableModel::removeRows(QList<qint64> rows)
{
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Runs of adjacent rows, removed from the bottom up so that the rows
    // above keep their numbers.
    QList<std::pair<qint64, qint64>> runs; // first, count
    for (const qint64 row : std::as_const(rows)) {
        if (!runs.isEmpty() && runs.last().first + runs.last().second == row)
            ++runs.last().second;
        else
            runs.append({row, 1});
    }
    // Each removal moves the rest of the list: past a few hundred runs one
    // pass over the list and a reset cost less than the view would save.
    if (runs.size() > 256) {
        QList<ZQFile *> files;
        files.reserve(rows.size());
        for (const qint64 row : std::as_const(rows))
            files << m_list->fileAtIndex(row);
        beginResetModel();
        m_list->removeFiles(files);
        endResetModel();
    } else {
        for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
            beginRemoveRows(QModelIndex(), int(run->first), int(run->first + run->second - 1));
            m_list->removeRows(run->first, run->second);
            endRemoveRows();
        }
    }
    if (!m_typed.isEmpty())
        m_typed.keepListed(*m_list);
    countChanged();
}

void FileTableModel::reloadData()
{
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
}

QList<ZQFile *> FileTableModel::getSelectedFiles(const QItemSelectionModel *selection) const
{
    if (!selection)
        return {};
    // Rows, not cells: a row whose five cells are selected counts once.
    QList<qint64> rows;
    for (const QItemSelectionRange &range : selection->selection()) {
        if (range.model() != this || range.parent().isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    return m_list->getSelectedFilesBySets(std::move(rows));
}

FileList::HeaderClick FileTableModel::tableView(int section)
{
    if (section < 0 || section >= ColumnCount)
        return {};
    const QString &identifier = identifiers()[size_t(section)];
    if (identifier == FileList::NewName)
        return m_list->tableView(identifier);
    // Sorting or turning the direction moves records between rows.
    beginResetModel();
    FileList::HeaderClick click = m_list->tableView(identifier);
    endResetModel();
    return click;
}

void FileTableModel::performSort()
{
    beginResetModel();
    m_list->performSort();
    endResetModel();
}

void FileTableModel::clickRemove(const QItemSelectionModel *selection)
{
    if (m_list->isEmpty() || !selection)
        return;
    QList<qint64> rows;
    for (const QItemSelectionRange &range : selection->selection()) {
        if (range.model() != this || range.parent().isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    removeRows(std::move(rows));
}

void FileTableModel::clickClearAll()
{
    beginResetModel();
    m_list->clear();
    m_typed.clear();
    endResetModel();
    countChanged();
}

FileTableModel::SetAside FileTableModel::setAside()
{
    SetAside kept;
    beginResetModel();
    kept.sorted = m_list->hasBeenSorted();
    kept.records = m_list->takeAll();
    kept.typed = std::exchange(m_typed, {});
    endResetModel();
    countChanged();
    return kept;
}

void FileTableModel::giveBack(SetAside kept, const QList<ZQFile *> &borrowed)
{
    beginResetModel();
    m_list->removeFiles(borrowed);
    m_list->putBack(std::move(kept.records), kept.sorted);
    m_typed = std::move(kept.typed);
    endResetModel();
    countChanged();
}

int FileTableModel::columnOfIdentifier(const QString &identifier) const
{
    const auto &columns = identifiers();
    for (size_t column = 0; column < columns.size(); ++column) {
        if (columns[column] == identifier)
            return int(column);
    }
    return -1;
}

int FileTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(qMin<qsizetype>(m_list->count(), std::numeric_limits<int>::max()));
}

int FileTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < ColumnCount) {
        if (role == Qt::DisplayRole)
            return title(section);
        if (role == IdentifierRole)
            return identifiers()[size_t(section)];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void FileTableModel::setPlan(std::shared_ptr<const RenamePlan> plan)
{
    if (!plan && !m_plan)
        return;
    m_plan = std::move(plan);
    if (rowCount() > 0) {
        // Numbered names come with the plan: the names shown change too.
        QList<int> roles = {ProblemRole, Qt::ToolTipRole};
        if (m_composer.settings().uniqueNames)
            roles << Qt::DisplayRole << Qt::EditRole;
        emit dataChanged(index(0, NewNameColumn), index(rowCount() - 1, NewNameColumn), roles);
    }
}
