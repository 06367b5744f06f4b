// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/filelist.h"
#include "files/zqfile.h"
#include "posix/namecodec.h"

#include <QDateTime>

#include <memory>

// The record the intake would make of `path`, without looking at the disk:
// its bytes, its name as text, its extension.
inline std::unique_ptr<ZQFile> recordOf(const QByteArray &path)
{
    auto file = std::make_unique<ZQFile>();
    file->setNativePath(path);
    file->setName(NameCodec::decode(file->nativeName()));
    file->deriveDisplayExtension();
    return file;
}

inline void listPath(FileList &list, const QByteArray &path)
{
    list.append(recordOf(path));
}

inline void listPaths(FileList &list, const QByteArrayList &paths)
{
    for (const QByteArray &path : paths)
        listPath(list, path);
}

// A wall-clock time where the tests run (Europe/Berlin), in milliseconds.
inline qint64 localMsecs(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime)
        .toMSecsSinceEpoch();
}
