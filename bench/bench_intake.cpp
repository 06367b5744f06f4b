// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include "files/filelist.h"
#include "intake/fileintake.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Runs = 3;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A tree of `folders` folders holding `perFolder` files each, with names of
// mixed case and kinds, sparse sizes up to 8 MB and dates over five years, so
// that every sort has real work to do.
bool makeTree(const QByteArray &root, int folders, int perFolder)
{
    static const char *const stems[] = {"IMG_",
                                        "img_",
                                        "DSC",
                                        "Report ",
                                        "notes-",
                                        "\xC3\x9C"
                                        "bersicht ",
                                        "photo",
                                        "Scan_"};
    static const char *const extensions[] = {".JPG", ".jpg", ".pdf", ".txt", ".png", ".CR2"};
    if (::mkdir(root.constData(), 0755) != 0)
        return false;
    quint64 state = 88172645463325252ull;
    const auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    char name[128];
    for (int d = 0; d < folders; ++d) {
        std::snprintf(name, sizeof name, "/Folder %04d", d);
        const QByteArray folder = root + name;
        if (::mkdir(folder.constData(), 0755) != 0)
            return false;
        const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0)
            return false;
        for (int f = 0; f < perFolder; ++f) {
            const quint64 r = next();
            std::snprintf(name, sizeof name, "%s%06d%s", stems[r % 8], int((r >> 8) % 1000000),
                          extensions[(r >> 32) % 6]);
            // The random number may repeat within a folder; the index keeps names apart.
            std::snprintf(name + std::strlen(name), sizeof name - std::strlen(name), "~%d", f);
            const int fd = ::openat(dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) {
                ::close(dirFd);
                return false;
            }
            const time_t when = time_t(1560000000 + (r >> 20) % (5 * 365 * 86400ull));
            const struct timespec times[2] = {{when, 0}, {when, 0}};
            const bool ok =
                ::ftruncate(fd, off_t((r >> 40) % (8u << 20))) == 0 && ::futimens(fd, times) == 0;
            ::close(fd);
            if (!ok) {
                ::close(dirFd);
                return false;
            }
        }
        ::close(dirFd);
    }
    return true;
}

double timeFind(const QByteArray &root)
{
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    const double start = benchNow();
    find.start(QStringLiteral("find"),
               {QFile::decodeName(root), QStringLiteral("-printf"), QStringLiteral("%s %T@ %p\n")});
    find.waitForFinished(-1);
    return benchNow() - start;
}

// Resident memory in bytes: the current figure and the peak since the last
// reset of the peak.
qint64 statusBytes(const char *field)
{
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    qint64 kilobytes = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            kilobytes = std::atoll(line + length + 1);
            break;
        }
    }
    std::fclose(status);
    return kilobytes * 1024;
}

bool resetPeak()
{
    FILE *refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs)
        return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

struct IntakeRun
{
    std::unique_ptr<FileList> list;
    double seconds = 0;
};

IntakeRun timeIntake(const QByteArray &root)
{
    IntakeRun run;
    run.list = std::make_unique<FileList>();
    FileIntake intake(*run.list);
    const double start = benchNow();
    intake.insertFile(root);
    run.seconds = benchNow() - start;
    return run;
}

// Intake and find, alternating, warm cache; the ratio of the medians. The
// list of the last run is kept for the sorts.
double intakeVsFind(const QByteArray &root, qint64 expected, std::unique_ptr<FileList> *kept,
                    double *memoryPerFile)
{
    timeFind(root);
    std::vector<double> finds, intakes;
    for (int run = 0; run < Runs; ++run) {
        finds.push_back(timeFind(root));
        const bool measureMemory = memoryPerFile && run == 0;
        qint64 before = 0;
        if (measureMemory) {
            ::malloc_trim(0);
            before = statusBytes("VmRSS");
            if (!resetPeak())
                before = -1;
        }
        IntakeRun intake = timeIntake(root);
        if (measureMemory) {
            const qint64 peak = statusBytes("VmHWM");
            *memoryPerFile =
                before < 0 || peak < 0 ? -1 : double(peak - before) / double(intake.list->count());
        }
        if (intake.list->count() != expected)
            std::fprintf(stderr, "intake listed %lld files, expected %lld\n",
                         qint64(intake.list->count()), expected);
        intakes.push_back(intake.seconds);
        if (run == Runs - 1 && kept)
            *kept = std::move(intake.list);
    }
    std::fprintf(stderr, "# %lld files: intake %.3f s, find %.3f s\n", expected, median(intakes),
                 median(finds));
    return median(intakes) / median(finds);
}

double timeSort(FileList &list, const QString &column)
{
    list.setLastColumn(column);
    const double start = benchNow();
    list.performSort();
    return benchNow() - start;
}

} // namespace

// The intake of a folder tree next to find listing the same tree with size
// and date, the memory each listed file takes, and the sorts by column.
VELNOR_BENCH(intake, 20)
{
    const QByteArray work = QFile::encodeName(context.workDir);
    const qint64 small = context.scaled(100000);
    const qint64 large = context.scaled(1000000);
    const QByteArray smallRoot = work + "/tree-100k";
    const QByteArray largeRoot = work + "/tree-1m";
    // Folders just above the size from which the intake looks at entries on
    // two threads, where handing them over costs most for what it gains.
    const qint64 modest = context.scaled(150000);
    const QByteArray modestRoot = work + "/tree-150k";
    if (!makeTree(smallRoot, 100, int(small / 100)) ||
        !makeTree(largeRoot, 1000, int(large / 1000)) ||
        !makeTree(modestRoot, 1000, int(modest / 1000))) {
        std::fprintf(stderr, "intake: cannot make the trees\n");
        return;
    }

    figure("intake_100k_vs_find", intakeVsFind(smallRoot, small, nullptr, nullptr), "ratio");
    figure("intake_150k_in_1000_folders_vs_find",
           intakeVsFind(modestRoot, modest, nullptr, nullptr), "ratio");
    std::unique_ptr<FileList> list;
    double memoryPerFile = -1;
    figure("intake_1m_vs_find", intakeVsFind(largeRoot, large, &list, &memoryPerFile), "ratio");
    figure("memory_per_file_1m", memoryPerFile, "bytes");

    figure("sort_1m_oldname", timeSort(*list, FileList::OldName), "s");
    figure("sort_1m_size", timeSort(*list, FileList::Size), "s");
    figure("sort_1m_date", timeSort(*list, FileList::Date), "s");
    figure("sort_1m_location", timeSort(*list, FileList::Location), "s");
}
