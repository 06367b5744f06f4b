// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

// A descriptor this code owns, closed when the object goes. A closed one is
// -1. Move-only, so that exactly one owner closes it.
class FileDescriptor
{
public:
    FileDescriptor() noexcept = default;
    explicit FileDescriptor(int fd) noexcept : m_fd(fd) {}
    FileDescriptor(FileDescriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor() { reset(); }

    int get() const noexcept { return m_fd; }
    bool isOpen() const noexcept { return m_fd >= 0; }
    // Gives the descriptor up to a new owner (fdopendir, say).
    int release() noexcept { return std::exchange(m_fd, -1); }
    // Closes the one held, if any, and holds `fd`.
    void reset(int fd = -1) noexcept;

private:
    int m_fd = -1;
};
