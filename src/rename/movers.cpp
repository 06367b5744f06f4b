// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/movers.h"

#include "posix/sidebyside.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

Movers::Movers(size_t groups, qsizetype total, qsizetype done)
    : m_groups(groups), m_total(total), m_done(done)
{}

int Movers::laneCount()
{
    return std::min(processorsAllowed(), 4);
}

bool Movers::take(size_t *group)
{
    if (m_stop.load(std::memory_order_acquire))
        return false;
    *group = m_next++;
    return *group < m_groups;
}

void Movers::moved(qsizetype count)
{
    // The waiting thread wakes only where it has progress to report: woken
    // every few dozen moves, it took a processor from the lanes each time.
    const qsizetype before = m_done.fetch_add(count, std::memory_order_release);
    if ((before + count) / ProgressStep != before / ProgressStep)
        signal();
}

void Movers::signal()
{
    m_events.fetch_add(1, std::memory_order_release);
    m_events.notify_all();
}

void Movers::run(const std::function<void()> &lane, const Progress &progress)
{
    const int wanted = int(std::min<size_t>(size_t(laneCount()), m_groups));
    m_running.store(wanted, std::memory_order_release);
    std::vector<std::thread> lanes;
    lanes.reserve(size_t(wanted));
    const auto body = [this, &lane] {
        lane();
        m_running.fetch_sub(1, std::memory_order_release);
        signal();
    };
    for (int i = 0; i < wanted; ++i) {
        try {
            lanes.emplace_back(body);
        } catch (const std::system_error &) {
            // No further thread to be had: the lanes there are share the work.
            m_running.fetch_sub(wanted - i, std::memory_order_release);
            break;
        }
    }
    const auto joinAll = [&lanes] {
        for (std::thread &thread : lanes)
            thread.join();
    };
    if (lanes.empty() && wanted > 0) {
        m_running.store(1, std::memory_order_release);
        body();
    }
    try {
        qsizetype reported = 0;
        quint64 seen = m_events.load(std::memory_order_acquire);
        while (m_running.load(std::memory_order_acquire) > 0) {
            const qsizetype now = m_done.load(std::memory_order_acquire);
            if (progress && now / ProgressStep > reported / ProgressStep && now < m_total) {
                progress(now, m_total);
                reported = now;
            }
            m_events.wait(seen, std::memory_order_acquire);
            seen = m_events.load(std::memory_order_acquire);
        }
    } catch (...) {
        m_stop.store(true, std::memory_order_release);
        joinAll();
        throw;
    }
    joinAll();
}
