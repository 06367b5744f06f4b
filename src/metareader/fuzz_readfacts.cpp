// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry: the reader's parsing of one file's bytes.
#include "metareader/readfacts.h"

#include <exiv2/exiv2.hpp>

namespace {
void noLog(int, const char *) {}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool ready = [] {
        Exiv2::enableBMFF();
        Exiv2::LogMsg::setHandler(noLog);
        return true;
    }();
    (void)ready;
    static const std::vector<std::string> keys = {"Exif.Photo.FNumber", "Xmp.dc.title"};
    ReadFacts::fromBytes(data, size, keys);
    return 0;
}
