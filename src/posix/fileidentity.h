// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <sys/stat.h>
#include <utility>

// Which file an entry is, whatever name leads to it: its device and inode, as
// stat gives them. The one spelling of that pair, for the folders a listing
// came from, the folders a run opens, and the files an undo looks for. A pair,
// so that it orders and hashes (QHash, std::set) as it is.
using FileIdentity = std::pair<quint64, quint64>;

inline FileIdentity fileIdentity(const struct stat &info)
{
    return {quint64(info.st_dev), quint64(info.st_ino)};
}
