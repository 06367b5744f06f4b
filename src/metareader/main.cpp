// SPDX-License-Identifier: GPL-3.0-or-later
// velnor-meta-reader: reads the tags inside files for Velnor, one request at
// a time over standard input and output (see meta/metaprotocol.h), shut in
// before it opens the first file (see confine.cpp). It is started by the
// program, never by hand.
#include "meta/metaprotocol.h"
#include "metareader/confine.h"
#include "metareader/readfacts.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Requests arrive several at once: they are read as they come, into one
// buffer, rather than with two reads each.
struct Input
{
    std::string bytes;
    std::size_t at = 0;

    // Until `size` bytes are in hand; false at the end of the input.
    bool fill(std::size_t size)
    {
        while (bytes.size() - at < size) {
            bytes.erase(0, at);
            at = 0;
            const std::size_t had = bytes.size();
            bytes.resize(had + std::max<std::size_t>(size - had, 65536));
            const ssize_t got = ::read(0, bytes.data() + had, bytes.size() - had);
            bytes.resize(had + std::size_t(std::max<ssize_t>(got, 0)));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
        }
        return true;
    }
};

bool writeFully(int fd, const char *from, std::size_t size)
{
    while (size > 0) {
        const ssize_t put = ::write(fd, from, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        from += put;
        size -= std::size_t(put);
    }
    return true;
}

bool readRecord(Input &input, std::string *record)
{
    if (!input.fill(4))
        return false;
    const std::uint32_t size = MetaProtocol::countOf(input.bytes.data() + input.at);
    if (size > MetaProtocol::maxRecord || !input.fill(4 + std::size_t(size)))
        return false;
    record->assign(input.bytes, input.at + 4, size);
    input.at += 4 + std::size_t(size);
    return true;
}

void noLog(int, const char *) {}

} // namespace

int main()
{
    // Set up before confining: what the libraries would do on first use.
    Exiv2::enableBMFF();
    Exiv2::LogMsg::setHandler(noLog);
    if (!confineReader()) {
        std::fputs("velnor-meta-reader: cannot confine itself; reading nothing\n", stderr);
        return 1;
    }
    Input input;
    std::string request;
    while (readRecord(input, &request)) {
        std::vector<std::string> keys;
        std::size_t at = request.find('\0');
        const std::string path = request.substr(0, at);
        while (at != std::string::npos && at + 1 < request.size()) {
            const std::size_t next = request.find('\0', at + 1);
            keys.push_back(request.substr(at + 1, next - at - 1));
            at = next;
        }
        std::string answer;
        std::string packed = MetaProtocol::packPairs(ReadFacts::fromPath(path, keys));
        if (packed.size() > MetaProtocol::maxRecord)
            packed.clear();
        MetaProtocol::appendRecord(answer, packed);
        if (!writeFully(1, answer.data(), answer.size()))
            return 1;
    }
    return 0;
}
