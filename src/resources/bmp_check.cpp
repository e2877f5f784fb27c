// The bitmap check: the header, palette, bit-field masks and pixel data of a
// BMP must agree with the file and with what the decoder takes.

#include <algorithm>
#include <array>
#include <cstdio>

#include "resources/check_fields.h"
#include "resources/resource_check.h"

namespace tenfold {

using namespace check;

namespace {

// Channel masks of bit-field bitmaps the decoder has a pixel format for:
// red, green, blue (any alpha mask is the bits they leave).
struct Masks {
    std::uint32_t bpp, red, green, blue;
};
constexpr std::array<Masks, 7> kKnownMasks{{
    {16, 0xF800, 0x07E0, 0x001F},
    {16, 0x7C00, 0x03E0, 0x001F},
    {16, 0x0F00, 0x00F0, 0x000F},
    {32, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {32, 0x000000FF, 0x0000FF00, 0x00FF0000},
    {32, 0xFF000000, 0x00FF0000, 0x0000FF00},
    {32, 0x0000FF00, 0x00FF0000, 0xFF000000},
}};

// Walks an RLE pixel stream from `pos` to its end-of-picture mark.
Result CheckRle(Bytes b, std::size_t pos, bool rle8) {
    const std::size_t start = pos;
    while (true) {
        BAIL_IF(pos + 2 > b.size(), "RLE pixel data from offset " + std::to_string(start) +
                                        " ends at offset " + std::to_string(b.size()) +
                                        " before its end-of-picture mark");
        const std::uint8_t count = b[pos];
        const std::uint8_t code = b[pos + 1];
        pos += 2;
        if (count != 0 || code == 0) continue;  // a run, or the end of a row
        if (code == 1) return {};               // the end of the picture
        if (code == 2) {                        // a move: two more bytes
            pos += 2;
            continue;
        }
        // `code` pixels stored as they are, padded to an even number of bytes.
        std::size_t n = rle8 ? code : (code + 1u) / 2u;
        n += n & 1u;
        pos += n;
    }
}

}  // namespace

Result CheckBmp(Bytes b, PictureLimit limit) {
    const std::int64_t size = static_cast<std::int64_t>(b.size());
    BAIL_IF(b.size() < 26,
            "the file has " + std::to_string(b.size()) + " bytes, too few for a bitmap header");
    BAIL_IF(b[0] != 'B' || b[1] != 'M', "magic at offset 0 is not \"BM\"");
    const std::int64_t dataOffset = U32Le(b, 10);
    const std::int64_t headerSize = U32Le(b, 14);
    static constexpr std::array<std::int64_t, 6> kHeaderSizes{12, 40, 52, 56, 108, 124};
    BAIL_IF(std::find(kHeaderSizes.begin(), kHeaderSizes.end(), headerSize) == kHeaderSizes.end(),
            FieldText("header size", 14, headerSize) + ", not a known bitmap header");
    BAIL_IF(14 + headerSize > size, FieldText("header size", 14, headerSize) + ", past the end of the file");
    const bool core = headerSize == 12;
    std::int64_t width = 0, height = 0, planes = 0, bpp = 0, compression = 0, colorsUsed = 0;
    const std::size_t heightAt = core ? 20 : 22, planesAt = core ? 22 : 26, bppAt = core ? 24 : 28;
    if (core) {
        width = U16Le(b, 18);
        height = U16Le(b, 20);
        planes = U16Le(b, 22);
        bpp = U16Le(b, 24);
    } else {
        width = S32Le(b, 18);
        height = S32Le(b, 22);
        planes = U16Le(b, 26);
        bpp = U16Le(b, 28);
        compression = U32Le(b, 30);
        colorsUsed = U32Le(b, 46);
    }
    BAIL_IF_FAILED(CheckSide("width", 18, width, limit.width));
    // A negative height marks a picture stored top row first.
    const std::int64_t rows = height < 0 ? -height : height;
    BAIL_IF_FAILED(CheckSide("height", heightAt, rows, limit.height));
    BAIL_IF(planes != 1, FieldText("plane count", planesAt, planes) + ", not 1");
    BAIL_IF(bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32,
            FieldText("bits per pixel", bppAt, bpp) + ", not 1, 4, 8, 16, 24 or 32");
    const bool rle = (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4);
    const bool fields = compression == 3 && (bpp == 16 || bpp == 32);
    BAIL_IF(!rle && !fields && compression != 0,
            FieldText("compression", 30, compression) + ", not supported with this bit depth");
    // What lies between the header and the pixels: bit-field masks after a
    // 40-byte header, a palette for 8 bits a pixel and less.
    std::int64_t extras = 14 + headerSize;
    if (fields) {
        const std::size_t at = 54;  // inside the larger headers, right after the 40-byte one
        if (headerSize == 40) extras += 12;
        BAIL_IF(extras > size, "bit-field masks at offset 54 run past the end of the file");
        const Masks m{static_cast<std::uint32_t>(bpp), U32Le(b, at), U32Le(b, at + 4), U32Le(b, at + 8)};
        const bool known = std::any_of(kKnownMasks.begin(), kKnownMasks.end(), [&](const Masks& k) {
            return k.bpp == m.bpp && k.red == m.red && k.green == m.green && k.blue == m.blue;
        });
        if (!known) {
            char buf[80];
            std::snprintf(buf, sizeof buf, "bit-field masks at offset 54 (%08X %08X %08X)",
                          static_cast<unsigned>(m.red), static_cast<unsigned>(m.green),
                          static_cast<unsigned>(m.blue));
            return Result::Fail(std::string(buf) + " are not a channel layout of " + std::to_string(bpp) +
                                "-bit pixels");
        }
        // Headers from 56 bytes on carry an alpha mask: none, or every bit the colours leave.
        const std::uint32_t all = bpp == 32 ? 0xFFFFFFFFu : 0xFFFFu;
        if (headerSize >= 56) {
            const std::uint32_t alpha = U32Le(b, 66);
            BAIL_IF(alpha != 0 && alpha != (all & ~(m.red | m.green | m.blue)),
                    FieldText("alpha mask", 66, alpha) + ", not the bits the colour masks leave");
        }
    }
    if (bpp <= 8) {
        const std::int64_t most = std::int64_t{1} << bpp;
        BAIL_IF(colorsUsed > most, FieldText("colour count", 46, colorsUsed) + ", more than " +
                                       std::to_string(most) + " for " + std::to_string(bpp) + "-bit pixels");
        const std::int64_t colors = colorsUsed == 0 ? most : colorsUsed;
        extras += colors * (core ? 3 : 4);
        BAIL_IF(extras > size, "palette of " + std::to_string(colors) + " colours at offset " +
                                   std::to_string(14 + headerSize) + " runs past the end of the file");
    }
    BAIL_IF(dataOffset < 14 + headerSize || dataOffset > size,
            FieldText("pixel data offset", 10, dataOffset) + ", outside the file's " + std::to_string(size) +
                " bytes");
    BAIL_IF(fields && dataOffset < extras,
            FieldText("pixel data offset", 10, dataOffset) + ", inside the bit-field masks");
    if (rle) return CheckRle(b, static_cast<std::size_t>(dataOffset), bpp == 8);
    const std::int64_t stride = (width * bpp + 31) / 32 * 4;
    const std::int64_t need = stride * rows;
    BAIL_IF(dataOffset + need > size, "pixel data at offset " + std::to_string(dataOffset) + " needs " +
                                          std::to_string(need) + " bytes but the file ends at " +
                                          std::to_string(size));
    // With a short palette every pixel must name one of its colours.
    if (bpp <= 8 && colorsUsed != 0 && colorsUsed < (std::int64_t{1} << bpp)) {
        const int perByte = static_cast<int>(8 / bpp);
        const unsigned mask = (1u << bpp) - 1u;
        for (std::int64_t y = 0; y < rows; ++y) {
            const std::int64_t row = dataOffset + y * stride;
            for (std::int64_t x = 0; x < width; ++x) {
                const std::uint8_t byte = b[static_cast<std::size_t>(row + x / perByte)];
                const int shift = static_cast<int>(8 - bpp * (x % perByte + 1));
                const std::int64_t index = (byte >> shift) & mask;
                BAIL_IF(index >= colorsUsed, "pixel " + std::to_string(x) + " of row " + std::to_string(y) +
                                                 " at offset " + std::to_string(row + x / perByte) +
                                                 " is colour " + std::to_string(index) +
                                                 ", past the palette's " + std::to_string(colorsUsed));
            }
        }
    }
    return {};
}

}  // namespace tenfold
