// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace TextRules {

// The name in plain ASCII: ICU's "Any-Latin; Latin-ASCII" transform (accents
// dropped, ß to ss, Cyrillic, Greek and other scripts to Latin letters), then
// every character still not ASCII, and every byte of the name that is not
// valid UTF-8, becomes "_". A "/" that the transform makes (from a fraction or
// division slash) becomes "_" too, so the name never gains a separator.
// ASCII text comes back as it is.
QString plainAscii(const QString &name);

} // namespace TextRules
