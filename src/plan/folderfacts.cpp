// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/folderfacts.h"

#include "posix/filedescriptor.h"
#include "posix/mounts.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

constexpr long ExfatMagic = 0x2011BAB0;
constexpr long MsdosMagic = 0x4d44;
constexpr long NtfsMagic = 0x5346544e;  // the old kernel driver
constexpr long Ntfs3Magic = 0x7366746e; // ntfs3
constexpr long CifsMagic = 0xFF534D42;
constexpr long Smb2Magic = 0xFE534D42;
constexpr long SmbMagic = 0x517B;
constexpr long FuseMagic = 0x65735546;
constexpr long Ext4Magic = 0xEF53;
constexpr long TmpfsMagic = 0x01021994;
constexpr long XfsMagic = 0x58465342;
constexpr long BtrfsMagic = 0x9123683E;
#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif

QString errorText(int error)
{
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

// The file system on a block device, from its boot sector's OEM name, as
// blkid tells it; empty when the device cannot be read.
QString volumeType(const QByteArray &device)
{
    char sector[90] = {};
    ssize_t n = 0;
    {
        const FileDescriptor fd(Mounts::openVolumeSource(device));
        if (!fd.isOpen())
            return QString();
        n = ::pread(fd.get(), sector, sizeof sector, 0);
    }
    if (n < 90)
        return QString();
    if (std::memcmp(sector + 3, "EXFAT   ", 8) == 0)
        return QStringLiteral("exfat");
    if (std::memcmp(sector + 3, "NTFS    ", 8) == 0)
        return QStringLiteral("ntfs");
    if (std::memcmp(sector + 54, "FAT", 3) == 0 || std::memcmp(sector + 82, "FAT32", 5) == 0)
        return QStringLiteral("vfat");
    return QString();
}

// What a FUSE mount holds, from the mount table and the device. Not kept
// between calls: device numbers of FUSE mounts are reused after an unmount.
QString fuseType(dev_t device)
{
    QByteArray type;
    QByteArray source;
    QString result;
    if (Mounts::find(quint64(device), &type, &source)) {
        result = QString::fromUtf8(type);
        // ntfs-3g (and others) mount an image file as plain "fuse", with
        // the file as the source.
        if (type == "fuseblk" || type == "fuse") {
            const QString onDevice = volumeType(source);
            if (!onDevice.isEmpty())
                result = onDevice;
        } else if (type == "fuse.exfat" || type == "fuse.exfat-fuse") {
            result = QStringLiteral("exfat");
        } else if (type == "fuse.ntfs-3g") {
            result = QStringLiteral("ntfs");
        }
    }
    return result;
}

// By behaviour: a name of the folder looked up with its case changed finds
// the same file. Unsure (false) when no name has letters to change.
bool looksUpWithoutCase(int dir, const FolderFacts &facts)
{
    for (const std::string_view name : facts.names) {
        const QByteArray bytes(name.data(), qsizetype(name.size()));
        QByteArray swapped = bytes;
        bool changed = false;
        for (char &c : swapped) {
            if (c >= 'a' && c <= 'z') {
                c = char(c - 32);
                changed = true;
            } else if (c >= 'A' && c <= 'Z') {
                c = char(c + 32);
                changed = true;
            }
        }
        if (!changed || facts.hasName(swapped))
            continue;
        struct stat original;
        struct stat other;
        if (::fstatat(dir, bytes.constData(), &original, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        return ::fstatat(dir, swapped.constData(), &other, AT_SYMLINK_NOFOLLOW) == 0 &&
               other.st_ino == original.st_ino && other.st_dev == original.st_dev;
    }
    return false;
}

void readNames(int fd, FolderFacts &facts)
{
    FileDescriptor readable(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR *stream = readable.isOpen() ? ::fdopendir(readable.get()) : nullptr;
    if (!stream)
        return;
    readable.release(); // the stream's now
    std::vector<std::pair<size_t, size_t>> spans;
    while (const dirent *entry = ::readdir(stream)) {
        const size_t length = std::strlen(entry->d_name);
        if ((length == 1 && entry->d_name[0] == '.') ||
            (length == 2 && entry->d_name[0] == '.' && entry->d_name[1] == '.'))
            continue;
        spans.emplace_back(facts.nameBytes.size(), length);
        facts.nameBytes.insert(facts.nameBytes.end(), entry->d_name, entry->d_name + length);
    }
    ::closedir(stream);
    facts.indexNames(spans);
}

// A slot holds the index of a name plus one in its low bits and, while the
// folder has fewer names than those bits can count, the top byte of the
// name's hash above them: a probe that meets another name then mostly tells
// so without reading that name, which for a folder of a million names is a
// trip to memory each.
constexpr int TagShift = 24;
constexpr quint32 IndexMask = (1u << TagShift) - 1;

quint32 tagOf(quint32 hash)
{
    return (hash >> 24) << TagShift;
}

} // namespace

void FolderFacts::indexNames(const std::vector<std::pair<size_t, size_t>> &spans)
{
    names.clear();
    names.reserve(spans.size());
    for (const auto &[offset, length] : spans)
        names.emplace_back(nameBytes.data() + offset, length);
    size_t size = 16;
    while (size < names.size() * 2)
        size *= 2;
    m_slots.assign(size, 0);
    m_tagged = names.size() < IndexMask;
    const size_t mask = size - 1;
    for (size_t i = 0; i < names.size(); ++i) {
        const quint32 hash = nameHash(names[i]);
        size_t slot = hash & mask;
        while (m_slots[slot] != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = quint32(i + 1) | (m_tagged ? tagOf(hash) : 0);
    }
    namesRead = true;
}

qint64 FolderFacts::indexOf(std::string_view name, quint32 hash) const
{
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    const quint32 tag = m_tagged ? tagOf(hash) : 0;
    const quint32 indexMask = m_tagged ? IndexMask : ~quint32(0);
    for (size_t slot = hash & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const quint32 held = m_slots[slot];
        if ((held & ~indexMask) != tag)
            continue;
        const size_t index = (held & indexMask) - 1;
        if (names[index] == name)
            return qint64(index);
    }
    return -1;
}

namespace FolderFactsReader {

bool lastingInodes(int folder)
{
    struct statfs system;
    if (::fstatfs(folder, &system) != 0)
        return false;
    const long type = long(system.f_type);
    return type == Ext4Magic || type == XfsMagic || type == BtrfsMagic || type == TmpfsMagic;
}

namespace {

FolderFacts readFacts(const QByteArray &folder, bool withNames, WalkedNames *walked)
{
    FolderFacts facts;
    const FileDescriptor owned(
        ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int fd = owned.get();
    if (fd < 0) {
        facts.openError =
            QCoreApplication::translate("RenamePlan", "The folder cannot be opened: %1")
                .arg(errorText(errno));
        return facts;
    }
    facts.opened = true;
    struct stat self;
    if (::fstat(fd, &self) == 0) {
        facts.device = quint64(self.st_dev);
        facts.inode = quint64(self.st_ino);
    }
    struct statvfs volume;
    if (::fstatvfs(fd, &volume) == 0 && (volume.f_flag & ST_RDONLY))
        facts.notWritable =
            QCoreApplication::translate("RenamePlan", "The folder is on a read-only file system.");
    else if (::faccessat(fd, ".", W_OK | X_OK, AT_EACCESS) != 0)
        facts.notWritable =
            QCoreApplication::translate("RenamePlan", "The folder cannot be written: %1")
                .arg(errorText(errno));
    if (walked && facts.inode != 0 && FileIdentity(facts.device, facts.inode) == walked->folder) {
        facts.nameBytes = std::move(walked->bytes);
        facts.indexNames(walked->spans);
    } else if (withNames) {
        readNames(fd, facts);
    }

    struct statfs system;
    const long type = ::fstatfs(fd, &system) == 0 ? long(system.f_type) : 0;
    bool unsure = false;
    switch (type) {
    case ExfatMagic:
        facts.fileSystem = QStringLiteral("exfat");
        break;
    case MsdosMagic:
        facts.fileSystem = QStringLiteral("vfat");
        break;
    case NtfsMagic:
    case Ntfs3Magic:
        facts.fileSystem = QStringLiteral("ntfs");
        break;
    case CifsMagic:
    case Smb2Magic:
    case SmbMagic:
        facts.fileSystem = QStringLiteral("cifs");
        break;
    case FuseMagic:
        facts.fileSystem = fuseType(self.st_dev);
        unsure = true;
        break;
    case Ext4Magic: {
        facts.fileSystem = QStringLiteral("ext4");
        int flags = 0;
        facts.caseInsensitive =
            ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
        break;
    }
    case XfsMagic:
        facts.fileSystem = QStringLiteral("xfs");
        break;
    case BtrfsMagic:
        facts.fileSystem = QStringLiteral("btrfs");
        break;
    case TmpfsMagic:
        facts.fileSystem = QStringLiteral("tmpfs");
        break;
    default:
        break;
    }
    const QString &fs = facts.fileSystem;
    facts.windowsNames = fs == u"exfat" || fs == u"vfat" || fs == u"ntfs" || fs == u"cifs";
    if (fs == u"exfat" || fs == u"vfat" || fs == u"cifs")
        facts.caseInsensitive = true;
    // NTFS is case-sensitive through ntfs-3g unless mounted otherwise, and
    // FUSE mounts of other kinds may be either: ask the folder.
    if ((unsure || fs == u"ntfs") && !facts.caseInsensitive && facts.namesRead)
        facts.caseInsensitive = looksUpWithoutCase(fd, facts);
    return facts;
}

} // namespace

FolderFacts read(const QByteArray &folder, bool withNames)
{
    return readFacts(folder, withNames, nullptr);
}

FolderFacts read(const QByteArray &folder, WalkedNames walked)
{
    return readFacts(folder, true, &walked);
}

} // namespace FolderFactsReader
