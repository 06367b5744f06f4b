// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/fileintake.h"

#include "intake/folderentries.h"
#include "intake/intakethreads.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"

#include <QDateTime>
#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct FileIntake::Attributes
{
    quint64 size = 0;
    qint64 mtimeMsecs = 0;
    // Kept for a run's journal where the look gave both.
    quint64 inode = 0;
    qint64 bornNsecs = 0;
};

using namespace FolderEntries;

// Where the walk stands in one folder: what the next folder to read is
// worked out from.
struct FileIntake::Frame
{
    const QByteArray *path;
    const std::string *names;
    const std::vector<Entry> *entries;
    size_t index; // the entry being handled
};

FileIntake::FileIntake(FileList &list) : m_list(list) {}

FileIntake::~FileIntake() = default;

namespace {

// The kept thread in `slot`, started on first use; null when no thread can be
// had, and the calling thread then does all the work itself.
template<typename Helper> Helper *started(std::unique_ptr<Helper> &slot)
{
    if (!slot) {
        try {
            slot = std::make_unique<Helper>();
        } catch (const std::system_error &) {
        }
    }
    return slot.get();
}

} // namespace

FileIntake::Prefetcher *FileIntake::prefetcher()
{
    return started(m_prefetcher);
}

QByteArray FileIntake::nextFolder() const
{
    // The first subfolder of the folder being walked, or else the next
    // subfolder of an enclosing one.
    for (auto frame = m_frames.rbegin(); frame != m_frames.rend(); ++frame) {
        const auto &entries = *frame->entries;
        const size_t from = frame == m_frames.rbegin() ? frame->index : frame->index + 1;
        for (size_t i = from; i < entries.size(); ++i) {
            if (entries[i].kind == Entry::Folder &&
                m_filter.entersFolder(QByteArrayView(frame->names->data() + entries[i].nameOffset,
                                                     qsizetype(entries[i].nameLength))))
                return childPath(*frame->path, *frame->names, entries[i]);
        }
    }
    return {};
}

FileIntake::StatHelper *FileIntake::statHelper()
{
    return started(m_statHelper);
}

void FileIntake::setProgress(std::function<void(qsizetype)> progress, qsizetype interval)
{
    m_progress = std::move(progress);
    m_progressInterval = std::max<qsizetype>(interval, 1);
}

bool FileIntake::insertFile(const QString &path)
{
    return insertFile(NameCodec::encode(path));
}

bool FileIntake::insertFile(const QByteArray &nativePath)
{
    // A path with a NUL byte would reach the file named by its first part.
    if (nativePath.isEmpty() || nativePath.contains('\0'))
        return false;
    if (m_list.containsPath(nativePath))
        return false;
    struct stat info;
    if (::stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        // Every path a walk makes is its own (a folder's path and a name
        // that is unique in it), so a walk into an empty list needs no
        // duplicate test, and the list's index is built once, if ever asked.
        m_unlistedWalk = m_list.isEmpty();
        const auto endWalk = qScopeGuard([this] {
            m_unlistedWalk = false;
            m_walked.clear();
        });
        if (listsFolders()) {
            QByteArray folder = nativePath;
            while (folder.size() > 1 && folder.endsWith('/'))
                folder.chop(1);
            if (folder != "/" && !folder.endsWith("/.") && !folder.endsWith("/..") &&
                folder != "." && folder != "..") {
                recordFolderOf(folder);
                addFolderRecord(folder);
            }
        }
        expandFolder(AT_FDCWD, nativePath, nativePath.constData());
        return false;
    }
    if (!listsFiles())
        return false;
    recordFolderOf(nativePath);
    m_madeAt = QDateTime::currentMSecsSinceEpoch();
    // A link to a file, a dangling link, shows the link's own size and date.
    Entry looked{0, 0};
    if (lookAt(AT_FDCWD, nativePath.constData(), looked) != 0) {
        const Attributes attributes{looked.size, looked.mtimeMsecs, looked.inode, looked.bornNsecs};
        return addRecord(nativePath, {}, &attributes);
    }
    return addRecord(nativePath, {}, nullptr);
}

