// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/problemmarkdelegate.h"

#include "model/filetablemodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyle>

void ProblemMarkDelegate::initStyleOption(QStyleOptionViewItem *option,
                                          const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // Set apart from the rules' names, which follow the settings.
    if (index.data(FileTableModel::TypedRole).toBool())
        option->font.setItalic(true);
    // A companion shows under its lead, marked as following it; only the
    // cell shows the mark, a copy of the name does not take it.
    if (!index.data(FileTableModel::CompanionRole).isNull())
        option->text = QStringLiteral("  \u21B3 ") + option->text;
    // A name that waits for what is inside its file, quietly.
    if (index.data(FileTableModel::PendingRole).toBool()) {
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::PlaceholderText));
        return;
    }
    if (index.data(FileTableModel::ProblemRole).toString().isEmpty())
        return;
    static const QIcon mark = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    option->icon = mark;
    option->features |= QStyleOptionViewItem::HasDecoration;
    const int size = option->fontMetrics.height();
    option->decorationSize = QSize(size, size);
}

void ProblemMarkDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor); line && line->isModified())
        return;
    QStyledItemDelegate::setEditorData(editor, index);
}
