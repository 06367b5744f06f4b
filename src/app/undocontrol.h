// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/historywindow.h"
#include "rename/runhistory.h"
#include "rename/undorun.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class HistoryJob;
class QMessageBox;
class QWidget;
class UserDefaults;
class WorkQueue;
namespace Ui {
class VLNWindow;
}

// Taking runs back from the window: Edit ▸ Undo Rename and Redo Rename for
// the last run, the Rename History window for any run, and the question
// after a start that finds the last run interrupted. The undo runs in the
// window's work queue, one job at a time with the listings and runs; when it
// ends, the list's records follow the files it moved and its report shows in
// a sheet.
//
// The history is read from disk when the window opens and after each run or
// undo, not each time the menu opens, and on a worker: a long history takes
// longer to read than the window may stand still. Until it has been read the
// menu items stay as they were.
class UndoControl : public QObject
{
    Q_OBJECT
public:
    UndoControl(QWidget *window, Ui::VLNWindow *ui, WorkQueue *work, UserDefaults *defaults);
    ~UndoControl() override;

    // Reads the history again and then sets the Edit menu's items from it.
    void refresh();
    // The history is being read.
    bool isReading() const { return bool(m_reading); }
    const RunHistory::Listing &history() const { return m_history; }
    // The runs Undo Rename and Redo Rename act on, as indexes into
    // history().runs, or -1.
    qsizetype undoTarget() const { return m_undoTarget; }
    qsizetype redoTarget() const { return m_redoTarget; }

    void undoLast();
    void redoLast();
    // Takes the run with this journal back (or does it again) in a job. While
    // a listing or a run goes on, the undo waits for them.
    void start(const QString &journalPath, UndoRun::Direction direction);
    bool isRunning() const;

    // When the newest run was interrupted and the user has not chosen to
    // keep it, asks whether to take back what it did (once the history has
    // been read).
    void askAboutInterruptedRun();

    void showHistory();
    HistoryWindow *historyWindow() const { return m_historyWindow; }
    // The open sheets, while they are open.
    QMessageBox *reportSheet() const { return m_reportSheet; }
    QMessageBox *interruptedSheet() const { return m_interruptedSheet; }

signals:
    // The history has been read again.
    void refreshed();

private:
    void historyRead();
    void undoEnded(const UndoRun::Report &report);
    void showReport(const UndoRun::Report &report);
    void updateActions();

    QWidget *m_window;
    Ui::VLNWindow *m_ui;
    WorkQueue *m_work;
    UserDefaults *m_defaults;
    RunHistory::Listing m_history;
    qsizetype m_undoTarget = -1;
    qsizetype m_redoTarget = -1;
    std::unique_ptr<HistoryJob> m_reading;
    bool m_readAgain = false;
    bool m_askWhenRead = false;
    QPointer<HistoryWindow> m_historyWindow;
    QPointer<QMessageBox> m_reportSheet;
    QPointer<QMessageBox> m_interruptedSheet;
};
