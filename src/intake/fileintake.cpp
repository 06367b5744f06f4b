// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/fileintake.h"

#include "intake/folderentries.h"

#include "files/filelist.h"
#include "files/zqfile.h"
#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"

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
};

using namespace FolderEntries;

// A thread kept for the intake's life that looks at the entries of large
// folders alongside the calling thread: it takes chunks from the front while
// the calling thread turns the entries already looked at into records, taking
// chunks itself whenever the next entry it needs is not ready. Most of a walk
// goes to the kernel's per-name lookups, which run side by side on another
// core. Kept rather than started per folder: a new thread must be scheduled
// before it can be joined, which on a busy machine costs more than a small
// folder gains. One folder at a time: the calling thread ends the sharing of
// a folder before it opens another.
class FileIntake::StatHelper : KeptThread
{
public:
    StatHelper()
    {
        start([this] { run(); });
    }
    ~StatHelper() { stop(); }

    // Shares the looking at `entries` of the folder open as `fd`; false when
    // it cannot, and the caller looks at them alone.
    bool share(int fd, const std::string &names, std::vector<Entry> &entries)
    {
        const size_t chunks = (entries.size() + StatChunk - 1) / StatChunk;
        if (chunks > m_doneCapacity) {
            m_done = std::make_unique<std::atomic<bool>[]>(chunks);
            m_doneCapacity = chunks;
        }
        // The helper reaches the folder through a descriptor of its own: two
        // threads resolving names through one descriptor contend on its
        // reference count, which costs about half of what the helper gains.
        m_helperFd.reset(::openat(fd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!m_helperFd.isOpen())
            return false;
        m_fd = fd;
        m_names = &names;
        m_entries = &entries;
        for (size_t chunk = 0; chunk < chunks; ++chunk)
            m_done[chunk].store(false, std::memory_order_relaxed);
        m_next.store(0, std::memory_order_relaxed);
        m_stop.store(false, std::memory_order_relaxed);
        m_sharing = true;
        {
            const std::lock_guard lock(m_mutex);
            m_offered = true;
        }
        m_wake.notify_one();
        return true;
    }

    // Entry `index` of the shared folder has been looked at and may be read.
    void waitFor(size_t index)
    {
        if (!m_sharing)
            return;
        const size_t chunk = index / StatChunk;
        while (!m_done[chunk].load(std::memory_order_acquire)) {
            if (!statNextChunk(m_fd)) {
                // The helper holds the chunk and has at most one to go.
                finish();
                return;
            }
        }
    }

    // Every entry has been looked at and the helper is done with the folder,
    // so it may be closed.
    void finish()
    {
        if (!m_sharing)
            return;
        while (statNextChunk(m_fd)) {
        }
        withdraw();
    }

    // The helper is done with the folder, whatever is left; on the way out of
    // a walk, also when making a record throws, so that the helper never
    // touches entries that are gone.
    void release()
    {
        if (!m_sharing)
            return;
        m_stop.store(true, std::memory_order_relaxed);
        withdraw();
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || m_offered; });
            if (m_quit)
                return;
            m_busy = true;
            lock.unlock();
            while (!m_stop.load(std::memory_order_relaxed) && statNextChunk(m_helperFd.get())) {
            }
            lock.lock();
            m_busy = false;
            m_offered = false;
            m_idle.notify_one();
        }
    }

    bool statNextChunk(int fd)
    {
        const size_t count = m_entries->size();
        const size_t begin = m_next.fetch_add(StatChunk, std::memory_order_relaxed);
        if (begin >= count)
            return false;
        statEntries(fd, *m_names, *m_entries, begin, std::min(begin + StatChunk, count));
        m_done[begin / StatChunk].store(true, std::memory_order_release);
        return true;
    }

    // Takes the folder back from the helper: at once if it has not started on
    // it, else once it has ended its chunk.
    void withdraw()
    {
        {
            std::unique_lock lock(m_mutex);
            if (m_offered && !m_busy)
                m_offered = false;
            else
                m_idle.wait(lock, [this] { return !m_offered; });
        }
        m_helperFd.reset();
        m_sharing = false;
    }

    // The shared folder, set before it is offered and read by both threads.
    int m_fd = -1;
    FileDescriptor m_helperFd;
    const std::string *m_names = nullptr;
    std::vector<Entry> *m_entries = nullptr;
    std::unique_ptr<std::atomic<bool>[]> m_done;
    size_t m_doneCapacity = 0;
    std::atomic<size_t> m_next = 0;
    std::atomic<bool> m_stop = false;
    // The calling thread's own.
    bool m_sharing = false;

    // Under m_mutex.
    std::condition_variable m_idle;
    bool m_offered = false;
    bool m_busy = false;
};

