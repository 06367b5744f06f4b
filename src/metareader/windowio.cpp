// SPDX-License-Identifier: GPL-3.0-or-later
#include "metareader/windowio.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The first read is small: in an ordinary JPEG the parser's small reads end a
// few KiB in, and the Exif block, however large, is one read of its own.
constexpr std::size_t headRead = std::size_t(4) << 10;

} // namespace

long WindowIo::readAt(std::uint64_t at, void *into, std::size_t count)
{
    if (at >= m_size)
        return 0;
    count = std::size_t(std::min<std::uint64_t>(count, m_size - at));
    auto *out = static_cast<std::uint8_t *>(into);
    std::size_t done = 0;
    while (done < count && !m_failed) {
        const std::uint64_t from = at + done;
        if (from >= m_start && from < m_start + m_filled) {
            const std::size_t n =
                std::size_t(std::min<std::uint64_t>(count - done, m_start + m_filled - from));
            std::memcpy(out + done, m_window.data() + (from - m_start), n);
            done += n;
            continue;
        }
        // A large read goes straight to its destination.
        const bool direct = count - done >= m_window.size();
        // The first read takes only the head, where a photo's tags are;
        // later ones the whole window.
        const std::uint64_t fill =
            m_filled == 0 ? std::min(m_window.size(), headRead) : m_window.size();
        const std::size_t want =
            direct ? count - done : std::size_t(std::min<std::uint64_t>(fill, m_size - from));
        const long got = m_readAt(from, direct ? out + done : m_window.data(), want);
        if (got != long(want)) {
            m_failed = true;
            break;
        }
        if (direct) {
            done += want;
        } else {
            m_start = from;
            m_filled = want;
        }
    }
    return long(done);
}

int WindowIo::open()
{
    m_at = 0;
    m_eof = false;
    return 0;
}

Exiv2::DataBuf WindowIo::read(long count)
{
    // No more than the file holds, whatever the count a damaged file
    // asks for.
    const long available = long(m_size - std::min<std::uint64_t>(m_at, m_size));
    Exiv2::DataBuf buffer(std::max(0L, std::min(count, available)));
    buffer.size_ = read(buffer.pData_, buffer.size_);
    if (count > available)
        m_eof = true;
    return buffer;
}

long WindowIo::read(Exiv2::byte *into, long count)
{
    if (count <= 0)
        return 0;
    const long got = readAt(m_at, into, std::size_t(count));
    m_at += std::uint64_t(got);
    if (got < count)
        m_eof = true;
    return got;
}

int WindowIo::getb()
{
    Exiv2::byte byte = 0;
    if (read(&byte, 1) != 1)
        return EOF;
    return byte;
}

int WindowIo::seek(long offset, Position from)
{
    const long long base = from == beg ? 0 : from == cur ? (long long)m_at : (long long)m_size;
    const long long to = base + offset;
    if (to < 0)
        return 1;
    if (std::uint64_t(to) > m_size) {
        m_eof = true;
        return 1;
    }
    m_at = std::uint64_t(to);
    m_eof = false;
    return 0;
}

Exiv2::byte *WindowIo::mmap(bool writable)
{
    if (writable)
        throw Exiv2::Error(Exiv2::kerFunctionNotSupported);
    return const_cast<Exiv2::byte *>(m_mapAll());
}
