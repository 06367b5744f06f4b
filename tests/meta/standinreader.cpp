// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for velnor-meta-reader in the tests: answers every request with
// the file's name as its Model, but crashes on a path holding "crash" and
// never answers one holding "hang".
#include "meta/metaprotocol.h"

#include <csignal>
#include <string>
#include <unistd.h>

int main()
{
    for (;;) {
        char count[4];
        if (::read(0, count, 4) != 4)
            return 0;
        std::string request(MetaProtocol::countOf(count), '\0');
        for (std::size_t got = 0; got < request.size();) {
            const ssize_t n = ::read(0, request.data() + got, request.size() - got);
            if (n <= 0)
                return 0;
            got += std::size_t(n);
        }
        const std::string path = request.substr(0, request.find('\0'));
        if (path.find("crash") != std::string::npos)
            ::raise(SIGSEGV);
        if (path.find("hang") != std::string::npos)
            ::pause();
        std::string answer;
        MetaProtocol::appendRecord(
            answer, MetaProtocol::packPairs({{"Model", path.substr(path.rfind('/') + 1)}}));
        if (::write(1, answer.data(), answer.size()) != ssize_t(answer.size()))
            return 1;
    }
}
