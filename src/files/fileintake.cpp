#include "fileintake.h"

#include "filelist.h"
#include "zqfile.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct FileIntake::Attributes
{
    quint64 size = 0;
    qint64 mtimeMsecs = 0;
};

namespace {

// How often a long walk reports its progress, in records.
constexpr qsizetype ProgressInterval = 4096;

// The last component of a path, ignoring slashes at its end ("/a/b/" gives
// "b"); "/" stays "/".
QByteArrayView lastComponent(const QByteArray &path)
{
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const qsizetype slash = path.lastIndexOf('/', end - 1);
    if (slash < 0 || (slash == 0 && end == 1))
        return QByteArrayView(path.constData(), end);
    return QByteArrayView(path.constData() + slash + 1, end - slash - 1);
}

qint64 mtimeMsecs(const struct stat &info)
{
    // Some file systems keep any 64-bit second count; milliseconds hold less.
    constexpr qint64 latest = std::numeric_limits<qint64>::max() / 1000 - 1;
    const qint64 seconds = std::clamp<qint64>(info.st_mtim.tv_sec, -latest, latest);
    return seconds * 1000 + info.st_mtim.tv_nsec / 1000000;
}

struct Entry
{
    enum Kind
    {
        File,
        Missing,
        Folder
    };
    size_t nameOffset;
    size_t nameLength;
    Kind kind = Missing;
    quint64 size = 0;
    qint64 mtimeMsecs = 0;
};

} // namespace

FileIntake::FileIntake(FileList &list) : m_list(list) {}

void FileIntake::setProgress(std::function<void(qsizetype)> progress)
{
    m_progress = std::move(progress);
}

bool FileIntake::insertFile(const QString &path)
{
    return insertFile(QFile::encodeName(path));
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
        expandFolder(nativePath);
        return false;
    }
    // A link to a file, a dangling link, shows the link's own size and date.
    if (::lstat(nativePath.constData(), &info) == 0) {
        const Attributes attributes{quint64(info.st_size), mtimeMsecs(info)};
        return addRecord(nativePath, lastComponent(nativePath), &attributes);
    }
    return addRecord(nativePath, lastComponent(nativePath), nullptr);
}

bool FileIntake::addRecord(QByteArray path, QByteArrayView name, const Attributes *attributes)
{
    auto file = std::make_unique<ZQFile>();
    file->setName(QString::fromUtf8(name));
    file->deriveDisplayExtension();
    file->setNativePath(path);
    if (attributes)
        file->setAttributes(attributes->size, attributes->mtimeMsecs);
    if (!m_list.append(std::move(file)))
        return false;
    ++m_added;
    if (m_progress && m_added % ProgressInterval == 0)
        m_progress(m_added);
    return true;
}

void FileIntake::expandFolder(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat self;
    if (::fstat(fd, &self) != 0) {
        ::close(fd);
        return;
    }
    // A link back to an enclosing folder would otherwise never end.
    const std::pair<quint64, quint64> id(quint64(self.st_dev), quint64(self.st_ino));
    if (std::find(m_expanding.begin(), m_expanding.end(), id) != m_expanding.end()) {
        ::close(fd);
        return;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }

    // Every entry is read and looked at before any is handled, so that only
    // one folder is open at a time however deep the tree goes.
    std::string names;
    std::vector<Entry> entries;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const size_t length = std::strlen(name);
        entries.push_back({names.size(), length});
        names.append(name, length + 1);
    }
    // Name order rather than the file system's, which on most Linux file
    // systems is hash order and would number the files at random.
    std::sort(entries.begin(), entries.end(), [&names](const Entry &a, const Entry &b) {
        return std::strcmp(names.data() + a.nameOffset, names.data() + b.nameOffset) < 0;
    });
    for (Entry &entry : entries) {
        const char *name = names.data() + entry.nameOffset;
        struct stat info;
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // vanished since the listing: a record without attributes
        entry.kind = Entry::File;
        entry.size = quint64(info.st_size);
        entry.mtimeMsecs = mtimeMsecs(info);
        if (S_ISDIR(info.st_mode)) {
            entry.kind = Entry::Folder;
        } else if (S_ISLNK(info.st_mode)) {
            struct stat target;
            if (::fstatat(fd, name, &target, 0) == 0 && S_ISDIR(target.st_mode))
                entry.kind = Entry::Folder;
        }
    }
    ::closedir(dir);

    m_expanding.push_back(id);
    const bool endsInSlash = path.endsWith('/');
    const qsizetype prefixLength = path.size() + (endsInSlash ? 0 : 1);
    for (const Entry &entry : entries) {
        QByteArray child(prefixLength + qsizetype(entry.nameLength), Qt::Uninitialized);
        char *bytes = child.data();
        std::memcpy(bytes, path.constData(), size_t(path.size()));
        if (!endsInSlash)
            bytes[path.size()] = '/';
        std::memcpy(bytes + prefixLength, names.data() + entry.nameOffset, entry.nameLength);
        if (entry.kind == Entry::Folder) {
            if (!m_list.containsPath(child))
                expandFolder(child);
            continue;
        }
        const QByteArrayView name(child.constData() + prefixLength, qsizetype(entry.nameLength));
        if (entry.kind == Entry::File) {
            const Attributes attributes{entry.size, entry.mtimeMsecs};
            addRecord(child, name, &attributes);
        } else {
            addRecord(child, name, nullptr);
        }
    }
    m_expanding.pop_back();
}
