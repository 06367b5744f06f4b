#pragma once

#include "app/historywindow.h"
#include "rename/runhistory.h"
#include "rename/undorun.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class FileList;
class QMessageBox;
class UndoJob;
class UserDefaults;
class VLNWindow;

// Taking runs back from the window: Edit ▸ Undo Rename and Redo Rename for
// the last run, the Rename History window for any run, and the question
// after a start that finds the last run interrupted. The undo runs as a job
// in the window's bottom bar, one job at a time with the window's listings
// and runs; when it ends, the list's records follow the files it moved and
// its report shows in a sheet.
//
// The history is read from disk when the window opens and after each run or
// undo, not each time the menu opens: a long history takes a moment to read.
class UndoControl : public QObject
{
    Q_OBJECT
public:
    UndoControl(VLNWindow *window, UserDefaults *defaults);
    ~UndoControl() override;

    // Reads the history again and sets the Edit menu's items from it.
    void refresh();
    const RunHistory::Listing &history() const { return m_history; }
    // The runs Undo Rename and Redo Rename act on, as indexes into
    // history().runs, or -1.
    qsizetype undoTarget() const { return m_undoTarget; }
    qsizetype redoTarget() const { return m_redoTarget; }

    void undoLast();
    void redoLast();
    // Takes the run with this journal back (or does it again) in a job. While
    // a listing or a run goes on, the undo waits for startWaiting.
    void start(const QString &journalPath, UndoRun::Direction direction);
    // Starts the undo that waited for the window's work to end; false when
    // none waited or the window is still busy.
    bool startWaiting();
    bool isRunning() const { return bool(m_job); }
    // Asks a running undo to stop after the moves in flight.
    void cancel();
    // The window is closing: a running undo stops, and the list follows what
    // it did before the window goes.
    void finishNow();

    // When the newest run was interrupted and the user has not chosen to
    // keep it, asks whether to take back what it did.
    void askAboutInterruptedRun();

    void showHistory();
    HistoryWindow *historyWindow() const { return m_historyWindow; }
    // The open sheets, while they are open.
    QMessageBox *reportSheet() const { return m_reportSheet; }
    QMessageBox *interruptedSheet() const { return m_interruptedSheet; }

    // Each record of a file the undo moved takes the file's new path and
    // name; a record left under a path that another listed record now holds
    // is removed, so that no file is listed twice.
    static void followMoves(FileList &list, const QList<UndoRun::Moved> &moved);

signals:
    // An undo ended and its report is shown.
    void ended();

private:
    void jobEnded();
    void showReport(const UndoRun::Report &report);
    void updateActions();
    bool windowIsBusy() const;

    VLNWindow *m_window;
    UserDefaults *m_defaults;
    RunHistory::Listing m_history;
    qsizetype m_undoTarget = -1;
    qsizetype m_redoTarget = -1;
    std::unique_ptr<UndoJob> m_job;
    bool m_redoing = false;
    QString m_waitingPath;
    UndoRun::Direction m_waitingDirection = UndoRun::Direction::Undo;
    QPointer<HistoryWindow> m_historyWindow;
    QPointer<QMessageBox> m_reportSheet;
    QPointer<QMessageBox> m_interruptedSheet;
};
