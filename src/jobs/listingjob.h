// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "intake/listingfilter.h"
#include "jobs/job.h"
#include "plan/renameplan.h"
#include "posix/fileidentity.h"
#include "rules/renamesettings.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QList>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class FileIntake;
class FileList;
class ZQFile;

// Lists handed-over paths on a worker thread, as FileIntake does, and hands
// the records over in listing order. Batched (the default), records come
// every few thousand and at the end of each path, for a list that shows them
// as they come; the owner then refuses the paths it already lists. Unbatched,
// they all come at the end, each path once.
class ListingJob : public Job
{
    Q_OBJECT
public:
    explicit ListingJob(QList<QByteArray> nativePaths);
    ~ListingJob() override;

    // Before start: as FileIntake's.
    void setReadsAttributes(bool reads) { m_readsAttributes = reads; }
    void setAttributesNeeded(std::function<bool(const ZQFile &)> needed);
    void setBatched(bool batched) { m_batched = batched; }
    void setFilter(ListingFilter filter) { m_filter = std::move(filter); }
    void setRows(RenameSettings::Rows rows) { m_rows = rows; }
    // Records in a batch, at most; also how often the progress moves.
    void setBatchSize(qsizetype size) { m_batchSize = size; }
    // Before start: the facts a rename plan reads of each folder walked that
    // holds at least `entries` entries, made on a thread beside the walk from
    // the names it read, which are then not read a second time. 0: none.
    // Up to `most` entries where given.
    void setFolderFacts(size_t entries, size_t most = SIZE_MAX)
    {
        m_factsFrom = entries;
        m_factsUpTo = most;
    }

    // The records listed since the last call. Owner's thread (or any, once
    // the job has ended).
    std::vector<std::unique_ptr<ZQFile>> takeRecords();
    // The device and inode of each folder the records came from, as listed;
    // complete once ended.
    QHash<QByteArray, FileIdentity> folderIdentities() const;
    // Once ended: records in the list the identity of each folder listed, so
    // that a run can tell the folder it opens is the one that was listed.
    void recordFolderIdentities(FileList &list) const;
    // Folders that were there but could not be read; complete once ended.
    QByteArrayList unreadableFolders() const;
    // Once ended: the facts of setFolderFacts, by folder as the plan spells
    // the folder of a file in it.
    RenamePlan::ReadAhead takeFolderFacts();

protected:
    void work() override;

private:
    void handOver(std::vector<std::unique_ptr<ZQFile>> records);
    void walk(FileList &list, FileIntake &intake);

    const QList<QByteArray> m_paths;
    bool m_readsAttributes = true;
    bool m_batched = true;
    qsizetype m_batchSize = 4096;
    std::function<bool(const ZQFile &)> m_attributesNeeded;
    ListingFilter m_filter;
    RenameSettings::Rows m_rows = RenameSettings::Rows::Files;
    size_t m_factsFrom = 0;
    size_t m_factsUpTo = SIZE_MAX;

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<ZQFile>> m_pending; // under m_mutex
    QByteArrayList m_unreadable;                    // under m_mutex
    QHash<QByteArray, FileIdentity> m_identities;   // under m_mutex
    RenamePlan::ReadAhead m_facts;                  // under m_mutex
};
