// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamelog.h"

#include "posix/textescape.h"
#include "rules/valuetokens.h"

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

// A name of thousands of characters would flood the log: long names are
// shortened there and in every message.
QString failureLine(const QByteArray &fromPath, const QString &newName, const QString &reason)
{
    // No new name could be made (a value or a date the file lacks).
    if (ComposedName::isRefused(newName))
        return QStringLiteral("Cannot rename “%1”: %2").arg(TextEscape::path(fromPath), reason);
    return QStringLiteral("Cannot rename “%1” to “%2”: %3")
        .arg(TextEscape::path(fromPath), TextEscape::line(TextEscape::shortened(newName)), reason);
}

} // namespace RenameLog
