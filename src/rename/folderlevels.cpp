// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/folderlevels.h"

#include "posix/nativepath.h"
#include "rename/journal.h"

#include <QSet>

#include <algorithm>
#include <map>

namespace FolderLevels {

int depth(const QByteArray &path)
{
    int names = 0;
    bool inName = false;
    for (const char c : path) {
        if (c == '/') {
            inName = false;
        } else if (!inName) {
            inName = true;
            ++names;
        }
    }
    return names;
}

std::vector<std::vector<size_t>> of(const std::vector<QByteArray> &folders, bool deepestFirst)
{
    std::map<int, std::vector<size_t>> byDepth;
    for (size_t i = 0; i < folders.size(); ++i)
        byDepth[depth(folders[i])].push_back(i);
    std::vector<std::vector<size_t>> levels;
    levels.reserve(byDepth.size());
    for (auto &[level, groups] : byDepth)
        levels.push_back(std::move(groups));
    if (deepestFirst)
        std::reverse(levels.begin(), levels.end());
    return levels;
}

std::vector<std::vector<size_t>> single(size_t count)
{
    std::vector<size_t> all(count);
    for (size_t i = 0; i < count; ++i)
        all[i] = i;
    return {std::move(all)};
}

bool movesFolders(const QList<JournalMove> &moves)
{
    QSet<QByteArray> folders;
    for (const JournalMove &move : moves)
        folders.insert(move.folder);
    for (const JournalMove &move : moves) {
        if (folders.contains(NativePath::joined(move.folder, move.oldName)) ||
            folders.contains(NativePath::joined(move.folder, move.newName)))
            return true;
    }
    return false;
}

QByteArray PathMap::folder(const QByteArray &folder)
{
    const auto known = m_known.constFind(folder);
    if (known != m_known.cend())
        return *known;
    QByteArray result = folder;
    QByteArray renamed;
    if (m_renamed(folder, &renamed))
        result = renamed;
    // The parent as it was before the run: it moved after this one, if at
    // all.
    const qsizetype slash = result.lastIndexOf('/');
    if (slash > 0) {
        const QByteArray parent = result.first(slash);
        const QByteArray parentNow = this->folder(parent);
        if (parentNow != parent)
            result = parentNow + result.sliced(slash);
    }
    m_known.insert(folder, result);
    return result;
}

QByteArray PathMap::path(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return path;
    const QByteArray parent = path.first(slash);
    const QByteArray parentNow = folder(parent);
    return parentNow == parent ? path : parentNow + path.sliced(slash);
}

} // namespace FolderLevels
