// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/factsjob.h"

FactsJob::FactsJob(MetaReader &reader, std::vector<QByteArray> paths, MetaReader::Request request)
    : m_reader(reader), m_paths(std::move(paths)), m_request(std::move(request))
{
    // Background work: the window's thread goes first. The reader's workers
    // inherit the priority.
    setBackground(true);
}

FactsJob::~FactsJob()
{
    stopAndWait();
}

std::vector<FactsJob::Read> FactsJob::takeRead()
{
    const std::lock_guard lock(m_readMutex);
    return std::exchange(m_read, {});
}

void FactsJob::work()
{
    const auto total = qsizetype(m_paths.size());
    setProgress(0, total);
    m_reader.read(
        m_paths, m_request, [this, total](qsizetype done) { setProgress(done, total); },
        &cancelFlag(),
        [this](size_t from, size_t to, const std::vector<std::shared_ptr<const FileFacts>> &facts) {
            {
                const std::lock_guard lock(m_readMutex);
                for (size_t i = from; i < to; ++i) {
                    if (facts[i])
                        m_read.push_back({i, facts[i]});
                }
            }
            notify();
        });
    if (!isCancelled())
        setProgress(total, total);
}
