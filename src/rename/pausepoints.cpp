// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/pausepoints.h"

#include <atomic>

namespace {
std::atomic<PausePoints::Hook> g_hook{nullptr};
} // namespace

namespace PausePoints {

void setHook(Hook hook)
{
    g_hook.store(hook, std::memory_order_release);
}

void at(const char *point)
{
    if (const Hook hook = g_hook.load(std::memory_order_acquire))
        hook(point);
}

} // namespace PausePoints
