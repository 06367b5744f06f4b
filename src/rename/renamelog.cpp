// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamelog.h"

#include "posix/textescape.h"

#include <QByteArray>

#include <cstdio>
#include <syslog.h>

namespace {

RenameLog::Sink &installedSink()
{
    static RenameLog::Sink sink;
    return sink;
}

} // namespace

namespace RenameLog {

Sink setSink(Sink sink)
{
    Sink old = std::move(installedSink());
    installedSink() = std::move(sink);
    return old;
}

void write(const QString &line)
{
    const QString text = TextEscape::line(line);
    if (const Sink &sink = installedSink()) {
        sink(text);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    syslog(LOG_WARNING, "%s", bytes.constData());
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

} // namespace RenameLog
