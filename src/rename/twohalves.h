// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/sidebyside.h"

#include <QtGlobal>

// Does work(begin, end, half) over [0, count) in two halves side by side,
// when there is enough work to pay for the thread and this process may use a
// second processor; in one go (half 0) otherwise. The work on the plan of a
// large run before its first move is what the user waits for, with one
// processor idle.
template<typename Work> void inTwoHalves(qsizetype count, Work &&work)
{
    constexpr qsizetype least = 8192;
    if (count >= least && processorsAllowed() > 1) {
        const qsizetype middle = count / 2;
        sideBySide([&] { work(qsizetype(0), middle, 0); }, [&] { work(middle, count, 1); });
        return;
    }
    work(qsizetype(0), count, 0);
}
