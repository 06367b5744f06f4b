// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/folderfacts.h"

#include <QStringList>

#include <utility>
#include <vector>

// What a plan would learn of a folder holding `names`, without a disk: a
// Windows-named one on a `fileSystem` given, with the reason it cannot be
// written to in `notWritable`.
inline FolderFacts factsWith(const QStringList &names, bool caseless,
                             const QString &fileSystem = {}, const QString &notWritable = {})
{
    FolderFacts facts;
    facts.opened = true;
    facts.device = 1;
    facts.inode = 2;
    facts.caseInsensitive = caseless;
    facts.fileSystem = fileSystem;
    facts.windowsNames = !fileSystem.isEmpty();
    facts.notWritable = notWritable;
    std::vector<std::pair<size_t, size_t>> spans;
    for (const QString &name : names) {
        const QByteArray bytes = name.toUtf8();
        spans.emplace_back(facts.nameBytes.size(), size_t(bytes.size()));
        facts.nameBytes.insert(facts.nameBytes.end(), bytes.begin(), bytes.end());
    }
    facts.indexNames(spans);
    return facts;
}
