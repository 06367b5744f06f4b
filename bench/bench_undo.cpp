// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "../tests/loopmount.h"

#include "files/filelist.h"
#include "intake/fileintake.h"
#include "rename/journal.h"
#include "rename/renamerun.h"
#include "rename/runhistory.h"
#include "rename/undorun.h"
#include "rules/namecomposer.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int folders = 100;

QByteArray name(qint64 i)
{
    char text[32];
    std::snprintf(text, sizeof text, "DSC_%07lld.jpg", static_cast<long long>(i));
    return QByteArray(text);
}

bool makeTree(const QByteArray &root, qint64 perFolder)
{
    if (mkdir(root.constData(), 0755) != 0)
        return false;
    for (int folder = 0; folder < folders; ++folder) {
        const QByteArray path = root + "/d" + QByteArray::number(folder);
        if (mkdir(path.constData(), 0755) != 0)
            return false;
        for (qint64 i = folder * perFolder; i < (folder + 1) * perFolder; ++i) {
            const int fd = open((path + '/' + name(i)).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0)
                return false;
            close(fd);
        }
    }
    return true;
}

// Lists the tree as the window does: through the intake, with each file's
// size and date, and what a journal records of it.
void listTree(FileList &list, const QByteArray &root)
{
    list.clear();
    FileIntake intake(list);
    intake.insertFile(root);
}

