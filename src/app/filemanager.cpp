// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filemanager.h"

#include "posix/nativepath.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QUrl>

namespace {

QString fileUri(const QByteArray &nativePath)
{
    return QLatin1String("file://") +
           QString::fromLatin1(nativePath.toPercentEncoding(QByteArrayLiteral("/")));
}

void openFolderOf(const QList<QByteArray> &nativePaths)
{
    if (nativePaths.isEmpty())
        return;
    const QByteArray folder = NativePath::folder(nativePaths.constFirst());
    QDesktopServices::openUrl(QUrl(fileUri(folder), QUrl::StrictMode));
}

} // namespace

QStringList FileManager::fileUris(const QList<QByteArray> &nativePaths)
{
    QStringList uris;
    uris.reserve(nativePaths.size());
    for (const QByteArray &path : nativePaths)
        uris.append(fileUri(path));
    return uris;
}

QList<QByteArray> FileManager::nativePathsOfUrls(const QList<QUrl> &urls)
{
    QList<QByteArray> paths;
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths << QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    }
    return paths;
}

void FileManager::showItems(const QList<QByteArray> &nativePaths)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolderOf(nativePaths);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << fileUris(nativePaths) << QString();
    // Asynchronous, so that a slow or absent file manager never freezes the
    // window; the fallback runs when the call fails.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [nativePaths](QDBusPendingCallWatcher *self) {
                         if (self->isError())
                             openFolderOf(nativePaths);
                         self->deleteLater();
                     });
}
