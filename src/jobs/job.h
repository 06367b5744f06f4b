#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

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
    std::atomic<bool> m_cancel = false;
    std::atomic<bool> m_ended = false;
    std::atomic<bool> m_notifyPending = false;
    std::atomic<qsizetype> m_done = 0;
    std::atomic<qsizetype> m_total = 0;
    std::mutex m_endMutex;
    std::condition_variable m_endWait;
    bool m_finishedSent = false;
};
