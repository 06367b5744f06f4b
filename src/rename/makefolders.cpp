// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamerun.h"

#include "rename/pausepoints.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace RenameRun {

void makeFolders(const QList<QByteArray> &folders,
                 const std::function<bool(const QByteArray &folder)> &record,
                 const std::function<void(const QByteArray &folder, bool made)> &made)
{
    QList<QByteArray> sorted = folders;
    std::sort(sorted.begin(), sorted.end());
    for (const QByteArray &folder : sorted) {
        struct stat info;
        if (::lstat(folder.constData(), &info) == 0 || errno != ENOENT)
            continue;
        if (record && !record(folder))
            continue;
        // With the user's umask, as any other program makes a folder.
        const bool ok = ::mkdir(folder.constData(), 0777) == 0;
        if (made)
            made(folder, ok);
        if (ok)
            PausePoints::at("folder");
    }
}

} // namespace RenameRun
