// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/clisignals.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

// Lock-free, so that the handler may touch it.
std::atomic<int> g_received = 0;
static_assert(std::atomic<int>::is_always_lock_free);

void onSignal(int signal)
{
    int expected = 0;
    if (g_received.compare_exchange_strong(expected, signal))
        return;
    // The user insists: the moves in flight are not waited for. Every
    // outcome the journal has not yet been told is found again by an undo
    // from the disk as it is.
    if (signal == SIGINT)
        ::_exit(128 + SIGINT);
}

} // namespace

namespace CliSignals {

void install()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted: a write of the summary must not fail half way with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int received()
{
    return g_received.load(std::memory_order_relaxed);
}

int exitStatus(int status)
{
    const int signal = received();
    return signal == 0 ? status : 128 + signal;
}

} // namespace CliSignals
