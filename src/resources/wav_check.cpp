// The wave check: the RIFF chunks must lie inside the file and describe
// samples the decoder takes.

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "resources/check_fields.h"
#include "resources/resource_check.h"

namespace tenfold {

using namespace check;

namespace {

constexpr std::int64_t kPcm = 1;
constexpr std::int64_t kFloat = 3;
constexpr std::int64_t kExtensible = 0xFFFE;

// The "fmt " chunk at `pos` of length `len`: samples the decoder takes.
Result CheckWaveFormat(Bytes b, std::uint64_t pos, std::uint64_t len) {
    const auto at = static_cast<std::size_t>(pos + 8);
    BAIL_IF(len < 16, "format chunk at offset " + std::to_string(pos) + " is shorter than 16 bytes");
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
        BAIL_IF(len < 40 || U16Le(b, at + 16) < 22,
                "extensible format chunk at offset " + std::to_string(pos) + " is shorter than 40 bytes");
        tagAt = at + 24;
        tag = U16Le(b, tagAt);
        BAIL_IF(
            !std::equal(kGuidTail.begin(), kGuidTail.end(), b.begin() + static_cast<std::ptrdiff_t>(at + 26)),
            "sub-format identifier at offset " + std::to_string(tagAt) + " is not a standard format");
    }
    if (tag != kPcm && tag != kFloat) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(tag));
        return Result::Fail("format tag at offset " + std::to_string(tagAt) + " is " + buf +
                            ", not PCM or floating-point samples");
    }
    BAIL_IF(tag == kPcm && bits != 8 && bits != 16 && bits != 24 && bits != 32,
            FieldText("bits per sample", at + 14, bits) + ", not 8, 16, 24 or 32");
    BAIL_IF(tag == kFloat && bits != 32, FieldText("bits per sample", at + 14, bits) + ", not 32 for floats");
    BAIL_IF(channels < 1 || channels > 8, FieldText("channel count", at + 2, channels) + ", outside 1..8");
    BAIL_IF(rate < 1 || rate > 384000, FieldText("sample rate", at + 4, rate) + ", outside 1..384000");
    BAIL_IF(align != channels * bits / 8,
            FieldText("block alignment", at + 12, align) + ", not " + std::to_string(channels * bits / 8) +
                " for " + std::to_string(channels) + " channels of " + std::to_string(bits) + " bits");
    return {};
}

}  // namespace

Result CheckWav(Bytes b) {
    BAIL_IF(b.size() < 12, "the file has " + std::to_string(b.size()) + " bytes, too few for a wave header");
    BAIL_IF(std::string_view(reinterpret_cast<const char*>(b.data()), 4) != "RIFF",
            "magic at offset 0 is not \"RIFF\"");
    BAIL_IF(std::string_view(reinterpret_cast<const char*>(b.data()) + 8, 4) != "WAVE",
            "form type at offset 8 is not \"WAVE\"");
    const std::uint64_t riffSize = U32Le(b, 4);
    BAIL_IF(riffSize + 8 > b.size(), "RIFF length at offset 4 is " + std::to_string(riffSize) + " but only " +
                                         std::to_string(b.size() - 8) + " bytes follow it");
    // The decoder reads every chunk up to the end the RIFF length gives, so
    // every one must fit, also those after the samples.
    const std::uint64_t end = riffSize + 8;
    std::uint64_t pos = 12;
    std::int64_t blockAlign = 0;
    std::int64_t dataAt = -1;
    while (pos < end) {
        BAIL_IF(pos + 8 > end, "the wave ends at offset " + std::to_string(end) +
                                   " inside the chunk header at offset " + std::to_string(pos));
        const std::string_view id(reinterpret_cast<const char*>(b.data()) + pos, 4);
        const std::uint64_t len = U32Le(b, static_cast<std::size_t>(pos + 4));
        BAIL_IF(pos + 8 + len > end, "chunk \"" + PrintableName(id) + "\" at offset " + std::to_string(pos) +
                                         " with length " + std::to_string(len) +
                                         " runs past the end of the file");
        const auto at = static_cast<std::size_t>(pos + 8);
        if (id == "fmt " && blockAlign == 0) {
            BAIL_IF_FAILED(CheckWaveFormat(b, pos, len));
            blockAlign = U16Le(b, at + 12);
        } else if (id == "data" && dataAt < 0) {
            BAIL_IF(blockAlign == 0,
                    "data chunk at offset " + std::to_string(pos) + " comes before any format chunk");
            BAIL_IF(len % static_cast<std::uint64_t>(blockAlign) != 0,
                    FieldText("data length", at - 4, static_cast<std::int64_t>(len)) +
                        ", not a whole number of " + std::to_string(blockAlign) + "-byte sample frames");
            dataAt = static_cast<std::int64_t>(pos);
        }
        pos += 8 + len + (len & 1);
    }
    BAIL_IF(blockAlign == 0, "no format chunk");
    BAIL_IF(dataAt < 0, "no data chunk");
    return {};
}

}  // namespace tenfold
