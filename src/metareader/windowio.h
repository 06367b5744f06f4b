// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exiv2/basicio.hpp>
#include <exiv2/error.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Reads up to `size` bytes at `offset`; the count read, or -1.
using ReadAt = std::function<long(std::uint64_t offset, void *into, std::size_t size)>;
// The whole file in memory, for the parsers that walk a TIFF structure in
// place (raw files); throws when it cannot be had.
using MapAll = std::function<const Exiv2::byte *()>;

// A file as exiv2 reads it: through a window of a few pages, refilled where
// the parser reads next, so that a photo costs one read of its head (where
// a JPEG's or a camera's tags are) and not a mapping of the whole file.
// What lies beyond the window is read when asked for, never guessed: a
// parser sees the same bytes as through a map of the file. A read that
// fails, or finds the file shorter than it was, marks the whole read failed
// (failed()), so that a file changed under us gives no values at all rather
// than values from half a file.
class WindowIo : public Exiv2::BasicIo
{
public:
    WindowIo(const ReadAt &readAt, std::uint64_t size, const MapAll &mapAll,
             std::vector<std::uint8_t> &window)
        : m_readAt(readAt), m_size(size), m_mapAll(mapAll), m_window(window)
    {}

    bool failed() const { return m_failed; }

    // Up to `count` bytes at `at`, as far as the file goes.
    long readAt(std::uint64_t at, void *into, std::size_t count);

    int open() override;
    int close() override { return 0; }
    long write(const Exiv2::byte *, long) override { return 0; }
    long write(Exiv2::BasicIo &) override { return 0; }
    int putb(Exiv2::byte) override { return EOF; }
    Exiv2::DataBuf read(long count) override;
    long read(Exiv2::byte *into, long count) override;
    int getb() override;
    void transfer(Exiv2::BasicIo &) override { throw Exiv2::Error(Exiv2::kerFunctionNotSupported); }
    int seek(long offset, Position from) override;
    Exiv2::byte *mmap(bool writable) override;
    int munmap() override { return 0; }
    long tell() const override { return long(m_at); }
    size_t size() const override { return size_t(m_size); }
    bool isopen() const override { return true; }
    int error() const override { return m_failed ? 1 : 0; }
    bool eof() const override { return m_eof; }
    std::string path() const override { return "velnor"; }

private:
    const ReadAt &m_readAt;
    const std::uint64_t m_size;
    const MapAll &m_mapAll;
    std::vector<std::uint8_t> &m_window;
    std::uint64_t m_start = 0;
    std::size_t m_filled = 0;
    std::uint64_t m_at = 0;
    bool m_eof = false;
    bool m_failed = false;
};
