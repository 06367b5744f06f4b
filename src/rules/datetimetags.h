// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/rulefile.h"

#include <QString>

#include <ctime>

// The six values of a file time in local time: year (at least four digits),
// month, day, hour on the 12-hour clock (01 to 12, no marker) or, when asked,
// the 24-hour one (00 to 23), minute, second.
struct DateTimeParts
{
    char year[16];
    char month[3];
    char day[3];
    char hour[3];
    char minute[3];
    char second[3];

    static DateTimeParts fromFileTime(qint64 fileTimeMsecs, bool hour24 = false);
    // A wall-clock time (a camera's clock), stored as if it were UTC: its
    // fields as they stand, whatever the local time zone.
    static DateTimeParts fromWallClock(qint64 wallClockMsecs, bool hour24 = false);

private:
    static DateTimeParts fromFields(const struct tm &fields, bool hour24);
};

// Replaces the date tokens ("[Y]", "[YMD]", "[DM]", ...) with the file's date.
QString handleDateForString(const QString &text, const RuleFile &file);
// Replaces the time tokens ("[h]", "[hms]", "[sh]", ...) with the file's time.
QString handleTimeForString(const QString &text, const RuleFile &file);

QString handleDateForString(const QString &text, const DateTimeParts &parts);
QString handleTimeForString(const QString &text, const DateTimeParts &parts);
