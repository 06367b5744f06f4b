// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/historyjob.h"

#include "rename/undorun.h"

#include <utility>

HistoryJob::HistoryJob(QString folder) : m_folder(std::move(folder)) {}

HistoryJob::~HistoryJob()
{
    stopAndWait();
}

RunHistory::Listing HistoryJob::listing() const
{
    const std::lock_guard lock(m_mutex);
    return m_listing;
}

void HistoryJob::work()
{
    RunHistory::Listing listing = RunHistory::list(m_folder);
    // The first look at the history after a kill: what it left half way
    // through a move is put right before anyone acts on the files.
    for (const RunSummary &run : listing.runs) {
        if (run.stepsOpen && !run.inUse)
            UndoRun::settle(run.path);
    }
    const std::lock_guard lock(m_mutex);
    m_listing = std::move(listing);
}
