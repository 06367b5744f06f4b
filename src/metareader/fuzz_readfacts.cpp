// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry: the reader's parsing of one file's bytes.
#include "metareader/readfacts.h"

#include <exiv2/exiv2.hpp>

#include <cstdlib>
#include <new>

// The helper runs with a 1 GiB address space (confine.cpp). There a damaged
// file that makes a parser ask for more gets std::bad_alloc, which the read
// catches: the file is reported unreadable and the helper goes on. Under the
// fuzzer the same allocation would end the run as an out-of-memory report,
// so allocations here fail the way they fail in the helper. Only the plain
// forms are replaced; the aligned and nothrow ones stay the sanitizer's (the
// run sets alloc_dealloc_mismatch=0 for the few that meet a plain delete).
namespace {
constexpr std::size_t helperAddressSpace = std::size_t(1) << 30;

void *allocateAsHelper(std::size_t size)
{
    if (size >= helperAddressSpace)
        throw std::bad_alloc();
    if (void *block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void noLog(int, const char *) {}
} // namespace

void *operator new(std::size_t size)
{
    return allocateAsHelper(size);
}
void *operator new[](std::size_t size)
{
    return allocateAsHelper(size);
}
void operator delete(void *block) noexcept
{
    std::free(block);
}
void operator delete[](void *block) noexcept
{
    std::free(block);
}
void operator delete(void *block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void *block, std::size_t) noexcept
{
    std::free(block);
}

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
