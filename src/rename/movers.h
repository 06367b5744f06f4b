// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

// The threads that move files, for a run and an undo alike. The moves come
// in groups (one folder each: a move only ever touches names inside its own
// folder, so moves in different groups cannot change each other's outcome);
// each lane thread takes the next group not yet taken until none is left,
// so a group is moved whole, in its order, by one thread.
//
// The thread that calls run() waits for the lanes and alone reports
// progress; the lanes only count. run() returns once every lane has ended,
// also when `progress` throws (the lanes are told to stop, joined, and the
// exception goes on), so no lane outlives the frame whose data it moves.
class Movers
{
public:
    using Progress = std::function<void(qsizetype done, qsizetype total)>;

    // `groups` to hand out; `total` moves in all, `done` of them counted as
    // done already (the files that stay).
    Movers(size_t groups, qsizetype total, qsizetype done = 0);
    Movers(const Movers &) = delete;
    Movers &operator=(const Movers &) = delete;

    // As many lanes as the processors this process may run on, at most four:
    // beyond that the file system's journal, not the processors, is the limit.
    static int laneCount();

    // Runs `lane` on as many threads as there are groups, at most
    // laneCount(), and waits for them. `progress` hears of every further 1024
    // moves, but never of the last: the caller reports that once its own work
    // is over. Where no thread can be had, the lane runs here.
    void run(const std::function<void()> &lane, const Progress &progress);

    // For the lanes: the next group to move, or false when none is left or
    // the waiting thread gave up.
    bool take(size_t *group);
    // For the lanes: whether to stop before the next move.
    bool stopped() const { return m_stop.load(std::memory_order_acquire); }
    // For the lanes: `count` more moves done.
    void moved(qsizetype count);

private:
    void signal();

    static constexpr qsizetype ProgressStep = 1024;

    const size_t m_groups;
    const qsizetype m_total;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_running{0};
    std::atomic<qsizetype> m_done;
    std::atomic<quint64> m_events{0};
};
