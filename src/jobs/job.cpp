// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/job.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <chrono>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

Job::~Job()
{
    stopAndWait();
}

void Job::stopAndWait()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void Job::start()
{
    if (m_started)
        return;
    m_started = true;
    m_thread = std::thread([this] {
        // Ten below the thread that started it (a nice value is a thread's
        // own, and the threads it starts take it).
        if (m_background)
            ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)),
                          std::min(::getpriority(PRIO_PROCESS, 0) + 10, 19));
        try {
            work();
        } catch (...) {
            // Out of memory in the worker: the job ends with what it has.
        }
        {
            const std::lock_guard lock(m_endMutex);
            m_ended.store(true, std::memory_order_release);
        }
        m_endWait.notify_all();
        notify();
    });
}

bool Job::wait(int msecs)
{
    if (!m_started)
        return true;
    std::unique_lock lock(m_endMutex);
    const auto ended = [this] { return m_ended.load(std::memory_order_acquire); };
    if (msecs < 0)
        m_endWait.wait(lock, ended);
    else if (!m_endWait.wait_for(lock, std::chrono::milliseconds(msecs), ended))
        return false;
    lock.unlock();
    if (m_thread.joinable())
        m_thread.join();
    return true;
}

void Job::setProgress(qsizetype done, qsizetype total)
{
    m_done.store(done, std::memory_order_relaxed);
    if (total >= 0)
        m_total.store(total, std::memory_order_relaxed);
}

void Job::notify()
{
    // Without an application there is no event loop to deliver to: the owner
    // waits and reads the job itself.
    if (!QCoreApplication::instance())
        return;
    if (m_notifyPending.exchange(true, std::memory_order_acq_rel))
        return;
    QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
}

void Job::deliver()
{
    // Acquires what the worker did before its last wake-up.
    m_notifyPending.exchange(false, std::memory_order_acq_rel);
    const bool ended = m_ended.load(std::memory_order_acquire);
    emit progressed();
    if (!ended || m_finishedSent)
        return;
    {
        // The worker has said its last word; its thread is about to go.
        const std::lock_guard lock(m_endMutex);
    }
    if (m_thread.joinable())
        m_thread.join();
    m_finishedSent = true;
    this->ended();
    emit finished();
}
