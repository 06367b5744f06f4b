#include "app/undocontrol.h"

#include "app/historywindow.h"
#include "app/jobbar.h"
#include "app/vlnwindow.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "jobs/undojob.h"
#include "model/filetablemodel.h"
#include "posix/namecodec.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>

#include <utility>

namespace {

// The id of the interrupted run the user chose to keep as it is, so that the
// next start does not ask about it again.
const QString keptRunKey = QStringLiteral("keptInterruptedRun");

} // namespace

UndoControl::UndoControl(VLNWindow *window, UserDefaults *defaults)
    : QObject(window), m_window(window), m_defaults(defaults)
{
    Ui::VLNWindow *ui = window->ui();
    connect(ui->actionUndoRename, &QAction::triggered, this, &UndoControl::undoLast);
    connect(ui->actionRedoRename, &QAction::triggered, this, &UndoControl::redoLast);
    connect(ui->actionRenameHistory, &QAction::triggered, this, &UndoControl::showHistory);
    refresh();
}

UndoControl::~UndoControl() = default;

void UndoControl::refresh()
{
    m_history = RunHistory::list(RunHistory::runsFolder());
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
}

void UndoControl::updateActions()
{
    Ui::VLNWindow *ui = m_window->ui();
    ui->actionUndoRename->setEnabled(!m_job && m_undoTarget >= 0);
    ui->actionRedoRename->setEnabled(!m_job && m_redoTarget >= 0);
    if (m_historyWindow)
        m_historyWindow->setBusy(bool(m_job));
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

bool UndoControl::windowIsBusy() const
{
    return m_job || m_window->isListing() || m_window->isRenaming();
}

void UndoControl::start(const QString &journalPath, UndoRun::Direction direction)
{
    if (m_job)
        return;
    // One job at a time: a run or a listing going on would see files move
    // under it. The undo asked for comes after them.
    if (windowIsBusy()) {
        m_waitingPath = journalPath;
        m_waitingDirection = direction;
        return;
    }
    m_waitingPath.clear();
    m_redoing = direction == UndoRun::Direction::Redo;
    m_job = std::make_unique<UndoJob>(journalPath, direction);
    JobBar *bar = m_window->jobBar();
    connect(m_job.get(), &Job::progressed, this,
            [this, bar] { bar->showUndo(m_job->done(), m_job->total(), m_redoing); });
    connect(m_job.get(), &Job::finished, this, &UndoControl::jobEnded);
    bar->showUndo(0, 0, m_redoing);
    updateActions();
    m_job->start();
}

bool UndoControl::startWaiting()
{
    if (m_waitingPath.isEmpty() || windowIsBusy())
        return false;
    // A copy: start() forgets the waiting path before it reads its argument.
    const QString path = std::exchange(m_waitingPath, QString());
    start(path, m_waitingDirection);
    return true;
}

void UndoControl::cancel()
{
    m_waitingPath.clear();
    if (m_job)
        m_job->cancel();
}

void UndoControl::finishNow()
{
    if (!m_job)
        return;
    m_job->cancel();
    m_job->wait();
    followMoves(*m_window->fileList(), m_job->report().moved);
    m_job.reset();
    m_window->jobBar()->showIdle();
    m_window->tableModel()->reloadData();
    updateActions();
}

void UndoControl::jobEnded()
{
    const UndoRun::Report report = m_job->report();
    // Deleted later: this runs inside the job's own signal.
    m_job.release()->deleteLater();
    m_window->jobBar()->showIdle();
    followMoves(*m_window->fileList(), report.moved);
    m_window->tableModel()->reloadData();
    refresh();
    showReport(report);
    emit ended();
}

void UndoControl::followMoves(FileList &list, const QList<UndoRun::Moved> &moved)
{
    if (moved.isEmpty())
        return;
    // Each record moves at most once, from where it stood before the undo:
    // in a cycle a path is both left and taken.
    QHash<QByteArray, ZQFile *> byPath;
    byPath.reserve(list.count());
    for (const auto &file : list.contentsArray())
        byPath.insert(file->nativePath(), file.get());
    QSet<QByteArray> left;
    for (const UndoRun::Moved &move : moved)
        left.insert(move.from);
    QList<ZQFile *> stale;
    list.beginPathChanges();
    for (const UndoRun::Moved &move : moved) {
        ZQFile *file = byPath.value(move.from);
        if (!file)
            continue;
        // A record already listed under the path the file took would make
        // two records of one file; the one left behind names nothing now.
        if (byPath.contains(move.to) && !left.contains(move.to)) {
            stale << file;
            continue;
        }
        list.setNativePath(file, move.to);
        file->setName(NameCodec::decode(file->nativeName()));
    }
    list.endPathChanges();
    if (!stale.isEmpty())
        list.removeFiles(stale);
}

void UndoControl::showReport(const UndoRun::Report &report)
{
    const bool failed = !report.error.isEmpty();
    auto *sheet = new QMessageBox(failed || !report.kept.isEmpty() || report.notAttempted > 0
                                      ? QMessageBox::Warning
                                      : QMessageBox::Information,
                                  m_window->windowTitle(), failed ? report.error : report.message(),
                                  QMessageBox::Ok, m_window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    if (!failed) {
        sheet->setInformativeText(report.informativeText());
        sheet->setDetailedText(report.detailedText());
    }
    m_reportSheet = sheet;
    sheet->open();
}

void UndoControl::askAboutInterruptedRun()
{
    if (m_history.runs.isEmpty() || m_interruptedSheet)
        return;
    const RunSummary &run = m_history.runs.first();
    // A journal whose plan never reached the disk belongs to a run that
    // stopped before its first move: there is nothing to take back.
    if (run.state != RunJournal::State::Interrupted || !run.planComplete || run.planned == 0 ||
        run.inUse)
        return;
    UserDefaults fallback;
    UserDefaults *defaults = m_defaults ? m_defaults : &fallback;
    if (defaults->stringForKey(keptRunKey) == run.id)
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
    auto *sheet = new QMessageBox(QMessageBox::Question, m_window->windowTitle(), question,
                                  QMessageBox::NoButton, m_window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setInformativeText(tr("Folder: %1").arg(QFile::decodeName(run.root)));
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
        UserDefaults fallback;
        UserDefaults *defaults = m_defaults ? m_defaults : &fallback;
        defaults->setObject(id, keptRunKey);
        defaults->synchronize();
    });
    m_interruptedSheet = sheet;
    sheet->open();
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
        // The history may have grown from the command line since it was read.
        refresh();
        m_historyWindow->setBusy(bool(m_job));
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}