// Gives each file of a tree renamed by `[N]_x` its first name again, as the
// undo does for the tree with a journal: a pass over names that grew on every
// pass would find the folders' blocks split and its lookups cheaper, and so
// measure less work than the pass it is compared with.
bool restoreTree(const QByteArray &root, qint64 perFolder)
{
    for (int folder = 0; folder < folders; ++folder) {
        const QByteArray path = root + "/d" + QByteArray::number(folder) + '/';
        for (qint64 i = folder * perFolder; i < (folder + 1) * perFolder; ++i) {
            const QByteArray original = name(i);
            QByteArray renamed = original;
            renamed.insert(renamed.lastIndexOf('.'), "_x");
            if (::rename((path + renamed).constData(), (path + original).constData()) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

// The run over 100,000 files in 100 folders with its journal against the
// same run without one, on two trees of the same shape, in the order
// plain, journal, journal, plain; and the undo of each run with a journal
// against that run.
VELNOR_BENCH(journalAndUndo, 65)
{
    const qint64 perFolder = context.scaled(100000) / folders;
    const QByteArray work = QFile::encodeName(context.workDir);
    const QByteArray plainRoot = work + "/plain";
    const QByteArray journalRoot = work + "/journal";
    if (!makeTree(plainRoot, perFolder) || !makeTree(journalRoot, perFolder)) {
        std::fprintf(stderr, "journalAndUndo: cannot make the trees\n");
        return;
    }
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]_x");
    const NameComposer composer(settings);
    const RenameRun::JournalChoice journal{true, context.workDir + QStringLiteral("/runs")};
    FileList plainList;
    listTree(plainList, plainRoot);
    FileList journalList;

    qint64 failures = 0;
    const auto runPass = [&](FileList &list, const RenameRun::JournalChoice &choice,
                             QString *journalPath) {
        const double start = benchNow();
        const RenameRun::Report report =
            RenameRun::clickStart(list, composer, nullptr, nullptr, {}, nullptr, choice);
        const double seconds = benchNow() - start;
        failures += report.failed + (report.renamed == list.count() ? 0 : 1);
        if (journalPath)
            *journalPath = report.journalPath;
        return seconds;
    };
    const auto undoPass = [&](const QString &journalPath) {
        const double start = benchNow();
        const UndoRun::Report report = UndoRun::run(journalPath, UndoRun::Direction::Undo);
        const double seconds = benchNow() - start;
        failures += report.kept.size() + (report.moved.size() == plainList.count() ? 0 : 1);
        return seconds;
    };

    QString path;
    double plainSeconds = runPass(plainList, {}, nullptr);
    listTree(journalList, journalRoot);
    double journalSeconds = runPass(journalList, journal, &path);
    double undoSeconds = undoPass(path);
    listTree(journalList, journalRoot);
    journalSeconds += runPass(journalList, journal, &path);
    if (!restoreTree(plainRoot, perFolder))
        ++failures;
    listTree(plainList, plainRoot);
    plainSeconds += runPass(plainList, {}, nullptr);
    undoSeconds += undoPass(path);
    if (failures != 0)
        std::fprintf(stderr, "journalAndUndo: %lld moves failed\n",
                     static_cast<long long>(failures));

    figure("journal_overhead_100k", journalSeconds / plainSeconds, "ratio");
    figure("undo_100k_vs_run", undoSeconds / journalSeconds, "ratio");
    figure("journal_run_us_per_file", journalSeconds * 1e6 / double(2 * folders * perFolder), "us");
}

// Listing a history of about 100 MiB of journals (those of 100,000-file runs,
// each with every outcome and its closing record), as the window does at
// start and after every run, against `wc -l` reading the same files. Each
// side's best of three.
VELNOR_BENCH(historyList, 66)
{
    const qint64 movesPerRun = context.scaled(100000);
    const qint64 targetBytes = context.scaled(100) * 1024 * 1024;
    const QString runs = context.workDir + QStringLiteral("/history");
    QList<JournalMove> moves;
    moves.reserve(movesPerRun);
    for (qint64 i = 0; i < movesPerRun; ++i)
        moves.append({"/home/user/Pictures/d" + QByteArray::number(i / 1000), name(i),
                      name(i).replace(".jpg", "_x.jpg"), 2049, quint64(1000000 + i)});
    qint64 bytes = 0;
    QStringList files;
    for (qint64 run = 0; bytes < targetBytes; ++run) {
        JournalWriter writer;
        QString error;
        if (!writer.begin(runs, moves, 1765000000000 + run * 1000, &error)) {
            std::fprintf(stderr, "historyList: %s\n", qPrintable(error));
            return;
        }
        for (qint64 i = 0; i < movesPerRun; ++i)
            writer.recordOutcome(i, true);
        writer.finish(movesPerRun, 0, 0);
        bytes += QFileInfo(writer.path()).size();
        files << writer.path();
    }

    double listSeconds = 1e9;
    qsizetype listed = 0;
    for (int round = 0; round < 3; ++round) {
        const double start = benchNow();
        const RunHistory::Listing listing = RunHistory::list(runs);
        listSeconds = std::min(listSeconds, benchNow() - start);
        listed = listing.runs.size();
    }
    double wcSeconds = 1e9;
    for (int round = 0; round < 3; ++round) {
        QProcess wc;
        wc.setStandardOutputFile(QProcess::nullDevice());
        const double start = benchNow();
        wc.start(QStringLiteral("wc"), QStringList{QStringLiteral("-l")} + files);
        wc.waitForFinished(-1);
        wcSeconds = std::min(wcSeconds, benchNow() - start);
    }
    if (listed != files.size())
        std::fprintf(stderr, "historyList: %lld of %lld runs listed\n",
                     static_cast<long long>(listed), static_cast<long long>(files.size()));
    std::fprintf(stderr, "# history of %lld runs, %.1f MiB: listed in %.1f ms, wc -l %.1f ms\n",
                 static_cast<long long>(files.size()), double(bytes) / (1024 * 1024),
                 listSeconds * 1e3, wcSeconds * 1e3);
    figure("history_list_100mib_ms", listSeconds * 1e3, "ms");
    figure("history_list_vs_wc", listSeconds / wcSeconds, "ratio");
}

// The undo of a run over 10,000 files (10 folders) on an exFAT image through
// exfat-fuse, against the run itself: there every move is made in steps (a
// placeholder claimed, then the file renamed over it), each written to the
// journal before it is taken, by the run and the undo alike. Needs root to
// mount the image; skipped with a note otherwise.
VELNOR_BENCH(undoOnExfat, 67)
{
    LoopMount mount(QStringLiteral("exfat"));
    if (!mount.isValid()) {
        std::fprintf(stderr, "# undo_100k_exfat_vs_run skipped: %s\n", qPrintable(mount.whyNot()));
        return;
    }
    constexpr int exfatFolders = 10;
    const qint64 perFolder = context.scaled(10000) / exfatFolders;
    FileList list;
    for (int folder = 0; folder < exfatFolders; ++folder) {
        const QByteArray path = mount.path("d" + QByteArray::number(folder));
        if (mkdir(path.constData(), 0755) != 0)
            return;
        for (qint64 i = folder * perFolder; i < (folder + 1) * perFolder; ++i) {
            const int fd = open((path + '/' + name(i)).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0)
                return;
            close(fd);
            auto file = std::make_unique<ZQFile>();
            file->setNativePath(path + '/' + name(i));
            file->setName(QString::fromLatin1(name(i)));
            file->deriveDisplayExtension();
            list.append(std::move(file));
        }
    }
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]_x");
    const NameComposer composer(settings);
    const RenameRun::JournalChoice journal{true, context.workDir + QStringLiteral("/exfat-runs")};
    double start = benchNow();
    const RenameRun::Report run =
        RenameRun::clickStart(list, composer, nullptr, nullptr, {}, nullptr, journal);
    const double runSeconds = benchNow() - start;
    start = benchNow();
    const UndoRun::Report undone = UndoRun::run(run.journalPath, UndoRun::Direction::Undo);
    const double undoSeconds = benchNow() - start;
    if (run.renamed != list.count() || undone.moved.size() != list.count())
        std::fprintf(stderr, "undoOnExfat: %lld renamed, %lld back of %lld\n",
                     static_cast<long long>(run.renamed),
                     static_cast<long long>(undone.moved.size()),
                     static_cast<long long>(list.count()));
    std::fprintf(stderr, "# exFAT: run %.2f s, undo %.2f s\n", runSeconds, undoSeconds);
    figure("undo_100k_exfat_vs_run", undoSeconds / runSeconds, "ratio");
}
