// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

struct JournalMove;

#include <functional>
#include <vector>

// The order in which the groups of a run that renames folders can move. A
// group is one folder's moves, named by the folder's path as it was before
// the run; renaming a folder changes the path of everything below it, so a
// run goes deepest first (a folder only moves once all below it has), and an
// undo shallowest first (a folder has its old name back before anything
// below it is looked for there). Groups of one depth never touch each other's
// paths and move side by side.
namespace FolderLevels {

// The number of names in a path ("/a/b" is 2, "/" is 0).
int depth(const QByteArray &path);

// The indexes of `folders` in levels, each level's groups in their given
// order, deepest level first or shallowest first.
std::vector<std::vector<size_t>> of(const std::vector<QByteArray> &folders, bool deepestFirst);

// Every index in one level, for a run that renames no folder.
std::vector<std::vector<size_t>> single(size_t count);

// Whether one of a journal's moves is of a folder that holds the files of
// another: an undo or redo must then go by levels.
bool movesFolders(const QList<JournalMove> &moves);

// Where a path (of a record, of a listed folder) is once the folders renamed
// have their new names: `renamed` tells, of a folder by its path before the
// run, its new path in its parent as that was before the run. The answers
// are kept, so that the folders of many paths are worked out once.
class PathMap
{
public:
    using Renamed = std::function<bool(const QByteArray &before, QByteArray *after)>;
    explicit PathMap(Renamed renamed) : m_renamed(std::move(renamed)) {}
    QByteArray folder(const QByteArray &folder);
    // A path whose own last name stays as it is.
    QByteArray path(const QByteArray &path);

private:
    Renamed m_renamed;
    QHash<QByteArray, QByteArray> m_known;
};

} // namespace FolderLevels
