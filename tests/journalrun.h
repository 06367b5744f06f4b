// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/filelist.h"
#include "posix/namecodec.h"
#include "records.h"
#include "rename/renamerun.h"
#include "rename/undorun.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Runs over the files of `folder` named on the left of each "old>new" pair
// (a path below it), with the journal kept in `journals`; the name bytes of
// the new name as given.
// With `makeFolders` the "/" of a new name makes folders; `kept` keeps the
// list the run went over.
inline RenameRun::Report runWithJournal(const QByteArray &folder, const QByteArrayList &renames,
                                        const QString &journals, bool makeFolders = false,
                                        FileList *kept = nullptr)
{
    FileList own;
    FileList &list = kept ? *kept : own;
    QHash<QByteArray, QByteArray> newName;
    for (const QByteArray &pair : renames) {
        const qsizetype arrow = pair.indexOf('>');
        listPath(list, folder + '/' + pair.left(arrow));
        newName.insert(folder + '/' + pair.left(arrow), pair.mid(arrow + 1));
    }
    const auto source = [&](const ZQFile &file, qint64) {
        return NameCodec::decode(newName.value(file.nativePath()));
    };
    return RenameRun::clickStart(list, source, nullptr, nullptr, {}, nullptr, {true, journals},
                                 false, makeFolders);
}

// Undoes (or redoes) the run of `journal` as a whole: the number of files it
// moved, or -1, with a warning why, where it failed, kept a file or a folder.
inline qsizetype undoAll(const QString &journal,
                         UndoRun::Direction direction = UndoRun::Direction::Undo)
{
    const UndoRun::Report report = UndoRun::run(journal, direction);
    if (report.error.isEmpty() && report.kept.isEmpty() && report.foldersKept.isEmpty())
        return report.moved.size();
    qWarning("%s", qPrintable(report.error + report.detailedText()));
    return -1;
}

// Runs this program with `arguments`, stopped by the test pause at `moment`
// (see pausehook.h), and kills it there. False if it ended before it came to
// the moment.
inline bool killChildAt(const QByteArray &moment, const QByteArrayList &arguments)
{
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("VELNOR_TEST_PAUSE_AT", moment.constData(), 1);
        std::vector<char *> argv{const_cast<char *>(self.constData())};
        for (const QByteArray &argument : arguments)
            argv.push_back(const_cast<char *>(argument.constData()));
        argv.push_back(nullptr);
        ::execv(self.constData(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, WUNTRACED) != child || !WIFSTOPPED(status)) {
        qWarning("the child ended before the moment it was to be killed at");
        return false;
    }
    ::kill(child, SIGKILL);
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
}

// The file system can no longer be written to or read from the cache: what
// the next look finds comes from the disk.
inline bool dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC);
    const bool dropped = fd >= 0 && ::write(fd, "3\n", 2) == 2;
    if (fd >= 0)
        ::close(fd);
    return dropped;
}
