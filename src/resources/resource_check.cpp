#include "resources/resource_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "resources/pak.h"

namespace tenfold {

namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint32_t U16Le(Bytes b, std::size_t at) { return b[at] | (static_cast<std::uint32_t>(b[at + 1]) << 8); }
std::uint32_t U32Le(Bytes b, std::size_t at) { return U16Le(b, at) | (U16Le(b, at + 2) << 16); }
std::int64_t S32Le(Bytes b, std::size_t at) { return static_cast<std::int32_t>(U32Le(b, at)); }
std::int64_t S16Le(Bytes b, std::size_t at) { return static_cast<std::int16_t>(U16Le(b, at)); }
std::uint32_t U16Be(Bytes b, std::size_t at) { return (static_cast<std::uint32_t>(b[at]) << 8) | b[at + 1]; }

std::string Field(std::string_view name, std::size_t at, std::int64_t value) {
    return std::string(name) + " at offset " + std::to_string(at) + " is " + std::to_string(value);
}

std::string Side(std::string_view name, std::size_t at, std::int64_t value) {
    if (value < 1 || value > kMaxPictureSide) {
        return Field(name, at, value) + ", outside 1.." + std::to_string(kMaxPictureSide);
    }
    return {};
}

}  // namespace

std::string CheckBmp(Bytes b) {
    const std::int64_t size = static_cast<std::int64_t>(b.size());
    if (b.size() < 26) return "the file has " + std::to_string(b.size()) + " bytes, too few for a bitmap header";
    if (b[0] != 'B' || b[1] != 'M') return "magic at offset 0 is not \"BM\"";
    const std::int64_t dataOffset = U32Le(b, 10);
    const std::int64_t headerSize = U32Le(b, 14);
    static constexpr std::array<std::int64_t, 7> kHeaderSizes{12, 40, 52, 56, 64, 108, 124};
    if (std::find(kHeaderSizes.begin(), kHeaderSizes.end(), headerSize) == kHeaderSizes.end()) {
        return Field("header size", 14, headerSize) + ", not a known bitmap header";
    }
    if (14 + headerSize > size) return Field("header size", 14, headerSize) + ", past the end of the file";
    std::int64_t width = 0, height = 0, planes = 0, bpp = 0, compression = 0;
    std::size_t widthAt = 18, heightAt = 22, bppAt = 28;
    if (headerSize == 12) {
        width = S16Le(b, 18);
        height = S16Le(b, 20);
        planes = U16Le(b, 22);
        bpp = U16Le(b, 24);
        heightAt = 20;
        bppAt = 24;
    } else {
        width = S32Le(b, 18);
        height = S32Le(b, 22);
        planes = U16Le(b, 26);
        bpp = U16Le(b, 28);
        compression = U32Le(b, 30);
    }
    if (std::string why = Side("width", widthAt, width); !why.empty()) return why;
    // A negative height marks a picture stored top row first.
    if (std::string why = Side("height", heightAt, height < 0 ? -height : height); !why.empty()) return why;
    if (planes != 1) return Field("plane count", heightAt + (headerSize == 12 ? 2 : 4), planes) + ", not 1";
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return Field("bits per pixel", bppAt, bpp) + ", not 1, 4, 8, 16, 24 or 32";
    }
    const bool rle = (compression == 1 && bpp == 8) || (compression == 2 && bpp == 4);
    const bool plain = compression == 0 || (compression == 3 && (bpp == 16 || bpp == 32));
    if (!rle && !plain) return Field("compression", 30, compression) + ", not supported with this bit depth";
    if (dataOffset < 14 + headerSize || dataOffset > size) {
        return Field("pixel data offset", 10, dataOffset) + ", outside the file's " + std::to_string(size) + " bytes";
    }
    if (plain) {
        const std::int64_t stride = (width * bpp + 31) / 32 * 4;
        const std::int64_t need = stride * (height < 0 ? -height : height);
        if (dataOffset + need > size) {
            return "pixel data at offset " + std::to_string(dataOffset) + " needs " + std::to_string(need) +
                   " bytes but the file ends at " + std::to_string(size);
        }
    }
    return {};
}

