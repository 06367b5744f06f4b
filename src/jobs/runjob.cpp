// SPDX-License-Identifier: GPL-3.0-or-later
#include "jobs/runjob.h"

#include "files/filelist.h"
#include "files/zqfile.h"

#include <algorithm>

RunJob::RunJob(const FileList &list, const NameComposer &composer,
               const RenameRun::JournalChoice &journal, const TypedNames &typed)
    : m_descending(list.sortDescending()), m_identities(list.folderIdentities()),
      m_composer(composer), m_journal(journal), m_typed(typed)
{
    // Only the records' addresses here: at 100,000 files, reading every
    // record's texts would hold the owner's thread for a frame.
    const auto &files = list.contentsArray();
    m_originals.reserve(files.size());
    for (const auto &file : files)
        m_originals.push_back(file.get());
    setProgress(0, list.count());
}

RunJob::~RunJob()
{
    stopAndWait();
}

void RunJob::runInPlace(FileList &list)
{
    m_inPlace = &list;
    m_originals = std::vector<ZQFile *>();
}

void RunJob::work()
{
    if (m_inPlace) {
        m_report = RenameRun::clickStart(
            *m_inPlace, m_typed.source(*m_inPlace, m_composer), nullptr, nullptr,
            [this](qsizetype done, qsizetype total) {
                setProgress(done, total);
                notify();
            },
            &cancelFlag(), m_journal, m_composer.settings().uniqueNames,
            m_composer.settings().makeFolders, &m_folderFacts, false);
        m_folderFacts.clear(); // what the plan did not take, it had no use for
        return;
    }
    // The worker reads the owner's records, which the owner only reads
    // meanwhile, and runs over copies of them.
    FileList copy;
    for (const ZQFile *file : m_originals) {
        // A copy keeps what the listing knew of the file, for the journal.
        const std::optional<ZQFile::ListedIdentity> identity = file->listedIdentity();
        auto record = identity
                          ? ZQFile::atPath({}, {}, file->fullSize(), file->fileTime(), *identity)
                          : std::make_unique<ZQFile>(file->fullSize(), file->fileTime());
        record->setNativePath(file->nativePath());
        record->setName(file->name());
        record->setFacts(file->facts());
        copy.appendUnlisted(std::move(record));
    }
    copy.setSortDescending(m_descending);
    copy.setGroupsCompanions(m_composer.settings().companions);
    // The run checks that each folder is still the one listed.
    for (auto it = m_identities.cbegin(); it != m_identities.cend(); ++it)
        copy.setFolderIdentity(it.key(), it.value());
    m_report = RenameRun::clickStart(
        copy, m_typed.source(copy, m_composer), nullptr, nullptr,
        [this](qsizetype done, qsizetype total) {
            setProgress(done, total);
            notify();
        },
        &cancelFlag(), m_journal, m_composer.settings().uniqueNames,
        m_composer.settings().makeFolders);
}

void RunJob::applyTo(FileList &list)
{
    applyTo(list, m_report.entries.size());
}

bool RunJob::applyTo(FileList &list, qsizetype count)
{
    if (m_inPlace)
        return true;
    const QList<RenameRun::Entry> &entries = m_report.entries;
    const qsizetype end = std::min(entries.size(), m_applied + std::max<qsizetype>(count, 0));
    list.beginPathChanges();
    for (; m_applied < end; ++m_applied) {
        const RenameRun::Entry &entry = entries[m_applied];
        if (entry.outcome != RenameRun::Outcome::Renamed)
            continue;
        ZQFile *file = m_originals[size_t(m_applied)];
        list.setNativePath(file, entry.newPath, entry.newName);
    }
    list.endPathChanges();
    if (m_applied < entries.size())
        return false;
    m_originals = {};
    return true;
}

bool RunJob::releaseReport(qsizetype count)
{
    QList<RenameRun::Entry> &entries = m_report.entries;
    // Shared with a copy of the report: that copy frees them.
    if (!entries.isDetached() || entries.size() <= count) {
        entries = {};
        return true;
    }
    entries.resize(entries.size() - count);
    return false;
}
