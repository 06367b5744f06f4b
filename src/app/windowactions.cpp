// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowactions.h"

#include "app/sheets.h"
#include "intake/namelists.h"
#include "model/filetablemodel.h"
#include "posix/namecodec.h"
#include "ui_vlnwindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

WindowActions::WindowActions(Ui::VLNWindow *ui, QObject *parent) : QObject(parent), m_ui(ui)
{
    connect(ui->actionCopyNewName, &QAction::triggered, this, &WindowActions::copyNewNames);
    connect(ui->actionGoToName, &QAction::triggered, this, &WindowActions::goToNameTemplate);
    connect(ui->actionPasteNewNames, &QAction::triggered, this, &WindowActions::pasteNewNames);
    connect(ui->actionResetNewName, &QAction::triggered, this, &WindowActions::resetNewNames);
    ui->actionStartRenaming->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    ui->startButton->setToolTip(tr("Rename the files of the list to their new names"));
    showShortcut(ui->addButton, ui->actionAddFiles->shortcut());
    showShortcut(ui->removeButton, ui->actionRemove->shortcut());
    showShortcut(ui->clearAllButton, ui->actionClearAll->shortcut());
    showShortcut(ui->startButton, ui->actionStartRenaming->shortcut());

    QTableView *table = ui->tableView;
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &WindowActions::showContextMenu);

    // The tutorial switches off what it covers; the list's actions must not
    // reach around it to its example files.
    m_tutorial = ui->tutorialView;
    m_listActions = {ui->actionRemove,       ui->actionClearAll,      ui->actionShow,
                     ui->actionCopyNewName,  ui->actionPasteNewNames, ui->actionResetNewName,
                     ui->actionStartRenaming};
    m_listButtons = {ui->removeButton, ui->clearAllButton, ui->showButton, ui->startButton};
    m_tutorial->installEventFilter(this);
    table->installEventFilter(this);
    // What works on the files rests while there are none, rather than do
    // nothing when pressed.
    if (QAbstractItemModel *model = table->model()) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &WindowActions::updateListActions);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &WindowActions::updateListActions);
        connect(model, &QAbstractItemModel::modelReset, this, &WindowActions::updateListActions);
    }
    updateListActions();
}

void WindowActions::showShortcut(QWidget *button, const QKeySequence &keys)
{
    // As the desktop writes keys: "Strg+Entf" in German, once Qt's own
    // catalogue is loaded.
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(button->toolTip(), keys.toString(QKeySequence::NativeText)));
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

QList<ZQFile *> WindowActions::selectedFiles() const
{
    auto *model = qobject_cast<FileTableModel *>(m_ui->tableView->model());
    return model ? model->getSelectedFiles(m_ui->tableView->selectionModel()) : QList<ZQFile *>{};
}

void WindowActions::pasteNewNames()
{
    auto *model = qobject_cast<FileTableModel *>(m_ui->tableView->model());
    if (!model || model->rowCount() == 0)
        return;
    QList<ZQFile *> files = selectedFiles();
    if (files.isEmpty()) {
        for (int row = 0; row < model->rowCount(); ++row)
            files << model->list()->fileAtIndex(row);
    }
    // A spreadsheet or an editor on another system ends its lines in
    // "\r\n": the "\r" belongs to no name.
    QList<QByteArray> lines;
    const qsizetype emptyLine =
        NameLists::readLines(QGuiApplication::clipboard()->text().toUtf8(), &lines);
    QStringList names;
    names.reserve(lines.size());
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        names << NameCodec::decode(line);
    }
    QWidget *window = m_ui->tableView->window();
    if (emptyLine > 0 || names.contains(QString())) {
        const qsizetype line = emptyLine > 0 ? emptyLine : names.indexOf(QString()) + 1;
        Sheets::open(
            Sheets::make(window, QMessageBox::Warning,
                         tr("Line %1 of the clipboard is empty; nothing was changed.").arg(line)));
        return;
    }
    if (names.size() != files.size()) {
        Sheets::open(
            Sheets::make(window, QMessageBox::Warning,
                         tr("The clipboard holds %1 lines for %2 files; nothing was changed.")
                             .arg(names.size())
                             .arg(files.size())));
        return;
    }
    model->setTypedNames(files, names);
}

void WindowActions::resetNewNames()
{
    if (auto *model = qobject_cast<FileTableModel *>(m_ui->tableView->model()))
        model->resetTypedNames(selectedFiles());
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
    menu->addAction(ui->actionResetNewName);
    menu->popup(table->viewport()->mapToGlobal(position));
}

void WindowActions::updateListActions()
{
    const bool covered = m_tutorial && !m_tutorial->isHidden();
    const QAbstractItemModel *model = m_tutorial ? m_ui->tableView->model() : nullptr;
    const bool listed = model && model->rowCount() > 0;
    for (const QPointer<QAction> &action : std::as_const(m_listActions)) {
        if (action)
            action->setEnabled(!covered && listed);
    }
    if (m_tutorial)
        m_ui->actionGoToName->setEnabled(!covered);
    // Under the tutorial the buttons are the tutorial's to switch.
    if (covered)
        return;
    for (const QPointer<QWidget> &button : std::as_const(m_listButtons)) {
        if (button)
            button->setEnabled(listed);
    }
}

bool WindowActions::eventFilter(QObject *watched, QEvent *event)
{
    // F2 edits the New Name of the current row, whichever of its cells is
    // current: the rows are selected whole, the cell is not seen.
    QTableView *table = m_ui->tableView;
    if (watched == table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_F2) {
        const QModelIndex current = table->currentIndex();
        if (current.isValid()) {
            const QModelIndex cell = current.siblingAtColumn(FileTableModel::NewNameColumn);
            table->setCurrentIndex(cell);
            table->edit(cell);
            return true;
        }
    }
    if (m_tutorial && watched == m_tutorial &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        updateListActions();
    return QObject::eventFilter(watched, event);
}
