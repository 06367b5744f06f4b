// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The words between the program and its metadata reader (velnor-meta-reader),
// over the reader's standard input and output. Plain C++ on both sides: the
// reader links no Qt.
//
// Every message is a record: a 32-bit little-endian byte count, then that
// many bytes, so that any byte may stand in a path or a value.
//  - request: the file's path, a NUL byte, then the keys of the further
//    values wanted (exiv2 keys such as "Exif.Photo.FNumber", audio property
//    names such as "COMPOSER"), each followed by a NUL byte.
//  - answer: pairs of records packed in one record: key, value, key, value.
//    The reader always answers with the values it finds of the named token
//    keys (Make, Model, Lens, Width, Height, Artist, AlbumArtist, Album,
//    Title, Track, Disc, Year, Genre), the further keys asked for, and the
//    date taken under one of two keys: "@wall" ("YYYY-MM-DD HH:MM:SS" as a
//    camera's clock showed it) or "@utc" (seconds since the epoch, UTC).
//    "@error" says why nothing could be read. "@stat" gives the file as
//    it was opened: "SIZE MTIME BIRTH", the byte count, the modification
//    time in nanoseconds and the birth time in milliseconds since the epoch
//    ("-" where the file system keeps none).
// The reader answers every request in order, one answer each.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace MetaProtocol {

// No record is longer: a longer count is a broken or hostile peer.
inline constexpr std::uint32_t maxRecord = 1u << 20;
// A value is cut to this many bytes: a name takes no more anyway.
inline constexpr std::size_t maxValue = 4096;

inline const char *const takenWallKey = "@wall";
inline const char *const takenUtcKey = "@utc";
inline const char *const errorKey = "@error";
inline const char *const statKey = "@stat";

inline void appendRecord(std::string &out, std::string_view bytes)
{
    const auto size = std::uint32_t(bytes.size());
    const unsigned char count[4] = {
        static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
        static_cast<unsigned char>(size >> 16), static_cast<unsigned char>(size >> 24)};
    out.append(reinterpret_cast<const char *>(count), 4);
    out.append(bytes);
}

inline std::uint32_t countOf(const char *bytes)
{
    const auto *u = reinterpret_cast<const unsigned char *>(bytes);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

inline std::string packPairs(const Pairs &pairs)
{
    std::string packed;
    for (const auto &[key, value] : pairs) {
        appendRecord(packed, key);
        appendRecord(packed, value.size() > maxValue ? std::string_view(value).substr(0, maxValue)
                                                     : std::string_view(value));
    }
    return packed;
}

// False when the bytes are not a whole number of well-formed pairs.
inline bool unpackPairs(std::string_view packed, Pairs *pairs)
{
    std::string_view fields[2];
    int have = 0;
    while (!packed.empty()) {
        if (packed.size() < 4)
            return false;
        const std::uint32_t size = countOf(packed.data());
        if (size > packed.size() - 4)
            return false;
        fields[have++] = packed.substr(4, size);
        packed.remove_prefix(4 + size);
        if (have == 2) {
            pairs->emplace_back(std::string(fields[0]), std::string(fields[1]));
            have = 0;
        }
    }
    return have == 0;
}

} // namespace MetaProtocol
