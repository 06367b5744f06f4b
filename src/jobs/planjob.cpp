// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/planjob.h"

#include "files/filelist.h"
#include "files/zqfile.h"

PlanJob::PlanJob(const FileList &list, const NameComposer &composer, const TypedNames &typed)
    : m_list(list), m_composer(composer), m_typed(typed)
{
    // Background work: on a busy machine the window's thread goes first, and
    // the helper thread of the names inherits the priority.
    setBackground(true);
    // Per-folder counters read places the list works out when first asked
    // for: asked here, on the owner's thread, the worker only reads them.
    if (composer.settings().counterPerFolder)
        list.counterIndex(0, true);
    if (list.groupsCompanions())
        list.companionLead(0);
}

PlanJob::~PlanJob()
{
    stopAndWait();
}

void PlanJob::releaseList()
{
    // Cancelled first: a worker that takes the lock after this sees it and
    // does not start reading.
    cancel();
    const std::lock_guard lock(m_listMutex);
}

std::shared_ptr<const RenamePlan> PlanJob::plan() const
{
    const std::lock_guard lock(m_planMutex);
    return m_plan;
}

void PlanJob::work()
{
    m_retired.clear();
    std::vector<RenamePlan::File> files;
    {
        const std::lock_guard lock(m_listMutex);
        if (isCancelled())
            return;
        files = RenamePlan::filesOf(m_list, m_composer.settings().counterPerFolder, &cancelFlag());
    }
    if (isCancelled())
        return;
    auto plan = std::make_shared<const RenamePlan>(RenamePlan::make(
        files,
        [this](const RuleFile &file, qint64 row) { return m_composer.newNameForFile(file, row); },
        &cancelFlag(), &m_typed, RenamePlan::companionRule(m_composer.settings()),
        m_composer.settings().uniqueNames, m_composer.settings().makeFolders));
    if (isCancelled() || !plan->isComplete())
        return;
    const std::lock_guard lock(m_planMutex);
    m_plan = std::move(plan);
}
