// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/clinames.h"

#include "cli/cliformat.h"
#include "intake/namelists.h"
#include "posix/textescape.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        done += written;
    }
    return true;
}

// Runs the command line through the shell, as git runs an editor, so that
// "code --wait" works: the file comes as the command's last argument. The
// editor gets the terminal even when standard input or output is a pipe.
// While it runs, Ctrl+C belongs to the editor. Returns the wait status, or
// -1 with errno.
int runEditor(const QByteArray &command, const QByteArray &file)
{
    struct sigaction ignore = {}, oldInt = {}, oldQuit = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, &oldInt);
    sigaction(SIGQUIT, &ignore, &oldQuit);
    std::fflush(stdout);
    const QByteArray script = command + " \"$@\"";
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGQUIT, SIG_DFL);
        for (int fd : {STDIN_FILENO, STDOUT_FILENO}) {
            if (::isatty(fd))
                continue;
            const int tty = ::open("/dev/tty", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
            if (tty >= 0) {
                ::dup2(tty, fd);
                ::close(tty);
            }
        }
        ::execl("/bin/sh", "sh", "-c", script.constData(), command.constData(), file.constData(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = -1;
    if (child > 0) {
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    const int error = errno;
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGQUIT, &oldQuit, nullptr);
    errno = error;
    return child > 0 ? status : -1;
}

QByteArray editorCommand()
{
    for (const char *variable : {"VISUAL", "EDITOR"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return QByteArrayLiteral("vi");
}

} // namespace

namespace CliNames {

void printLine(std::FILE *out, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

void printError(const QString &message)
{
    printLine(stderr, QStringLiteral("velnor-rename: ") + message);
}

bool readSource(const char *option, const QByteArray &source, QByteArray *content)
{
    QFile file;
    bool opened = false;
    if (source == "-") {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        // Opened by its bytes: a decoded name could lead to another file.
        const int fd = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            printError(
                QStringLiteral("%1: '%2': %3")
                    .arg(QLatin1String(option), TextEscape::path(source), systemError(errno)));
            return false;
        }
        opened = file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    }
    *content = opened ? file.readAll() : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError) {
        printError(QStringLiteral("%1: '%2': %3")
                       .arg(QLatin1String(option), TextEscape::path(source), file.errorString()));
        return false;
    }
    return true;
}

bool readNameList(const QByteArray &source, QList<QByteArray> *names)
{
    QByteArray content;
    if (!readSource("--names-from", source, &content))
        return false;
    if (const qsizetype empty = NameLists::readLines(content, names)) {
        printError(
            QStringLiteral("--names-from: line %1 is empty; every file needs a name").arg(empty));
        return false;
    }
    return true;
}

bool editNames(const QList<QByteArray> &paths, QList<QByteArray> *names)
{
    QByteArray text;
    for (qsizetype i = 0; i < names->size(); ++i) {
        if (names->at(i).contains('\n')) {
            printError(QStringLiteral("--edit: '%1': its new name holds a line end and cannot be "
                                      "edited as one line")
                           .arg(TextEscape::path(paths.value(i))));
            return false;
        }
        text += names->at(i) + '\n';
    }
    const char *tmp = std::getenv("TMPDIR");
    QByteArray file = QByteArray(tmp && *tmp ? tmp : "/tmp") + "/velnor-rename-XXXXXX";
    // mkstemp makes the file 0600: the names of the user's files are theirs.
    const int fd = ::mkstemp(file.data());
    if (fd < 0) {
        printError(
            QStringLiteral("--edit: cannot make a temporary file: %1").arg(systemError(errno)));
        return false;
    }
    struct Remove
    {
        const QByteArray &path;
        ~Remove() { ::unlink(path.constData()); }
    } remove{file};
    const bool written = writeAll(fd, text);
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        printError(QStringLiteral("--edit: cannot write the names: %1")
                       .arg(systemError(written ? errno : writeError)));
        return false;
    }
    const QByteArray command = editorCommand();
    const int status = runEditor(command, file);
    const QString shown = QString::fromLocal8Bit(command);
    if (status == -1) {
        printError(QStringLiteral("--edit: cannot start the editor '%1': %2")
                       .arg(shown, systemError(errno)));
        return false;
    }
    if (WIFSIGNALED(status) || WEXITSTATUS(status) != 0) {
        printError(WIFSIGNALED(status)
                       ? QStringLiteral("--edit: the editor '%1' was ended by signal %2; nothing "
                                        "renamed")
                             .arg(shown)
                             .arg(WTERMSIG(status))
                       : QStringLiteral("--edit: the editor '%1' exited with status %2; nothing "
                                        "renamed")
                             .arg(shown)
                             .arg(WEXITSTATUS(status)));
        return false;
    }
    QByteArray edited;
    if (!readSource("--edit", file, &edited))
        return false;
    QList<QByteArray> lines;
    if (const qsizetype empty = NameLists::readLines(edited, &lines)) {
        printError(QStringLiteral("--edit: line %1 is empty; every file needs a name; nothing "
                                  "renamed")
                       .arg(empty));
        return false;
    }
    if (lines.size() != names->size()) {
        printError(QStringLiteral("--edit: %1 lines for %2 files; nothing renamed")
                       .arg(lines.size())
                       .arg(names->size()));
        return false;
    }
    *names = lines;
    return true;
}

} // namespace CliNames
