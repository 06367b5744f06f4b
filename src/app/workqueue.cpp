// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/workqueue.h"

#include "app/jobbar.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "jobs/listingjob.h"
#include "jobs/planjob.h"
#include "jobs/runjob.h"
#include "jobs/undojob.h"
#include "model/filetablemodel.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {

// How often, at most, the bar's count of a listing moves: ten a second is
// as live as a count can be read.
constexpr int countMs = 100;
// The first hand-over of a listing's rows waits longer: a listing that ends
// within it (a hundred thousand files on a warm disk) reaches the table whole
// and is painted once, not once partly and again whole while the walk still
// needs the processor. The bar shows that the listing runs meanwhile.
constexpr int firstHandOverMs = 250;
// Every hand-over lays the table out and repaints it, and its header takes
// every row, not only the new ones; that costs the window's thread as much
// as the walk's threads lose, on a machine of two processors. So the later
// hand-overs come further apart as the table grows: a millisecond for each
// 2,000 rows it shows, from a tenth of a second to half a second, when a
// hand-over brings some hundred thousand rows in a few milliseconds.
constexpr int handOverMs = 100;
constexpr int longestHandOverMs = 500;
constexpr qsizetype rowsPerHandOverMs = 2000;
// How many records of a run take their new names in one turn of the event
// loop: a few milliseconds' worth.
constexpr qsizetype applyBatch = 16384;

} // namespace

WorkQueue::WorkQueue(FileTableModel *model, JobBar *bar, QObject *parent)
    : QObject(parent), m_model(model), m_bar(bar)
{
    m_handOverTimer.setSingleShot(true);
    connect(&m_handOverTimer, &QTimer::timeout, this, &WorkQueue::takeListedRecords);
    m_planTimer.setSingleShot(true);
    m_planTimer.setInterval(PlanDelayMs);
    connect(&m_planTimer, &QTimer::timeout, this, &WorkQueue::startPlan);
    // Before the list changes, the plan's worker stops reading it.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &WorkQueue::releasePlanList);
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, &WorkQueue::releasePlanList);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &WorkQueue::releasePlanList);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &WorkQueue::releasePlanList);
}

WorkQueue::~WorkQueue()
{
    // The window that listens is going too.
    blockSignals(true);
    finishNow();
    m_plan.reset();
}

// ---- listings -------------------------------------------------------------

void WorkQueue::list(const QList<QByteArray> &nativePaths)
{
    if (nativePaths.isEmpty())
        return;
    // One job at a time, in the order asked: a later drop may hold a path
    // an earlier one lists, and the first listed keeps it.
    m_listingsWaiting.append(nativePaths);
    startNextListing();
}

void WorkQueue::startNextListing()
{
    // An undo moves files the listing would find under either name.
    if (isBusy() || m_held || m_listingsWaiting.isEmpty())
        return;
    const QList<QByteArray> paths = m_listingsWaiting.takeFirst();
    m_listingUnlisted = paths.size() == 1 && m_model->list()->isEmpty();
    m_listing = std::make_unique<ListingJob>(paths);
    // Not lowered as a run is: the walker and its helper hand each other
    // work many times a second, and a lowered thread that wakes waits for
    // whatever holds its processor, which cost the walk about a fifth of its
    // time on a machine otherwise at rest. The window's thread, asleep but
    // for moments, still runs as soon as it wakes.
    m_listing->setFilter(m_filter);
    m_listing->setRows(m_rows);
    cancelPlan();
    m_lastHandOver.start();
    m_lastCount.start();
    m_handedOver = false;
    connect(m_listing.get(), &Job::progressed, this, &WorkQueue::takeListedRecords);
    connect(m_listing.get(), &Job::finished, this, &WorkQueue::listingEnded);
    m_bar->showListing(0);
    m_listing->start();
}

int WorkQueue::handOverWait() const
{
    if (!m_handedOver)
        return firstHandOverMs;
    return int(std::clamp<qsizetype>(m_model->list()->count() / rowsPerHandOverMs, handOverMs,
                                     longestHandOverMs));
}

void WorkQueue::takeListedRecords()
{
    if (!m_listing)
        return;
    const int wait = handOverWait();
    if (m_listing->isRunning() && m_lastHandOver.elapsed() < wait) {
        if (m_lastCount.hasExpired(countMs)) {
            m_lastCount.start();
            m_bar->showListing(m_listing->done());
        }
        if (!m_handOverTimer.isActive())
            m_handOverTimer.start(int(wait - m_lastHandOver.elapsed()));
        return;
    }
    m_handOverTimer.stop();
    m_lastHandOver.start();
    m_lastCount.start();
    m_handedOver = true;
    auto records = m_listing->takeRecords();
    m_model->appendRecords(std::move(records), m_listingUnlisted);
    m_bar->showListing(m_listing->done());
}

