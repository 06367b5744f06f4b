// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "loopmount.h"
#include "scratchdir.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// A folder of this machine mounted through sshfs for one test, served by an
// sshd of the test's own: its own configuration, host key and user key in a
// scratch folder, run by ssh itself for the one connection (sshd -i through
// ProxyCommand), so that no port is opened and nothing waits for a server to
// come up. Needs the Debian packages sshfs and openssh-server and a usable
// /dev/fuse; where any of it is missing, isValid() is false and whyNot() says
// what failed, for the test's QSKIP. Every program is given 30 seconds at
// most; the sshd ends with the connection, when the volume is unmounted.
class SshfsMount
{
public:
    SshfsMount()
    {
        if (!m_scratch.isValid()) {
            m_whyNot = QStringLiteral("no scratch folder");
            return;
        }
        const passwd *user = ::getpwuid(::geteuid());
        if (!user) {
            m_whyNot = QStringLiteral("this user has no name");
            return;
        }
        const QString dir = QString::fromUtf8(m_scratch.path());
        const QString served = dir + u"/served"_qs;
        const QString mountPoint = dir + u"/mnt"_qs;
        const QString config = dir + u"/sshd_config"_qs;
        if (!run(u"mkdir"_qs, {served, mountPoint}) ||
            !run(u"ssh-keygen"_qs, {u"-q"_qs, u"-t"_qs, u"ed25519"_qs, u"-N"_qs, QString(),
                                    u"-f"_qs, dir + u"/host_key"_qs}) ||
            !run(u"ssh-keygen"_qs, {u"-q"_qs, u"-t"_qs, u"ed25519"_qs, u"-N"_qs, QString(),
                                    u"-f"_qs, dir + u"/user_key"_qs}) ||
            !QFile::copy(dir + u"/user_key.pub"_qs, dir + u"/authorized_keys"_qs))
            return;
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(QStringLiteral("HostKey %1/host_key\n"
                                      "AuthorizedKeysFile %1/authorized_keys\n"
                                      "StrictModes no\n"
                                      "PubkeyAuthentication yes\n"
                                      "PasswordAuthentication no\n"
                                      "KbdInteractiveAuthentication no\n"
                                      "PermitRootLogin prohibit-password\n"
                                      "UsePAM no\n"
                                      "Subsystem sftp internal-sftp\n")
                           .arg(dir)
                           .toUtf8()) < 0) {
            m_whyNot = QStringLiteral("cannot write the sshd configuration");
            return;
        }
        file.close();
        const QString options =
            QStringLiteral("IdentityFile=%1/user_key,StrictHostKeyChecking=no,"
                           "UserKnownHostsFile=/dev/null,BatchMode=yes,ConnectTimeout=20,"
                           "ProxyCommand=/usr/sbin/sshd -i -f %2 -E %1/sshd.log")
                .arg(dir, config);
        if (!QFile::exists(u"/usr/sbin/sshd"_qs)) {
            m_whyNot = QStringLiteral("cannot mount through sshfs: no /usr/sbin/sshd "
                                      "(Debian package openssh-server)");
            return;
        }
        // Where the system's sshd has never run, the folder it drops its
        // privileges into is not there yet: made as its own start-up does.
        if (::geteuid() == 0)
            ::mkdir("/run/sshd", 0755);
        if (!run(u"sshfs"_qs,
                 {u"-o"_qs, options,
                  QString::fromUtf8(user->pw_name) + u"@velnor-test:"_qs + served, mountPoint}))
            return;
        m_mountPoint = mountPoint.toUtf8();
    }
    ~SshfsMount()
    {
        if (!m_mountPoint.isEmpty() &&
            !run(u"fusermount"_qs, {u"-u"_qs, QString::fromUtf8(m_mountPoint)}))
            run(u"fusermount"_qs, {u"-u"_qs, u"-z"_qs, QString::fromUtf8(m_mountPoint)});
    }
    SshfsMount(const SshfsMount &) = delete;
    SshfsMount &operator=(const SshfsMount &) = delete;

    bool isValid() const { return !m_mountPoint.isEmpty(); }
    QString whyNot() const { return m_whyNot; }
    const QByteArray &path() const { return m_mountPoint; }
    QByteArray path(const QByteArray &relative) const { return m_mountPoint + '/' + relative; }
    // The folder the volume shows, as this machine sees it without sshfs.
    QByteArray served(const QByteArray &relative) const
    {
        return m_scratch.path("served/" + relative);
    }

private:
    bool run(const QString &program, const QStringList &arguments)
    {
        return runMountHelper(u"cannot mount through sshfs"_qs, program, arguments, m_whyNot);
    }

    ScratchDir m_scratch;
    QByteArray m_mountPoint;
    QString m_whyNot;
};
