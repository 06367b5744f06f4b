// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamerun.h"

#include "files/filelist.h"
#include "files/zqfile.h"

#include <QByteArrayView>
#include <QList>

namespace {

// The components of a path as the access root compares them: the leading
// slash of an absolute path is a component of its own, empty components
// (doubled or trailing slashes) are none.
class Components
{
public:
    explicit Components(QByteArrayView path) : m_path(path) {}

    // The next component, or a null view at the end.
    QByteArrayView next()
    {
        if (m_position == 0 && m_path.startsWith('/')) {
            m_position = 1;
            return m_path.first(1);
        }
        while (m_position < m_path.size() && m_path[m_position] == '/')
            ++m_position;
        if (m_position >= m_path.size())
            return {};
        qsizetype end = m_position;
        while (end < m_path.size() && m_path[end] != '/')
            ++end;
        const QByteArrayView component = m_path.sliced(m_position, end - m_position);
        m_position = end;
        return component;
    }

private:
    QByteArrayView m_path;
    qsizetype m_position = 0;
};

QByteArray joinedComponents(const QList<QByteArrayView> &components)
{
    QByteArray path;
    for (const QByteArrayView component : components) {
        if (!path.isEmpty() && !path.endsWith('/'))
            path += '/';
        path += component;
    }
    return path;
}

} // namespace

namespace RenameRun {

namespace {

// `path(i)` gives the i-th of `count` paths.
template<typename Path> QByteArray accessRootOf(qsizetype count, const Path &path)
{
    if (count == 0)
        return QByteArray();
    QList<QByteArrayView> prefix;
    const QByteArray &firstPath = path(0);
    Components first(firstPath);
    for (QByteArrayView component = first.next(); !component.isNull(); component = first.next())
        prefix << component;
    // Most paths begin with the very bytes the prefix has in the first path,
    // followed by a slash: they keep the whole prefix, and one comparison of
    // bytes tells.
    const auto prefixBytes = [&] {
        const QByteArrayView last = prefix.constLast();
        return QByteArrayView(firstPath).first(last.data() + last.size() - firstPath.constData());
    };
    QByteArrayView bytes = prefix.isEmpty() ? QByteArrayView() : prefixBytes();
    for (qsizetype i = 1; i < count && !prefix.isEmpty(); ++i) {
        const QByteArray &next = path(i);
        if (next.startsWith(bytes) && (next.size() == bytes.size() || next[bytes.size()] == '/'))
            continue;
        Components components(next);
        qsizetype equal = 0;
        while (equal < prefix.size()) {
            const QByteArrayView component = components.next();
            if (component.isNull() || component != prefix[equal])
                break;
            ++equal;
        }
        if (equal < prefix.size()) {
            prefix.resize(equal);
            if (!prefix.isEmpty())
                bytes = prefixBytes();
        }
    }
    if (count < 2 && prefix.size() > 1)
        prefix.removeLast();
    return joinedComponents(prefix);
}

} // namespace

QByteArray accessRoot(const QList<QByteArray> &paths)
{
    return accessRootOf(paths.size(),
                        [&paths](qsizetype i) -> const QByteArray & { return paths[i]; });
}

QByteArray accessRoot(const FileList &list)
{
    // No copy of the paths: at 100,000 files the copy alone costs the
    // window's thread milliseconds.
    const auto &files = list.contentsArray();
    return accessRootOf(qsizetype(files.size()), [&files](qsizetype i) -> const QByteArray & {
        return files[size_t(i)]->nativePath();
    });
}

} // namespace RenameRun
