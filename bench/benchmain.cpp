// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
struct Registered
{
    const char *name;
    int order;
    BenchPart part;
};

std::vector<Registered> &registry()
{
    static std::vector<Registered> parts;
    return parts;
}
} // namespace

BenchRegistrar::BenchRegistrar(const char *name, int order, BenchPart part)
{
    registry().push_back({name, order, part});
}

void figure(const char *name, double value, const char *unit)
{
    std::printf("figure %s %.*f %s\n", name, value < 10 ? 3 : 1, value, unit);
    std::fflush(stdout);
}

// velnor-bench [--quick] [--work DIR] [PART...]
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BenchContext context;
    QStringList only;
    QString work;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick"))
            context.quick = true;
        else if (args[i] == QLatin1String("--work") && i + 1 < args.size())
            work = args[++i];
        else
            only << args[i];
    }
    QTemporaryDir scratch(work.isEmpty() ? QDir::tempPath() + QLatin1String("/velnor-bench-XXXXXX")
                                         : work + QLatin1String("/velnor-bench-XXXXXX"));
    if (!scratch.isValid()) {
        std::fprintf(stderr, "velnor-bench: cannot make a scratch folder\n");
        return 1;
    }
    auto &parts = registry();
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Registered &a, const Registered &b) { return a.order < b.order; });
    for (const Registered &part : parts) {
        if (!only.isEmpty() && !only.contains(QLatin1String(part.name)))
            continue;
        const QString dir = scratch.path() + QLatin1Char('/') + QLatin1String(part.name);
        QDir().mkpath(dir);
        context.workDir = dir;
        std::fprintf(stderr, "# %s\n", part.name);
        part.part(context);
        QDir(dir).removeRecursively();
    }
    return 0;
}
