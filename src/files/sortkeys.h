// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class ZQFile;

// The sort of the list by one column: each record's key is worked out once,
// so that a sort of a million records does not decode and fold the same
// texts twenty times over, and records whose keys are equal keep their order.
namespace SortKeys {

// The stored positions of `files` in ascending order of the column's
// comparison ("Size" sorts by SizeComparison); natural: the Old Name and
// Location keys compare runs of digits by their value. Empty for a column
// without a comparison. With a date key, the Date column sorts by it
// (smallest first) instead of by the date text.
std::vector<quint32> order(const std::vector<std::unique_ptr<ZQFile>> &files, const QString &column,
                           bool natural, const std::function<qint64(const ZQFile &)> &dateKey = {});

} // namespace SortKeys
