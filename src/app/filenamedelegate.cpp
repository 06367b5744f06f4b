#include "filenamedelegate.h"

#include "fileicons.h"
#include "filetablemodel.h"
#include "zqfile.h"

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
