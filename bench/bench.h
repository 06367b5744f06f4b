// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>

// A part of the benchmark program: registered by VELNOR_BENCH, run in order of
// `order`, printing its results with figure().
struct BenchContext
{
    bool quick = false;
    // A scratch folder for generated trees, emptied by the caller.
    QString workDir;

    // n, or a tenth of it with QUICK=1.
    qint64 scaled(qint64 n) const { return quick ? n / 10 : n; }
};

using BenchPart = void (*)(const BenchContext &);

struct BenchRegistrar
{
    BenchRegistrar(const char *name, int order, BenchPart part);
};

// Prints "figure NAME VALUE UNIT".
void figure(const char *name, double value, const char *unit);

// Seconds since an arbitrary start, monotonic.
inline double benchNow()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

#define VELNOR_BENCH(name, order)                                                                  \
    static void name(const BenchContext &);                                                        \
    static const BenchRegistrar name##Registrar(#name, order, name);                               \
    static void name(const BenchContext &context)
