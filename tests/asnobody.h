// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

// Permission tests need a process that permissions apply to. Root ignores
// them, so under root (as in CI) the work runs in a forked child that has
// dropped to the user nobody; otherwise it runs in a child with the user's
// own ids. The child hands its findings back through a pipe.
struct ChildResult
{
    bool ok = false; // the child dropped its ids, ran and exited normally
    QByteArray output;
};

inline ChildResult runWithoutPrivileges(const std::function<QByteArray()> &work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid < 0)
        return {};
    if (pid == 0) {
        close(pipeFds[0]);
        if (geteuid() == 0) {
            const passwd *nobody = getpwnam("nobody");
            const uid_t uid = nobody ? nobody->pw_uid : 65534;
            const gid_t gid = nobody ? nobody->pw_gid : 65534;
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
                _exit(2);
        }
        const QByteArray output = work();
        qsizetype written = 0;
        while (written < output.size()) {
            const ssize_t n =
                ::write(pipeFds[1], output.constData() + written, size_t(output.size() - written));
            if (n <= 0)
                _exit(3);
            written += n;
        }
        _exit(0);
    }
    close(pipeFds[1]);
    ChildResult result;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.output.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}
