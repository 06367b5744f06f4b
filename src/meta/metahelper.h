// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <string>
#include <sys/types.h>

// One running helper program, spoken to over a socket pair that is its
// standard input and output. Owned by one thread.
class MetaHelper
{
public:
    explicit MetaHelper(QByteArray program) : m_program(std::move(program)) {}
    ~MetaHelper() { stop(); }
    MetaHelper(const MetaHelper &) = delete;
    MetaHelper &operator=(const MetaHelper &) = delete;

    enum class Result
    {
        Answered,
        Failed,    // crashed, killed by its filter, too slow or answered nonsense
        NotStarted // the program could not be started at all
    };
    // Sends requests, starting the helper first if it is not running; the
    // helper answers them in order. Several may be in flight, so that a
    // reader never waits for the round trip of each file; their total must
    // stay well below a socket's buffer (a few hundred KiB). On Failed the
    // helper has been ended; the next send starts a new one.
    Result send(const std::string &requests, int timeoutMsecs);
    // Waits at most timeoutMsecs for the answer to the oldest request.
    Result receive(int timeoutMsecs, std::string *answer);
    void stop();

private:
    bool start();
    // Until at least `size` bytes of answers are in hand; false when the
    // helper ended or the deadline passed.
    bool fill(size_t size, qint64 deadline);

    QByteArray m_program;
    pid_t m_pid = -1;
    int m_socket = -1;
    // Answers received and not yet handed out, from m_receivedAt on.
    std::string m_received;
    size_t m_receivedAt = 0;
};
