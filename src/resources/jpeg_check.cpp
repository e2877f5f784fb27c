// The JPEG check: the segments up to the frame header must lie inside the
// file, and the frame must be one the decoder takes, of a plausible size.

#include <cstdio>

#include "resources/check_fields.h"
#include "resources/resource_check.h"

namespace tenfold {

using namespace check;

Result CheckJpeg(Bytes b, PictureLimit limit) {
    BAIL_IF(b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8, "magic at offset 0 is not a JPEG start marker");
    std::size_t pos = 2;
    while (true) {
        BAIL_IF(pos >= b.size(), "the file ends at offset " + std::to_string(pos) + " before a frame header");
        BAIL_IF(b[pos] != 0xFF, "offset " + std::to_string(pos) + " holds no segment marker");
        while (pos < b.size() && b[pos] == 0xFF) ++pos;  // fill bytes
        BAIL_IF(pos >= b.size(), "the file ends at offset " + std::to_string(pos) + " before a frame header");
        const std::uint8_t marker = b[pos];
        const std::size_t seg = pos + 1;  // length field
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos = seg;
            continue;
        }
        BAIL_IF(marker == 0xD9 || marker == 0xDA,
                "marker at offset " + std::to_string(pos) + " ends the image before any frame header");
        BAIL_IF(seg + 2 > b.size(), "segment length at offset " + std::to_string(seg) + " is past the end");
        const std::size_t len = U16Be(b, seg);
        BAIL_IF(
            len < 2 || seg + len > b.size(),
            FieldText("segment length", seg, static_cast<std::int64_t>(len)) + ", past the end of the file");
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (marker > 0xC2) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(marker));
                return Result::Fail("frame marker at offset " + std::to_string(pos) + " is " + buf +
                                    ", not a baseline, extended or progressive picture");
            }
            BAIL_IF(len < 8,
                    FieldText("frame header length", seg, static_cast<std::int64_t>(len)) + ", too short");
            BAIL_IF(b[seg + 2] != 8, FieldText("sample precision", seg + 2, b[seg + 2]) + ", not 8 bits");
            BAIL_IF_FAILED(CheckSide("height", seg + 3, U16Be(b, seg + 3), limit.height));
            BAIL_IF_FAILED(CheckSide("width", seg + 5, U16Be(b, seg + 5), limit.width));
            const std::int64_t components = b[seg + 7];
            BAIL_IF(components != 1 && components != 3 && components != 4,
                    FieldText("component count", seg + 7, components) + ", not 1, 3 or 4");
            BAIL_IF(len < 8 + 3 * static_cast<std::size_t>(components),
                    FieldText("frame header length", seg, static_cast<std::int64_t>(len)) +
                        ", too short for its components");
            return {};
        }
        pos = seg + len;
    }
}

}  // namespace tenfold
