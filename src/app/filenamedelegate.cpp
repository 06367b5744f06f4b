// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filenamedelegate.h"

#include "app/fileicons.h"
#include "files/zqfile.h"
#include "model/filetablemodel.h"

void FileNameDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const auto *file = index.data(FileTableModel::FileRole).value<ZQFile *>();
    if (!file)
        return;
    option->icon = image(*file);
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(16, 16);
}