void FileIntake::recordFolderOf(const QByteArray &nativePath)
{
    const QByteArray folder = NativePath::folder(nativePath);
    if (folder.isEmpty() || folder == m_lastRecordedFolder)
        return;
    struct stat info;
    if (::stat(folder.constData(), &info) == 0)
        m_list.setFolderIdentity(folder, fileIdentity(info));
    m_lastRecordedFolder = folder;
}

void FileIntake::setReadsAttributes(bool reads)
{
    m_readsAttributes = reads;
}

void FileIntake::setAttributesNeeded(std::function<bool(const ZQFile &)> needed)
{
    m_attributesNeeded = std::move(needed);
}

bool FileIntake::readAttributes(ZQFile &file)
{
    // As the walk reads them: a link's own size and date.
    struct stat info;
    if (::lstat(file.nativePath().constData(), &info) != 0)
        return false;
    file.setAttributes(quint64(info.st_size), mtimeMsecs(info));
    return true;
}

void FileIntake::addFolderRecord(const QByteArray &path)
{
    auto folder = ZQFile::atPath(path, {});
    folder->setIsDirectory(true);
    struct stat info;
    if (::lstat(path.constData(), &info) == 0) {
        folder->setAttributes(0, mtimeMsecs(info));
        // A folder's byte count says nothing a user asked for.
        folder->setSize(QString());
    }
    if (!(m_unlistedWalk ? m_list.appendUnlisted(std::move(folder))
                         : m_list.append(std::move(folder))))
        return;
    ++m_added;
    if (m_progress && m_added % m_progressInterval == 0)
        m_progress(m_added);
}

bool FileIntake::addRecord(QByteArrayView folder, QByteArrayView name, const Attributes *attributes)
{
    std::unique_ptr<ZQFile> file;
    if (!attributes)
        file = ZQFile::atPath(folder, name, ZQFile::MadeAt{m_madeAt});
    else if (attributes->inode == 0 || attributes->bornNsecs == 0)
        file = ZQFile::atPath(folder, name, attributes->size, attributes->mtimeMsecs);
    else
        file = ZQFile::atPath(folder, name, attributes->size, attributes->mtimeMsecs,
                              {attributes->inode, attributes->bornNsecs});
    if (!attributes && !m_readsAttributes && m_attributesNeeded && m_attributesNeeded(*file))
        readAttributes(*file);
    if (!(m_unlistedWalk ? m_list.appendUnlisted(std::move(file)) : m_list.append(std::move(file))))
        return false;
    ++m_added;
    if (m_progress && m_added % m_progressInterval == 0)
        m_progress(m_added);
    return true;
}

