#include "model/filetablemodel.h"

#include "files/filelist.h"
#include "files/zqfile.h"

#include <QCoreApplication>
#include <QItemSelection>

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
    : QAbstractTableModel(parent), m_list(list), m_totalText(FileList::countText(list->count()))
{}

void FileTableModel::setSettings(const RenameSettings &settings)
{
    m_composer = NameComposer(settings);
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, NewNameColumn), index(rows - 1, NewNameColumn),
                         {Qt::DisplayRole});
}

void FileTableModel::updateResults()
{
    // The list has already changed under the model: a reset is the only
    // honest signal for that.
    beginResetModel();
    endResetModel();
    m_totalText = FileList::countText(m_list->count());
    emit totalTextChanged(m_totalText);
}

void FileTableModel::appendRecords(std::vector<std::unique_ptr<ZQFile>> records)
{
    if (records.empty())
        return;
    const qsizetype before = m_list->count();
    const qsizetype added = m_list->appendAll(std::move(records), [this, before](qsizetype count) {
        if (count == 0)
            return;
        // Stored at the end, which the descending view shows at the top.
        const qsizetype first = m_list->sortDescending() ? 0 : before;
        beginInsertRows(QModelIndex(), int(first), int(first + count - 1));
    });
    if (added == 0)
        return;
    endInsertRows();
    m_totalText = FileList::countText(m_list->count());
    emit totalTextChanged(m_totalText);
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
    if (m_list->isEmpty())
        return;
    m_list->removeFiles(getSelectedFiles(selection));
    updateResults();
}

void FileTableModel::clickClearAll()
{
    m_list->clear();
    updateResults();
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

QVariant FileTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    ZQFile *file = m_list->fileAtIndex(index.row());
    if (!file)
        return {};
    if (role == FileRole)
        return QVariant::fromValue(file);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case OldNameColumn:
        return file->name();
    case NewNameColumn:
        // The row is the counter index, so [C] follows the display order.
        return m_composer.newNameForFile(
            *file, m_list->counterIndex(index.row(), m_composer.settings().counterPerFolder));
    case SizeColumn:
        return file->size();
    case DateColumn:
        return file->date();
    case LocationColumn:
        return file->fullPath();
    default:
        return {};
    }
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
