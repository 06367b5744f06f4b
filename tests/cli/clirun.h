// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "../scratchdir.h"

#include <QByteArrayList>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The one way the command-line tests start velnor-rename: in a child with
// exactly these argument bytes, as a shell hands them over.

struct CliResult
{
    int exitCode = -1; // -1 when it did not end normally
    QByteArray out;
    QByteArray err;
};

struct CliOptions
{
    QByteArray cwd;     // the working folder; the test's own when empty
    QByteArray input;   // standard input
    QByteArray outFile; // standard output goes here instead, when set
    QByteArrayList env; // "NAME=value" added to the environment
};

inline CliResult runCli(const QByteArrayList &arguments, const CliOptions &options = {})
{
    CliResult run;
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return run;
    QByteArrayList argv = QByteArrayList{VELNOR_RENAME_BIN} + arguments;
    std::vector<char *> pointers;
    for (QByteArray &argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    // A child that ends before it reads its input closes the pipe under the
    // write: EPIPE for the test, not its death.
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        ::dup2(in[0], 0);
        ::dup2(err[1], 2);
        if (options.outFile.isEmpty())
            ::dup2(out[1], 1);
        else if (const int fd = ::open(options.outFile.constData(), O_WRONLY); fd >= 0)
            ::dup2(fd, 1);
        if (!options.cwd.isEmpty() && ::chdir(options.cwd.constData()) != 0)
            ::_exit(126);
        for (const QByteArray &variable : options.env)
            ::putenv(const_cast<char *>(variable.constData()));
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Small inputs only: they fit the pipe, so writing first cannot block.
    if (!options.input.isEmpty())
        (void)!::write(in[1], options.input.constData(), size_t(options.input.size()));
    ::close(in[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    QByteArray *sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, 120000) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[65536];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, got);
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The raw names in a folder, sorted: QDir would skip the undecodable ones.
inline QByteArrayList namesIn(const QByteArray &folder)
{
    QByteArrayList names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString(), error))
        names << QByteArray::fromStdString(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    return names;
}

// The rows of a --json answer.
inline QJsonArray jsonFiles(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object().value(QLatin1String("files")).toArray();
}

// What the command-line tests share: for each test a fresh folder for the
// files and a fresh state folder, where the runs' journals and the presets
// go, never to the user's own (the children inherit the environment).
class CliTest : public QObject
{
    Q_OBJECT

protected slots:
    void init()
    {
        m_files = std::make_unique<ScratchDir>();
        m_state = std::make_unique<ScratchDir>();
        QVERIFY(m_files->isValid() && m_state->isValid());
        qputenv("XDG_STATE_HOME", m_state->path());
        qputenv("XDG_CONFIG_HOME", m_state->path());
    }

protected:
    QByteArray path(const QByteArray &relative) const { return m_files->path(relative); }
    QByteArray root() const { return m_files->path(); }

    // Options written as one line (no value holds a space); "@" stands for
    // the folder.
    QByteArrayList args(const QString &line) const
    {
        QByteArrayList list;
        for (const QString &word : line.split(u' ', Qt::SkipEmptyParts))
            list << QFile::encodeName(word).replace('@', root());
        return list;
    }

    // Output as expected, "@" standing for the folder.
    QByteArray atRoot(QByteArray text) const { return text.replace('@', root()); }

    std::unique_ptr<ScratchDir> m_files;
    std::unique_ptr<ScratchDir> m_state;
};
