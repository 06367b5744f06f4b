// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "diskfiles.h"

#include <QByteArrayList>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

// Every folder ("name/") and file ("name=content") below `root`, by paths
// relative to it, sorted: a file under two names, a lost one or a folder
// left over shows here. A folder named "runs" (the tests' journals) is passed over.
inline QByteArrayList tree(const QByteArray &root, const QByteArray &prefix = {})
{
    QByteArrayList result;
    DIR *stream = opendir((prefix.isEmpty() ? root : root + '/' + prefix).constData());
    while (const dirent *entry = stream ? readdir(stream) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || name == "runs")
            continue;
        const QByteArray relative = prefix.isEmpty() ? name : prefix + '/' + name;
        // The entry's type as the folder gives it; asked of the entry itself
        // only where the file system does not say.
        struct stat info;
        if (entry->d_type == DT_DIR ||
            (entry->d_type == DT_UNKNOWN &&
             ::lstat((root + '/' + relative).constData(), &info) == 0 && S_ISDIR(info.st_mode))) {
            result << relative + '/';
            result << tree(root, relative);
        } else {
            result << relative + '=' + readFile(root + '/' + relative);
        }
    }
    if (stream)
        closedir(stream);
    std::sort(result.begin(), result.end());
    return result;
}

// Makes root where it is not there yet, then writes each "path=content" and
// makes each "path/" below it.
inline void makeTree(const QByteArray &root, const QByteArrayList &entries)
{
    ::mkdir(root.constData(), 0755);
    for (const QByteArray &entry : entries) {
        if (entry.endsWith('/'))
            ::mkdir((root + '/' + entry).constData(), 0755);
        else
            writeFile(root + '/' + entry.left(entry.indexOf('=')),
                      entry.mid(entry.indexOf('=') + 1));
    }
}

// `folders` folders f000, f001... of `perFolder` files each, every file
// holding its own path, so that a file under a wrong name or two names shows.
// Their paths, in listing order; none when a folder could not be made.
inline QByteArrayList makeTree(const QByteArray &root, int folders, int perFolder)
{
    QByteArrayList paths;
    for (int f = 0; f < folders; ++f) {
        const QByteArray folder = root + "/f" + QByteArray::number(f).rightJustified(3, '0');
        if (::mkdir(folder.constData(), 0755) != 0)
            return {};
        for (int i = 0; i < perFolder; ++i) {
            const QByteArray name = QByteArray::number(i).rightJustified(5, '0') + ".txt";
            paths << folder + '/' + name;
            writeFile(paths.last(), paths.last());
        }
    }
    return paths;
}
