// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class ZQFile;

// Companion files: files of one folder whose names share a stem up to a dot
// (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp, IMG_0412.CR3.xmp), which a
// rename must keep together. The stem of a name is the shortest base name
// (the name less its last extension) of a listed file of the same folder
// that the name continues with a dot; a name that continues none, such as one
// without an extension, stands alone. The groups do not depend on the order
// of the list, so that turning the sort direction never tears a sidecar from
// its photo; only which member leads does: the first one shown.
//
// Made from the records in stored order; what it answers is by stored
// position, for either direction.
class CompanionGroups
{
public:
    explicit CompanionGroups(const std::vector<std::unique_ptr<ZQFile>> &files);

    // The stored position of the lead of the record's group: the member shown
    // first, the first in stored order or, descending, the last.
    qsizetype leadOf(qsizetype position, bool descending) const;
    // The length of the stem the record shares with its group (0 alone).
    qsizetype stemOf(qsizetype position) const { return m_stem[size_t(position)]; }
    // The counter index of the record's group: each group counts once, in
    // display order, among all groups or among those of its folder.
    qint64 counterIndex(qsizetype position, bool descending, bool perFolder) const;

private:
    struct Group
    {
        quint32 first = 0; // stored positions of the first and last member
        quint32 last = 0;
        quint32 folder = 0;
        // Places among the groups in display order, ascending and descending,
        // of the whole list and of the group's folder.
        quint32 up = 0;
        quint32 down = 0;
        quint32 upInFolder = 0;
        quint32 downInFolder = 0;
    };
    std::vector<quint32> m_groupOf;
    std::vector<quint32> m_stem;
    std::vector<Group> m_groups;
};
