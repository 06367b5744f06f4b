// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/job.h"
#include "rename/undorun.h"

#include <QString>

// Undo or redo of one run on a worker thread, with progress and cancel like
// the run.
class UndoJob : public Job
{
    Q_OBJECT
public:
    UndoJob(const QString &journalPath, UndoRun::Direction direction);
    ~UndoJob() override;

    // Complete once the job has ended.
    const UndoRun::Report &report() const { return m_report; }

protected:
    void work() override;

private:
    const QString m_journalPath;
    const UndoRun::Direction m_direction;
    UndoRun::Report m_report;
};
