// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/accessgrant.h"

#include "rename/userdefaults.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>

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

// `path` is `folder` or lies below it, compared byte for byte and by whole
// components: "/a/b" holds "/a/b/c" but not "/a/bc".
bool isWithin(const QByteArray &path, const QByteArray &folder)
{
    if (path == folder)
        return true;
    if (folder == "/")
        return path.startsWith('/');
    return path.size() > folder.size() && path.startsWith(folder) && path[folder.size()] == '/';
}

// One grant as stored: the folder's path, and its bookmark unless none could
// be made when it was granted.
struct StoredGrant
{
    QByteArray path;
    std::optional<QByteArray> bookmark;
};

// A list entry is the bookmark, or the bare path when there was none.
std::optional<StoredGrant> fromEntry(const QByteArray &entry)
{
    if (isUsablePath(entry))
        return StoredGrant{withoutTrailingSlash(entry), std::nullopt};
    const std::optional<AccessGrant> grant = AccessGrant::fromBookmarkData(entry);
    if (!grant)
        return std::nullopt;
    return StoredGrant{grant->path, entry};
}

QByteArray toEntry(const StoredGrant &grant)
{
    return grant.bookmark ? *grant.bookmark : grant.path;
}

// Every grant: the list, then the single grant of the two older keys, which
// versions before the list wrote and which still names the latest grant.
QList<StoredGrant> storedGrants(const UserDefaults &defaults)
{
    QList<StoredGrant> grants;
    const QVariant list = defaults.objectForKey(AccessGrantKeys::grants);
    // A list of one comes back from the file as a plain value.
    const QVariantList entries =
        list.typeId() == QMetaType::QVariantList ? list.toList() : QVariantList{list};
    for (const QVariant &entry : entries) {
        if (entry.typeId() != QMetaType::QByteArray)
            continue;
        if (const std::optional<StoredGrant> grant = fromEntry(entry.toByteArray()))
            grants << *grant;
    }
    if (defaults.objectForKey(AccessGrantKeys::rootlimit).isValid()) {
        StoredGrant latest{withoutTrailingSlash(defaults.dataForKey(AccessGrantKeys::rootlimit)),
                           std::nullopt};
        if (defaults.objectForKey(AccessGrantKeys::sandboxscope).isValid())
            latest.bookmark = defaults.dataForKey(AccessGrantKeys::sandboxscope);
        const bool listed = std::any_of(grants.cbegin(), grants.cend(), [&](const auto &grant) {
            return grant.path == latest.path && grant.bookmark == latest.bookmark;
        });
        if (!listed && isUsablePath(latest.path))
            grants << latest;
    }
    return grants;
}

void storeGrants(const QList<StoredGrant> &grants, UserDefaults &defaults)
{
    QVariantList entries;
    for (const StoredGrant &grant : grants)
        entries << toEntry(grant);
    defaults.setObject(entries.isEmpty() ? QVariant() : QVariant(entries), AccessGrantKeys::grants);
}

bool covers(const StoredGrant &stored, const QByteArray &root)
{
    if (!isWithin(root, stored.path))
        return false;
    // A grant stored without a bookmark names the folder and nothing more:
    // the run goes on and each move meets the folders' permissions itself.
    if (!stored.bookmark)
        return true;
    const std::optional<AccessGrant> grant = AccessGrant::fromBookmarkData(*stored.bookmark);
    // The moves happen in the run's folder, which may be writable where the
    // granted folder above it (the home folder's parent, say) is not.
    return grant && grant->path == stored.path && grant->resolves() &&
           faccessat(AT_FDCWD, root.constData(), W_OK | X_OK, AT_EACCESS) == 0;
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
    return QCoreApplication::translate("AccessGrant", "Folder Access");
}
QString prompt()
{
    return QCoreApplication::translate("AccessGrant", "Allow Renaming");
}
QString message()
{
    return QCoreApplication::translate(
        "AccessGrant",
        "Velnor asks before it renames files in a folder for the first time. The answer is "
        "remembered for the chosen folder and every folder inside it, so you are not asked "
        "there again. Choose a folder higher up to allow more at once.");
}
QString declined()
{
    return QCoreApplication::translate(
        "AccessGrant",
        "No files were renamed. Velnor renames files only in folders you have allowed.");
}
} // namespace AccessRequestText

bool grantChosenFolder(const std::optional<QByteArray> &chosen, UserDefaults &defaults)
{
    if (!chosen || chosen->isEmpty())
        return false;
    const QByteArray folder = withoutTrailingSlash(*chosen);
    const std::optional<AccessGrant> grant = AccessGrant::forFolder(folder);
    // The new grant takes the place of those it holds, including an older one
    // of the same folder whose bookmark no longer resolves.
    QList<StoredGrant> grants = storedGrants(defaults);
    grants.removeIf([&](const StoredGrant &stored) { return isWithin(stored.path, folder); });
    grants << StoredGrant{folder, grant ? std::optional(grant->bookmarkData()) : std::nullopt};
    storeGrants(grants, defaults);
    // The latest grant also stays under the two older keys, so that a version
    // before the list still finds it. Without a bookmark the key goes, so that
    // no older grant's bookmark is taken for this folder's.
    defaults.setObject(grant ? QVariant(grant->bookmarkData()) : QVariant(),
                       AccessGrantKeys::sandboxscope);
    // Bytes, not text: a folder whose name is not UTF-8 must still match.
    defaults.setObject(folder, AccessGrantKeys::rootlimit);
    defaults.synchronize();
    return true;
}

QByteArrayList grantedFolders(const UserDefaults &defaults)
{
    QByteArrayList folders;
    for (const StoredGrant &grant : storedGrants(defaults))
        folders << grant.path;
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

void revokeGrant(const QByteArray &folder, UserDefaults &defaults)
{
    QList<StoredGrant> grants = storedGrants(defaults);
    grants.removeIf([&](const StoredGrant &stored) { return stored.path == folder; });
    storeGrants(grants, defaults);
    if (defaults.objectForKey(AccessGrantKeys::rootlimit).isValid() &&
        withoutTrailingSlash(defaults.dataForKey(AccessGrantKeys::rootlimit)) == folder) {
        defaults.setObject(QVariant(), AccessGrantKeys::rootlimit);
        defaults.setObject(QVariant(), AccessGrantKeys::sandboxscope);
    }
    defaults.synchronize();
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
    const QByteArray root = withoutTrailingSlash(accessRoot);
    if (!isUsablePath(root))
        return false;
    const QList<StoredGrant> grants = storedGrants(defaults);
    return std::any_of(grants.cbegin(), grants.cend(),
                       [&](const StoredGrant &grant) { return covers(grant, root); });
}
