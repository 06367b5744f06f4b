// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <system_error>
#include <thread>

// The one way this code splits a piece of work in two: `second` on a helper
// thread while `first` runs on the calling thread, the helper joined before
// sideBySide returns (also when `first` throws). When no thread can be had,
// both run here, one after the other. Both halves must touch disjoint data;
// whatever they wrote is the caller's once it returns (the join orders it).
//
// Used inside a job's thread (the plan, the journal's plan), never from the
// GUI thread, so the waiting it does is a worker's.
template<typename First, typename Second> void sideBySide(First &&first, Second &&second)
{
    std::jthread helper; // joined on the way out, also by an exception
    try {
        helper = std::jthread([&second] { second(); });
    } catch (const std::system_error &) {
        // No thread to be had: the whole of it here.
    }
    first();
    if (helper.joinable())
        helper.join();
    else
        second();
}

// sideBySide where `parallel`, else both here, one after the other.
template<typename First, typename Second>
void sideBySideWhen(bool parallel, First &&first, Second &&second)
{
    if (parallel) {
        sideBySide(first, second);
    } else {
        first();
        second();
    }
}

// How many processors this process may run on (at least one).
int processorsAllowed();
