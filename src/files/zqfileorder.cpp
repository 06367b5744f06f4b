// SPDX-License-Identifier: GPL-3.0-or-later
// How records order in the table, one comparison per column, and the full
// size the size column orders by: a folder's is the total of all below it.
#include "files/zqfile.h"

#include "posix/filedescriptor.h"
#include "rules/textrules.h"

#include <QLocale>

#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// The total of every item below the folder open at dirFd, sub-folders
// included, links not followed. Unreadable folders add nothing.
quint64 folderTotal(FileDescriptor dirFd)
{
    DIR *dir = dirFd.isOpen() ? fdopendir(dirFd.get()) : nullptr;
    if (!dir)
        return 0;
    dirFd.release(); // the stream's now
    quint64 total = 0;
    while (const dirent *entry = readdir(dir)) {
        const char *entryName = entry->d_name;
        if (qstrcmp(entryName, ".") == 0 || qstrcmp(entryName, "..") == 0)
            continue;
        struct stat info;
        if (fstatat(dirfd(dir), entryName, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        total += static_cast<quint64>(info.st_size);
        if (S_ISDIR(info.st_mode)) {
            total += folderTotal(FileDescriptor(
                openat(dirfd(dir), entryName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)));
        }
    }
    closedir(dir);
    return total;
}

// A leading integer as C's strtoll reads it: white space, a sign, digits.
qint64 leadingInteger(const QString &text)
{
    const QByteArray latin = text.toLatin1();
    return std::strtoll(latin.constData(), nullptr, 10);
}

} // namespace

void ZQFile::calculateFullSize()
{
    if (m_isDirectory || m_isPackage) {
        if (m_fullSize > 1000)
            return;
        m_fullSize = folderTotal(
            FileDescriptor(open(m_path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    } else {
        if (m_fullSize != 0)
            return;
        const qint64 fromText = leadingInteger(size());
        if (fromText >= 1) {
            m_fullSize = static_cast<quint64>(fromText);
            return;
        }
        struct stat info;
        if (stat(m_path.constData(), &info) != 0)
            return;
        m_fullSize = static_cast<quint64>(info.st_size);
    }
    setSize(QLocale().toString(m_fullSize));
}

int ZQFile::caseInsensitiveCompare(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int ZQFile::OldNameComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(name(), other.name());
}

int ZQFile::NewNameComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(newName(), other.newName());
}

int ZQFile::SizeComparison(const ZQFile &other) const
{
    const auto mine = static_cast<qint64>(m_fullSize);
    const auto theirs = static_cast<qint64>(other.m_fullSize);
    return mine < theirs ? -1 : (mine > theirs ? 1 : 0);
}

int ZQFile::KindComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(kind(), other.kind());
}

int ZQFile::ExtComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(TextRules::displayExtension(name()),
                                  TextRules::displayExtension(other.name()));
}

int ZQFile::DateComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(date(), other.date());
}

int ZQFile::AttrComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(attrs(), other.attrs());
}

int ZQFile::LocationComparison(const ZQFile &other) const
{
    return caseInsensitiveCompare(fullPath(), other.fullPath());
}

int ZQFile::FolderComparison(const ZQFile &other) const
{
    if (m_isDirectory == other.m_isDirectory)
        return 0;
    return m_isDirectory ? 1 : -1;
}
