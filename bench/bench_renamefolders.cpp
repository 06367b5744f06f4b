// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "files/filelist.h"
#include "intake/fileintake.h"
#include "rename/renamerun.h"
#include "rules/namecomposer.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// `folders` new folders below `root` with `perFolder` empty files each.
bool makeTree(const QByteArray &root, qint64 folders, qint64 perFolder)
{
    if (mkdir(root.constData(), 0755) != 0)
        return false;
    for (qint64 f = 0; f < folders; ++f) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "/album %05lld", static_cast<long long>(f));
        const QByteArray path = root + folder;
        if (mkdir(path.constData(), 0755) != 0)
            return false;
        const int dir = open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (qint64 i = 0; i < perFolder; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "track %04lld.flac", static_cast<long long>(i));
            const int fd = openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) {
                close(dir);
                return false;
            }
            close(fd);
        }
        close(dir);
    }
    return true;
}

} // namespace

// 100,000 files in 1,000 folders renamed with the folders listed and renamed
// too ("[N]_x" on every row but the top folder), against the same run over
// the files alone. Neither keeps a journal.
VELNOR_BENCH(renameFoldersRun, 60)
{
    const qint64 folders = std::max<qint64>(1, context.scaled(1000));
    const QByteArray work = QFile::encodeName(context.workDir);
    const QByteArray withFolders = work + "/folders";
    const QByteArray filesOnly = work + "/files";
    if (!makeTree(withFolders, folders, 100) || !makeTree(filesOnly, folders, 100)) {
        std::fprintf(stderr, "renameFoldersRun: cannot make the trees\n");
        return;
    }
    const auto run = [](const QByteArray &root, RenameSettings::Rows rows) {
        FileList list;
        FileIntake intake(list);
        intake.setRows(rows);
        intake.insertFile(root);
        // The top folder keeps its name: the runs differ by the albums alone.
        if (rows != RenameSettings::Rows::Files)
            list.removeRows(0, 1);
        RenameSettings settings;
        settings.nameTemplate = QStringLiteral("[N]_x");
        const NameComposer composer(settings);
        const double start = benchNow();
        const RenameRun::Report report = RenameRun::clickStart(list, composer, nullptr, nullptr);
        const double seconds = benchNow() - start;
        if (report.renamed != list.count())
            std::fprintf(stderr, "renameFoldersRun: %lld of %lld moved\n",
                         static_cast<long long>(report.renamed),
                         static_cast<long long>(list.count()));
        return seconds;
    };
    const double filesSeconds = run(filesOnly, RenameSettings::Rows::Files);
    const double foldersSeconds = run(withFolders, RenameSettings::Rows::FilesAndFolders);
    figure("run_100k_folders_vs_files", foldersSeconds / filesSeconds, "ratio");
}
