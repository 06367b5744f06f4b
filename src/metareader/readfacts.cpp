// SPDX-License-Identifier: GPL-3.0-or-later
#include "metareader/readfacts.h"

#include "metareader/windowio.h"

#include <exiv2/exiv2.hpp>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <initializer_list>
#include <sys/mman.h>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

namespace {

using Pairs = MetaProtocol::Pairs;
// How much is read at once where a parser reads in small steps.
constexpr std::size_t headWindow = std::size_t(64) << 10;

std::string lowerExtension(const std::string &path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    for (char &c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool isAudio(const std::string &ext)
{
    static const char *const audio[] = {"mp3", "flac", "ogg", "oga",  "opus", "m4a", "wma",
                                        "wav", "aac",  "aif", "aiff", "ape",  "wv",  "mpc"};
    return std::any_of(std::begin(audio), std::end(audio),
                       [&](const char *known) { return ext == known; });
}

void put(Pairs &pairs, const std::string &key, std::string value)
{
    while (!value.empty() && (value.back() == ' ' || value.back() == '\0'))
        value.pop_back();
    if (value.empty())
        return;
    for (const auto &pair : pairs) {
        if (pair.first == key)
            return;
    }
    pairs.emplace_back(key, std::move(value));
}

// "2024:03:05 14:07:09", "2024-03-05T14:07:09+09:00": the wall-clock part as
// "2024-03-05 14:07:09", or empty when it is no date. The zone is dropped:
// the shot time is what the camera's clock showed.
std::string wallClock(const std::string &text)
{
    if (text.size() < 10)
        return {};
    std::string out = "0000-00-00 00:00:00";
    const int at[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    int digits = 0;
    for (const char c : text) {
        if (digits == 14)
            break;
        if (std::isdigit(static_cast<unsigned char>(c)))
            out[size_t(at[digits++])] = c;
        else if (c == '+' || c == 'Z' || (c == '-' && digits >= 8))
            break;
    }
    // A date without a time keeps midnight; a year of 0000 is no date.
    if (digits < 8 || out.compare(0, 4, "0000") == 0 || out.compare(5, 2, "00") == 0 ||
        out.compare(8, 2, "00") == 0)
        return {};
    return out;
}

// The creation time in the movie header of an ISO base media file (MP4,
// MOV, M4V, 3GP): seconds since 1904 in UTC, as seconds since 1970, or -1.
// Walks the boxes by their sizes without reading their contents, so a box
// that claims gigabytes costs nothing.
long long movieCreationTime(const ReadAt &readAt, std::uint64_t fileSize)
{
    auto be = [](const unsigned char *p, int n) {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | p[i];
        return v;
    };
    std::uint64_t at = 0;
    std::uint64_t end = fileSize;
    bool inMoov = false;
    for (int boxes = 0; boxes < 4096 && at + 8 <= end; ++boxes) {
        unsigned char header[16];
        if (readAt(at, header, 16) < 8)
            return -1;
        std::uint64_t size = be(header, 4);
        std::uint64_t headerSize = 8;
        if (size == 1) {
            size = be(header + 8, 8);
            headerSize = 16;
        } else if (size == 0) {
            size = end - at;
        }
        if (size < headerSize || size > end - at)
            return -1;
        if (!inMoov && std::memcmp(header + 4, "moov", 4) == 0) {
            inMoov = true;
            end = at + size;
            at += headerSize;
            continue;
        }
        if (inMoov && std::memcmp(header + 4, "mvhd", 4) == 0) {
            unsigned char body[12];
            if (readAt(at + headerSize, body, sizeof body) < 12)
                return -1;
            const std::uint64_t since1904 = body[0] == 1 ? be(body + 4, 8) : be(body + 4, 4);
            constexpr std::uint64_t offset1970 = 2082844800;
            // Zero is "not set", as many muxers leave it.
            if (since1904 <= offset1970 || since1904 - offset1970 > (1ull << 40))
                return -1;
            return static_cast<long long>(since1904 - offset1970);
        }
        at += size;
    }
    return -1;
}

std::string exifText(const Exiv2::ExifData &exif, const char *key)
{
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found == exif.end() ? std::string() : found->toString();
}

std::string xmpText(const Exiv2::XmpData &xmp, const char *key)
{
    const auto found = xmp.findKey(Exiv2::XmpKey(key));
    return found == xmp.end() ? std::string() : found->toString();
}

// The data of the keys every read looks for, found in one pass. exiv2's
// findKey() makes the key text of every datum again for each key looked up,
// and making the key to look up parses it and searches the tag tables: for
// a dozen keys over a camera's hundred tags that was most of the reading.
template<typename Data> class Found
{
public:
    Found(const Data &data, std::initializer_list<const char *> keys) : m_keys(keys)
    {
        m_data.resize(m_keys.size(), nullptr);
        for (const auto &datum : data) {
            const std::string key = datum.key();
            for (std::size_t i = 0; i < m_keys.size(); ++i) {
                // The first of a key, as findKey() gives.
                if (!m_data[i] && key == m_keys[i])
                    m_data[i] = &datum;
            }
        }
    }

    // The text of a key given to the constructor; empty when absent.
    std::string operator()(const char *key) const
    {
        for (std::size_t i = 0; i < m_keys.size(); ++i) {
            if (std::strcmp(m_keys[i], key) == 0)
                return m_data[i] ? m_data[i]->toString() : std::string();
        }
        return {};
    }

    bool has(const char *key) const
    {
        for (std::size_t i = 0; i < m_keys.size(); ++i) {
            if (std::strcmp(m_keys[i], key) == 0)
                return m_data[i] != nullptr;
        }
        return false;
    }

private:
    std::vector<const char *> m_keys;
    std::vector<const std::remove_reference_t<decltype(*std::declval<Data>().begin())> *> m_data;
};

void readImage(Exiv2::Image &image, const std::vector<std::string> &keys, Pairs &pairs)
{
    image.readMetadata();
    const Exiv2::ExifData &exif = image.exifData();
    const Exiv2::XmpData &xmp = image.xmpData();
    const Exiv2::IptcData &iptc = image.iptcData();
    const Found exifFound(exif, {"Exif.Photo.DateTimeOriginal", "Exif.Image.Make",
                                 "Exif.Image.Model", "Exif.Photo.LensModel",
                                 "Exif.Photo.PixelXDimension", "Exif.Photo.PixelYDimension"});
    const Found xmpFound(xmp,
                         {"Xmp.exif.DateTimeOriginal", "Xmp.xmp.CreateDate", "Xmp.video.MimeType",
                          "Xmp.video.DateUTC", "Xmp.video.Make", "Xmp.video.Model", "Xmp.aux.Lens",
                          "Xmp.video.Width", "Xmp.video.Height"});
    const Found iptcFound(iptc, {"Iptc.Application2.DateCreated", "Iptc.Application2.TimeCreated"});

    std::string taken = wallClock(exifFound("Exif.Photo.DateTimeOriginal"));
    if (taken.empty())
        taken = wallClock(xmpFound("Xmp.exif.DateTimeOriginal"));
    if (taken.empty())
        taken = wallClock(xmpFound("Xmp.xmp.CreateDate"));
    if (taken.empty() && iptcFound.has("Iptc.Application2.DateCreated"))
        taken = wallClock(iptcFound("Iptc.Application2.DateCreated") + " " +
                          (iptcFound.has("Iptc.Application2.TimeCreated")
                               ? iptcFound("Iptc.Application2.TimeCreated")
                               : std::string("00:00:00")));
    put(pairs, MetaProtocol::takenWallKey, taken);
    // Matroska's date is UTC, in seconds since 2001 as exiv2 gives it.
    if (xmpFound("Xmp.video.MimeType").find("matroska") != std::string::npos) {
        const std::string since2001 = xmpFound("Xmp.video.DateUTC");
        char *end = nullptr;
        const long long seconds = std::strtoll(since2001.c_str(), &end, 10);
        if (!since2001.empty() && end && *end == '\0' && seconds > 0 && seconds < (1ll << 36))
            put(pairs, MetaProtocol::takenUtcKey, std::to_string(978307200 + seconds));
    }

    put(pairs, "Make", exifFound("Exif.Image.Make"));
    put(pairs, "Make", xmpFound("Xmp.video.Make"));
    put(pairs, "Model", exifFound("Exif.Image.Model"));
    put(pairs, "Model", xmpFound("Xmp.video.Model"));
    put(pairs, "Lens", exifFound("Exif.Photo.LensModel"));
    put(pairs, "Lens", xmpFound("Xmp.aux.Lens"));
    if (image.pixelWidth() > 0 && image.pixelHeight() > 0) {
        put(pairs, "Width", std::to_string(image.pixelWidth()));
        put(pairs, "Height", std::to_string(image.pixelHeight()));
    }
    put(pairs, "Width", exifFound("Exif.Photo.PixelXDimension"));
    put(pairs, "Height", exifFound("Exif.Photo.PixelYDimension"));
    put(pairs, "Width", xmpFound("Xmp.video.Width"));
    put(pairs, "Height", xmpFound("Xmp.video.Height"));

    for (const std::string &key : keys) {
        // An unknown key throws; it is then simply not there.
        try {
            if (key.rfind("Exif.", 0) == 0)
                put(pairs, key, exifText(exif, key.c_str()));
            else if (key.rfind("Xmp.", 0) == 0)
                put(pairs, key, xmpText(xmp, key.c_str()));
            else if (key.rfind("Iptc.", 0) == 0) {
                const auto found = iptc.findKey(Exiv2::IptcKey(key));
                if (found != iptc.end())
                    put(pairs, key, found->toString());
            }
        } catch (...) {
        }
    }
}

void readAudio(const std::string &path, const std::vector<std::string> &keys, Pairs &pairs)
{
    TagLib::FileRef file(path.c_str(), false);
    if (file.isNull() || !file.file() || !file.file()->isValid()) {
        put(pairs, MetaProtocol::errorKey, "not a readable audio file");
        return;
    }
    const TagLib::PropertyMap properties = file.file()->properties();
    auto first = [&](const char *name) {
        const auto found = properties.find(name);
        if (found == properties.end() || found->second.isEmpty())
            return std::string();
        return found->second.front().to8Bit(true);
    };
    static const std::pair<const char *, const char *> named[] = {
        {"Artist", "ARTIST"}, {"AlbumArtist", "ALBUMARTIST"}, {"Album", "ALBUM"},
        {"Title", "TITLE"},   {"Track", "TRACKNUMBER"},       {"Disc", "DISCNUMBER"},
        {"Genre", "GENRE"}};
    for (const auto &[token, property] : named)
        put(pairs, token, first(property));
    const std::string date = first("DATE");
    if (date.size() >= 4 && std::all_of(date.begin(), date.begin() + 4,
                                        [](char c) { return std::isdigit((unsigned char)c); }))
        put(pairs, "Year", date.substr(0, 4));
    for (const std::string &key : keys) {
        if (key.find('.') == std::string::npos)
            put(pairs, key, first(key.c_str()));
    }
}

void readMedia(const ReadAt &readAt, std::uint64_t size, const MapAll &mapAll,
               std::size_t windowSize, const std::vector<std::string> &keys, Pairs &pairs)
{
    // One window for every file the helper reads.
    thread_local std::vector<std::uint8_t> window;
    window.resize(windowSize);
    auto *io = new WindowIo(readAt, size, mapAll, window);
    Exiv2::BasicIo::AutoPtr owned(io);
    // A movie's creation time is UTC; a camera's tags give the wall clock.
    const long long created =
        movieCreationTime([io](std::uint64_t offset, void *into,
                               std::size_t count) { return io->readAt(offset, into, count); },
                          size);
    if (io->failed()) {
        put(pairs, MetaProtocol::errorKey, "read failed");
        return;
    }
    if (created >= 0)
        put(pairs, MetaProtocol::takenUtcKey, std::to_string(created));
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(owned);
        if (image.get()) {
            Pairs read;
            readImage(*image, keys, read);
            if (io->failed()) {
                pairs.clear();
                put(pairs, MetaProtocol::errorKey, "read failed");
                return;
            }
            for (auto &[key, value] : read)
                put(pairs, key, std::move(value));
        }
    } catch (const std::exception &error) {
        if (created < 0)
            put(pairs, MetaProtocol::errorKey, error.what());
    } catch (...) {
        if (created < 0)
            put(pairs, MetaProtocol::errorKey, "unreadable");
    }
}

} // namespace

namespace ReadFacts {

Pairs fromPath(const std::string &path, const std::vector<std::string> &keys)
{
    Pairs pairs;
    try {
        if (isAudio(lowerExtension(path))) {
            readAudio(path, keys, pairs);
            return pairs;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            put(pairs, MetaProtocol::errorKey, "cannot open");
            return pairs;
        }
        // The file as opened, so that the program need not ask again.
        struct statx info = {};
        if (::statx(fd, "", AT_EMPTY_PATH, STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) != 0) {
            ::close(fd);
            put(pairs, MetaProtocol::errorKey, "cannot open");
            return pairs;
        }
        const std::uint64_t size = info.stx_size;
        put(pairs, MetaProtocol::statKey,
            std::to_string(size) + ' ' +
                std::to_string((long long)info.stx_mtime.tv_sec * 1000000000 +
                               info.stx_mtime.tv_nsec) +
                ' ' +
                ((info.stx_mask & STATX_BTIME)
                     ? std::to_string((long long)info.stx_btime.tv_sec * 1000 +
                                      info.stx_btime.tv_nsec / 1000000)
                     : std::string("-")));
        const ReadAt readAt = [fd](std::uint64_t offset, void *into, std::size_t count) {
            long done = 0;
            while (std::size_t(done) < count) {
                const ssize_t got = ::pread(fd, static_cast<char *>(into) + done,
                                            count - std::size_t(done), off_t(offset) + done);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0)
                    return -1L;
                if (got == 0)
                    break;
                done += got;
            }
            return done;
        };
        // Mapped only for a parser that asks for the whole file. A file that
        // shrinks meanwhile ends this helper with SIGBUS, which costs that
        // one file.
        void *mapped = MAP_FAILED;
        const MapAll mapAll = [&]() -> const Exiv2::byte * {
            if (mapped == MAP_FAILED && size > 0)
                mapped = ::mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped == MAP_FAILED)
                throw Exiv2::Error(Exiv2::kerFailedToMapFileForReadWrite);
            return static_cast<const Exiv2::byte *>(mapped);
        };
        readMedia(readAt, size, mapAll, headWindow, keys, pairs);
        if (mapped != MAP_FAILED)
            ::munmap(mapped, size_t(size));
        ::close(fd);
    } catch (...) {
        put(pairs, MetaProtocol::errorKey, "unreadable");
    }
    return pairs;
}

Pairs fromBytes(const std::uint8_t *data, std::size_t size, const std::vector<std::string> &keys)
{
    Pairs pairs;
    const ReadAt readAt = [data, size](std::uint64_t offset, void *into, std::size_t count) {
        if (offset >= size)
            return 0L;
        const std::size_t n = std::min<std::uint64_t>(count, size - offset);
        std::memcpy(into, data + offset, n);
        return long(n);
    };
    const MapAll mapAll = [data] { return static_cast<const Exiv2::byte *>(data); };
    try {
        // A window far smaller than a file's head, so that the fuzzer's
        // inputs cross its edges as often as the parsers read.
        readMedia(readAt, size, mapAll, 256, keys, pairs);
    } catch (...) {
        put(pairs, MetaProtocol::errorKey, "unreadable");
    }
    return pairs;
}

} // namespace ReadFacts
