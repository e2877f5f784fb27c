#include "resources/resource_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

#include "resources/pak.h"

namespace tenfold {

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint32_t U16Le(Bytes b, std::size_t at) { return b[at] | (static_cast<std::uint32_t>(b[at + 1]) << 8); }
std::uint32_t U32Le(Bytes b, std::size_t at) { return U16Le(b, at) | (U16Le(b, at + 2) << 16); }
std::int64_t S32Le(Bytes b, std::size_t at) { return static_cast<std::int32_t>(U32Le(b, at)); }
std::uint32_t U16Be(Bytes b, std::size_t at) { return (static_cast<std::uint32_t>(b[at]) << 8) | b[at + 1]; }

std::string Field(std::string_view name, std::size_t at, std::int64_t value) {
    return std::string(name) + " at offset " + std::to_string(at) + " is " + std::to_string(value);
}

std::string Side(std::string_view name, std::size_t at, std::int64_t value, std::int64_t limit) {
    if (value < 1 || value > limit) return Field(name, at, value) + ", outside 1.." + std::to_string(limit);
    return {};
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The extension of the last path component, lower case.
std::string ExtensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : Lower(name.substr(dot + 1));
}

// The folder the file lies in (the path component before the file name), lower case.
std::string FolderOf(std::string_view path) {
    std::size_t end = path.find_last_of("/\\");
    if (end == std::string_view::npos) return {};
    const std::size_t start = path.find_last_of("/\\", end == 0 ? 0 : end - 1);
    const std::size_t from = (start == std::string_view::npos || start >= end) ? 0 : start + 1;
    return Lower(path.substr(from, end - from));
}

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
std::string CheckRle(Bytes b, std::size_t pos, bool rle8) {
    const std::size_t start = pos;
    const auto ends = [&] {
        return "RLE pixel data from offset " + std::to_string(start) + " ends at offset " +
               std::to_string(b.size()) + " before its end-of-picture mark";
    };
    while (true) {
        if (pos + 2 > b.size()) return ends();
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

PictureLimit PictureLimitFor(std::string_view path) {
    const std::string folder = FolderOf(path);
    if (folder == "royal" || folder == "roya2") return kCardPictureLimit;
    if (folder == "fntfonts" || folder == "numbers") return kSmallPictureLimit;
    return kTablePictureLimit;
}

std::uint64_t ResourceByteLimit(std::string_view path) {
    const std::string ext = ExtensionOf(path);
    if (ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "png") {
        const PictureLimit limit = PictureLimitFor(path);
        return static_cast<std::uint64_t>(limit.width * limit.height * 4) + (1u << 20);
    }
    if (ext == "wav") return 32u << 20;
    return 80u << 20;
}

bool IsCheckedResource(std::string_view path) {
    const std::string ext = ExtensionOf(path);
    return ext == "bmp" || ext == "wav" || ext == "jpg" || ext == "jpeg" || ext == "png";
}

std::string CheckBmp(Bytes b, PictureLimit limit) {
    const std::int64_t size = static_cast<std::int64_t>(b.size());
    if (b.size() < 26)
        return "the file has " + std::to_string(b.size()) + " bytes, too few for a bitmap header";
    if (b[0] != 'B' || b[1] != 'M') return "magic at offset 0 is not \"BM\"";
    const std::int64_t dataOffset = U32Le(b, 10);
    const std::int64_t headerSize = U32Le(b, 14);
    static constexpr std::array<std::int64_t, 6> kHeaderSizes{12, 40, 52, 56, 108, 124};
    if (std::find(kHeaderSizes.begin(), kHeaderSizes.end(), headerSize) == kHeaderSizes.end()) {
        return Field("header size", 14, headerSize) + ", not a known bitmap header";
    }
    if (14 + headerSize > size) return Field("header size", 14, headerSize) + ", past the end of the file";
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
    if (std::string why = Side("width", 18, width, limit.width); !why.empty()) return why;
    // A negative height marks a picture stored top row first.
    const std::int64_t rows = height < 0 ? -height : height;
    if (std::string why = Side("height", heightAt, rows, limit.height); !why.empty()) return why;
    if (planes != 1) return Field("plane count", planesAt, planes) + ", not 1";
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return Field("bits per pixel", bppAt, bpp) + ", not 1, 4, 8, 16, 24 or 32";
    }
    const bool rle = (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4);
    const bool fields = compression == 3 && (bpp == 16 || bpp == 32);
    if (!rle && !fields && compression != 0) {
        return Field("compression", 30, compression) + ", not supported with this bit depth";
    }
    // What lies between the header and the pixels: bit-field masks after a
    // 40-byte header, a palette for 8 bits a pixel and less.
    std::int64_t extras = 14 + headerSize;
    if (fields) {
        const std::size_t at = 54;  // inside the larger headers, right after the 40-byte one
        if (headerSize == 40) extras += 12;
        if (extras > size) return "bit-field masks at offset 54 run past the end of the file";
        const Masks m{static_cast<std::uint32_t>(bpp), U32Le(b, at), U32Le(b, at + 4), U32Le(b, at + 8)};
        const bool known = std::any_of(kKnownMasks.begin(), kKnownMasks.end(), [&](const Masks& k) {
            return k.bpp == m.bpp && k.red == m.red && k.green == m.green && k.blue == m.blue;
        });
        if (!known) {
            char buf[80];
            std::snprintf(buf, sizeof buf, "bit-field masks at offset 54 (%08X %08X %08X)",
                          static_cast<unsigned>(m.red), static_cast<unsigned>(m.green),
                          static_cast<unsigned>(m.blue));
            return std::string(buf) + " are not a channel layout of " + std::to_string(bpp) + "-bit pixels";
        }
        // Headers from 56 bytes on carry an alpha mask: none, or every bit the colours leave.
        const std::uint32_t all = bpp == 32 ? 0xFFFFFFFFu : 0xFFFFu;
        if (headerSize >= 56) {
            const std::uint32_t alpha = U32Le(b, 66);
            if (alpha != 0 && alpha != (all & ~(m.red | m.green | m.blue))) {
                return Field("alpha mask", 66, alpha) + ", not the bits the colour masks leave";
            }
        }
    }
    if (bpp <= 8) {
        const std::int64_t most = std::int64_t{1} << bpp;
        if (colorsUsed > most) {
            return Field("colour count", 46, colorsUsed) + ", more than " + std::to_string(most) + " for " +
                   std::to_string(bpp) + "-bit pixels";
        }
        const std::int64_t colors = colorsUsed == 0 ? most : colorsUsed;
        extras += colors * (core ? 3 : 4);
        if (extras > size) {
            return "palette of " + std::to_string(colors) + " colours at offset " +
                   std::to_string(14 + headerSize) + " runs past the end of the file";
        }
    }
    if (dataOffset < 14 + headerSize || dataOffset > size) {
        return Field("pixel data offset", 10, dataOffset) + ", outside the file's " + std::to_string(size) +
               " bytes";
    }
    if (fields && dataOffset < extras) {
        return Field("pixel data offset", 10, dataOffset) + ", inside the bit-field masks";
    }
    if (rle) return CheckRle(b, static_cast<std::size_t>(dataOffset), bpp == 8);
    const std::int64_t stride = (width * bpp + 31) / 32 * 4;
    const std::int64_t need = stride * rows;
    if (dataOffset + need > size) {
        return "pixel data at offset " + std::to_string(dataOffset) + " needs " + std::to_string(need) +
               " bytes but the file ends at " + std::to_string(size);
    }
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
                if (index >= colorsUsed) {
                    return "pixel " + std::to_string(x) + " of row " + std::to_string(y) + " at offset " +
                           std::to_string(row + x / perByte) + " is colour " + std::to_string(index) +
                           ", past the palette's " + std::to_string(colorsUsed);
                }
            }
        }
    }
    return {};
}

