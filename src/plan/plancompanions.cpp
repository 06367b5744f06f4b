// SPDX-License-Identifier: GPL-3.0-or-later
// Companion files in the plan: which listed files move as one group, and
// holding every member of a group where one of them cannot move.
#include "plan/renameplan.h"

#include "plan/plannames.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

using PlanNames::quoted;

std::vector<std::vector<qint64>> RenamePlan::companionGroups(const std::vector<Listed> &files,
                                                             const std::vector<qint64> *rows)
{
    std::vector<std::vector<qint64>> groups;
    QHash<qint64, size_t> groupOfLead;
    const size_t count = rows ? rows->size() : files.size();
    for (size_t k = 0; k < count; ++k) {
        const qint64 r = rows ? (*rows)[k] : qint64(k);
        const qint64 lead = files[size_t(r)].lead;
        if (lead < 0)
            continue;
        auto found = groupOfLead.find(lead);
        if (found == groupOfLead.end()) {
            found = groupOfLead.insert(lead, groups.size());
            groups.push_back({lead});
        }
        groups[*found].push_back(r);
    }
    return groups;
}

bool RenamePlan::holdGroups(const std::vector<std::vector<qint64>> &groups,
                            const std::vector<Listed> &files, std::vector<qint64> *held)
{
    bool any = false;
    for (const std::vector<qint64> &group : groups) {
        const auto stuck = std::find_if(group.begin(), group.end(), [this](qint64 r) {
            const Status status = m_rows[size_t(r)].status;
            return status == Status::Refused || status == Status::Conflict;
        });
        if (stuck == group.end())
            continue;
        const QString name = quoted(files[size_t(*stuck)].currentName());
        for (const qint64 r : group) {
            if (m_rows[size_t(r)].status != Status::Move)
                continue;
            conflict(r,
                     stuck == group.begin()
                         ? QCoreApplication::translate("RenamePlan",
                                                       "It moves with %1, which cannot be renamed.")
                               .arg(name)
                         : QCoreApplication::translate("RenamePlan",
                                                       "A companion file, %1, cannot be renamed.")
                               .arg(name),
                     *stuck);
            if (held)
                held->push_back(r);
            any = true;
        }
    }
    return any;
}
