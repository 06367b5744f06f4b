#pragma once

#include <QString>

#include <functional>

// The system log line of a failed move: syslog(LOG_WARNING) and standard error,
// with control characters escaped. Tests install a sink of their own.
namespace RenameLog {
using Sink = std::function<void(const QString &line)>;
// Replaces the sink; an empty sink restores the system log. Returns the old one.
Sink setSink(Sink sink);
void write(const QString &line);
} // namespace RenameLog