// The one place where a finished listing reaches the list.
void WorkQueue::listingEnded()
{
    takeListedRecords();
    m_listing->recordFolderIdentities(*m_model->list());
    const QByteArrayList unreadable = m_listing->unreadableFolders();
    if (!unreadable.isEmpty()) {
        m_unreadable += unreadable;
        m_bar->setUnreadableFolders(m_unreadable);
    }
    if (m_listing->isCancelled())
        m_bar->setListingCancelled(m_listing->done());
    // Deleted later: this runs inside the job's own signal.
    m_listing.release()->deleteLater();
    m_bar->showIdle();
    if (!m_listingsWaiting.isEmpty()) {
        startNextListing();
        return;
    }
    schedulePlan();
    if (!m_undoWaiting.isEmpty()) {
        // The files move: the run asked for would no longer be the one shown.
        m_startWhenListed = false;
        startWaiting();
        return;
    }
    if (std::exchange(m_startWhenListed, false))
        emit startAsked();
}

void WorkQueue::clearUnreadableFolders()
{
    m_unreadable.clear();
    m_bar->setUnreadableFolders({});
    m_bar->setListingCancelled(-1);
}

bool WorkQueue::deferRunUntilListed()
{
    if (!m_listing && m_listingsWaiting.isEmpty())
        return false;
    m_startWhenListed = true;
    return true;
}

// ---- the run --------------------------------------------------------------

bool WorkQueue::startRun(const NameComposer &composer, bool keepJournal)
{
    FileList &list = *m_model->list();
    if (isBusy() || list.isEmpty())
        return false;
    cancelPlan();
    RenameRun::JournalChoice journal;
    journal.keep = keepJournal;
    m_run = std::make_unique<RunJob>(list, composer, journal, m_model->typedNames());
    // The movers keep both processors busy; the window goes first.
    m_run->setBackground(true);
    connect(m_run.get(), &Job::progressed, this,
            [this] { m_bar->showRun(m_run->done(), m_run->total()); });
    connect(m_run.get(), &Job::finished, this, &WorkQueue::applyRun);
    m_bar->showRun(0, list.count());
    m_run->start();
    return true;
}

void WorkQueue::applyRun()
{
    // Closing the window may have applied the rest already.
    if (!m_run)
        return;
    // A long list takes its new names over a few turns of the event loop,
    // so that the window never stands still for all of them at once. Until
    // the last, the run holds the list as it did while it ran.
    if (!m_run->applyTo(*m_model->list(), applyBatch)) {
        QTimer::singleShot(0, this, &WorkQueue::applyRun);
        return;
    }
    const RenameRun::Report report = m_run->report();
    // Still the sender of the signal that may have called this.
    m_retiredRun = std::move(m_run);
    QTimer::singleShot(0, this, &WorkQueue::retireRun);
    // A typed name is used up once its file has it.
    if (!m_model->typedNames().isEmpty()) {
        QList<QByteArray> renamed;
        for (const RenameRun::Entry &entry : report.entries) {
            if (entry.outcome == RenameRun::Outcome::Renamed)
                renamed << entry.oldPath;
        }
        m_model->dropTypedNames(renamed);
    }
    m_bar->showIdle();
    m_model->reloadData();
    schedulePlan();
    emit runEnded(report);
}

void WorkQueue::retireRun()
{
    // The report of a long run is freed over a few turns of the event loop
    // too: at 100,000 files, freeing it at once holds the window for frames.
    if (m_retiredRun && !m_retiredRun->releaseReport(applyBatch))
        QTimer::singleShot(0, this, &WorkQueue::retireRun);
    else
        m_retiredRun.reset();
}

// ---- the undo -------------------------------------------------------------

void WorkQueue::startUndo(const QString &journalPath, UndoRun::Direction direction)
{
    if (m_undo)
        return;
    // One job at a time: a run or a listing going on would see files move
    // under it. The undo asked for comes after them.
    if (isBusy()) {
        m_undoWaiting = journalPath;
        m_undoWaitingDirection = direction;
        return;
    }
    m_undoWaiting.clear();
    cancelPlan();
    m_redoing = direction == UndoRun::Direction::Redo;
    m_undo = std::make_unique<UndoJob>(journalPath, direction);
    m_undo->setBackground(true);
    connect(m_undo.get(), &Job::progressed, this,
            [this] { m_bar->showUndo(m_undo->done(), m_undo->total(), m_redoing); });
    connect(m_undo.get(), &Job::finished, this, &WorkQueue::undoFinished);
    m_bar->showUndo(0, 0, m_redoing);
    m_undo->start();
    emit undoStarted();
}

