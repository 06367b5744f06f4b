// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

// Draws a warning mark in a New Name cell whose file the rename plan cannot
// rename (the reason shows as the cell's tooltip), and a name typed by hand
// in italics.
class ProblemMarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Keeps what the user has typed: a new plan announces every row of the
    // column as changed, which would set an open editor afresh.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
