// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cliprogress.h"

#include "cli/clisignals.h"
#include "jobs/job.h"

#include <unistd.h>

namespace {
constexpr qint64 QuietMsecs = 1000;
constexpr qint64 RedrawMsecs = 100;
} // namespace

CliProgress::CliProgress(std::FILE *out) : m_out(out), m_enabled(isatty(fileno(out)) == 1)
{
    m_timer.start();
}

CliProgress::~CliProgress()
{
    finish();
}

void CliProgress::start()
{
    m_timer.restart();
    m_lastDraw = 0;
}

void CliProgress::show(const QString &text)
{
    if (!m_enabled)
        return;
    const qint64 elapsed = m_timer.elapsed();
    if (elapsed < QuietMsecs || (m_drawn && elapsed - m_lastDraw < RedrawMsecs))
        return;
    m_lastDraw = elapsed;
    m_drawn = true;
    // Carriage return and erase to the end of the line: the line is redrawn in place.
    const QByteArray line = "\r\033[K" + text.toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), m_out);
    std::fflush(m_out);
}

void CliProgress::finish()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", m_out);
    std::fflush(m_out);
    m_drawn = false;
}

void CliProgress::waitFor(Job &job, const std::function<QString()> &line)
{
    while (!job.wait(100)) {
        if (CliSignals::received())
            job.cancel();
        show(line());
    }
}
