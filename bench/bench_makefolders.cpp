// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "files/filelist.h"
#include "rename/renamerun.h"
#include "rules/namecomposer.h"

#include <QDateTime>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// `count` empty files in one new folder, listed with modification times
// spread over 24 months.
bool makeFolder(const QByteArray &folder, qint64 count, FileList *list)
{
    if (mkdir(folder.constData(), 0755) != 0)
        return false;
    const int dir = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const qint64 start = QDateTime(QDate(2023, 1, 15), QTime(12, 0)).toMSecsSinceEpoch();
    for (qint64 i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%07lld.jpg", static_cast<long long>(i));
        const int fd = openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        close(fd);
        auto file = std::make_unique<ZQFile>();
        file->setNativePath(folder + '/' + name);
        file->setName(QString::fromLatin1(name));
        file->deriveDisplayExtension();
        file->setAttributes(0, start + (i % 24) * 30LL * 24 * 3600 * 1000);
        list->append(std::move(file));
    }
    close(dir);
    return true;
}

} // namespace

// "[Y]/[M]/[N]" over 100,000 files of 24 months in one folder, which makes 24
// folders and moves every file into one, against a run of the same files to
// free names in their own folder ("[N]_x"). Neither keeps a journal.
VELNOR_BENCH(makeFoldersRun, 60)
{
    const qint64 count = context.scaled(100000);
    const QByteArray work = QFile::encodeName(context.workDir);
    FileList sorted;
    FileList plain;
    if (!makeFolder(work + "/sorted", count, &sorted) ||
        !makeFolder(work + "/plain", count, &plain)) {
        std::fprintf(stderr, "makeFoldersRun: cannot make the folders\n");
        return;
    }
    RenameSettings sorting;
    sorting.nameTemplate = QStringLiteral("[Y]/[M]/[N]");
    sorting.makeFolders = true;
    RenameSettings freeNames;
    freeNames.nameTemplate = QStringLiteral("[N]_x");
    const auto run = [](FileList &list, const RenameSettings &settings) {
        const NameComposer composer(settings);
        const double start = benchNow();
        const RenameRun::Report report = RenameRun::clickStart(list, composer, nullptr, nullptr);
        const double seconds = benchNow() - start;
        if (report.renamed != list.count())
            std::fprintf(stderr, "makeFoldersRun: %lld of %lld moved\n",
                         static_cast<long long>(report.renamed),
                         static_cast<long long>(list.count()));
        return seconds;
    };
    const double plainSeconds = run(plain, freeNames);
    const double sortedSeconds = run(sorted, sorting);
    figure("run_100k_make_folders_vs_plain", sortedSeconds / plainSeconds, "ratio");
}
