// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "jobs/job.h"
#include "plan/typednames.h"
#include "posix/fileidentity.h"
#include "rename/renamerun.h"
#include "rules/namecomposer.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class FileList;
class ZQFile;

// The rename run on a worker thread. The job runs over copies of the records
// (name, path and file time, in stored order and with the list's direction),
// so that the owner's list is never touched from the worker; once the job has
// ended, applyTo moves the owner's records that were renamed. The owner keeps
// every record of the list alive meanwhile (no Remove, no Clear All). The
// access grant is the owner's to settle before the start.
class RunJob : public Job
{
    Q_OBJECT
public:
    // A file with a name typed by hand gets that name instead of the
    // composer's.
    RunJob(const FileList &list, const NameComposer &composer,
           const RenameRun::JournalChoice &journal = {}, const TypedNames &typed = {});
    ~RunJob() override;

    // Complete once the job has ended.
    const RenameRun::Report &report() const { return m_report; }
    // Gives each renamed record its new path and name. Owner's thread, once
    // the job has ended; once.
    void applyTo(FileList &list);
    // The same for at most `count` more entries, so that a long list can
    // take its new names over several turns of an event loop; true once every
    // entry has been applied.
    bool applyTo(FileList &list, qsizetype count);

protected:
    void work() override;

private:
    // What the run needs of a record, taken on the owner's thread; the
    // worker makes its records of these, so that the owner's thread only
    // copies (shared) texts.
    struct Source
    {
        QString name;
        QByteArray nativePath;
        quint64 size = 0;
        qint64 time = 0;
        // Read already and never changed after: shared, not copied.
        std::shared_ptr<const FileFacts> facts;
    };
    std::vector<Source> m_sources;
    bool m_descending = false;
    QHash<QByteArray, FileIdentity> m_identities;
    std::vector<ZQFile *> m_originals; // in stored order
    qsizetype m_applied = 0;           // entries applied so far
    const NameComposer m_composer;
    const RenameRun::JournalChoice m_journal;
    const TypedNames m_typed;
    RenameRun::Report m_report;
};
