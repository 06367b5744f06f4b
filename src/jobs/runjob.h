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

// The rename run on a worker thread. The worker copies the records (name,
// path, size, file time and facts, in stored order and with the list's
// direction) and runs over the copies; once the job has ended, applyTo moves
// the owner's records that were renamed. The owner keeps every record of the
// list alive and unchanged meanwhile (no Remove, no Clear All, no other run,
// undo or listing; a sort only reorders the list). The access grant is the
// owner's to settle before the start.
class RunJob : public Job
{
    Q_OBJECT
public:
    // A file with a name typed by hand gets that name instead of the
    // composer's.
    RunJob(const FileList &list, const NameComposer &composer,
           const RenameRun::JournalChoice &journal = {}, const TypedNames &typed = {});
    ~RunJob() override;

    // For an owner that neither reads nor changes the list until the job has
    // ended and then reads only the report (a command line that only waits):
    // the run works on `list`'s records themselves, without the copy, and
    // leaves them as listed, and applyTo has nothing to do. Before the start;
    // `list` is the list the job was made with.
    void runInPlace(FileList &list);
    // The facts of the list's folders as its listing read them
    // (ListingJob::setFolderFacts), for a run in place to plan with rather
    // than read those folders again. Before the start.
    void setFolderFacts(RenamePlan::ReadAhead facts) { m_folderFacts = std::move(facts); }

    // Complete once the job has ended.
    const RenameRun::Report &report() const { return m_report; }
    // Gives each renamed record its new path and name. Owner's thread, once
    // the job has ended; once.
    void applyTo(FileList &list);
    // The same for at most `count` more entries, so that a long list can
    // take its new names over several turns of an event loop; true once every
    // entry has been applied.
    bool applyTo(FileList &list, qsizetype count);
    // Once every entry is applied: lets go of at most `count` entries of the
    // report, the last first, so that a long report is freed over several
    // turns of an event loop; true once none is left.
    bool releaseReport(qsizetype count);

protected:
    void work() override;

private:
    bool m_descending = false;
    QHash<QByteArray, FileIdentity> m_identities;
    std::vector<ZQFile *> m_originals; // in stored order, as the job started
    FileList *m_inPlace = nullptr;
    RenamePlan::ReadAhead m_folderFacts;
    qsizetype m_applied = 0; // entries applied so far
    const NameComposer m_composer;
    const RenameRun::JournalChoice m_journal;
    const TypedNames m_typed;
    RenameRun::Report m_report;
};
