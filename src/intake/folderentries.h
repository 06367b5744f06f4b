// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/fileidentity.h"

#include <QByteArray>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

// Reading one folder for the walk: its entries in the byte order of their
// names, each entry's kind and, where asked, its size and date; and the
// thread that the walk keeps for looking at entries beside it.
namespace FolderEntries {

// The modification time in milliseconds, clamped to what they can hold.
qint64 mtimeMsecs(qint64 seconds, qint64 nanoseconds);
qint64 mtimeMsecs(const struct stat &info);

struct Entry
{
    enum Kind
    {
        File,
        Missing,
        Folder,
        // A plain file known from the listing alone, its size and date unread.
        Unread
    };
    size_t nameOffset;
    size_t nameLength;
    Kind kind = Missing;
    quint64 size = 0;
    qint64 mtimeMsecs = 0;
    // Which file it is (0: not known), from the same look as size and date.
    quint64 inode = 0;
    qint64 bornNsecs = 0; // 0 where the file system keeps no birth time
};

// Looks at `name` in the open folder `fd` (AT_FDCWD: a path), a link not
// followed, and fills in the entry's size, date, inode and birth time; the
// file's mode, or 0 where it cannot be looked at.
mode_t lookAt(int fd, const char *name, Entry &entry);

// Looks at entries [begin, end): their kind, their own size and date, and
// their inode and birth time.
void statEntries(int fd, const std::string &names, std::vector<Entry> &entries, size_t begin,
                 size_t end);

// Reads every entry of an open folder, in the byte order of their names.
// Without size and date, the type the listing gives settles plain files and
// folders; the rest (links, unknown types) are left to be looked at, and
// their number is returned.
size_t readEntries(DIR *dir, bool readsAttributes, std::string &names, std::vector<Entry> &entries);

// The path of an entry of the folder at `folder`.
QByteArray childPath(const QByteArray &folder, const std::string &names, const Entry &entry);

using FolderStream = std::unique_ptr<DIR, int (*)(DIR *)>;

// Opens a folder for reading and gives its device and inode; null when it
// cannot be read.
FolderStream openFolder(const QByteArray &path, FileIdentity *id);

// Whether a folder that could not be opened had gone (or was replaced by a
// file) since it was listed, rather than being there and unreadable.
inline bool vanished(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// A folder read whole ahead of the walk, every entry's kind settled, and
// closed again.
struct Listing
{
    FileIdentity id;
    std::string names;
    std::vector<Entry> entries;
};

// Reads a folder for the walk to come. Without sizes and dates, only links
// and entries of unknown type need a look of their own, and it takes them;
// with them (`readsAttributes`), every entry does, and it leaves them all to
// the walk, which shares them between two threads. None when the folder
// cannot be read; the walk then finds that out itself.
std::optional<Listing> readListing(const QByteArray &path, bool readsAttributes);

// Entries taken at a time by a thread: few enough that the two threads end
// close together (a helper that starts late, or a run of links, which cost
// two calls each, is made up by the other), many enough that taking them is
// rare.
constexpr size_t StatChunk = 64;

// A thread kept for an intake's life and woken for each piece of work. A
// class deriving from it starts it at the end of its constructor, once all
// that the thread uses exists, and stops it first thing in its destructor.
class KeptThread
{
public:
    KeptThread(const KeptThread &) = delete;
    KeptThread &operator=(const KeptThread &) = delete;

protected:
    KeptThread() = default;
    ~KeptThread() = default;
    template<typename Work> void start(Work work) { m_thread = std::thread(std::move(work)); }
    void stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false; // under m_mutex

private:
    std::thread m_thread;
};

} // namespace FolderEntries
