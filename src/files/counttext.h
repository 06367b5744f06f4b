// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The count of files as the window and the reports say it: "No files",
// "1 file", "3 files", and in another language that language's plural forms,
// taken from the catalogue by number (a numerus text with %n).
namespace CountText {

// A count as the user's locale writes it ("1,500", "1.500", "1 500"): the
// one way every text of the window shows a number.
QString number(qint64 count);
// From now on number() writes plain digits ("1500"): the command line's
// counts are read by scripts and stay as they always were.
void usePlainNumbers();

// "No files", "1 file", "%n files".
QString files(qsizetype count);

// A numerus text of `context` with %n for the count, such as
// "%n file(s) cannot be renamed". English is the source and ships no
// catalogue (the command line loads none): there, `one` or `many` is used
// with %n filled in. %n is written by number() in all of them.
QString numerus(const char *context, const char *source, qsizetype count, const char *one,
                const char *many);

} // namespace CountText
