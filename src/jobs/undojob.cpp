// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/undojob.h"

UndoJob::UndoJob(const QString &journalPath, UndoRun::Direction direction)
    : m_journalPath(journalPath), m_direction(direction)
{}

UndoJob::~UndoJob()
{
    stopAndWait();
}

void UndoJob::work()
{
    m_report = UndoRun::run(
        m_journalPath, m_direction,
        [this](qsizetype done, qsizetype total) {
            setProgress(done, total);
            notify();
        },
        &cancelFlag());
}
