// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Where a native path parts into the folder that holds the entry and the
// entry's name: at its last slash. The bytes are never decoded, so a name
// that is not UTF-8 parts like any other.
namespace NativePath {

// Where the name begins: just after the last slash, 0 without one.
qsizetype nameStart(QByteArrayView path);
// What follows the last slash: the whole path without a slash, nothing
// after a trailing slash. A view into `path`.
QByteArrayView name(QByteArrayView path);
// What comes before the last slash; "/" for an entry of the root ("/a",
// "//a"), nothing for a path without a slash.
QByteArray folder(const QByteArray &path);
// `name` in `folder`: one slash between them, also after the root "/".
QByteArray joined(const QByteArray &folder, const QByteArray &name);
// The folder to open for a move: as folder(), but "." (the working folder)
// for a path without a slash.
QByteArray openableFolder(const QByteArray &path);
// The name a handed-over path means, trailing slashes not counted: "b" for
// "/a/b/", "/" for "/" and "//". A view into `path`.
QByteArrayView lastComponent(QByteArrayView path);

// The one spelling of a path handed to either program: absolute against
// `currentFolder`, without "." or empty components, so that "." and "./a/"
// list the same records as the folder's full path. Only the file system knows
// where ".." leads through a link, so a path holding it has the folder of its
// last component resolved there ("d/../d/x" and "d/x" name one record); the
// last component, which may itself be a link, stays.
QByteArray absolute(const QByteArray &path, const QByteArray &currentFolder);
// The working folder; empty (with errno set) when it cannot be read.
QByteArray currentFolder();

} // namespace NativePath
