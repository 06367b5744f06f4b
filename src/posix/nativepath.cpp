#include "posix/nativepath.h"

namespace NativePath {

qsizetype nameStart(QByteArrayView path)
{
    return path.lastIndexOf('/') + 1;
}

QByteArrayView name(QByteArrayView path)
{
    return path.sliced(nameStart(path));
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

} // namespace NativePath