std::string CheckWav(Bytes b) {
    if (b.size() < 12) return "the file has " + std::to_string(b.size()) + " bytes, too few for a wave header";
    if (std::string_view(reinterpret_cast<const char*>(b.data()), 4) != "RIFF") return "magic at offset 0 is not \"RIFF\"";
    if (std::string_view(reinterpret_cast<const char*>(b.data()) + 8, 4) != "WAVE") {
        return "form type at offset 8 is not \"WAVE\"";
    }
    const std::uint64_t riffSize = U32Le(b, 4);
    if (riffSize + 8 > b.size()) {
        return "RIFF length at offset 4 is " + std::to_string(riffSize) + " but only " +
               std::to_string(b.size() - 8) + " bytes follow it";
    }
    const std::uint64_t end = riffSize + 8;
    std::uint64_t pos = 12;
    bool haveFormat = false;
    while (pos + 8 <= end) {
        const std::string_view id(reinterpret_cast<const char*>(b.data()) + pos, 4);
        const std::uint64_t len = U32Le(b, static_cast<std::size_t>(pos + 4));
        if (pos + 8 + len > end) {
            return "chunk \"" + PrintableName(id) + "\" at offset " + std::to_string(pos) + " with length " +
                   std::to_string(len) + " runs past the end of the file";
        }
        const auto at = static_cast<std::size_t>(pos + 8);
        if (id == "fmt ") {
            if (len < 16) return "format chunk at offset " + std::to_string(pos) + " is shorter than 16 bytes";
            const std::int64_t channels = U16Le(b, at + 2);
            const std::int64_t rate = U32Le(b, at + 4);
            const std::int64_t align = U16Le(b, at + 12);
            if (channels < 1 || channels > 8) return Field("channel count", at + 2, channels) + ", outside 1..8";
            if (rate < 1) return Field("sample rate", at + 4, rate) + ", not positive";
            if (align < 1) return Field("block alignment", at + 12, align) + ", not positive";
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return "data chunk at offset " + std::to_string(pos) + " comes before any format chunk";
            return {};
        }
        pos += 8 + len + (len & 1);
    }
    return haveFormat ? "no data chunk" : "no format chunk";
}

std::string CheckJpeg(Bytes b) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return "magic at offset 0 is not a JPEG start marker";
    std::size_t pos = 2;
    while (true) {
        if (pos >= b.size()) return "the file ends at offset " + std::to_string(pos) + " before a frame header";
        if (b[pos] != 0xFF) return "offset " + std::to_string(pos) + " holds no segment marker";
        while (pos < b.size() && b[pos] == 0xFF) ++pos;  // fill bytes
        if (pos >= b.size()) return "the file ends at offset " + std::to_string(pos) + " before a frame header";
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
            return Field("segment length", seg, static_cast<std::int64_t>(len)) + ", past the end of the file";
        }
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (len < 8) return Field("frame header length", seg, static_cast<std::int64_t>(len)) + ", too short";
            if (std::string why = Side("height", seg + 3, U16Be(b, seg + 3)); !why.empty()) return why;
            if (std::string why = Side("width", seg + 5, U16Be(b, seg + 5)); !why.empty()) return why;
            return {};
        }
        pos = seg + len;
    }
}

std::string CheckResource(std::string_view fileName, Bytes bytes) {
    std::string ext;
    if (const auto dot = fileName.rfind('.'); dot != std::string_view::npos) ext = fileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "bmp") return CheckBmp(bytes);
    if (ext == "wav") return CheckWav(bytes);
    if (ext == "jpg" || ext == "jpeg") return CheckJpeg(bytes);
    return {};
}

IoResult CheckResourceFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    // The largest acceptable bitmap (4096 x 4096 at 32 bits) plus headers.
    if (IoResult r = ReadWholeFile(path, 80u << 20, bytes); !r) return r;
    if (std::string why = CheckResource(path, bytes); !why.empty()) return IoResult::Fail(path + ": " + why);
    return {};
}

}  // namespace tenfold