void FileIntake::expandFolder(int parentFd, const QByteArray &path, const char *name)
{
    // Opened from the folder above, by name, so that no path is ever longer
    // than one name however deep the tree goes; kept open while the folder's
    // entries are walked, one descriptor per level.
    const FileDescriptor folder(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat self;
    if (folder.get() < 0 || ::fstat(folder.get(), &self) != 0) {
        if (!vanished(errno))
            m_unreadableFolders.append(path);
        return;
    }
    const FileIdentity id = fileIdentity(self);
    // A folder reached a second time (a link back to an enclosing folder, or
    // two links to one folder) is walked once: links could otherwise make the
    // walk endless, or list a tree twice for every link that leads into it.
    if (!m_walked.insert(id).second)
        return;

    std::string names;
    std::vector<Entry> entries;
    StatHelper *helper = nullptr;
    const int fd = folder.get();

    // Started once a folder is read ahead.
    std::optional<Listing> listing = m_prefetcher ? m_prefetcher->take(path) : std::nullopt;
    size_t toLookAt = 0;
    if (listing && listing->id == id) {
        names = std::move(listing->names);
        entries = std::move(listing->entries);
        // Read ahead without sizes and dates, every entry is settled but for
        // those that vanished; with them, only folders are.
        if (m_readsAttributes)
            toLookAt = size_t(std::count_if(entries.begin(), entries.end(), [](const Entry &e) {
                return e.kind == Entry::Missing;
            }));
    } else {
        FileDescriptor readFd(::dup(fd));
        FolderStream dir(readFd.isOpen() ? ::fdopendir(readFd.get()) : nullptr, ::closedir);
        if (!dir) {
            m_unreadableFolders.append(path);
            return;
        }
        readFd.release(); // the stream's now
        toLookAt = readEntries(dir.get(), m_readsAttributes, names, entries);
    }
    if (m_folderRead)
        m_folderRead(path, id, entries.size(), names);
    m_madeAt = QDateTime::currentMSecsSinceEpoch();

    // Under the spelling its files' paths give their folder, and only once
    // it holds a listed file: a run opens no other folder, and the folders on
    // the way down to one file a few thousand levels deep would otherwise
    // each keep their whole path.
    bool identityKept = false;
    const auto keepIdentity = [&] {
        if (!identityKept)
            m_list.setFolderIdentity(path.size() > 1 && path.endsWith('/') ? path.chopped(1) : path,
                                     id);
        identityKept = true;
    };
    m_frames.push_back({&path, &names, &entries, 0});
    // Popped however the walk ends.
    const auto popFrame = qScopeGuard([this] { m_frames.pop_back(); });
    // The next folder is read while this one's entries are looked at and its
    // records made. It is told by the kinds the listing gives, before any
    // entry is looked at (which would race with the helper writing them): a
    // link to a folder may then be missed, and the walk reads the folder it
    // comes to itself. Where sizes and dates are read, only after a large
    // folder: siblings tend to be alike, and handing a small folder's
    // reading over costs more than it saves.
    if (!m_readsAttributes || entries.size() >= size_t(ReadAheadThreshold)) {
        const QByteArray next = nextFolder();
        if (Prefetcher *ahead = next.isEmpty() ? nullptr : prefetcher())
            ahead->request(next, m_readsAttributes);
    }
    if (toLookAt > 0) {
        helper = toLookAt > size_t(ParallelStatThreshold) ? statHelper() : nullptr;
        if (!helper || !helper->share(fd, names, entries)) {
            helper = nullptr;
            statEntries(fd, names, entries, 0, entries.size());
        }
    }
    const auto releaseHelper = qScopeGuard([helper] {
        if (helper)
            helper->release();
    });
    for (size_t i = 0; i < entries.size(); ++i) {
        if (m_cancel && m_cancel->load(std::memory_order_relaxed))
            return;
        if (helper)
            helper->waitFor(i);
        m_frames.back().index = i;
        const Entry &entry = entries[i];
        const QByteArrayView entryName(names.data() + entry.nameOffset,
                                       qsizetype(entry.nameLength));
        if (entry.kind == Entry::Folder ? !m_filter.entersFolder(entryName)
                                        : !m_filter.listsFile(entryName))
            continue;
        if (entry.kind == Entry::Folder) {
            const QByteArray child = childPath(path, names, entry);
            if (helper)
                helper->finish();
            if (m_unlistedWalk || !m_list.containsPath(child)) {
                if (listsFolders())
                    addFolderRecord(child);
                expandFolder(fd, child, names.data() + entry.nameOffset);
            }
            continue;
        }
        if (!listsFiles())
            continue;
        keepIdentity();
        if (entry.kind == Entry::File) {
            const Attributes attributes{entry.size, entry.mtimeMsecs, entry.inode, entry.bornNsecs};
            addRecord(path, entryName, &attributes);
        } else {
            addRecord(path, entryName, nullptr);
        }
    }
}