// A thread kept for the intake's life that reads the folder the walk will
// come to next while the calling thread makes the records of the one before:
// reading a folder is mostly the kernel's work, which then runs on another
// core. Only for walks that leave sizes and dates unread, where reading a
// folder needs few calls beyond the listing. Nothing on disk changes during
// an intake, so a folder read a little early reads the same.
class FileIntake::Prefetcher : KeptThread
{
public:
    Prefetcher()
    {
        start([this] { run(); });
    }
    ~Prefetcher() { stop(); }

    // Starts reading `path`; a folder read earlier and not taken is dropped.
    void request(const QByteArray &path)
    {
        {
            std::unique_lock lock(m_mutex);
            m_done.wait(lock, [this] { return m_state != Reading; });
            m_path = path;
            m_listing.reset();
            m_state = Asked;
        }
        m_wake.notify_one();
    }

    // The folder at `path` as read ahead, waiting for the read to end; none
    // when another folder was asked for or the read failed.
    std::optional<Listing> take(const QByteArray &path)
    {
        std::unique_lock lock(m_mutex);
        if (m_state == Idle || m_path != path)
            return std::nullopt;
        m_done.wait(lock, [this] { return m_state == Done; });
        m_state = Idle;
        return std::move(m_listing);
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || m_state == Asked; });
            if (m_quit)
                return;
            m_state = Reading;
            const QByteArray path = m_path;
            lock.unlock();
            std::optional<Listing> listing;
            try {
                listing = readListing(path);
            } catch (...) {
                // Out of memory: the walk reads the folder itself.
            }
            lock.lock();
            m_listing = std::move(listing);
            m_state = Done;
            m_done.notify_all();
        }
    }

    enum State
    {
        Idle,
        Asked,
        Reading,
        Done
    };
    // Under m_mutex.
    std::condition_variable m_done;
    State m_state = Idle;
    QByteArray m_path;
    std::optional<Listing> m_listing;
};

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
    // A link to a file, a dangling link, shows the link's own size and date.
    if (::lstat(nativePath.constData(), &info) == 0) {
        const Attributes attributes{quint64(info.st_size), mtimeMsecs(info)};
        return addRecord(nativePath, NativePath::lastComponent(nativePath), &attributes);
    }
    return addRecord(nativePath, NativePath::lastComponent(nativePath), nullptr);
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
    auto folder = std::make_unique<ZQFile>();
    folder->setName(NameCodec::decode(NativePath::lastComponent(path)));
    folder->deriveDisplayExtension();
    folder->setNativePath(path);
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

bool FileIntake::addRecord(QByteArray path, QByteArrayView name, const Attributes *attributes)
{
    auto file = std::make_unique<ZQFile>();
    file->setName(NameCodec::decode(name));
    file->deriveDisplayExtension();
    file->setNativePath(path);
    if (attributes)
        file->setAttributes(attributes->size, attributes->mtimeMsecs);
    else if (!m_readsAttributes && m_attributesNeeded && m_attributesNeeded(*file))
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

    Prefetcher *ahead = m_readsAttributes ? nullptr : prefetcher();
    std::optional<Listing> listing = ahead ? ahead->take(path) : std::nullopt;
    if (listing && listing->id == id) {
        names = std::move(listing->names);
        entries = std::move(listing->entries);
    } else {
        FileDescriptor readFd(::dup(fd));
        FolderStream dir(readFd.isOpen() ? ::fdopendir(readFd.get()) : nullptr, ::closedir);
        if (!dir) {
            m_unreadableFolders.append(path);
            return;
        }
        readFd.release(); // the stream's now
        const size_t toLookAt = readEntries(dir.get(), m_readsAttributes, names, entries);
        dir.reset();
        helper = toLookAt > size_t(ParallelStatThreshold) ? statHelper() : nullptr;
        if (!helper || !helper->share(fd, names, entries)) {
            helper = nullptr;
            if (toLookAt > 0)
                statEntries(fd, names, entries, 0, entries.size());
        }
    }
    const auto releaseHelper = qScopeGuard([helper] {
        if (helper)
            helper->release();
    });

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
    if (ahead) {
        // Which folder comes next depends on the kinds of this folder's
        // entries, which the helper may still be writing: both threads end
        // the looking first, and the records are made after.
        if (helper) {
            helper->finish();
            helper = nullptr;
        }
        const QByteArray next = nextFolder();
        if (!next.isEmpty())
            ahead->request(next);
    }
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
        const QByteArray child = childPath(path, names, entry);
        if (entry.kind == Entry::Folder) {
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
        const QByteArrayView name(child.constData() + child.size() - qsizetype(entry.nameLength),
                                  qsizetype(entry.nameLength));
        keepIdentity();
        if (entry.kind == Entry::File) {
            const Attributes attributes{entry.size, entry.mtimeMsecs};
            addRecord(child, name, &attributes);
        } else {
            addRecord(child, name, nullptr);
        }
    }
}
