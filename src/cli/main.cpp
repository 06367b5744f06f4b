#include "clicommand.h"

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char **argv)
{
    // The raw bytes: a decoded and re-encoded PATH could name another file.
    QList<QByteArray> arguments;
    arguments.reserve(argc);
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    auto command = std::make_unique<CliCommand>();
    const int status = command->run(arguments);
    std::fflush(stdout);
    std::fflush(stderr);
    // Ends without freeing the list: giving back a hundred thousand records
    // one by one would only make the end of a run wait.
    std::_Exit(status);
}
