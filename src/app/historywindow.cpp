// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/historywindow.h"

#include <QDateTime>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    TimeColumn,
    FolderColumn,
    FilesColumn,
    StateColumn
};

// Item data: where the run's journal is, and its state.
constexpr int pathRole = Qt::UserRole;
constexpr int stateRole = Qt::UserRole + 1;

bool undoable(RunJournal::State state)
{
    // An undo or redo that stopped half way can be taken up again.
    return state == RunJournal::State::Complete || state == RunJournal::State::Interrupted ||
           state == RunJournal::State::Redone || state == RunJournal::State::UndoInterrupted ||
           state == RunJournal::State::PartlyUndone;
}

} // namespace

HistoryWindow::HistoryWindow(QWidget *parent)
    : QDialog(parent), m_runs(new QTreeWidget(this)), m_unreadable(new QLabel(this)),
      m_undo(new QPushButton(tr("&Undo"), this)), m_redo(new QPushButton(tr("Re&do"), this)),
      m_close(new QPushButton(tr("&Close"), this))
{
    setWindowTitle(tr("Rename History"));
    m_runs->setObjectName(QStringLiteral("historyList"));
    m_undo->setObjectName(QStringLiteral("historyUndoButton"));
    m_redo->setObjectName(QStringLiteral("historyRedoButton"));
    m_runs->setRootIsDecorated(false);
    m_runs->setUniformRowHeights(true);
    m_runs->setAllColumnsShowFocus(true);
    m_runs->setHeaderLabels({tr("Time"), tr("Folder"), tr("Files"), tr("State")});
    m_runs->headerItem()->setTextAlignment(FilesColumn, Qt::AlignRight | Qt::AlignVCenter);
    QHeaderView *header = m_runs->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(FolderColumn, QHeaderView::Stretch);
    m_unreadable->setForegroundRole(QPalette::PlaceholderText);
    m_unreadable->hide();
    m_undo->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_unreadable);
    buttons->addStretch();
    buttons->addWidget(m_undo);
    buttons->addWidget(m_redo);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_runs);
    layout->addLayout(buttons);
    setTabOrder(m_runs, m_undo);
    setTabOrder(m_undo, m_redo);
    setTabOrder(m_redo, m_close);
    resize(760, 380);

    connect(m_runs, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::updateButtons);
    connect(m_undo, &QPushButton::clicked, this, [this] { requestSelected(false); });
    connect(m_redo, &QPushButton::clicked, this, [this] { requestSelected(true); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    updateButtons();
}

QString HistoryWindow::stateText(RunJournal::State state)
{
    switch (state) {
    case RunJournal::State::Interrupted:
        return tr("Interrupted");
    case RunJournal::State::Complete:
        return tr("Renamed");
    case RunJournal::State::Undone:
        return tr("Undone");
    case RunJournal::State::Redone:
        return tr("Redone");
    case RunJournal::State::UndoInterrupted:
        return tr("Undo interrupted");
    case RunJournal::State::PartlyUndone:
        return tr("Partly undone");
    }
    return {};
}

void HistoryWindow::setHistory(const RunHistory::Listing &history)
{
    // The selection stays on the same run when the list is read again.
    QString selected;
    if (QTreeWidgetItem *item = m_runs->currentItem())
        selected = item->data(TimeColumn, pathRole).toString();
    m_runs->clear();
    const QLocale locale;
    QTreeWidgetItem *current = nullptr;
    for (const RunSummary &run : history.runs) {
        auto *item = new QTreeWidgetItem(m_runs);
        item->setText(TimeColumn,
                      locale.toString(QDateTime::fromMSecsSinceEpoch(run.started).toLocalTime(),
                                      QLocale::ShortFormat));
        const QString folder = QFile::decodeName(run.root);
        item->setText(FolderColumn, folder);
        item->setToolTip(FolderColumn, folder);
        const QString moved = locale.toString(run.movedCount());
        item->setText(FilesColumn, run.state == RunJournal::State::Interrupted
                                       ? tr("%1 of %2").arg(moved, locale.toString(run.planned))
                                       : moved);
        item->setTextAlignment(FilesColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(StateColumn, run.inUse ? tr("Running") : stateText(run.state));
        item->setData(TimeColumn, pathRole, run.path);
        item->setData(TimeColumn, stateRole, int(run.state));
        if (run.path == selected)
            current = item;
    }
    if (!current && m_runs->topLevelItemCount() > 0)
        current = m_runs->topLevelItem(0);
    if (current)
        m_runs->setCurrentItem(current);
    // The columns beside the folder fit their longest text (a state in
    // German is twice as long as in English), with room apart.
    for (const int column : {TimeColumn, FilesColumn, StateColumn}) {
        m_runs->resizeColumnToContents(column);
        m_runs->header()->resizeSection(column, m_runs->header()->sectionSize(column) + 12);
    }
    const qsizetype unreadable = history.unreadable.size();
    m_unreadable->setVisible(unreadable > 0);
    m_unreadable->setText(unreadable == 1 ? tr("1 journal could not be read")
                                          : tr("%1 journals could not be read").arg(unreadable));
    QStringList reasons;
    for (const auto &[path, reason] : history.unreadable)
        reasons << path + QStringLiteral(": ") + reason;
    m_unreadable->setToolTip(reasons.join(u'\n'));
    updateButtons();
}

void HistoryWindow::setBusy(bool busy)
{
    m_busy = busy;
    updateButtons();
}

void HistoryWindow::updateButtons()
{
    QTreeWidgetItem *item = m_runs->currentItem();
    const auto state =
        item ? RunJournal::State(item->data(TimeColumn, stateRole).toInt()) : RunJournal::State{};
    m_undo->setEnabled(item && !m_busy && undoable(state));
    // An undo that stopped half way can also be turned round and redone.
    m_redo->setEnabled(item && !m_busy &&
                       (state == RunJournal::State::Undone ||
                        state == RunJournal::State::UndoInterrupted ||
                        state == RunJournal::State::PartlyUndone));
}

void HistoryWindow::requestSelected(bool redo)
{
    QTreeWidgetItem *item = m_runs->currentItem();
    if (!item || m_busy)
        return;
    const QString path = item->data(TimeColumn, pathRole).toString();
    if (redo)
        emit redoRequested(path);
    else
        emit undoRequested(path);
}
