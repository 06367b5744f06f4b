// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FileTableModel;
class QTableView;

// The file table's view and its header: rows of one height, the first
// column widths, and a header click that sorts the list by its column (or
// turns the direction of the column it is sorted by), with the indicator
// where the list's sort state says.
class TableHeader : public QObject
{
    Q_OBJECT
public:
    TableHeader(QTableView *table, FileTableModel *model);

    // Puts the indicator where the list's sort state says.
    void showSortIndicator();
    // Natural order on or off: a list sorted by name or location takes the
    // new order at once.
    void setNaturalOrder(bool natural);

private:
    void clicked(int section);

    QTableView *m_table;
    FileTableModel *m_model;
};
