#include "rename/movelanes.h"

#include <algorithm>
#include <sched.h>
#include <sys/stat.h>

MoveLanes::MoveLanes(int laneCount)
    : m_laneCount(std::max(laneCount, 1)), m_load(size_t(m_laneCount), 0)
{}

int MoveLanes::defaultLaneCount()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return 1;
    return std::clamp(CPU_COUNT(&allowed), 1, 4);
}

int MoveLanes::laneOf(QByteArrayView folder)
{
    if (m_lastLane < 0 || QByteArrayView(m_lastFolder) != folder) {
        m_lastFolder = folder.toByteArray();
        const auto known = m_byPath.constFind(m_lastFolder);
        if (known != m_byPath.cend()) {
            m_lastLane = *known;
        } else {
            m_lastLane = laneForIdentity(m_lastFolder);
            m_byPath.insert(m_lastFolder, m_lastLane);
        }
    }
    ++m_load[size_t(m_lastLane)];
    return m_lastLane;
}

int MoveLanes::laneForIdentity(const QByteArray &folder)
{
    const int leastLoaded = int(std::min_element(m_load.begin(), m_load.end()) - m_load.begin());
    // A folder that cannot be reached fails every move in it whatever the
    // order; its path alone keeps its moves together.
    struct stat info;
    if (::stat(folder.constData(), &info) != 0)
        return leastLoaded;
    const std::pair<quint64, quint64> identity(quint64(info.st_dev), quint64(info.st_ino));
    const auto known = m_byIdentity.constFind(identity);
    if (known != m_byIdentity.cend())
        return *known;
    m_byIdentity.insert(identity, leastLoaded);
    return leastLoaded;
}

void waitForLanes(const std::atomic<int> &running, const std::atomic<qsizetype> &done,
                  std::atomic<quint64> &events, qsizetype total,
                  const std::function<void(qsizetype done, qsizetype total)> &progress)
{
    qsizetype reported = 0;
    quint64 seen = events.load(std::memory_order_acquire);
    while (running.load(std::memory_order_acquire) > 0) {
        const qsizetype now = done.load(std::memory_order_acquire);
        if (progress && now / 1024 > reported / 1024 && now < total) {
            progress(now, total);
            reported = now;
        }
        events.wait(seen, std::memory_order_acquire);
        seen = events.load(std::memory_order_acquire);
    }
}
