// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The count of files as the window and the reports say it: "No files",
// "1 file", "3 files", and in another language that language's plural forms,
// taken from the catalogue by number (a numerus text with %n).
namespace CountText {

// "No files", "1 file", "%n files".
QString files(qsizetype count);

// A numerus text of `context` with %n for the count, such as
// "%n file(s) cannot be renamed". English is the source and ships no
// catalogue (the command line loads none): there, `one` or `many` is used
// with %n filled in.
QString numerus(const char *context, const char *source, qsizetype count, const char *one,
                const char *many);

} // namespace CountText
