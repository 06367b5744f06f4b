// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/nativepath.h"

#include <QByteArrayList>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// The real path of an existing folder, or an empty array.
QByteArray realFolder(const QByteArray &folder)
{
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return {};
    QByteArray result(real);
    std::free(real);
    return result;
}

} // namespace

namespace NativePath {

qsizetype nameStart(QByteArrayView path)
{
    return path.lastIndexOf('/') + 1;
}

QByteArrayView name(QByteArrayView path)
{
    return path.sliced(nameStart(path));
}

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray folder(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArray();
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray openableFolder(const QByteArray &path)
{
    return path.contains('/') ? folder(path) : QByteArrayLiteral(".");
}

QByteArrayView lastComponent(QByteArrayView path)
{
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const QByteArrayView kept = path.first(end);
    const qsizetype slash = kept.lastIndexOf('/');
    if (slash < 0 || (slash == 0 && end == 1))
        return kept;
    return kept.sliced(slash + 1);
}

QByteArray absolute(const QByteArray &path, const QByteArray &currentFolder)
{
    const QByteArray full = path.startsWith('/') ? path : currentFolder + '/' + path;
    QByteArray clean;
    clean.reserve(full.size());
    bool parentStep = false;
    for (const QByteArray &component : full.split('/')) {
        if (component.isEmpty() || component == ".")
            continue;
        parentStep = parentStep || component == "..";
        clean += '/';
        clean += component;
    }
    if (clean.isEmpty())
        return QByteArrayLiteral("/");
    if (!parentStep)
        return clean;
    const QByteArray last = name(clean).toByteArray();
    if (last == "..") {
        const QByteArray real = realFolder(clean);
        return real.isEmpty() ? clean : real;
    }
    const QByteArray resolved = realFolder(folder(clean));
    if (resolved.isEmpty())
        return clean;
    return (resolved == "/" ? resolved : resolved + '/') + last;
}

QByteArray currentFolder()
{
    QByteArray folder(4096, Qt::Uninitialized);
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.truncate(qsizetype(std::strlen(folder.constData())));
    return folder;
}

} // namespace NativePath
