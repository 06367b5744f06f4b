// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/journalio.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <unistd.h>

namespace JournalIo {

QString systemReason(int error)
{
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void appendNumber(QByteArray &out, quint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

} // namespace JournalIo
