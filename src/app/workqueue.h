// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "intake/listingfilter.h"
#include "rename/renamerun.h"
#include "rename/undorun.h"
#include "rules/renamesettings.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class FileTableModel;
class JobBar;
class ListingJob;
class NameComposer;
class PlanJob;
class RenamePlan;
class RunJob;
class UndoJob;

// The one owner of the window's running work: the listings (a queue, one at
// a time, in the order asked), the rename run, the undo and the rename plan
// of the preview. One job that moves or lists files runs at a time, so that
// none sees files move under it; what is asked for meanwhile waits here and
// starts when the work before it has ended. The bottom bar shows the job, and
// the window and the undo both ask here whether work goes on.
//
// Every change of the list goes through the table model. The plan's worker
// reads the list itself, so the model's announcement of any change releases
// the list first; a change of the settings only cancels the plan, which then
// ends on its own while the next one waits: one plan runs, one waits.
class WorkQueue : public QObject
{
    Q_OBJECT
public:
    // How long after the last change the plan is made, unless set otherwise:
    // typing a template plans once, after the last key.
    static constexpr int PlanDelayMs = 150;
    void setPlanDelay(int ms) { m_planTimer.setInterval(ms); }

    WorkQueue(FileTableModel *model, JobBar *bar, QObject *parent = nullptr);
    // Whatever runs stops, and the list follows what it did.
    ~WorkQueue() override;

    bool isListing() const { return bool(m_listing); }
    bool isRenaming() const { return bool(m_run); }
    bool isUndoing() const { return bool(m_undo); }
    // A job that lists or moves files runs.
    bool isBusy() const { return m_listing || m_run || m_undo; }
    // A plan is being made or about to be.
    bool isPlanPending() const { return m_plan || m_planWaiting || m_planTimer.isActive(); }

    // Lists the paths after any listing asked for before.
    void list(const QList<QByteArray> &nativePaths);
    // Which files of the folders walked the next listings take.
    void setFilter(ListingFilter filter) { m_filter = std::move(filter); }
    void setRows(RenameSettings::Rows rows) { m_rows = rows; }
    // Start Renaming while a listing goes on: the run is asked for again
    // (startAsked) once the list is complete. True when it waits.
    bool deferRunUntilListed();
    // Renames the list with the composer's names; false when work goes on.
    bool startRun(const NameComposer &composer, bool keepJournal);
    // Takes a run back (or does it again); waits while other work goes on.
    void startUndo(const QString &journalPath, UndoRun::Direction direction);
    // An alert is open whose answer decides what comes next: nothing waiting
    // starts until it is released.
    void setHeld(bool held);
    // Starts what waited: an undo first, then the listings.
    void startWaiting();

    // The bar's Cancel: the running job stops (a listing keeps what it found,
    // a run or an undo stops after the moves in flight); listings waiting and
    // a run asked for are dropped.
    void cancel();
    // The window is closing: every job stops now and the list follows.
    void finishNow();

    QByteArrayList unreadableFolders() const { return m_unreadable; }
    void clearUnreadableFolders();

    // The plan of the list and settings as they are now, a moment after the
    // last change, unless a job is about to change the list.
    void schedulePlan();
    // No plan until the next schedulePlan; a worker reading the list lets go.
    void cancelPlan();
    // A plan no longer shown: the next plan's worker frees it.
    void retirePlan(std::shared_ptr<const RenamePlan> plan);
    // Asked before each plan starts: true while the names still wait for
    // facts of the files (the gate then reads them, and the plan follows
    // the change of the list that their arrival makes).
    void setFactsGate(std::function<bool()> gate) { m_factsGate = std::move(gate); }

    // Each record of a file an undo moved takes the file's new path and
    // name; a record left under a path that another listed record now holds
    // is removed, so that no file is listed twice.
    static void followMoves(FileTableModel &model, const QList<UndoRun::Moved> &moved);

signals:
    void runEnded(const RenameRun::Report &report);
    void undoStarted();
    void undoEnded(const UndoRun::Report &report);
    // The window closed while an undo ran: it stopped without a report.
    void undoStopped();
    // The run asked for while listing may start now.
    void startAsked();
    void planReady(std::shared_ptr<const RenamePlan> plan);

private:
    void startNextListing();
    // How long after the last hand-over the listing's next rows join.
    int handOverWait() const;
    void takeListedRecords();
    void listingEnded();
    void applyRun();
    void retireRun();
    void undoFinished();
    void startPlan();
    void planFinished();
    void releasePlanList();

    FileTableModel *m_model;
    JobBar *m_bar;
    std::unique_ptr<ListingJob> m_listing;
    QList<QList<QByteArray>> m_listingsWaiting;
    // When the listing's rows last joined the table, and the timer that
    // takes the ones that came since; when the bar's count last moved.
    QElapsedTimer m_lastHandOver;
    QElapsedTimer m_lastCount;
    bool m_handedOver = false;
    QTimer m_handOverTimer;
    // The listing walks one path into a list that was empty when it began:
    // none of its records can name a listed path.
    bool m_listingUnlisted = false;
    QByteArrayList m_unreadable;
    bool m_startWhenListed = false;
    ListingFilter m_filter;
    RenameSettings::Rows m_rows = RenameSettings::Rows::Files;
    std::unique_ptr<RunJob> m_run;
    // A run that has ended, its report let go a batch at a time.
    std::unique_ptr<RunJob> m_retiredRun;
    std::unique_ptr<UndoJob> m_undo;
    bool m_redoing = false;
    QString m_undoWaiting;
    UndoRun::Direction m_undoWaitingDirection = UndoRun::Direction::Undo;
    bool m_held = false;
    std::unique_ptr<PlanJob> m_plan;
    bool m_planWaiting = false;
    std::vector<std::shared_ptr<const RenamePlan>> m_retiredPlans;
    QTimer m_planTimer;
    std::function<bool()> m_factsGate;
};
