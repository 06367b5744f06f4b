// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "meta/metaprotocol.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads what is inside one file: photo and video tags through exiv2, audio
// tags through TagLib, the creation time of an MP4 or QuickTime movie from
// its movie header. Every failure is caught and answered as "@error": a
// damaged or hostile file costs its own answer, nothing else.
namespace ReadFacts {

MetaProtocol::Pairs fromPath(const std::string &path, const std::vector<std::string> &keys);

// The same readers over bytes in memory, for the fuzzer: exiv2 and the
// movie header.
MetaProtocol::Pairs fromBytes(const std::uint8_t *data, std::size_t size,
                              const std::vector<std::string> &keys);

} // namespace ReadFacts
