// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What "velnor --help" prints; the manual page is made from it at build time.
class AppHelp
{
public:
    static QString text();
    // "--help" or "--version" as the only argument: the text to print, else
    // empty (every other argument is a path to list).
    static QString answer(int argc, char **argv);
};
