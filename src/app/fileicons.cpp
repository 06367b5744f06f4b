// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fileicons.h"

#include "files/zqfile.h"

#include <QFileIconProvider>
#include <QHash>
#include <QMimeDatabase>

namespace {

QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (dot < 0 || dot < slash)
        return {};
    return name.mid(dot + 1).toLower();
}

const QIcon &folderIcon()
{
    static const QIcon icon = QFileIconProvider().icon(QFileIconProvider::Folder);
    return icon;
}

const QIcon &iconForType(const QString &extension)
{
    static QHash<QString, QIcon> cache;
    auto found = cache.constFind(extension);
    if (found != cache.constEnd())
        return *found;
    static const QMimeDatabase mimes;
    const QMimeType type =
        extension.isEmpty()
            ? mimes.mimeTypeForName(QStringLiteral("application/octet-stream"))
            : mimes.mimeTypeForFile(QLatin1String("x.") + extension, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileIconProvider::File);
    return *cache.insert(extension, icon);
}

} // namespace

QIcon image(const ZQFile &file)
{
    if (file.isSpecial()) {
        if (file.isDirectory())
            return folderIcon();
        return iconForType(extensionOf(file.fullPath()));
    }
    if (file.isDirectory())
        return folderIcon();
    return iconForType(extensionOf(file.name()));
}
