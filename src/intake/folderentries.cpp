// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/folderentries.h"

#include "posix/filedescriptor.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace FolderEntries {

namespace {

// Puts entries in the byte order of their names. Most names differ in their
// first eight bytes, which compare as one big-endian number; the rest of the
// name is compared only where those agree.
void sortByName(std::vector<Entry> &entries, const std::string &names)
{
    struct Key
    {
        quint64 prefix;
        size_t index;
    };
    std::vector<Key> keys(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto *name =
            reinterpret_cast<const unsigned char *>(names.data() + entries[i].nameOffset);
        const size_t length = entries[i].nameLength;
        quint64 prefix = 0;
        for (size_t b = 0; b < 8; ++b)
            prefix = (prefix << 8) | (b < length ? name[b] : 0);
        keys[i] = {prefix, i};
    }
    // A name holds no NUL byte, so equal prefixes mean the same first eight
    // bytes of two names that both go on, or two names alike.
    std::sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const Entry &x = entries[a.index];
        const Entry &y = entries[b.index];
        if (x.nameLength <= 8 || y.nameLength <= 8)
            return x.nameLength < y.nameLength;
        return std::strcmp(names.data() + x.nameOffset + 8, names.data() + y.nameOffset + 8) < 0;
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (const Key &key : keys)
        sorted.push_back(std::move(entries[key.index]));
    entries.swap(sorted);
}

} // namespace

qint64 mtimeMsecs(qint64 seconds, qint64 nanoseconds)
{
    // Some file systems keep any 64-bit second count; milliseconds hold less.
    constexpr qint64 latest = std::numeric_limits<qint64>::max() / 1000 - 1;
    return std::clamp<qint64>(seconds, -latest, latest) * 1000 + nanoseconds / 1000000;
}

qint64 mtimeMsecs(const struct stat &info)
{
    return mtimeMsecs(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
}

mode_t lookAt(int fd, const char *name, Entry &entry)
{
    constexpr unsigned wanted = STATX_TYPE | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_BTIME;
    struct statx info;
    if (::statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, wanted, &info) != 0 ||
        !(info.stx_mask & STATX_TYPE))
        return 0;
    entry.size = quint64(info.stx_size);
    entry.mtimeMsecs = mtimeMsecs(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    entry.inode = (info.stx_mask & STATX_INO) ? info.stx_ino : 0;
    entry.bornNsecs = (info.stx_mask & STATX_BTIME) ? stampNanoseconds(info.stx_btime) : 0;
    return info.stx_mode;
}

// Looks at entries [begin, end): their kind, their own size and date, and
// their inode and birth time.
void statEntries(int fd, const std::string &names, std::vector<Entry> &entries, size_t begin,
                 size_t end)
{
    for (size_t i = begin; i < end; ++i) {
        Entry &entry = entries[i];
        if (entry.kind != Entry::Missing)
            continue; // known from the listing
        const char *name = names.data() + entry.nameOffset;
        const mode_t mode = lookAt(fd, name, entry);
        if (mode == 0)
            continue; // vanished since the listing: a record without attributes
        entry.kind = Entry::File;
        if (S_ISDIR(mode)) {
            entry.kind = Entry::Folder;
        } else if (S_ISLNK(mode)) {
            struct stat target;
            if (::fstatat(fd, name, &target, 0) == 0 && S_ISDIR(target.st_mode))
                entry.kind = Entry::Folder;
        }
    }
}

// Reads every entry of an open folder, in the byte order of their names.
// Without size and date, the type the listing gives settles plain files and
// folders; the rest (links, unknown types) are left to be looked at, and
// their number is returned.
size_t readEntries(DIR *dir, bool readsAttributes, std::string &names, std::vector<Entry> &entries)
{
    size_t toLookAt = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const size_t length = std::strlen(name);
        Entry &item = entries.emplace_back(Entry{names.size(), length});
        names.append(name, length + 1);
        if (!readsAttributes && entry->d_type == DT_REG)
            item.kind = Entry::Unread;
        else if (entry->d_type == DT_DIR)
            item.kind = Entry::Folder; // whose own size and date no record shows
        else
            ++toLookAt;
    }
    // Name order rather than the file system's, which on most Linux file
    // systems is hash order and would number the files at random.
    sortByName(entries, names);
    // A folder that changes while it is read may show a name twice.
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [&names](const Entry &a, const Entry &b) {
                                  return a.nameLength == b.nameLength &&
                                         std::memcmp(names.data() + a.nameOffset,
                                                     names.data() + b.nameOffset,
                                                     a.nameLength) == 0;
                              }),
                  entries.end());
    return toLookAt;
}

// The path of an entry of the folder at `folder`.
QByteArray childPath(const QByteArray &folder, const std::string &names, const Entry &entry)
{
    const bool endsInSlash = folder.endsWith('/');
    const qsizetype prefixLength = folder.size() + (endsInSlash ? 0 : 1);
    QByteArray child(prefixLength + qsizetype(entry.nameLength), Qt::Uninitialized);
    char *bytes = child.data();
    std::memcpy(bytes, folder.constData(), size_t(folder.size()));
    if (!endsInSlash)
        bytes[folder.size()] = '/';
    std::memcpy(bytes + prefixLength, names.data() + entry.nameOffset, entry.nameLength);
    return child;
}

// Opens a folder for reading and gives its device and inode; null when it
// cannot be read.
FolderStream openFolder(const QByteArray &path, FileIdentity *id)
{
    FolderStream stream(nullptr, ::closedir);
    FileDescriptor fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat self;
    DIR *dir = fd.isOpen() && ::fstat(fd.get(), &self) == 0 ? ::fdopendir(fd.get()) : nullptr;
    if (!dir)
        return stream;
    fd.release(); // the stream's now
    *id = fileIdentity(self);
    stream.reset(dir);
    return stream;
}

std::optional<Listing> readListing(const QByteArray &path, bool readsAttributes)
{
    Listing listing;
    const FolderStream dir = openFolder(path, &listing.id);
    if (!dir)
        return std::nullopt;
    if (readEntries(dir.get(), readsAttributes, listing.names, listing.entries) > 0 &&
        !readsAttributes)
        statEntries(::dirfd(dir.get()), listing.names, listing.entries, 0, listing.entries.size());
    return listing;
}

} // namespace FolderEntries
