// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/climain.h"

#include "cli/clicommand.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <unistd.h>

namespace {

// Whether the reader of a pipe has closed its end. Asked of the pipe itself,
// since errno may be long gone by the time the last flush comes.
bool readerGone(int fd)
{
    pollfd entry{fd, 0, 0};
    return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLERR);
}

// The reason the first write to standard output failed. The stream's error
// flag stays, but errno is long overwritten by the time of the last flush.
int g_outputError = 0;

ssize_t writeOutput(void *, const char *data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(STDOUT_FILENO, data + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            if (g_outputError == 0)
                g_outputError = errno;
            return done > 0 ? ssize_t(done) : -1;
        }
        done += size_t(written);
    }
    return ssize_t(done);
}

} // namespace

void cliMain(int argc, char **argv)
{
    // Standard output through a stream that remembers why it failed.
    if (FILE *output = ::fopencookie(nullptr, "w", {nullptr, writeOutput, nullptr, nullptr})) {
        std::setvbuf(output, nullptr, _IOFBF, 1 << 16);
        stdout = output;
    }
    // A reader that goes away ("| head") ends the writing, not the run: a
    // write to the closed pipe fails with EPIPE instead of killing us half
    // way through the moves.
    std::signal(SIGPIPE, SIG_IGN);
    // The raw bytes: a decoded and re-encoded PATH could name another file.
    QList<QByteArray> arguments;
    arguments.reserve(argc);
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    auto command = std::make_unique<CliCommand>();
    int status = command->run(arguments);
    // A preview that never reached its reader is no success; a reader that
    // closed the pipe early chose to read no more, and the status still
    // tells how the renaming went.
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    const int error = g_outputError != 0 ? g_outputError : errno;
    if (failed && error != EPIPE && !readerGone(STDOUT_FILENO)) {
        std::fprintf(stderr, "velnor-rename: cannot write the output: %s\n",
                     std::strerror(error != 0 ? error : EIO));
        if (status == CliCommand::Success)
            status = CliCommand::SomeFailed;
    }
    std::fflush(stderr);
    // Ends without freeing the list: giving back a hundred thousand records
    // one by one would only make the end of a run wait.
    std::_Exit(status);
}
