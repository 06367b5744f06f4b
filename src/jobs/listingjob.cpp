// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/listingjob.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"

#include <iterator>
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
