// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/listingjob.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "plan/folderfacts.h"
#include "posix/nativepath.h"
#include "posix/sidebyside.h"

#include <QScopeGuard>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <iterator>
#include <string>
#include <utility>

ListingJob::ListingJob(QList<QByteArray> nativePaths) : m_paths(std::move(nativePaths)) {}

ListingJob::~ListingJob()
{
    stopAndWait();
}

void ListingJob::setAttributesNeeded(std::function<bool(const ZQFile &)> needed)
{
    m_attributesNeeded = std::move(needed);
}

std::vector<std::unique_ptr<ZQFile>> ListingJob::takeRecords()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_pending, {});
}

QHash<QByteArray, FileIdentity> ListingJob::folderIdentities() const
{
    const std::lock_guard lock(m_mutex);
    return m_identities;
}

void ListingJob::recordFolderIdentities(FileList &list) const
{
    const std::lock_guard lock(m_mutex);
    for (auto it = m_identities.cbegin(); it != m_identities.cend(); ++it)
        list.setFolderIdentity(it.key(), it.value());
}

QByteArrayList ListingJob::unreadableFolders() const
{
    const std::lock_guard lock(m_mutex);
    return m_unreadable;
}

void ListingJob::handOver(std::vector<std::unique_ptr<ZQFile>> records)
{
    if (records.empty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_pending.empty()) {
            m_pending = std::move(records);
        } else {
            m_pending.insert(m_pending.end(), std::make_move_iterator(records.begin()),
                             std::make_move_iterator(records.end()));
        }
    }
    notify();
}

RenamePlan::ReadAhead ListingJob::takeFolderFacts()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_facts, {});
}

void ListingJob::work()
{
    // The job's own list: its duplicate test covers what this job lists
    // before a hand-over; the owner's list covers the rest.
    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(m_readsAttributes);
    intake.setFilter(m_filter);
    intake.setRows(m_rows);
    intake.setAttributesNeeded(m_attributesNeeded);
    intake.setCancelFlag(&cancelFlag());
    intake.setProgress(
        [this, &list, &intake](qsizetype added) {
            setProgress(added);
            if (m_batched)
                handOver(list.takeAll());
            else
                notify();
        },
        m_batchSize);
    if (m_factsFrom == 0) {
        walk(list, intake);
        return;
    }

    // The folders the walk has read, waiting for their facts; closed once
    // the walk ends.
    struct Walked
    {
        QByteArray folder;
        FolderFactsReader::WalkedNames names;
    };
    std::mutex queueMutex;
    std::condition_variable queued;
    std::deque<Walked> queue; // under queueMutex
    bool closed = false;      // under queueMutex
    intake.setFolderRead([&](const QByteArray &path, const FileIdentity &id, size_t count,
                             const std::string &names) {
        if (count < m_factsFrom || count > m_factsUpTo)
            return;
        // Spelled as the plan spells the folder of a file in it.
        Walked walked{NativePath::folder(NativePath::joined(path, "x")),
                      {id, std::vector<char>(names.begin(), names.end()), {}}};
        {
            const std::lock_guard lock(queueMutex);
            queue.push_back(std::move(walked));
        }
        queued.notify_one();
    });
    RenamePlan::ReadAhead facts;
    const auto makeFacts = [&] {
        for (;;) {
            Walked walked;
            {
                std::unique_lock lock(queueMutex);
                queued.wait(lock, [&] { return closed || !queue.empty(); });
                if (queue.empty())
                    return;
                walked = std::move(queue.front());
                queue.pop_front();
            }
            if (isCancelled() || facts.count(walked.folder))
                continue;
            // Each name ends in a NUL byte, which the spans leave out.
            const std::vector<char> &bytes = walked.names.bytes;
            for (size_t start = 0; start < bytes.size();) {
                const size_t length = std::strlen(bytes.data() + start);
                walked.names.spans.emplace_back(start, length);
                start += length + 1;
            }
            facts.emplace(walked.folder,
                          FolderFactsReader::read(walked.folder, std::move(walked.names)));
        }
    };
    const auto walkThenClose = [&] {
        const auto close = qScopeGuard([&] {
            {
                const std::lock_guard lock(queueMutex);
                closed = true;
            }
            queued.notify_one();
        });
        walk(list, intake);
    };
    sideBySide(walkThenClose, makeFacts);
    if (isCancelled())
        return;
    const std::lock_guard lock(m_mutex);
    m_facts = std::move(facts);
}

void ListingJob::walk(FileList &list, FileIntake &intake)
{
    for (const QByteArray &path : m_paths) {
        if (isCancelled())
            break;
        intake.insertFile(path);
        setProgress(intake.added());
        if (m_batched)
            handOver(list.takeAll());
    }
    if (!m_batched)
        handOver(list.takeAll());
    const std::lock_guard lock(m_mutex);
    m_unreadable = intake.unreadableFolders();
    m_identities = list.folderIdentities();
}
