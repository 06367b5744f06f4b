// SPDX-License-Identifier: GPL-3.0-or-later
#include "meta/metahelper.h"

#include "meta/metaprotocol.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

qint64 nowMsecs()
{
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Reads exactly size bytes before the deadline.
bool receiveAll(int fd, char *into, size_t size, qint64 deadline)
{
    while (size > 0) {
        const qint64 left = deadline - nowMsecs();
        if (left <= 0)
            return false;
        struct pollfd wait = {fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t got = ::recv(fd, into, size, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            return false;
        into += got;
        size -= size_t(got);
    }
    return true;
}

bool sendAll(int fd, const char *from, size_t size, qint64 deadline)
{
    while (size > 0) {
        const qint64 left = deadline - nowMsecs();
        if (left <= 0)
            return false;
        struct pollfd wait = {fd, POLLOUT, 0};
        const int ready = ::poll(&wait, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        // No SIGPIPE when the helper is gone: that is an answer like others.
        const ssize_t put = ::send(fd, from, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (put < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (put <= 0)
            return false;
        from += put;
        size -= size_t(put);
    }
    return true;
}

} // namespace

bool MetaHelper::start()
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pair[1], 0);
    posix_spawn_file_actions_adddup2(&actions, pair[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char *const argv[] = {m_program.data(), nullptr};
    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, m_program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pair[1]);
    if (spawned != 0) {
        ::close(pair[0]);
        return false;
    }
    m_pid = pid;
    m_socket = pair[0];
    return true;
}

void MetaHelper::stop()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    m_pid = -1;
}

MetaHelper::Result MetaHelper::send(const std::string &requests, int timeoutMsecs)
{
    if (m_pid < 0 && !start())
        return Result::NotStarted;
    if (!sendAll(m_socket, requests.data(), requests.size(), nowMsecs() + timeoutMsecs)) {
        stop();
        return Result::Failed;
    }
    return Result::Answered;
}

MetaHelper::Result MetaHelper::receive(int timeoutMsecs, std::string *answer)
{
    if (m_pid < 0)
        return Result::Failed;
    const qint64 deadline = nowMsecs() + timeoutMsecs;
    char count[4];
    bool ok = receiveAll(m_socket, count, 4, deadline);
    if (ok) {
        const quint32 size = MetaProtocol::countOf(count);
        ok = size <= MetaProtocol::maxRecord;
        if (ok) {
            answer->resize(size);
            ok = receiveAll(m_socket, answer->data(), size, deadline);
        }
    }
    if (!ok) {
        stop();
        return Result::Failed;
    }
    return Result::Answered;
}
