#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The system log line of a failed move: syslog(LOG_WARNING) and standard error,
// with control characters escaped. Tests install a sink of their own.
namespace RenameLog {
using Sink = std::function<void(const QString &line)>;
// Replaces the sink; an empty sink restores the system log. Returns the old one.
Sink setSink(Sink sink);
// Writes one line; control characters and lone surrogates in it are escaped.
void write(const QString &line);

// The text with C0, DEL and C1 controls written as \xNN, and U+2028, U+2029
// and lone surrogates as \uNNNN, so that it stays one line.
QString escaped(const QString &text);
// Path bytes for a log line or a message: valid UTF-8 decoded, every other
// byte and every control character written as \xNN.
QString displayPath(const QByteArray &bytes);
} // namespace RenameLog
