// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>
#include <string_view>

// The hash by which the plan's tables of names (NameTable, a folder's names
// in FolderFacts) place a name: one function for all of them, so that a
// name looked up in several is hashed once.
inline quint32 nameHash(std::string_view name)
{
    return quint32(std::hash<std::string_view>()(name));
}
