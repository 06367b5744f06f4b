#include "cli/clicommand.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    // The raw bytes: a decoded and re-encoded PATH could name another file.
    QList<QByteArray> arguments;
    arguments.reserve(argc);
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    auto command = std::make_unique<CliCommand>();
    int status = command->run(arguments);
    // A preview that never reached its reader is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "velnor-rename: cannot write the output: %s\n", std::strerror(errno));
        if (status == CliCommand::Success)
            status = CliCommand::SomeFailed;
    }
    std::fflush(stderr);
    // Ends without freeing the list: giving back a hundred thousand records
    // one by one would only make the end of a run wait.
    std::_Exit(status);
}
