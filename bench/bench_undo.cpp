#include "bench.h"

#include "files/filelist.h"
#include "rename/renamerun.h"
#include "rename/undorun.h"
#include "rules/namecomposer.h"

#include <QFile>

#include <cstdio>
#include <fcntl.h>
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

void listTree(FileList &list, const QByteArray &root, qint64 perFolder)
{
    list.clear();
    for (int folder = 0; folder < folders; ++folder) {
        const QByteArray path = root + "/d" + QByteArray::number(folder) + '/';
        for (qint64 i = folder * perFolder; i < (folder + 1) * perFolder; ++i) {
            auto file = std::make_unique<ZQFile>();
            file->setNativePath(path + name(i));
            file->setName(QString::fromLatin1(name(i)));
            file->deriveDisplayExtension();
            list.append(std::move(file));
        }
    }
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
    listTree(plainList, plainRoot, perFolder);
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
    listTree(journalList, journalRoot, perFolder);
    double journalSeconds = runPass(journalList, journal, &path);
    double undoSeconds = undoPass(path);
    listTree(journalList, journalRoot, perFolder);
    journalSeconds += runPass(journalList, journal, &path);
    plainSeconds += runPass(plainList, {}, nullptr);
    undoSeconds += undoPass(path);
    if (failures != 0)
        std::fprintf(stderr, "journalAndUndo: %lld moves failed\n",
                     static_cast<long long>(failures));

    figure("journal_overhead_100k", journalSeconds / plainSeconds, "ratio");
    figure("undo_100k_vs_run", undoSeconds / journalSeconds, "ratio");
    figure("journal_run_us_per_file", journalSeconds * 1e6 / double(2 * folders * perFolder), "us");
}
