// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/filedescriptor.h"

#include <unistd.h>

void FileDescriptor::reset(int fd) noexcept
{
    // Not retried on EINTR: on Linux the descriptor is gone either way, and a
    // second close could close another thread's new one.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}