void WorkQueue::undoFinished()
{
    const UndoRun::Report report = m_undo->report();
    // Deleted later: this runs inside the job's own signal.
    m_undo.release()->deleteLater();
    m_bar->showIdle();
    followMoves(*m_model, report.moved);
    schedulePlan();
    emit undoEnded(report);
    // Drops made during the undo were kept waiting.
    startNextListing();
}

void WorkQueue::followMoves(FileTableModel &model, const QList<UndoRun::Moved> &moved)
{
    if (moved.isEmpty())
        return;
    // A name typed for a path the undo moved a file away from was meant for
    // the file as it stood; it goes with the move.
    if (!model.typedNames().isEmpty()) {
        QList<QByteArray> from;
        for (const UndoRun::Moved &move : moved)
            from << move.from;
        model.dropTypedNames(from);
    }
    FileList &list = *model.list();
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
        list.setNativePath(file, move.to, NameCodec::decode(NativePath::name(move.to)));
    }
    list.endPathChanges();
    model.reloadData();
    model.removeFiles(stale);
}

// ---- waiting, cancelling, closing -----------------------------------------

void WorkQueue::setHeld(bool held)
{
    m_held = held;
    if (!held)
        startNextListing();
}

void WorkQueue::startWaiting()
{
    if (isBusy())
        return;
    if (!m_undoWaiting.isEmpty()) {
        // A copy: startUndo forgets the waiting path before it reads its argument.
        const QString path = std::exchange(m_undoWaiting, QString());
        startUndo(path, m_undoWaitingDirection);
        return;
    }
    startNextListing();
}

void WorkQueue::cancel()
{
    if (m_undo) {
        m_undoWaiting.clear();
        m_undo->cancel();
        return;
    }
    if (m_run) {
        m_run->cancel();
        return;
    }
    // Cancel stops this listing and the ones waiting behind it.
    m_listingsWaiting.clear();
    m_startWhenListed = false;
    if (m_listing)
        m_listing->cancel();
}

void WorkQueue::finishNow()
{
    // Quitting while a job runs: it stops, and nothing is left half done.
    m_listingsWaiting.clear();
    m_undoWaiting.clear();
    m_startWhenListed = false;
    cancelPlan();
    if (m_listing) {
        m_listing->cancel();
        m_listing->wait();
        takeListedRecords();
        m_listing.reset();
    }
    if (m_run) {
        m_run->cancel();
        m_run->wait();
        m_run->applyTo(*m_model->list());
        m_run.reset();
        m_model->reloadData();
    }
    if (m_undo) {
        m_undo->cancel();
        m_undo->wait();
        const QList<UndoRun::Moved> moved = m_undo->report().moved;
        m_undo.reset();
        followMoves(*m_model, moved);
        emit undoStopped();
    }
    m_bar->showIdle();
}

// ---- the plan -------------------------------------------------------------

void WorkQueue::schedulePlan()
{
    // A listing or a run changes the list under any plan made meanwhile,
    // and a plan's worker would only slow them down: the plan is made once
    // they have ended.
    if (isBusy()) {
        cancelPlan();
        return;
    }
    if (m_plan)
        m_plan->cancel();
    m_planTimer.start();
}

void WorkQueue::cancelPlan()
{
    m_planTimer.stop();
    m_planWaiting = false;
    releasePlanList();
}

void WorkQueue::releasePlanList()
{
    if (m_plan)
        m_plan->releaseList();
}

void WorkQueue::startPlan()
{
    // One plan runs; a newer change waits for the cancelled one to end.
    if (m_plan) {
        m_plan->cancel();
        m_planWaiting = true;
        return;
    }
    m_planWaiting = false;
    if (m_factsGate && m_factsGate())
        return;
    m_plan =
        std::make_unique<PlanJob>(*m_model->list(), m_model->composer(), m_model->typedNames());
    m_plan->setRetired(std::exchange(m_retiredPlans, {}));
    connect(m_plan.get(), &Job::finished, this, &WorkQueue::planFinished);
    m_plan->start();
}

void WorkQueue::planFinished()
{
    // A plan cancelled after its worker was done is out of date all the same.
    std::shared_ptr<const RenamePlan> plan = m_plan->plan();
    if (m_plan->isCancelled() || m_planTimer.isActive())
        retirePlan(std::exchange(plan, nullptr));
    // Deleted later: this runs inside the job's own signal. Its thread has
    // ended; the object goes with the next turn of the event loop.
    m_plan.release()->deleteLater();
    if (m_planWaiting) {
        startPlan();
        return;
    }
    if (plan)
        emit planReady(std::move(plan));
}

void WorkQueue::retirePlan(std::shared_ptr<const RenamePlan> plan)
{
    if (plan)
        m_retiredPlans.push_back(std::move(plan));
}
