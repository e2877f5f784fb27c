// The PNG check (the art drawn for large screens): the header chunk must come
// first and name a plausible size and a bit depth the colour type allows, and
// every chunk must lie inside the file up to the end chunk with its checksum
// right. The game decodes the larger art only when a screen first shows it,
// so a damaged file must be found here, at start, not mid-game; the
// compressed data itself is the decoder's to judge.

#include <zlib.h>

#include <algorithm>

#include "resources/check_fields.h"
#include "resources/resource_check.h"

namespace tenfold {

using namespace check;

Result CheckPng(Bytes b, PictureLimit limit) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    BAIL_IF(b.size() < 8 || !std::equal(kSignature, kSignature + 8, b.begin()),
            "magic at offset 0 is not a PNG signature");
    const auto u32be = [&](std::size_t at) { return U16Be(b, at) << 16 | U16Be(b, at + 2); };
    std::size_t pos = 8;
    bool header = false;
    while (true) {
        BAIL_IF(pos + 12 > b.size(),
                "the file ends at offset " + std::to_string(pos) + " before its end chunk");
        const std::uint64_t length = u32be(pos);
        const std::string type(reinterpret_cast<const char*>(&b[pos + 4]), 4);
        BAIL_IF(length > b.size() - pos - 12,
                FieldText("chunk length", static_cast<std::int64_t>(pos), static_cast<std::int64_t>(length)) +
                    ", past the end of the file");
        const std::size_t data = pos + 8;
        const std::size_t crcAt = data + static_cast<std::size_t>(length);
        const auto crc = static_cast<std::uint32_t>(
            crc32(crc32(0L, nullptr, 0), &b[pos + 4], static_cast<uInt>(length + 4)));
        BAIL_IF(crc != u32be(crcAt), FieldText("checksum of the " + type + " chunk",
                                               static_cast<std::int64_t>(crcAt), u32be(crcAt)) +
                                         ", not the " + std::to_string(crc) + " of its bytes");
        if (!header) {
            BAIL_IF(type != "IHDR" || length != 13,
                    "the chunk at offset " + std::to_string(pos) + " is not a 13-byte header");
            BAIL_IF_FAILED(CheckSide("width", data, u32be(data), limit.width));
            BAIL_IF_FAILED(CheckSide("height", data + 4, u32be(data + 4), limit.height));
            const int depth = b[data + 8], colour = b[data + 9];
            const bool allowed =
                (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
            BAIL_IF(!allowed, FieldText("colour type", static_cast<std::int64_t>(data + 9), colour) +
                                  " with bit depth " + std::to_string(depth) +
                                  ", not a combination PNG allows");
            BAIL_IF(b[data + 10] != 0 || b[data + 11] != 0 || b[data + 12] > 1,
                    "offset " + std::to_string(data + 10) +
                        " holds an unknown compression, filter or interlace method");
            header = true;
        }
        if (type == "IEND") return {};
        pos = data + static_cast<std::size_t>(length) + 4;
    }
}

}  // namespace tenfold
