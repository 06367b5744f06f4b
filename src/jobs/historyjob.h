// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/job.h"
#include "rename/runhistory.h"

#include <mutex>

// Reads the rename history (every journal's summary) on a worker: a long
// history takes longer to read than the window may stand still. The owner
// takes the listing once the job has finished.
class HistoryJob : public Job
{
    Q_OBJECT
public:
    explicit HistoryJob(QString folder);
    ~HistoryJob() override;

    // Complete once the job has ended.
    RunHistory::Listing listing() const;

protected:
    void work() override;

private:
    const QString m_folder;
    mutable std::mutex m_mutex;
    RunHistory::Listing m_listing; // under m_mutex
};
