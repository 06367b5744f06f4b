// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <functional>

class Job;

// A progress line on standard error for work that takes longer than a
// second, only when standard error is a terminal: scripts and logs get none.
class CliProgress
{
public:
    explicit CliProgress(std::FILE *out = stderr);
    ~CliProgress();

    // Starts timing a new piece of work.
    void start();
    // Redraws the line at most a few times a second, once the work has
    // lasted a second.
    void show(const QString &text);
    // The one wait of the command line on its work: until `job` has ended,
    // showing line() meanwhile, and cancelling the job once SIGINT or SIGTERM
    // asks to stop (the moves in flight end, the journal is closed).
    void waitFor(Job &job, const std::function<QString()> &line);
    // Erases the line, if one was drawn.
    void finish();

private:
    std::FILE *m_out;
    bool m_enabled;
    bool m_drawn = false;
    QElapsedTimer m_timer;
    qint64 m_lastDraw = 0;
};
