// SPDX-License-Identifier: GPL-3.0-or-later
#include "meta/metahelper.h"

#include "meta/metaprotocol.h"

#include <algorithm>
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
    m_received.clear();
    m_receivedAt = 0;
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

bool MetaHelper::fill(size_t size, qint64 deadline)
{
    // Whatever has arrived is taken at once, so that a run of short answers
    // costs one read, not two for each.
    while (m_received.size() - m_receivedAt < size) {
        if (m_receivedAt > 0) {
            m_received.erase(0, m_receivedAt);
            m_receivedAt = 0;
        }
        const size_t had = m_received.size();
        m_received.resize(had + std::max<size_t>(size - had, 65536));
        const ssize_t got =
            ::recv(m_socket, m_received.data() + had, m_received.size() - had, MSG_DONTWAIT);
        m_received.resize(had + size_t(std::max<ssize_t>(got, 0)));
        if (got > 0)
            continue;
        if (got == 0 || (errno != EAGAIN && errno != EINTR))
            return false;
        const qint64 left = deadline - nowMsecs();
        if (left <= 0)
            return false;
        struct pollfd wait = {m_socket, POLLIN, 0};
        const int ready = ::poll(&wait, 1, int(left));
        if (ready == 0 || (ready < 0 && errno != EINTR))
            return false;
    }
    return true;
}

MetaHelper::Result MetaHelper::receive(int timeoutMsecs, std::string *answer)
{
    if (m_pid < 0)
        return Result::Failed;
    const qint64 deadline = nowMsecs() + timeoutMsecs;
    bool ok = fill(4, deadline);
    if (ok) {
        const quint32 size = MetaProtocol::countOf(m_received.data() + m_receivedAt);
        ok = size <= MetaProtocol::maxRecord && fill(4 + size_t(size), deadline);
        if (ok) {
            answer->assign(m_received, m_receivedAt + 4, size);
            m_receivedAt += 4 + size_t(size);
        }
    }
    if (!ok) {
        stop();
        return Result::Failed;
    }
    return Result::Answered;
}
