// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// How a name or a line is written where a person reads it: a terminal, the
// system log, a message. Whatever a name holds, the text stays one line and
// cannot pretend to be another name:
//   C0 controls and DEL         \x0a  \x1b  \x7f
//   C1 controls                 \u0085
//   line/paragraph separators,
//   bidirectional controls      \u2028  \u202e
//   a byte that is not UTF-8    \xe9 (the escaped byte of NameCodec)
//   any other lone surrogate    \ud83d
// Everything else, surrogate pairs included, stays as it is.
namespace TextEscape {

QString line(QStringView text);
// The bytes of a path or name as line() writes their decoded text.
QString path(QByteArrayView bytes);

// U+202A-U+202E, U+2066-U+2069, U+200E, U+200F: they reorder what follows on
// screen, so "rlo\u202etxt.exe" would read as "rloexe.txt".
bool isBidiControl(char32_t c);
// Whether line() changes the text at all.
bool needsEscape(QStringView text);

// A name too long to read whole: its first 60 or so characters, an
// ellipsis and its length. Shorter texts come back unchanged.
QString shortened(QStringView text);
inline constexpr qsizetype shortenedHead = 60;

} // namespace TextEscape
