// Runs the picture and sound checks on arbitrary bytes: they must answer
// without reading past the data, and a bitmap they pass must hold its pixels.

#include <cstdint>
#include <span>

#include "fuzz_util.h"
#include "resources/resource_check.h"

using namespace tenfold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (CheckBmp(bytes)) {
        fuzz::Require(size >= 26 && data[0] == 'B' && data[1] == 'M', "a passed bitmap has its header");
    }
    if (CheckWav(bytes)) fuzz::Require(size >= 12, "a passed wave has its header");
    if (CheckJpeg(bytes)) fuzz::Require(size >= 4 && data[0] == 0xFF && data[1] == 0xD8, "JPEG start");
    return 0;
}
