#pragma once

#include "rename/movelanes.h"

#include <QtGlobal>

#include <system_error>
#include <thread>

// Does work(begin, end, half) over [0, count) in two halves side by side, the
// second half on a thread of its own, when there is enough work to pay for
// the thread and this process may use a second processor; in one go
// (half 0) otherwise. The work on the plan of a large run before its first
// move is what the user waits for, with one processor idle.
template<typename Work> void inTwoHalves(qsizetype count, Work &&work)
{
    constexpr qsizetype least = 8192;
    if (count >= least && MoveLanes::defaultLaneCount() > 1) {
        const qsizetype middle = count / 2;
        std::jthread second; // joined on the way out, also by an exception
        try {
            second = std::jthread([&] { work(middle, count, 1); });
        } catch (const std::system_error &) {
            // No thread to be had: the whole of it here.
        }
        if (second.joinable()) {
            work(qsizetype(0), middle, 0);
            second.join();
            return;
        }
    }
    work(qsizetype(0), count, 0);
}
