// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Every thread of the program, who owns it, how its results reach the GUI
// thread (the main thread of the command line), and how it ends. No other
// thread exists; a new one is a Job, or runs inside one through the helpers
// named here.
//
// - A Job's worker (this class): ListingJob (the folder walk), RunJob (a
//   rename run), UndoJob (undo and redo), PlanJob (the window's preview
//   plan, at most one running and one waiting) and the reading of the
//   history of runs. Owned by the job object, which lives on the GUI thread.
//   Results stay behind the job's mutex; a queued call (progressed, finished)
//   tells the GUI thread to take them there. Cancelled through cancel(), a
//   flag the work polls at its safe points; the destructor cancels and joins.
// - The intake's kept helpers (StatHelper, Prefetcher in fileintake.cpp):
//   owned by the FileIntake that a ListingJob's worker runs, woken for each
//   large folder. They hand their entries to that worker under their own
//   mutex, never to the GUI thread; they finish the chunk in hand, and are
//   told to quit and joined in the intake's destructor.
// - The movers (rename/movers.h): up to four lanes, one folder at a time
//   each, started and joined inside one call of RenameRun::run or
//   UndoRun::run on a RunJob's or UndoJob's worker. Outcomes go into the
//   run's own arrays, read by that worker after the join; progress is an
//   atomic count the worker passes on. They stop before the next move once
//   the job is cancelled.
// - The facts reader's workers (MetaReader::read): one per processor, each
//   speaking to its own helper process, started and joined inside one call
//   on a FactsJob's worker (the window) or on the command line's thread. Each
//   writes only the result slots of the files it took; the job takes each
//   batch under its own mutex as the worker that read it hands it over.
//   They stop after the file in hand once the job is cancelled.
// - Side by side (posix/sidebyside.h): one helper thread for the second half
//   of a piece of work (the plan's new names and folder reads, the journal's
//   plan, the facts of the folders a ListingJob walks for the command line's
//   preview), joined before the call returns; it runs inside a job's worker
//   and ends with its half.
// - The identity lookahead (rename/identitylookahead.h): one thread started
//   by RenameRun::clickStart on a RunJob's worker, reading the listed files'
//   identities into its own array while the plan is made; told to stop and
//   joined before the journal is written, which reads that array then.
//
// The command line drives the same jobs and waits for them (one loop, in
// CliProgress::waitFor), cancelling on SIGINT or SIGTERM.

// Work that runs on a thread of its own, owned by the object that started it.
// The job object lives on the thread that made it (the GUI thread in the
// window) and tells that thread what happened through queued signals, so that
// whatever the job hands over is only ever touched there. A job that goes
// away while it runs is cancelled and waited for.
//
// What the worker hands over is guarded by the job's own mutex; the signals
// only say that there is something to take.
class Job : public QObject
{
    Q_OBJECT
public:
    ~Job() override;

    // Starts the work; a job runs once.
    void start();
    // Before start: the worker (and every thread it starts) yields to the
    // other threads of the process, such as a window's, on a busy machine.
    void setBackground(bool background) { m_background = background; }
    // Asks the work to stop at its next safe point; what it did so far stays
    // done. Any thread.
    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    // Started and not yet ended (the finished signal may still be on its way).
    bool isRunning() const { return m_started && !m_ended.load(std::memory_order_acquire); }
    // Waits up to `msecs` (forever when negative) for the work to end; true
    // when it has. For front ends without an event loop.
    bool wait(int msecs = -1);

    // How far the work is: done out of total (total 0 while unknown). Any
    // thread.
    qsizetype done() const { return m_done.load(std::memory_order_relaxed); }
    qsizetype total() const { return m_total.load(std::memory_order_relaxed); }

signals:
    // The progress moved, or the work has something to hand over; several
    // moves of the worker may come as one.
    void progressed();
    // The work has ended (cancelled or not) and its thread is gone.
    void finished();

protected:
    Job() = default;
    // Runs on the worker thread.
    virtual void work() = 0;
    const std::atomic<bool> &cancelFlag() const { return m_cancel; }
    // From the worker: progress, and a wake-up of the owner's thread at most
    // once per turn of its event loop.
    void setProgress(qsizetype done, qsizetype total = -1);
    void notify();
    // Cancels and joins the worker. Every job class calls it first in its
    // destructor, before the members the worker uses go.
    void stopAndWait();
    // Called on the owner's thread before finished, once the worker is gone.
    virtual void ended() {}

private:
    // Called through the event queue by name: a queued functor's slot object
    // is freed inside Qt, where ThreadSanitizer cannot see it handed over.
    Q_INVOKABLE void deliver();

    std::thread m_thread;
    bool m_started = false;
    bool m_background = false;
    std::atomic<bool> m_cancel = false;
    std::atomic<bool> m_ended = false;
    std::atomic<bool> m_notifyPending = false;
    std::atomic<qsizetype> m_done = 0;
    std::atomic<qsizetype> m_total = 0;
    std::mutex m_endMutex;
    std::condition_variable m_endWait;
    bool m_finishedSent = false;
};
