// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/job.h"
#include "meta/metareader.h"

#include <QByteArray>

#include <memory>
#include <mutex>
#include <vector>

// Reads the facts of files (date taken, tag values, birth time) through the
// owner's MetaReader, for the window: the facts of each batch of files are
// handed over as soon as they are read, so that the table fills in while the
// rest are read. The reader's own workers run inside this job's worker and
// are joined before it ends; the reader (and its cache) must outlive the job.
// The owner takes what was read on its thread after progressed and finished.
class FactsJob : public Job
{
    Q_OBJECT
public:
    FactsJob(MetaReader &reader, std::vector<QByteArray> paths, MetaReader::Request request);
    ~FactsJob() override;

    struct Read
    {
        size_t index; // into paths()
        std::shared_ptr<const FileFacts> facts;
    };
    // What was read since the last call.
    std::vector<Read> takeRead();
    const std::vector<QByteArray> &paths() const { return m_paths; }
    const MetaReader::Request &request() const { return m_request; }

protected:
    void work() override;

private:
    MetaReader &m_reader;
    const std::vector<QByteArray> m_paths;
    const MetaReader::Request m_request;
    std::mutex m_readMutex;
    std::vector<Read> m_read; // under m_readMutex
};