namespace {
constexpr std::int64_t kPcm = 1;
constexpr std::int64_t kFloat = 3;
constexpr std::int64_t kExtensible = 0xFFFE;

// The "fmt " chunk at `pos` of length `len`: samples the decoder takes.
std::string CheckWaveFormat(Bytes b, std::uint64_t pos, std::uint64_t len) {
    const auto at = static_cast<std::size_t>(pos + 8);
    if (len < 16) return "format chunk at offset " + std::to_string(pos) + " is shorter than 16 bytes";
    std::int64_t tag = U16Le(b, at);
    std::size_t tagAt = at;
    const std::int64_t channels = U16Le(b, at + 2);
    const std::int64_t rate = U32Le(b, at + 4);
    const std::int64_t align = U16Le(b, at + 12);
    const std::int64_t bits = U16Le(b, at + 14);
    if (tag == kExtensible) {
        // The real format is the sub-format identifier: a format tag in the
        // standard identifier's frame.
        static constexpr std::array<std::uint8_t, 14> kGuidTail{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        if (len < 40 || U16Le(b, at + 16) < 22) {
            return "extensible format chunk at offset " + std::to_string(pos) + " is shorter than 40 bytes";
        }
        tagAt = at + 24;
        tag = U16Le(b, tagAt);
        if (!std::equal(kGuidTail.begin(), kGuidTail.end(),
                        b.begin() + static_cast<std::ptrdiff_t>(at + 26))) {
            return "sub-format identifier at offset " + std::to_string(tagAt) + " is not a standard format";
        }
    }
    if (tag != kPcm && tag != kFloat) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(tag));
        return "format tag at offset " + std::to_string(tagAt) + " is " + buf +
               ", not PCM or floating-point samples";
    }
    if (tag == kPcm && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return Field("bits per sample", at + 14, bits) + ", not 8, 16, 24 or 32";
    }
    if (tag == kFloat && bits != 32) return Field("bits per sample", at + 14, bits) + ", not 32 for floats";
    if (channels < 1 || channels > 8) return Field("channel count", at + 2, channels) + ", outside 1..8";
    if (rate < 1 || rate > 384000) return Field("sample rate", at + 4, rate) + ", outside 1..384000";
    if (align != channels * bits / 8) {
        return Field("block alignment", at + 12, align) + ", not " + std::to_string(channels * bits / 8) +
               " for " + std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
    }
    return {};
}

}  // namespace

