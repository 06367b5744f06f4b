// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/renamesettings.h"

// The settings of the window's rules, in the order they stand in it.
inline RenameSettings settings(const QString &name, const QString &ext = QStringLiteral("[E]"),
                               const QString &search = {}, const QString &replace = {},
                               int caseTag = 0, int start = 1, int step = 1, int digits = 1)
{
    RenameSettings s;
    s.nameTemplate = name;
    s.extTemplate = ext;
    s.searchText = search;
    s.replaceText = replace;
    s.caseTag = caseTag;
    s.startCounter = start;
    s.stepCounter = step;
    s.digitsCounter = digits;
    return s;
}
