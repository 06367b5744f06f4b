#include "rename/testpause.h"

#include <QByteArray>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace {

struct Setting
{
    QByteArray point;
    long long moves = -1;
};

const Setting &setting()
{
    static const Setting value = [] {
        Setting s;
        s.point = qgetenv("VELNOR_TEST_PAUSE_AT");
        if (s.point.startsWith("move:"))
            s.moves = s.point.mid(5).toLongLong();
        return s;
    }();
    return value;
}

} // namespace

namespace TestPause {

void at(const char *point)
{
    const Setting &s = setting();
    if (!s.point.isEmpty() && s.point == point)
        std::raise(SIGSTOP);
}

void afterMove()
{
    static std::atomic<long long> moved{0};
    const Setting &s = setting();
    if (s.moves >= 0 && moved.fetch_add(1, std::memory_order_relaxed) + 1 == s.moves)
        std::raise(SIGSTOP);
}

} // namespace TestPause
