// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/pausepoints.h"

#include <QByteArray>

#include <atomic>
#include <csignal>

// For a child process of a kill test: stops itself with SIGSTOP at the
// moment VELNOR_TEST_PAUSE_AT names (a point of PausePoints, or "POINT:N" for
// the N-th time at that point, "move:5000" say), so that the test waiting
// for it kills it in that state.
inline void pauseAtTheNamedMoment()
{
    static const QByteArray moment = qgetenv("VELNOR_TEST_PAUSE_AT");
    static const qsizetype colon = moment.indexOf(':');
    static const QByteArray point = colon < 0 ? moment : moment.left(colon);
    static const long long times = colon < 0 ? 1 : moment.mid(colon + 1).toLongLong();
    static std::atomic<long long> seen{0};
    PausePoints::setHook([](const char *at) {
        if (point == at && ++seen == times)
            std::raise(SIGSTOP);
    });
}
