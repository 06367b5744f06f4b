#include "clicommand.h"

#include <QByteArray>
#include <QList>

int main(int argc, char **argv)
{
    // The raw bytes: a decoded and re-encoded PATH could name another file.
    QList<QByteArray> arguments;
    arguments.reserve(argc);
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return CliCommand().run(arguments);
}
