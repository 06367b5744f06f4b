// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/pausepoints.h"

#include <QByteArray>

#include <atomic>
#include <csignal>

// For a child process of a kill test: stops itself with SIGSTOP at the
// moment VELNOR_TEST_PAUSE_AT names (a point of PausePoints, or "move:N" for
// the N-th move), so that the test waiting for it kills it in that state.
inline void pauseAtTheNamedMoment()
{
    static const QByteArray moment = qgetenv("VELNOR_TEST_PAUSE_AT");
    static const long long moves = moment.startsWith("move:") ? moment.mid(5).toLongLong() : -1;
    static std::atomic<long long> moved{0};
    PausePoints::setHook([](const char *point) {
        if (moves >= 0 ? QByteArrayView(point) == "move" && ++moved == moves : moment == point)
            std::raise(SIGSTOP);
    });
}
