// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/moveorder.h"

namespace MoveOrder {

std::vector<Step> of(qsizetype count, const std::function<qsizetype(qsizetype)> &waitsFor)
{
    enum : quint8
    {
        Open,
        OnPath,
        Placed
    };
    std::vector<quint8> state(size_t(count), Open);
    std::vector<Step> steps;
    steps.reserve(size_t(count));
    std::vector<qsizetype> path;
    for (qsizetype start = 0; start < count; ++start) {
        if (state[size_t(start)] != Open)
            continue;
        // Follow the moves that must go first, to the free end of the chain
        // or back into the path (a cycle).
        path.clear();
        qsizetype next = start;
        while (next >= 0 && state[size_t(next)] == Open) {
            state[size_t(next)] = OnPath;
            path.push_back(next);
            next = waitsFor(next);
        }
        qsizetype end = qsizetype(path.size()); // moves from here on are a cycle's
        if (next >= 0 && state[size_t(next)] == OnPath) {
            for (end = 0; path[size_t(end)] != next; ++end) {
            }
            steps.push_back({Step::ToTemporary, qint32(next)});
            for (qsizetype i = qsizetype(path.size()) - 1; i > end; --i)
                steps.push_back({Step::Move, qint32(path[size_t(i)])});
            steps.push_back({Step::FromTemporary, qint32(next)});
        }
        for (qsizetype i = end - 1; i >= 0; --i)
            steps.push_back({Step::Move, qint32(path[size_t(i)])});
        for (const qsizetype move : path)
            state[size_t(move)] = Placed;
    }
    return steps;
}

} // namespace MoveOrder