std::string CheckWav(Bytes b) {
    if (b.size() < 12)
        return "the file has " + std::to_string(b.size()) + " bytes, too few for a wave header";
    if (std::string_view(reinterpret_cast<const char*>(b.data()), 4) != "RIFF")
        return "magic at offset 0 is not \"RIFF\"";
    if (std::string_view(reinterpret_cast<const char*>(b.data()) + 8, 4) != "WAVE") {
        return "form type at offset 8 is not \"WAVE\"";
    }
    const std::uint64_t riffSize = U32Le(b, 4);
    if (riffSize + 8 > b.size()) {
        return "RIFF length at offset 4 is " + std::to_string(riffSize) + " but only " +
               std::to_string(b.size() - 8) + " bytes follow it";
    }
    // The decoder reads every chunk up to the end the RIFF length gives, so
    // every one must fit, also those after the samples.
    const std::uint64_t end = riffSize + 8;
    std::uint64_t pos = 12;
    std::int64_t blockAlign = 0;
    std::int64_t dataAt = -1;
    while (pos < end) {
        if (pos + 8 > end) {
            return "the wave ends at offset " + std::to_string(end) + " inside the chunk header at offset " +
                   std::to_string(pos);
        }
        const std::string_view id(reinterpret_cast<const char*>(b.data()) + pos, 4);
        const std::uint64_t len = U32Le(b, static_cast<std::size_t>(pos + 4));
        if (pos + 8 + len > end) {
            return "chunk \"" + PrintableName(id) + "\" at offset " + std::to_string(pos) + " with length " +
                   std::to_string(len) + " runs past the end of the file";
        }
        const auto at = static_cast<std::size_t>(pos + 8);
        if (id == "fmt " && blockAlign == 0) {
            if (std::string why = CheckWaveFormat(b, pos, len); !why.empty()) return why;
            blockAlign = U16Le(b, at + 12);
        } else if (id == "data" && dataAt < 0) {
            if (blockAlign == 0)
                return "data chunk at offset " + std::to_string(pos) + " comes before any format chunk";
            if (len % static_cast<std::uint64_t>(blockAlign) != 0) {
                return Field("data length", at - 4, static_cast<std::int64_t>(len)) +
                       ", not a whole number of " + std::to_string(blockAlign) + "-byte sample frames";
            }
            dataAt = static_cast<std::int64_t>(pos);
        }
        pos += 8 + len + (len & 1);
    }
    if (blockAlign == 0) return "no format chunk";
    if (dataAt < 0) return "no data chunk";
    return {};
}

