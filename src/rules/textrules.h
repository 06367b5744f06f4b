// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// Small text operations of the renaming rules. Lengths and positions are
// UTF-16 code units, as QString counts them.
namespace TextRules {

// The name without its extension. The extension is the text after the last
// dot, unless that dot is the first character ("README", ".profile") or the
// last one ("file."): then the name is its own base name.
QString baseName(const QString &name);
// The extension without its dot; empty when baseName() is the whole name.
QString pathExtension(const QString &name);
// The extension a record shows: the text after the last dot, whatever
// stands before it (".profile" shows "profile"); empty without a dot. Not the
// composer's rule above, on purpose: each is what its own column shows.
QString displayExtension(const QString &name);
// Both at once, as views into name.
void splitName(QStringView name, QStringView *base, QStringView *extension);

// start + step * index, in 64-bit arithmetic, written as a signed 32-bit
// decimal (low 32 bits) with zeros after any minus sign up to `digits`
// characters, like printf("%0*d"). A negative width counts as 0 and the width
// never exceeds 255.
QString counterText(qint32 start, qint32 step, qint32 digits, qint64 index);

// Replaces every occurrence of `search`, left to right, non-overlapping, in
// one pass, case-sensitively. Canonically equivalent text matches (precomposed
// and decomposed accents, Hangul syllables and jamo), only whole characters
// with their combining marks match, and text outside the matches is copied
// as it was. An empty search text leaves the text alone. Ignoring case
// compares the simple case folding of both sides (as QString::compare does).
QString replaceAll(const QString &text, const QString &search, const QString &replacement,
                   Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);

// Replaces every occurrence of an ASCII token such as "[C]" that stands as
// whole characters (no combining mark attached to its closing bracket).
QString replaceToken(const QString &text, QLatin1StringView token, QStringView replacement);

// Locale-independent full case mapping (ß becomes SS, a final sigma is ς).
QString lowercase(const QString &text);
QString uppercase(const QString &text);
// Title Case: a word starts at the start and after a space, "-", "_", ".",
// "(" or "["; its first letter or digit takes its title case, every other
// letter of the word goes lower case ("won't stop" gives "Won't Stop").
QString titleCase(QStringView text);
// Sentence case: the first letter takes its title case, every other letter
// goes lower case ("HELLO world" gives "Hello world", "2ND PLACE" "2Nd place").
QString sentenceCase(QStringView text);

// True when no combining character continues the character that ends before
// `position`, so that a match ending there ends on a whole character.
bool endsOnCharacterBoundary(QStringView text, qsizetype position);

} // namespace TextRules
