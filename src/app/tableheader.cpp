// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tableheader.h"

#include "app/filenamedelegate.h"
#include "files/filelist.h"
#include "model/filetablemodel.h"

#include <QHeaderView>
#include <QTableView>

TableHeader::TableHeader(QTableView *table, FileTableModel *model)
    : QObject(table), m_table(table), m_model(model)
{
    table->setModel(model);
    table->setItemDelegateForColumn(FileTableModel::OldNameColumn, new FileNameDelegate(table));
    table->setSortingEnabled(false);
    // Rows of one height: the view then never measures rows it does not show,
    // which keeps a list of a million files as quick as a short one.
    QHeaderView *rows = table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(table->fontMetrics().height() + 8);
    rows->hide();
    QHeaderView *columns = table->horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setHighlightSections(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    columns->resizeSection(FileTableModel::OldNameColumn, 220);
    columns->resizeSection(FileTableModel::NewNameColumn, 220);
    columns->resizeSection(FileTableModel::SizeColumn, 90);
    columns->resizeSection(FileTableModel::DateColumn, 130);
    connect(columns, &QHeaderView::sectionClicked, this, &TableHeader::clicked);
}

void TableHeader::clicked(int section)
{
    m_table->clearSelection();
    m_model->tableView(section);
    // The header moves its indicator on every click by itself; put it back
    // where the list's sort state says, also after a click that changed nothing.
    showSortIndicator();
}

void TableHeader::showSortIndicator()
{
    const FileList &list = *m_model->list();
    const int column = m_model->columnOfIdentifier(list.lastColumn());
    QHeaderView *header = m_table->horizontalHeader();
    if (column < 0) {
        header->setSortIndicatorShown(false);
        return;
    }
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column,
                             list.sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TableHeader::setNaturalOrder(bool natural)
{
    FileList &list = *m_model->list();
    list.setNaturalOrder(natural);
    const QString column = list.lastColumn();
    if (list.hasBeenSorted() && (column == FileList::OldName || column == FileList::Location))
        m_model->performSort();
}