std::string CheckPng(Bytes b, PictureLimit limit) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() < 8 || !std::equal(kSignature, kSignature + 8, b.begin()))
        return "magic at offset 0 is not a PNG signature";
    const auto u32be = [&](std::size_t at) { return U16Be(b, at) << 16 | U16Be(b, at + 2); };
    std::size_t pos = 8;
    bool header = false;
    while (true) {
        if (pos + 12 > b.size())
            return "the file ends at offset " + std::to_string(pos) + " before its end chunk";
        const std::uint64_t length = u32be(pos);
        const std::string type(reinterpret_cast<const char*>(&b[pos + 4]), 4);
        if (length > b.size() - pos - 12) {
            return Field("chunk length", pos, static_cast<std::int64_t>(length)) +
                   ", past the end of the file";
        }
        const std::size_t data = pos + 8;
        if (!header) {
            if (type != "IHDR" || length != 13)
                return "the chunk at offset " + std::to_string(pos) + " is not a 13-byte header";
            if (std::string why = Side("width", data, u32be(data), limit.width); !why.empty()) return why;
            if (std::string why = Side("height", data + 4, u32be(data + 4), limit.height); !why.empty())
                return why;
            const int depth = b[data + 8], colour = b[data + 9];
            const bool ok =
                (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
            if (!ok)
                return Field("colour type", data + 9, colour) + " with bit depth " + std::to_string(depth) +
                       ", not a combination PNG allows";
            if (b[data + 10] != 0 || b[data + 11] != 0 || b[data + 12] > 1)
                return "offset " + std::to_string(data + 10) +
                       " holds an unknown compression, filter or interlace method";
            header = true;
        }
        if (type == "IEND") return {};
        pos = data + static_cast<std::size_t>(length) + 4;
    }
}

std::string CheckJpeg(Bytes b, PictureLimit limit) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return "magic at offset 0 is not a JPEG start marker";
    std::size_t pos = 2;
    while (true) {
        if (pos >= b.size())
            return "the file ends at offset " + std::to_string(pos) + " before a frame header";
        if (b[pos] != 0xFF) return "offset " + std::to_string(pos) + " holds no segment marker";
        while (pos < b.size() && b[pos] == 0xFF) ++pos;  // fill bytes
        if (pos >= b.size())
            return "the file ends at offset " + std::to_string(pos) + " before a frame header";
        const std::uint8_t marker = b[pos];
        const std::size_t seg = pos + 1;  // length field
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos = seg;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) {
            return "marker at offset " + std::to_string(pos) + " ends the image before any frame header";
        }
        if (seg + 2 > b.size()) return "segment length at offset " + std::to_string(seg) + " is past the end";
        const std::size_t len = U16Be(b, seg);
        if (len < 2 || seg + len > b.size()) {
            return Field("segment length", seg, static_cast<std::int64_t>(len)) +
                   ", past the end of the file";
        }
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (marker > 0xC2) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(marker));
                return "frame marker at offset " + std::to_string(pos) + " is " + buf +
                       ", not a baseline, extended or progressive picture";
            }
            if (len < 8)
                return Field("frame header length", seg, static_cast<std::int64_t>(len)) + ", too short";
            if (b[seg + 2] != 8) return Field("sample precision", seg + 2, b[seg + 2]) + ", not 8 bits";
            if (std::string why = Side("height", seg + 3, U16Be(b, seg + 3), limit.height); !why.empty())
                return why;
            if (std::string why = Side("width", seg + 5, U16Be(b, seg + 5), limit.width); !why.empty())
                return why;
            const std::int64_t components = b[seg + 7];
            if (components != 1 && components != 3 && components != 4) {
                return Field("component count", seg + 7, components) + ", not 1, 3 or 4";
            }
            if (len < 8 + 3 * static_cast<std::size_t>(components)) {
                return Field("frame header length", seg, static_cast<std::int64_t>(len)) +
                       ", too short for its components";
            }
            return {};
        }
        pos = seg + len;
    }
}

std::string CheckResource(std::string_view path, Bytes bytes) {
    if (!IsCheckedResource(path)) return {};
    const std::uint64_t most = ResourceByteLimit(path);
    if (bytes.size() > most) {
        return "the file has " + std::to_string(bytes.size()) + " bytes, more than the " +
               std::to_string(most) + " a resource of its kind may have";
    }
    const std::string ext = ExtensionOf(path);
    if (ext == "bmp") return CheckBmp(bytes, PictureLimitFor(path));
    if (ext == "wav") return CheckWav(bytes);
    if (ext == "png") return CheckPng(bytes, PictureLimitFor(path));
    return CheckJpeg(bytes, PictureLimitFor(path));
}

IoResult CheckResourceFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (IoResult r = ReadWholeFile(path, ResourceByteLimit(path), bytes); !r) return r;
    if (std::string why = CheckResource(path, bytes); !why.empty()) return IoResult::Fail(path + ": " + why);
    return {};
}

}  // namespace tenfold
