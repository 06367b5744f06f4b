// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

namespace ContentType {

// The extensions of the file's type as its first bytes show it, the
// preferred one first; empty where they say nothing definite: no type but
// the default (application/octet-stream), plain text, an empty file, a file
// that is not a regular file or cannot be read.
QStringList suffixesOf(const QByteArray &path);

} // namespace ContentType
