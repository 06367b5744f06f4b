// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What the journal's writer and appender share in writing to their files.
namespace JournalIo {

QString systemReason(int error);

bool writeAll(int fd, const char *data, qsizetype size);

void appendNumber(QByteArray &out, quint64 value);

} // namespace JournalIo
