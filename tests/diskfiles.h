// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

// Files written and read back by their bytes, for tests that check the disk
// after a move.
inline void writeFile(const QByteArray &path, const QByteArray &content)
{
    std::ofstream(path.toStdString(), std::ios::binary).write(content.constData(), content.size());
}

inline void writeFile(const QString &path, const QByteArray &content)
{
    writeFile(QFile::encodeName(path), content);
}

inline QByteArray readFile(const QByteArray &path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return QByteArray::fromStdString(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

inline QByteArray readFile(const QString &path)
{
    return readFile(QFile::encodeName(path));
}

// Sets a path's own modification time (not a link's target's).
inline bool setTime(const QByteArray &path, qint64 seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    return ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// Every entry of one folder, hidden ones included, as "name=content", sorted
// and joined by spaces: a leftover placeholder or temporary name shows here.
// The volume entries of Windows file systems are left out.
inline QString folderEntries(const QByteArray &folder)
{
    QStringList entries;
    DIR *stream = opendir(folder.constData());
    while (const dirent *entry = stream ? readdir(stream) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != ".." && name != "$RECYCLE.BIN" &&
            name != "System Volume Information")
            entries << QString::fromUtf8(name + '=' + readFile(folder + '/' + name));
    }
    if (stream)
        closedir(stream);
    entries.sort();
    return entries.join(u' ');
}
