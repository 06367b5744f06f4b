// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/sidebyside.h"

#include <sched.h>

int processorsAllowed()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return 1;
    return CPU_COUNT(&allowed) > 0 ? CPU_COUNT(&allowed) : 1;
}
