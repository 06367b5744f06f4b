// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/undocontrol.h"

#include "app/historywindow.h"
#include "app/sheets.h"
#include "app/workqueue.h"
#include "jobs/historyjob.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

// The id of the interrupted run the user chose to keep as it is, so that the
// next start does not ask about it again.
const QString keptRunKey = QStringLiteral("keptInterruptedRun");

} // namespace

UndoControl::UndoControl(QWidget *window, Ui::VLNWindow *ui, WorkQueue *work,
                         UserDefaults *defaults)
    : QObject(window), m_window(window), m_ui(ui), m_work(work), m_defaults(defaults)
{
    connect(ui->actionUndoRename, &QAction::triggered, this, &UndoControl::undoLast);
    connect(ui->actionRedoRename, &QAction::triggered, this, &UndoControl::redoLast);
    connect(ui->actionRenameHistory, &QAction::triggered, this, &UndoControl::showHistory);
    connect(work, &WorkQueue::undoStarted, this, &UndoControl::updateActions);
    connect(work, &WorkQueue::undoEnded, this, &UndoControl::undoEnded);
    connect(work, &WorkQueue::undoStopped, this, &UndoControl::updateActions);
    refresh();
}

UndoControl::~UndoControl() = default;

void UndoControl::refresh()
{
    // A read going on may have missed the newest journal: one more follows.
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    // Until the history is read, the menu names no run: the one it named
    // may just have been taken back.
    m_undoTarget = m_redoTarget = -1;
    updateActions();
    m_reading = std::make_unique<HistoryJob>(RunHistory::runsFolder());
    connect(m_reading.get(), &Job::finished, this, &UndoControl::historyRead);
    m_reading->start();
}

void UndoControl::historyRead()
{
    m_history = m_reading->listing();
    // Deleted later: this runs inside the job's own signal.
    m_reading.release()->deleteLater();
    if (std::exchange(m_readAgain, false))
        refresh();
    // Undo goes down the history as a stack: the newest run not taken back
    // yet. Redo puts back the last one taken back, the oldest of the undone
    // runs above that.
    m_undoTarget = RunHistory::lastUndoable(m_history);
    m_redoTarget = -1;
    const qsizetype above = m_undoTarget < 0 ? m_history.runs.size() : m_undoTarget;
    for (qsizetype i = 0; i < above; ++i) {
        if (m_history.runs[i].state == RunJournal::State::Undone)
            m_redoTarget = i;
    }
    updateActions();
    if (m_historyWindow)
        m_historyWindow->setHistory(m_history);
    if (std::exchange(m_askWhenRead, false))
        askAboutInterruptedRun();
    emit refreshed();
}

bool UndoControl::isRunning() const
{
    return m_work->isUndoing();
}

void UndoControl::updateActions()
{
    const bool running = isRunning();
    m_ui->actionUndoRename->setEnabled(!running && m_undoTarget >= 0);
    m_ui->actionRedoRename->setEnabled(!running && m_redoTarget >= 0);
    if (m_historyWindow)
        m_historyWindow->setBusy(running);
}

void UndoControl::undoLast()
{
    if (m_undoTarget >= 0)
        start(m_history.runs[m_undoTarget].path, UndoRun::Direction::Undo);
}

void UndoControl::redoLast()
{
    if (m_redoTarget >= 0)
        start(m_history.runs[m_redoTarget].path, UndoRun::Direction::Redo);
}

void UndoControl::start(const QString &journalPath, UndoRun::Direction direction)
{
    m_work->startUndo(journalPath, direction);
}

void UndoControl::undoEnded(const UndoRun::Report &report)
{
    updateActions();
    refresh();
    showReport(report);
}

void UndoControl::showReport(const UndoRun::Report &report)
{
    const bool failed = !report.error.isEmpty();
    QMessageBox *sheet = Sheets::make(
        m_window,
        failed || !report.kept.isEmpty() || report.notAttempted > 0 ? QMessageBox::Warning
                                                                    : QMessageBox::Information,
        failed ? report.error : report.message(), failed ? QString() : report.informativeText(),
        failed ? QString() : report.detailedText());
    m_reportSheet = sheet;
    Sheets::open(sheet);
}

void UndoControl::askAboutInterruptedRun()
{
    if (m_reading) {
        m_askWhenRead = true;
        return;
    }
    if (m_history.runs.isEmpty() || m_interruptedSheet)
        return;
    const RunSummary &run = m_history.runs.first();
    // A journal whose plan never reached the disk belongs to a run that
    // stopped before its first move: there is nothing to take back.
    if (run.state != RunJournal::State::Interrupted || !run.planComplete || run.planned == 0 ||
        run.inUse)
        return;
    if (m_defaults->stringForKey(keptRunKey) == run.id)
        return;
    const QLocale locale;
    const QString moved = locale.toString(run.movedCount());
    // Outcomes reach the journal in batches, so a count of 0 may be untrue:
    // the undo finds the files on the disk whatever the journal counted.
    const QString question =
        run.movedCount() == 0
            ? tr("The last rename was interrupted before any file was recorded as renamed. "
                 "Undo what it renamed?")
            : tr("The last rename was interrupted after %1 of %2 files. Undo those %1?")
                  .arg(moved, locale.toString(run.planned));
    QMessageBox *sheet = Sheets::make(m_window, QMessageBox::Question, question,
                                      tr("Folder: %1").arg(QFile::decodeName(run.root)));
    QPushButton *undo = sheet->addButton(tr("&Undo"), QMessageBox::AcceptRole);
    QPushButton *keep = sheet->addButton(tr("&Keep"), QMessageBox::RejectRole);
    sheet->setDefaultButton(undo);
    sheet->setEscapeButton(keep);
    const QString id = run.id;
    const QString path = run.path;
    connect(sheet, &QMessageBox::finished, this, [this, sheet, undo, id, path] {
        if (sheet->clickedButton() == undo) {
            start(path, UndoRun::Direction::Undo);
            return;
        }
        m_defaults->setObject(id, keptRunKey);
        m_defaults->synchronize();
    });
    m_interruptedSheet = sheet;
    Sheets::open(sheet);
}

void UndoControl::showHistory()
{
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(m_window);
        m_historyWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_historyWindow, &HistoryWindow::undoRequested, this,
                [this](const QString &path) { start(path, UndoRun::Direction::Undo); });
        connect(m_historyWindow, &HistoryWindow::redoRequested, this,
                [this](const QString &path) { start(path, UndoRun::Direction::Redo); });
        // The history as last read at once; it may have grown from the
        // command line since, and follows when read again.
        m_historyWindow->setHistory(m_history);
        refresh();
        m_historyWindow->setBusy(isRunning());
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}
