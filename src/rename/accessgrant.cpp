// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/accessgrant.h"

#include "rename/userdefaults.h"

#include <QCoreApplication>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "VLNG", a version byte, device and inode as big-endian 64-bit numbers, then
// the path bytes to the end.
constexpr char bookmarkMagic[] = {'V', 'L', 'N', 'G', 1};
constexpr qsizetype bookmarkHeader = sizeof bookmarkMagic + 16;

// Paths compare byte for byte, so the stored form drops trailing slashes the
// way a folder's path is written everywhere else ("/" stays "/").
QByteArray withoutTrailingSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

bool isUsablePath(const QByteArray &path)
{
    return path.startsWith('/') && !path.contains('\0');
}

} // namespace

std::optional<AccessGrant> AccessGrant::forFolder(const QByteArray &path)
{
    const QByteArray folder = withoutTrailingSlash(path);
    if (!isUsablePath(folder))
        return std::nullopt;
    struct stat info;
    if (stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    AccessGrant grant;
    grant.path = folder;
    grant.device = quint64(info.st_dev);
    grant.inode = quint64(info.st_ino);
    return grant;
}

QByteArray AccessGrant::bookmarkData() const
{
    QByteArray data(bookmarkHeader, Qt::Uninitialized);
    char *out = data.data();
    memcpy(out, bookmarkMagic, sizeof bookmarkMagic);
    qToBigEndian(device, out + sizeof bookmarkMagic);
    qToBigEndian(inode, out + sizeof bookmarkMagic + 8);
    data += path;
    return data;
}

std::optional<AccessGrant> AccessGrant::fromBookmarkData(const QByteArray &data)
{
    if (data.size() <= bookmarkHeader ||
        !data.startsWith(QByteArrayView(bookmarkMagic, sizeof bookmarkMagic)))
        return std::nullopt;
    AccessGrant grant;
    grant.device = qFromBigEndian<quint64>(data.constData() + sizeof bookmarkMagic);
    grant.inode = qFromBigEndian<quint64>(data.constData() + sizeof bookmarkMagic + 8);
    grant.path = data.mid(bookmarkHeader);
    if (!isUsablePath(grant.path))
        return std::nullopt;
    return grant;
}

bool AccessGrant::resolves() const
{
    struct stat info;
    return isUsablePath(path) && stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           quint64(info.st_dev) == device && quint64(info.st_ino) == inode;
}

bool AccessGrant::startAccessing() const
{
    // The effective ids are the ones the moves will run with.
    return faccessat(AT_FDCWD, path.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

namespace AccessRequestText {
QString title()
{
    return QCoreApplication::translate("AccessGrant", "Filesystem Access");
}
QString prompt()
{
    return QCoreApplication::translate("AccessGrant", "Allow Access");
}
QString message()
{
    return QCoreApplication::translate(
        "AccessGrant", "Click Allow Access to grant Velnor permission to rename the "
                       "files.");
}
QString declined()
{
    return QCoreApplication::translate("AccessGrant",
                                       "You need to allow access for Velnor to work properly.");
}
} // namespace AccessRequestText

bool grantChosenFolder(const std::optional<QByteArray> &chosen, UserDefaults &defaults)
{
    if (!chosen || chosen->isEmpty())
        return false;
    const QByteArray folder = withoutTrailingSlash(*chosen);
    const std::optional<AccessGrant> grant = AccessGrant::forFolder(folder);
    // Without a bookmark the key goes, so that no older grant's bookmark is
    // taken for this folder's.
    defaults.setObject(grant ? QVariant(grant->bookmarkData()) : QVariant(),
                       AccessGrantKeys::sandboxscope);
    // Bytes, not text: a folder whose name is not UTF-8 must still match.
    defaults.setObject(folder, AccessGrantKeys::rootlimit);
    defaults.synchronize();
    return true;
}

bool requestFilesystem(const QByteArray &path, AccessPrompt &prompt, UserDefaults &defaults)
{
    const std::optional<QByteArray> chosen =
        prompt.chooseFolder(AccessRequestText::title(), AccessRequestText::prompt(),
                            AccessRequestText::message(), path);
    if (!grantChosenFolder(chosen, defaults)) {
        prompt.alert(AccessRequestText::declined());
        return false;
    }
    return true;
}

bool storedGrantCovers(const QByteArray &accessRoot, UserDefaults &defaults)
{
    if (!defaults.objectForKey(AccessGrantKeys::rootlimit).isValid() ||
        defaults.dataForKey(AccessGrantKeys::rootlimit) != accessRoot)
        return false;
    const QVariant bookmark = defaults.objectForKey(AccessGrantKeys::sandboxscope);
    // A grant stored without a bookmark names the folder and nothing more:
    // the run goes on and each move meets the folder's permissions itself.
    if (!bookmark.isValid())
        return true;
    const std::optional<AccessGrant> grant =
        AccessGrant::fromBookmarkData(defaults.dataForKey(AccessGrantKeys::sandboxscope));
    return grant && grant->path == accessRoot && grant->resolves() && grant->startAccessing();
}
