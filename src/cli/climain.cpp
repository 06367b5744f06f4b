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

} // namespace

void cliMain(int argc, char **argv)
{
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
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && errno != EPIPE &&
        !readerGone(STDOUT_FILENO)) {
        std::fprintf(stderr, "velnor-rename: cannot write the output: %s\n", std::strerror(errno));
        if (status == CliCommand::Success)
            status = CliCommand::SomeFailed;
    }
    std::fflush(stderr);
    // Ends without freeing the list: giving back a hundred thousand records
    // one by one would only make the end of a run wait.
    std::_Exit(status);
}
