// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scratchdir.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <unistd.h>

// Runs one program a mounting fixture needs. The first failure is kept in
// `whyNot` with the program's own words, so that the test skips saying why.
inline bool runMountHelper(const QString &what, const QString &program,
                           const QStringList &arguments, QString &whyNot, QString *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    if (!ok && process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (!ok && whyNot.isEmpty()) {
        whyNot = QStringLiteral("%1: %2 %3 failed (%4)")
                     .arg(what, program, arguments.join(u' '),
                          process.error() == QProcess::FailedToStart
                              ? QStringLiteral("not installed")
                              : QString::fromUtf8(process.readAllStandardError()).trimmed());
    }
    return ok;
}

// A real volume of another file system, in an image file on a loop device,
// mounted for one test: "exfat" through exfat-fuse, "ntfs" through ntfs-3g,
// "ext4" by the kernel. Needs root and the Debian packages exfat-fuse,
// exfatprogs and ntfs-3g;
// where any of it is missing, isValid() is false and whyNot() says what
// failed, for the test's QSKIP.
class LoopMount
{
public:
    // `onImageFile`: the volume is mounted from the image file itself, with
    // no loop device (ntfs-3g can).
    explicit LoopMount(const QString &type, bool onImageFile = false)
    {
        if (geteuid() != 0) {
            m_whyNot = QStringLiteral("mounting a %1 volume needs root").arg(type);
            return;
        }
        if (!m_scratch.isValid()) {
            m_whyNot = QStringLiteral("no scratch folder");
            return;
        }
        const QString image = QString::fromUtf8(m_scratch.path("volume.img"));
        const QString mountPoint = QString::fromUtf8(m_scratch.path("mnt"));
        if (!run(u"mkdir"_qs, {mountPoint}) || !run(u"truncate"_qs, {u"-s"_qs, u"32M"_qs, image}))
            return;
        QString device = image;
        if (!onImageFile && !run(u"losetup"_qs, {u"-f"_qs, u"--show"_qs, image}, &device))
            return;
        if (!onImageFile)
            m_device = device.trimmed();
        device = device.trimmed();
        const bool made = type == u"exfat"  ? run(u"mkfs.exfat"_qs, {device})
                          : type == u"ext4" ? run(u"mkfs.ext4"_qs, {u"-q"_qs, u"-F"_qs, device})
                                            : run(u"mkntfs"_qs, {u"-Q"_qs, u"-F"_qs, device});
        if (!made)
            return;
        m_type = type;
        m_image = image;
        if (!mount(device, mountPoint))
            return;
        m_mountPoint = mountPoint.toUtf8();
        run(u"chmod"_qs, {u"0777"_qs, mountPoint});
    }
    ~LoopMount()
    {
        if (!m_mountPoint.isEmpty())
            run(u"umount"_qs, {QString::fromUtf8(m_mountPoint)});
        if (!m_device.isEmpty())
            run(u"losetup"_qs, {u"-d"_qs, m_device});
    }
    LoopMount(const LoopMount &) = delete;
    LoopMount &operator=(const LoopMount &) = delete;

    bool isValid() const { return !m_mountPoint.isEmpty(); }

    // Unmounts the volume and mounts it again at the same place, from
    // another loop device of the same image when `anotherDevice`. False, with
    // whyNot() saying why, when that failed (the volume is then gone).
    bool remount(bool anotherDevice)
    {
        QString device = m_device.isEmpty() ? m_image : m_device;
        if (anotherDevice) {
            if (!run(u"losetup"_qs, {u"-f"_qs, u"--show"_qs, m_image}, &device))
                return false;
            device = device.trimmed();
        }
        const QString mountPoint = QString::fromUtf8(m_mountPoint);
        if (!run(u"umount"_qs, {mountPoint})) {
            if (anotherDevice)
                run(u"losetup"_qs, {u"-d"_qs, device});
            return false;
        }
        if (anotherDevice) {
            run(u"losetup"_qs, {u"-d"_qs, m_device});
            m_device = device;
        }
        if (!mount(device, mountPoint)) {
            m_mountPoint.clear();
            return false;
        }
        return true;
    }

    // The device the volume is mounted from.
    QString device() const { return m_device; }
    QString whyNot() const { return m_whyNot; }
    const QByteArray &path() const { return m_mountPoint; }
    QByteArray path(const QByteArray &relative) const { return m_mountPoint + '/' + relative; }

private:
    bool mount(const QString &device, const QString &mountPoint)
    {
        return m_type == u"exfat"  ? run(u"mount.exfat-fuse"_qs, {device, mountPoint})
               : m_type == u"ext4" ? run(u"mount"_qs, {u"-t"_qs, u"ext4"_qs, device, mountPoint})
                                   : run(u"ntfs-3g"_qs, {device, mountPoint});
    }

    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
    {
        return runMountHelper(u"cannot mount a test volume"_qs, program, arguments, m_whyNot,
                              output);
    }

    ScratchDir m_scratch;
    QByteArray m_mountPoint;
    QString m_device;
    QString m_type;
    QString m_image;
    QString m_whyNot;
};
