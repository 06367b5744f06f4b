#include "jobs/runjob.h"

#include "files/filelist.h"
#include "files/zqfile.h"

RunJob::RunJob(const FileList &list, const NameComposer &composer,
               const RenameRun::JournalChoice &journal)
    : m_copy(std::make_unique<FileList>()), m_composer(composer), m_journal(journal)
{
    const auto &files = list.contentsArray();
    m_originals.reserve(files.size());
    for (const auto &file : files) {
        auto copy = std::make_unique<ZQFile>();
        copy->setName(file->name());
        copy->setNativePath(file->nativePath());
        copy->setAttributes(file->fullSize(), file->fileTime());
        m_copy->appendUnlisted(std::move(copy));
        m_originals.push_back(file.get());
    }
    m_copy->setSortDescending(list.sortDescending());
    // The run checks that each folder is still the one listed.
    for (auto it = list.folderIdentities().cbegin(); it != list.folderIdentities().cend(); ++it)
        m_copy->setFolderIdentity(it.key(), it.value());
    setProgress(0, list.count());
}

RunJob::~RunJob()
{
    stopAndWait();
}

void RunJob::work()
{
    m_report = RenameRun::clickStart(
        *m_copy, m_composer, nullptr, nullptr,
        [this](qsizetype done, qsizetype total) {
            setProgress(done, total);
            notify();
        },
        &cancelFlag(), m_journal);
}

void RunJob::applyTo(FileList &list)
{
    const QList<RenameRun::Entry> &entries = m_report.entries;
    list.beginPathChanges();
    for (qsizetype position = 0; position < entries.size(); ++position) {
        const RenameRun::Entry &entry = entries[position];
        if (entry.outcome != RenameRun::Outcome::Renamed)
            continue;
        ZQFile *file = m_originals[size_t(position)];
        list.setNativePath(file, entry.newPath);
        file->setName(entry.newName);
    }
    list.endPathChanges();
    m_originals.clear();
}
