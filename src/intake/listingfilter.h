// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

// Which entries of a walked folder are listed: shell patterns on the file
// name (as fnmatch reads them, on the name's bytes), and whether names that
// start with a dot are left out, with the folders below them. A file or
// folder handed over by path is always taken: the filter chooses among what
// a folder holds. The empty filter lists everything.
struct ListingFilter
{
    // A file is listed when it matches one of these (or there are none)...
    QByteArrayList include;
    // ...and none of these.
    QByteArrayList exclude;
    // The patterns ignore the case of letters.
    bool ignoreCase = false;
    // Names starting with a dot are skipped; a folder so named is not entered.
    bool noHidden = false;

    bool isEmpty() const { return include.isEmpty() && exclude.isEmpty() && !noHidden; }
    bool listsFile(QByteArrayView name) const;
    bool entersFolder(QByteArrayView name) const;

    // The window's filter field: patterns separated by spaces, commas or
    // semicolons ("*.jpg; *.png"), which include.
    static QByteArrayList patternsOfText(const QString &text);
};
