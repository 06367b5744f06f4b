// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <limits>

// Expands every interval tag of one letter ("[N2-4]", "[E1,2]") in text with
// its piece of originalName. Stops after a bounded number of expansions, so a
// source that reproduces its own tag cannot make it run forever.
QString handleIntervalTags(const QString &text, const QString &tag, const QString &originalName);
// A caller that only needs to know whether the result is longer than
// `enough` units may get a result cut after more than `enough` units.
QString handleIntervalTags(const QString &text, const QString &tag, QStringView originalName,
                           qsizetype enough = std::numeric_limits<qsizetype>::max());

namespace IntervalTags {
// At most this many tags are expanded per call, and expansion stops once the
// text has grown past maxTextLength code units.
inline constexpr int maxExpansions = 10000;
inline constexpr qsizetype maxTextLength = qsizetype(1) << 20;
} // namespace IntervalTags
