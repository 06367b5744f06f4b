// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "files/filelist.h"
#include "intake/fileintake.h"
#include "rename/accessgrant.h"
#include "rename/renamerun.h"
#include "rename/userdefaults.h"
#include "rules/namecomposer.h"

#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int folderCount = 100;

// Confirms whatever folder is proposed, as a user clicking Allow Access would.
class AllowingPrompt : public AccessPrompt
{
public:
    std::optional<QByteArray> chooseFolder(const QString &, const QString &, const QString &,
                                           const QByteArray &proposedPath) override
    {
        return proposedPath;
    }
    void alert(const QString &) override {}
};

QByteArray fileName(qint64 i)
{
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%07lld.jpg", static_cast<long long>(i));
    return QByteArray(name);
}

// folderCount folders below root with perFolder empty files each.
bool makeTree(const QByteArray &root, qint64 perFolder)
{
    if (mkdir(root.constData(), 0755) != 0)
        return false;
    for (int folder = 0; folder < folderCount; ++folder) {
        const QByteArray path = root + "/d" + QByteArray::number(folder);
        if (mkdir(path.constData(), 0755) != 0)
            return false;
        const int dir = open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (qint64 i = 0; i < perFolder; ++i) {
            const int fd = openat(dir, fileName(folder * perFolder + i).constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0)
                return false;
            close(fd);
        }
        close(dir);
    }
    return true;
}

// The reference: one renameat2 per file on names made beforehand, one folder
// descriptor per folder. Each pass appends "_x" to the base names.
struct BareTree
{
    QByteArray root;
    qint64 perFolder = 0;
    std::vector<std::string> names;

    explicit BareTree(const QByteArray &rootPath, qint64 filesPerFolder)
        : root(rootPath), perFolder(filesPerFolder)
    {
        for (qint64 i = 0; i < folderCount * perFolder; ++i)
            names.push_back(fileName(i).toStdString());
    }

    double pass(qint64 *failures)
    {
        std::vector<std::string> next;
        next.reserve(names.size());
        for (const std::string &name : names)
            next.push_back(name.substr(0, name.size() - 4) + "_x.jpg");
        const double start = benchNow();
        for (int folder = 0; folder < folderCount; ++folder) {
            const QByteArray path = root + "/d" + QByteArray::number(folder);
            const int dir = open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            for (qint64 i = folder * perFolder; i < (folder + 1) * perFolder; ++i) {
                if (renameat2(dir, names[size_t(i)].c_str(), dir, next[size_t(i)].c_str(),
                              RENAME_NOREPLACE) != 0)
                    ++*failures;
            }
            close(dir);
        }
        const double seconds = benchNow() - start;
        names.swap(next);
        return seconds;
    }
};

// Lists the tree as the window does: through the intake, with each file's
// size and date, and what a journal records of it.
void listTree(FileList &list, const QByteArray &root)
{
    list.clear();
    FileIntake intake(list);
    intake.insertFile(root);
}

} // namespace

// The window's rename run over 100,000 files in 100 folders with the name
// template "[N]_x" (grant check and journal included, as a user runs it),
// next to a bare renameat2 loop over a tree of the same shape. Two rounds in
// opposite order, so that neither side always runs on the warmer ext4 journal.
VELNOR_BENCH(renameRun, 60)
{
    const qint64 perFolder = context.scaled(100000) / folderCount;
    const QByteArray work = QFile::encodeName(context.workDir);
    const QByteArray runRoot = work + "/run";
    const QByteArray bareRoot = work + "/bare";
    if (!makeTree(bareRoot, perFolder) || !makeTree(runRoot, perFolder)) {
        std::fprintf(stderr, "renameRun: cannot make the trees\n");
        return;
    }
    FileList list;
    listTree(list, runRoot);
    BareTree bare(bareRoot, perFolder);

    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]_x");
    const NameComposer composer(settings);
    UserDefaults defaults(context.workDir + QStringLiteral("/defaults.conf"));
    AllowingPrompt prompt;
    const RenameRun::JournalChoice journal{true, context.workDir + QStringLiteral("/runs")};

    qint64 failures = 0;
    const auto runPass = [&] {
        const double start = benchNow();
        const RenameRun::Report report =
            RenameRun::clickStart(list, composer, &prompt, &defaults, {}, nullptr, journal);
        const double seconds = benchNow() - start;
        failures += report.failed + (report.renamed == list.count() ? 0 : 1);
        return seconds;
    };

    double runSeconds = runPass();
    double bareSeconds = bare.pass(&failures);
    bareSeconds += bare.pass(&failures);
    runSeconds += runPass();
    if (failures != 0)
        std::fprintf(stderr, "renameRun: %lld moves failed\n", static_cast<long long>(failures));

    const double files = double(folderCount * perFolder) * 2;
    figure("run_100k_vs_renameat2", runSeconds / bareSeconds, "ratio");
    figure("run_us_per_file", runSeconds * 1e6 / files, "us");
    figure("renameat2_us_per_file", bareSeconds * 1e6 / files, "us");
}
