// SPDX-License-Identifier: GPL-3.0-or-later
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
// names are read once). The figure is the slower of the two. Then with names
// made unique: "[N]_[C]", where every name is free, and "scan", where all but
// the first of each folder's thousand files are numbered.
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

    double slowestUnique = 0;
    for (const QString &name : {QStringLiteral("[N]_[C]"), QStringLiteral("scan")}) {
        RenameSettings settings;
        settings.nameTemplate = name;
        const NameComposer composer(settings);
        double best = 1e9;
        for (int round = 0; round < 2; ++round) {
            const double start = benchNow();
            const RenamePlan plan = RenamePlan::make(
                files,
                [&composer](const RuleFile &file, qint64 row) {
                    return composer.newNameForFile(file, row);
                },
                nullptr, nullptr, {}, true);
            best = std::min(best, benchNow() - start);
            if (plan.problems() != 0)
                std::fprintf(stderr, "planMillion unique: %lld problems\n",
                             (long long)plan.problems());
        }
        figure(name == u"scan" ? "plan_1m_unique_numbered_s" : "plan_1m_unique_free_s", best, "s");
        slowestUnique = std::max(slowestUnique, best);
    }
    figure("plan_1m_unique_s", slowestUnique, "s");
}

// A run in which each of 100,000 files in 100 folders takes the name of the
// next one (a chain per folder), against a plain run over a tree of the same
// shape. Both sides compose "IMG_[C]" with seven digits and differ only in
// where the counter starts: one above each file's own number (the chain), or
// a million above it, where every new name is free. The new names are as
// long as the old ones on both sides: a reference whose names grow ("[N]_x")
// splits its folders' directory blocks on every pass, and a sparser folder
// makes every later lookup in it cheaper, which has nothing to do with
// chains. Two rounds in opposite order.
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
    qint64 failures = 0;
    // Row r holds IMG_<r + start - 1>.jpg after the pass that counted from
    // `start`, so the next shift counts from start + 1.
    const auto timed = [&failures](FileList &list, qint32 start) {
        RenameSettings settings;
        settings.nameTemplate = QStringLiteral("IMG_[C]");
        settings.startCounter = start;
        settings.digitsCounter = 7;
        const NameComposer composer(settings);
        const auto names = [&composer](const ZQFile &file, qint64 row) {
            return composer.newNameForFile(file, row);
        };
        const double begin = benchNow();
        const RenameRun::Report report = RenameRun::clickStart(list, names, nullptr, nullptr);
        const double seconds = benchNow() - begin;
        failures += report.failed + (list.count() - report.renamed);
        return seconds;
    };
    double shiftSeconds = timed(shiftList, 1);
    double plainSeconds = timed(plainList, 1000000);
    plainSeconds += timed(plainList, 2000000);
    shiftSeconds += timed(shiftList, 2);
    if (failures != 0)
        std::fprintf(stderr, "runShift: %lld moves failed\n", static_cast<long long>(failures));
    figure("run_100k_shift_vs_plain", shiftSeconds / plainSeconds, "ratio");
}
