// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 requestMagic = 0x564c4e31; // "VLN1"
constexpr char acknowledgement = 'k';
constexpr int timeoutMsecs = 5000;

// Whether `folder` is a folder (not a link to one) of this user's that no
// one else may enter, made so if it does not exist yet.
bool isPrivateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// Whether the other end of a connected socket runs as this user.
bool peerIsThisUser(qintptr socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
}

} // namespace

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent), m_name(serverName)
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QLatin1String("/velnor.socket");
    // Without a runtime folder: a folder of the user's own that no one else
    // may enter, so that no other user can put a socket of theirs in its
    // place, in the temporary folder or else in the user's cache.
    const QString temporary =
        QDir::tempPath() + QLatin1String("/velnor-") + QString::number(::geteuid());
    if (isPrivateFolder(temporary))
        return temporary + QLatin1String("/velnor.socket");
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QLatin1String("/.cache");
    QDir().mkpath(cache);
    return cache + QLatin1String("/velnor-runtime/velnor.socket");
}

SingleInstance::Role SingleInstance::start(const QList<QByteArray> &nativePaths)
{
    QLockFile lock(m_name + QLatin1String(".lock"));
    lock.setStaleLockTime(timeoutMsecs * 2);
    const bool locked = lock.tryLock(timeoutMsecs);
    if (handOver(nativePaths))
        return Role::HandedOver;
    const bool listening = listen();
    if (locked)
        lock.unlock();
    return listening ? Role::Primary : Role::Failed;
}

bool SingleInstance::handOver(const QList<QByteArray> &nativePaths)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    // Paths go only to a Velnor of this user's.
    if (!socket.waitForConnected(timeoutMsecs) || !peerIsThisUser(socket.socketDescriptor()))
        return false;
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << requestMagic << nativePaths;
    socket.write(request);
    socket.waitForBytesWritten(timeoutMsecs);
    if (socket.bytesToWrite() > 0)
        return false;
    // The reply tells that the paths arrived, not that they were listed. A
    // running instance busy with a long walk answers only once it is done;
    // it has the request all the same, so a silence is no reason to start a
    // second instance in its place.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(m_replyTimeout))
            return true;
    }
    return socket.read(1) == QByteArray(1, acknowledgement);
}

bool SingleInstance::listen()
{
    // The folder of the fallback name, made private where it is new.
    if (m_name.endsWith(QLatin1String("/velnor-runtime/velnor.socket")))
        isPrivateFolder(QFileInfo(m_name).path());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A socket left behind by a launch that crashed: nobody answered on
        // it above, so it can go.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::receive);
    return true;
}

void SingleInstance::receive()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Another user's program may neither hand us paths nor hold the
        // connection that a launch of this user's waits behind.
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QList<QByteArray> paths;
            in >> magic >> paths;
            if (!in.commitTransaction())
                return;
            if (magic != requestMagic) {
                socket->abort();
                return;
            }
            socket->write(QByteArray(1, acknowledgement));
            socket->flush();
            socket->disconnectFromServer();
            emit openFilesRequested(paths);
        });
    }
}
