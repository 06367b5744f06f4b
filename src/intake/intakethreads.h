// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two threads an intake keeps for its life, seen only by the intake's
// own code: one looks at a large folder's entries beside the walk, the other
// reads the next folder ahead of it.

#include "intake/fileintake.h"
#include "intake/folderentries.h"

#include "posix/filedescriptor.h"

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>

// A thread kept for the intake's life that looks at the entries of large
// folders alongside the calling thread: it takes chunks from the front while
// the calling thread turns the entries already looked at into records, taking
// chunks itself whenever the next entry it needs is not ready. Most of a walk
// goes to the kernel's per-name lookups, which run side by side on another
// core. Kept rather than started per folder: a new thread must be scheduled
// before it can be joined, which on a busy machine costs more than a small
// folder gains. One folder at a time: the calling thread ends the sharing of
// a folder before it opens another.
class FileIntake::StatHelper : FolderEntries::KeptThread
{
public:
    StatHelper()
    {
        start([this] { run(); });
    }
    ~StatHelper() { stop(); }

    // Shares the looking at `entries` of the folder open as `fd`; false when
    // it cannot, and the caller looks at them alone.
    bool share(int fd, const std::string &names, std::vector<FolderEntries::Entry> &entries)
    {
        const size_t chunks =
            (entries.size() + FolderEntries::StatChunk - 1) / FolderEntries::StatChunk;
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
        const size_t chunk = index / FolderEntries::StatChunk;
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
        const size_t begin = m_next.fetch_add(FolderEntries::StatChunk, std::memory_order_relaxed);
        if (begin >= count)
            return false;
        FolderEntries::statEntries(fd, *m_names, *m_entries, begin,
                                   std::min(begin + FolderEntries::StatChunk, count));
        m_done[begin / FolderEntries::StatChunk].store(true, std::memory_order_release);
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
    std::vector<FolderEntries::Entry> *m_entries = nullptr;
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
// core. Where sizes and dates are read, it reads only the names: looking at
// the entries is shared by the walk and the StatHelper, and the listing of
// the next folder then runs beside the records of this one rather than
// before them. Nothing on disk changes during an intake, so a folder read a
// little early reads the same.
class FileIntake::Prefetcher : FolderEntries::KeptThread
{
public:
    Prefetcher()
    {
        start([this] { run(); });
    }
    ~Prefetcher() { stop(); }

    // Starts reading `path`; a folder read earlier and not taken is dropped.
    void request(const QByteArray &path, bool readsAttributes)
    {
        {
            std::unique_lock lock(m_mutex);
            m_done.wait(lock, [this] { return m_state != Reading; });
            m_path = path;
            m_readsAttributes = readsAttributes;
            m_listing.reset();
            m_state = Asked;
        }
        m_wake.notify_one();
    }

    // The folder at `path` as read ahead, waiting for the read to end; none
    // when another folder was asked for or the read failed.
    std::optional<FolderEntries::Listing> take(const QByteArray &path)
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
            const bool readsAttributes = m_readsAttributes;
            lock.unlock();
            std::optional<FolderEntries::Listing> listing;
            try {
                listing = FolderEntries::readListing(path, readsAttributes);
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
    bool m_readsAttributes = false;
    std::optional<FolderEntries::Listing> m_listing;
};
