// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/folderaccessdialog.h"

#include "posix/textescape.h"
#include "rename/accessgrant.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FolderAccessDialog::FolderAccessDialog(UserDefaults *defaults, QWidget *parent)
    : QDialog(parent), m_defaults(defaults)
{
    setWindowTitle(tr("Folder Access"));
    setObjectName(QStringLiteral("folderAccessDialog"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("Velnor renames files without asking in these folders and in "
                                "every folder inside them."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_folders = new QListWidget(this);
    m_folders->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_folders);
    m_empty = new QLabel(tr("No folders allowed yet."), this);
    m_empty->setObjectName(QStringLiteral("noGrants"));
    layout->addWidget(m_empty);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_remove = buttons->addButton(tr("&Remove"), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_remove, &QPushButton::clicked, this, &FolderAccessDialog::removeSelected);
    connect(m_folders, &QListWidget::itemSelectionChanged, this,
            [this] { m_remove->setEnabled(!m_folders->selectedItems().isEmpty()); });
    resize(520, 320);
    reload();
}

void FolderAccessDialog::reload()
{
    m_folders->clear();
    for (const QByteArray &folder : grantedFolders(*m_defaults)) {
        // The escaped form shows every byte of a name that is not UTF-8; the
        // item keeps the bytes themselves for the removal.
        auto *item = new QListWidgetItem(TextEscape::path(folder), m_folders);
        item->setData(Qt::UserRole, folder);
    }
    m_empty->setVisible(m_folders->count() == 0);
    m_remove->setEnabled(false);
}

void FolderAccessDialog::removeSelected()
{
    for (const QListWidgetItem *item : m_folders->selectedItems())
        revokeGrant(item->data(Qt::UserRole).toByteArray(), *m_defaults);
    reload();
}
