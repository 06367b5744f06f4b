// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/mounts.h"

#include "posix/filedescriptor.h"

#include <QFile>
#include <QList>

#include <blkid/blkid.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#ifndef FS_IOC_GETFSUUID
struct fsuuid2
{
    __u8 len;
    __u8 uuid[16];
};
#define FS_IOC_GETFSUUID _IOR(0x15, 0, struct fsuuid2)
#endif

namespace {

// The kernel says it itself (Linux 6.5 and later, for ext4, xfs, btrfs and
// tmpfs among others), without reading the device.
QByteArray uuidFromKernel(int folder)
{
    struct fsuuid2 uuid = {};
    if (::ioctl(folder, FS_IOC_GETFSUUID, &uuid) != 0 || uuid.len == 0 || uuid.len > 16)
        return {};

    return Mounts::uuidText(uuid.uuid, uuid.len);
}

// udev's links, which any user may read, as blkid wrote them.
QByteArray uuidFromUdev(dev_t device)
{
    DIR *stream = ::opendir("/dev/disk/by-uuid");
    if (!stream)
        return {};
    QByteArray found;
    while (const dirent *entry = ::readdir(stream)) {
        struct stat info;
        if (entry->d_name[0] != '.' && ::fstatat(::dirfd(stream), entry->d_name, &info, 0) == 0 &&
            S_ISBLK(info.st_mode) && info.st_rdev == device) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(stream);
    return found;
}

// blkid's probe of the device or image file itself, where it may be read.
QByteArray uuidFromProbe(int fd)
{
    blkid_probe probe = ::blkid_new_probe();
    if (!probe)
        return {};
    QByteArray found;
    const char *value = nullptr;
    size_t length = 0;
    if (::blkid_probe_set_device(probe, fd, 0, 0) == 0 &&
        ::blkid_probe_enable_superblocks(probe, 1) == 0 &&
        ::blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_UUID) == 0 &&
        ::blkid_do_safeprobe(probe) == 0 &&
        ::blkid_probe_lookup_value(probe, "UUID", &value, &length) == 0 && value)
        found = QByteArray(value);
    ::blkid_free_probe(probe);
    return found;
}

// A field of the mount table, where a space, tab, newline or backslash of a
// path is written as "\\" and three octal digits.
QByteArray unescaped(const QByteArray &field)
{
    if (!field.contains('\\'))
        return field;
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto octal = [&](qsizetype at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out +=
                char((field[i + 1] - '0') << 6 | (field[i + 2] - '0') << 3 | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

namespace Mounts {

int openVolumeSource(const QByteArray &source)
{
    // The source may be any text a mount was given: a FIFO, a device that
    // acts when opened. Only a block device or an image file is opened, and
    // never waited for.
    struct stat before;
    if (::stat(source.constData(), &before) != 0 ||
        !(S_ISBLK(before.st_mode) || S_ISREG(before.st_mode)))
        return -1;
    FileDescriptor fd(::open(source.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat after;
    if (!fd.isOpen() || ::fstat(fd.get(), &after) != 0 || after.st_mode != before.st_mode ||
        after.st_ino != before.st_ino || after.st_dev != before.st_dev ||
        after.st_rdev != before.st_rdev)
        return -1;
    return fd.release();
}

QByteArray uuidText(const unsigned char *bytes, int length)
{
    static const char hex[] = "0123456789abcdef";
    QByteArray text;
    for (int i = 0; i < length; ++i) {
        if (length == 16 && (i == 4 || i == 6 || i == 8 || i == 10))
            text += '-';
        text += hex[bytes[i] >> 4];
        text += hex[bytes[i] & 0xF];
    }
    return text;
}

bool find(quint64 device, QByteArray *type, QByteArray *source)
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted =
        QByteArray::number(major(dev_t(device))) + ':' + QByteArray::number(minor(dev_t(device)));
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 10 || fields[2] != wanted)
            continue;
        const qsizetype separator = fields.indexOf("-");
        if (separator < 0 || separator + 2 >= fields.size())
            continue;
        *type = fields[separator + 1];
        *source = unescaped(fields[separator + 2]);
        return true;
    }
    return false;
}

QByteArray volumeId(int folder, quint64 device)
{
    // A volume made without a UUID says all zeros, which names none.
    const auto named = [](const QByteArray &id) {
        return id.count('0') + id.count('-') == id.size() ? QByteArray() : id;
    };
    QByteArray id = named(uuidFromKernel(folder));
    if (!id.isEmpty())
        return id;
    QByteArray type;
    QByteArray source;
    if (!find(device, &type, &source) || !source.startsWith('/'))
        return {};
    struct stat info;
    if (::stat(source.constData(), &info) != 0)
        return {};
    if (S_ISBLK(info.st_mode))
        id = named(uuidFromUdev(info.st_rdev));
    if (!id.isEmpty())
        return id;
    const FileDescriptor fd(Mounts::openVolumeSource(source));
    if (fd.isOpen())
        id = named(uuidFromProbe(fd.get()));
    return id;
}

} // namespace Mounts
