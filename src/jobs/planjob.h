// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/job.h"
#include "plan/renameplan.h"
#include "plan/typednames.h"
#include "rules/namecomposer.h"

#include <memory>
#include <mutex>
#include <vector>

class FileList;

// Works out the rename plan of the list as the table shows it, with the
// settings as they were when the job was made, for the marks beside the new
// names. The worker reads the list itself rather than a copy made on the
// owner's thread, which at a million files would hold up the window: the
// owner must not change the list, nor ask the list for folder places it has
// not asked for before, until releaseList() has returned or the job has
// ended. The owner is the GUI thread; the plan reaches it through finished.
class PlanJob : public Job
{
    Q_OBJECT
public:
    // A file with a name typed by hand is planned with that name.
    PlanJob(const FileList &list, const NameComposer &composer, const TypedNames &typed = {});
    ~PlanJob() override;

    // The list is about to change: the job is cancelled, and this returns as
    // soon as the worker no longer reads the list (it may still be ending).
    void releaseList();
    // Once finished: the plan, or null when the job was cancelled.
    std::shared_ptr<const RenamePlan> plan() const;
    // Before start: plans no longer shown, let go on the worker. A plan of a
    // million files takes longer to free than the window may stand still.
    void setRetired(std::vector<std::shared_ptr<const RenamePlan>> plans)
    {
        m_retired = std::move(plans);
    }

protected:
    void work() override;

private:
    const FileList &m_list;
    const NameComposer m_composer;
    const TypedNames m_typed;
    // Held by the worker while it reads the list.
    std::mutex m_listMutex;
    mutable std::mutex m_planMutex;
    std::shared_ptr<const RenamePlan> m_plan;                 // under m_planMutex
    std::vector<std::shared_ptr<const RenamePlan>> m_retired; // the worker's once started
};
