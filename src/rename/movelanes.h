#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

// Spreads the moves of a run over lanes that may run at the same time. A move
// only ever touches names inside its own folder, so moves in different
// folders cannot change each other's outcome. Every path that reaches one
// folder (through a link, or spelled another way) gets that folder's lane,
// so that the moves inside a folder keep their order.
class MoveLanes
{
public:
    explicit MoveLanes(int laneCount);

    // As many lanes as the processors this process may run on, at most four:
    // beyond that the file system's journal, not the processors, is the limit.
    static int defaultLaneCount();

    int laneCount() const { return m_laneCount; }

    // The lane of a move inside `folder`. A folder seen for the first time
    // goes to the lane with the fewest moves so far.
    int laneOf(QByteArrayView folder);

private:
    int laneForIdentity(const QByteArray &folder);

    int m_laneCount;
    QByteArray m_lastFolder;
    int m_lastLane = -1;
    QHash<QByteArray, int> m_byPath;
    QHash<std::pair<quint64, quint64>, int> m_byIdentity;
    std::vector<qsizetype> m_load;
};

// Blocks the calling thread while any of the lanes still runs. The lanes add
// the moves they finish to `done`, and bump `events` (notifying its waiters)
// each time and as they end. `progress`, if set, hears of every further 1024 moves done, but
// never of the last: the caller reports that once its own work is over.
void waitForLanes(const std::atomic<int> &running, const std::atomic<qsizetype> &done,
                  std::atomic<quint64> &events, qsizetype total,
                  const std::function<void(qsizetype done, qsizetype total)> &progress);
