// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The system log line of a failed move: syslog(LOG_WARNING) and standard error,
// escaped so that it stays one line. Tests install a sink of their own.
namespace RenameLog {
using Sink = std::function<void(const QString &line)>;
// Replaces the sink; an empty sink restores the system log. Returns the old one.
Sink setSink(Sink sink);
// Writes one line, escaped as TextEscape::line escapes it.
void write(const QString &line);
// The line of a move from `fromPath` to `newName` that failed for `reason`,
// the new name shortened; without it where no new name could be made
// (ComposedName::isRefused).
QString failureLine(const QByteArray &fromPath, const QString &newName, const QString &reason);

} // namespace RenameLog
