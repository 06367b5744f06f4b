// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

// The order in which the moves of one folder can be made when a move's new
// name is the current name of another file that moves too: that file moves
// first (a chain runs from its free end), and a cycle is broken by moving one
// of its files to a temporary name first and to its new name last.
namespace MoveOrder {

struct Step
{
    enum Kind : quint8
    {
        Move,          // from the current name to the new name
        ToTemporary,   // the first step of a cycle: out of the way
        FromTemporary, // the last step of that cycle: to the new name
    };
    Kind kind = Move;
    // Index into the moves given: a folder's moves, which a run numbers in
    // 32 bits, so that its million steps take eight bytes each.
    qint32 move = 0;
};

// The steps for moves 0..count-1, where waitsFor(i) is the move that must
// leave move i's new name first, or -1. Moves that wait for nothing keep
// their order; every move has exactly one Move or FromTemporary step, and
// between a ToTemporary step and its FromTemporary step come only the other
// moves of that cycle.
std::vector<Step> of(qsizetype count, const std::function<qsizetype(qsizetype)> &waitsFor);

} // namespace MoveOrder
