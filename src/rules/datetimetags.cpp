// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/datetimetags.h"

#include "rules/textrules.h"

#include <cstdio>
#include <ctime>

namespace {
void twoDigits(char out[3], int value)
{
    out[0] = char('0' + value / 10 % 10);
    out[1] = char('0' + value % 10);
    out[2] = '\0';
}
} // namespace

namespace {
time_t secondsOf(qint64 msecs)
{
    time_t seconds = static_cast<time_t>(msecs / 1000);
    if (msecs % 1000 < 0)
        --seconds;
    return seconds;
}
} // namespace

DateTimeParts DateTimeParts::fromFileTime(qint64 fileTimeMsecs, bool hour24)
{
    const time_t seconds = secondsOf(fileTimeMsecs);
    struct tm local = {};
    localtime_r(&seconds, &local);
    return fromFields(local, hour24);
}

DateTimeParts DateTimeParts::fromWallClock(qint64 wallClockMsecs, bool hour24)
{
    const time_t seconds = secondsOf(wallClockMsecs);
    struct tm fields = {};
    gmtime_r(&seconds, &fields);
    return fromFields(fields, hour24);
}

DateTimeParts DateTimeParts::fromFields(const struct tm &local, bool hour24)
{
    DateTimeParts parts;
    std::snprintf(parts.year, sizeof parts.year, "%04d", local.tm_year + 1900);
    twoDigits(parts.month, local.tm_mon + 1);
    twoDigits(parts.day, local.tm_mday);
    // The 12-hour clock without a marker: midnight and noon are both 12.
    twoDigits(parts.hour,
              hour24 ? local.tm_hour : (local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12));
    twoDigits(parts.minute, local.tm_min);
    twoDigits(parts.second, local.tm_sec);
    return parts;
}

namespace {

// A token is "[", one to three different letters of `letters`, "]": every
// such spelling is a token, its letters naming the values in order. Tokens
// carry their own brackets and the values are digits, so one left-to-right
// pass gives what replacing each token in turn would.
QString expandTokens(const QString &text, const char letters[3], const char *const values[3])
{
    qsizetype at = text.indexOf(u'[');
    if (at < 0)
        return text;
    QString result;
    qsizetype copied = 0;
    for (; at >= 0; at = text.indexOf(u'[', at + 1)) {
        if (result.isNull())
            result.reserve(text.size() + 16);
        int order[3];
        int count = 0;
        qsizetype i = at + 1;
        for (; i < text.size() && count < 3; ++i) {
            const QChar c = text[i];
            int which = -1;
            for (int k = 0; k < 3; ++k) {
                if (c == QLatin1Char(letters[k]))
                    which = k;
            }
            if (which < 0)
                break;
            bool repeated = false;
            for (int k = 0; k < count; ++k)
                repeated = repeated || order[k] == which;
            if (repeated)
                break;
            order[count++] = which;
        }
        if (count == 0 || i >= text.size() || text[i] != u']' ||
            !TextRules::endsOnCharacterBoundary(text, i + 1))
            continue;
        result.append(QStringView(text).mid(copied, at - copied));
        for (int k = 0; k < count; ++k)
            result.append(QLatin1StringView(values[order[k]]));
        copied = i + 1;
        at = i;
    }
    if (copied == 0)
        return text;
    result.append(QStringView(text).mid(copied));
    return result;
}

} // namespace

QString handleDateForString(const QString &text, const DateTimeParts &parts)
{
    const char *const values[3] = {parts.year, parts.month, parts.day};
    return expandTokens(text, "YMD", values);
}

QString handleTimeForString(const QString &text, const DateTimeParts &parts)
{
    const char *const values[3] = {parts.hour, parts.minute, parts.second};
    return expandTokens(text, "hms", values);
}

QString handleDateForString(const QString &text, const RuleFile &file)
{
    return handleDateForString(text, DateTimeParts::fromFileTime(file.fileTime));
}

QString handleTimeForString(const QString &text, const RuleFile &file)
{
    return handleTimeForString(text, DateTimeParts::fromFileTime(file.fileTime));
}
