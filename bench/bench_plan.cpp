#include "bench.h"

#include "files/filelist.h"
#include "plan/renameplan.h"
#include "rename/renamerun.h"
#include "rules/namecomposer.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray numberedName(qint64 i)
{
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%07lld.jpg", static_cast<long long>(i));
    return QByteArray(name);
}

// `folders` folders below root with perFolder empty files each, numbered on
// through all folders; the listed files in that order.
bool makeTree(const QByteArray &root, int folders, qint64 perFolder,
              std::vector<RenamePlan::File> *files)
{
    if (mkdir(root.constData(), 0755) != 0)
        return false;
    for (int folder = 0; folder < folders; ++folder) {
        const QByteArray path = root + "/d" + QByteArray::number(folder);
        if (mkdir(path.constData(), 0755) != 0)
            return false;
        const int dir = open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (qint64 i = folder * perFolder; i < (folder + 1) * perFolder; ++i) {
            const QByteArray name = numberedName(i);
            const int fd =
                openat(dir, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0)
                return false;
            close(fd);
            if (files)
                files->push_back({path + '/' + name, RuleFile{QString::fromLatin1(name), 0}});
        }
        close(dir);
    }
    return true;
}

void listTree(FileList &list, const std::vector<RenamePlan::File> &files)
{
    for (const RenamePlan::File &planned : files) {
        auto file = std::make_unique<ZQFile>();
        file->setNativePath(planned.path);
        file->setName(planned.rule.name);
        file->setAttributes(0, 1709644029000);
        list.appendUnlisted(std::move(file));
    }
}

} // namespace

// Making the rename plan of a million files in a thousand folders, with the
// default templates (no folder is read) and with "[N]_[C]" (every folder's
// names are read once). The figure is the slower of the two.
VELNOR_BENCH(planMillion, 70)
{
    const qint64 perFolder = context.scaled(1000000) / 1000;
    const QByteArray root = QFile::encodeName(context.workDir) + "/plan";
    std::vector<RenamePlan::File> files;
    if (!makeTree(root, 1000, perFolder, &files)) {
        std::fprintf(stderr, "planMillion: cannot make the tree\n");
        return;
    }
    double slowest = 0;
    for (const QString &name : {QStringLiteral("[N]"), QStringLiteral("[N]_[C]")}) {
        RenameSettings settings;
        settings.nameTemplate = name;
        const NameComposer composer(settings);
        double best = 1e9;
        for (int round = 0; round < 2; ++round) {
            const double start = benchNow();
            const RenamePlan plan =
                RenamePlan::make(files, [&composer](const RuleFile &file, qint64 row) {
                    return composer.newNameForFile(file, row);
                });
            best = std::min(best, benchNow() - start);
            if (plan.problems() != 0)
                std::fprintf(stderr, "planMillion: %lld problems\n", (long long)plan.problems());
        }
        figure(name == u"[N]" ? "plan_1m_defaults_s" : "plan_1m_counter_s", best, "s");
        slowest = std::max(slowest, best);
    }
    figure("plan_1m_s", slowest, "s");
}

// A run in which each of 100,000 files in 100 folders takes the name of the
// next one (a chain per folder), against a plain run ("[N]_x") over a tree of
// the same shape. Two rounds in opposite order.
VELNOR_BENCH(runShift, 75)
{
    const qint64 perFolder = context.scaled(100000) / 100;
    const QByteArray work = QFile::encodeName(context.workDir);
    std::vector<RenamePlan::File> shiftFiles;
    std::vector<RenamePlan::File> plainFiles;
    if (!makeTree(work + "/shift", 100, perFolder, &shiftFiles) ||
        !makeTree(work + "/plain", 100, perFolder, &plainFiles)) {
        std::fprintf(stderr, "runShift: cannot make the trees\n");
        return;
    }
    FileList shiftList;
    FileList plainList;
    listTree(shiftList, shiftFiles);
    listTree(plainList, plainFiles);
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]_x");
    const NameComposer plain(settings);
    // IMG_0000007.jpg takes IMG_0000008.jpg: the number one up.
    const auto shifted = [](const ZQFile &file, qint64) {
        const QString name = file.name();
        return QStringLiteral("IMG_%1.jpg")
            .arg(name.mid(4, 7).toLongLong() + 1, 7, 10, QChar(u'0'));
    };
    qint64 failures = 0;
    const auto timed = [&failures](FileList &list, const RenameRun::NameSource &names) {
        const double start = benchNow();
        const RenameRun::Report report = RenameRun::clickStart(list, names, nullptr, nullptr);
        failures += report.failed;
        return benchNow() - start;
    };
    const auto plainNames = [&plain](const ZQFile &file, qint64 row) {
        return plain.newNameForFile(file, row);
    };
    double shiftSeconds = timed(shiftList, shifted);
    double plainSeconds = timed(plainList, plainNames);
    plainSeconds += timed(plainList, plainNames);
    shiftSeconds += timed(shiftList, shifted);
    if (failures != 0)
        std::fprintf(stderr, "runShift: %lld moves failed\n", static_cast<long long>(failures));
    figure("run_100k_shift_vs_plain", shiftSeconds / plainSeconds, "ratio");
}
