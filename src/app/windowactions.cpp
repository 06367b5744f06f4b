// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowactions.h"

#include "model/filetablemodel.h"
#include "ui_vlnwindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include <algorithm>

WindowActions::WindowActions(Ui::VLNWindow *ui, QObject *parent) : QObject(parent), m_ui(ui)
{
    connect(ui->actionCopyNewName, &QAction::triggered, this, &WindowActions::copyNewNames);
    connect(ui->actionGoToName, &QAction::triggered, this, &WindowActions::goToNameTemplate);
    ui->actionStartRenaming->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});

    QTableView *table = ui->tableView;
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &WindowActions::showContextMenu);

    // The tutorial switches off what it covers; the list's actions must not
    // reach around it to its example files.
    m_tutorial = ui->tutorialView;
    m_listActions = {ui->actionRemove, ui->actionClearAll, ui->actionShow, ui->actionCopyNewName,
                     ui->actionGoToName};
    m_tutorial->installEventFilter(this);
    setListActionsEnabled(m_tutorial->isHidden());
}

void WindowActions::copyNewNames()
{
    QItemSelectionModel *selection = m_ui->tableView->selectionModel();
    QModelIndexList rows = selection->selectedRows(FileTableModel::NewNameColumn);
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList names;
    names.reserve(rows.size());
    for (const QModelIndex &index : std::as_const(rows))
        names << index.data(Qt::DisplayRole).toString();
    QGuiApplication::clipboard()->setText(names.join(u'\n'));
}

void WindowActions::goToNameTemplate()
{
    QLineEdit *field = m_ui->nameField;
    if (!field->isEnabled())
        return;
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void WindowActions::showContextMenu(const QPoint &position)
{
    Ui::VLNWindow *ui = m_ui;
    QTableView *table = ui->tableView;
    // A right click on a row outside the selection selects that row first,
    // as file managers do.
    const QModelIndex index = table->indexAt(position);
    if (index.isValid() && !table->selectionModel()->isRowSelected(index.row(), {}))
        table->selectRow(index.row());
    auto *menu = new QMenu(table);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(ui->actionShow);
    menu->addAction(ui->actionRemove);
    menu->addSeparator();
    menu->addAction(ui->actionCopyNewName);
    menu->popup(table->viewport()->mapToGlobal(position));
}

void WindowActions::setListActionsEnabled(bool enabled)
{
    for (const QPointer<QAction> &action : std::as_const(m_listActions)) {
        if (action)
            action->setEnabled(enabled);
    }
}

bool WindowActions::eventFilter(QObject *watched, QEvent *event)
{
    if (m_tutorial && watched == m_tutorial &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        setListActionsEnabled(m_tutorial->isHidden());
    return QObject::eventFilter(watched, event);
}
