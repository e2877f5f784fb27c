// What the resource checks pass, the game's decoders take: the header fields
// of small pictures and sounds of every supported kind are varied one byte at
// a time, and every variant the checks accept must decode with the decoders
// the game uses. `tenfold-pak verify` runs the same checks, so an archive it
// passes does not stop the game at start.

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "resources/resource_check.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::Bytes;
using test::Put16;
using test::PutLe32;

// A 4 x 3 bitmap with the given header size, bit depth and compression; the
// palette, masks and pixels are filled in so that the base picture decodes.
Bytes Bitmap(std::uint32_t headerSize, int bpp, std::uint32_t compression = 0) {
    const int w = 4, h = 3;
    Bytes palette;
    if (bpp <= 8) palette.assign(static_cast<std::size_t>((1 << bpp) * (headerSize == 12 ? 3 : 4)), 0x40);
    Bytes masks;
    if (compression == 3 && headerSize == 40) masks.resize(12);
    Bytes pixels;
    if (compression == 1) {
        pixels = {4, 1, 0, 0, 2, 3, 2, 5, 0,
                  0, 0, 4, 1, 2, 3, 4, 0, 1};  // run, EOL, runs, EOL, absolute, EOB
    } else if (compression == 2) {
        pixels = {4, 0x12, 0, 0, 4, 0x34, 0, 0, 0, 4, 0x56, 0x78, 0, 1};
    } else {
        pixels.assign(static_cast<std::size_t>((w * bpp + 31) / 32 * 4 * h), 0x33);
    }
    const std::size_t dataOffset = 14 + headerSize + masks.size() + palette.size();
    Bytes b(dataOffset, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLe32(b, 10, static_cast<std::uint32_t>(dataOffset));
    PutLe32(b, 14, headerSize);
    if (headerSize == 12) {
        Put16(b, 18, w);
        Put16(b, 20, h);
        Put16(b, 22, 1);
        Put16(b, 24, static_cast<std::uint32_t>(bpp));
    } else {
        PutLe32(b, 18, w);
        PutLe32(b, 22, h);
        Put16(b, 26, 1);
        Put16(b, 28, static_cast<std::uint32_t>(bpp));
        PutLe32(b, 30, compression);
        PutLe32(b, 34, static_cast<std::uint32_t>(pixels.size()));
    }
    if (compression == 3) {
        const bool wide = bpp == 32;
        PutLe32(b, 54, wide ? 0x00FF0000u : 0xF800u);
        PutLe32(b, 58, wide ? 0x0000FF00u : 0x07E0u);
        PutLe32(b, 62, wide ? 0x000000FFu : 0x001Fu);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    PutLe32(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
}

// A wave of 8 frames in the given format tag, channel count and sample size.
Bytes Wave(std::uint16_t tag, int channels, int bits, bool extensible = false) {
    const std::uint32_t fmtLen = extensible ? 40 : 16;
    const int align = channels * bits / 8;
    Bytes b(20 + fmtLen, 0);
    const Bytes head = test::Text("RIFF....WAVEfmt ");
    std::copy(head.begin(), head.end(), b.begin());
    PutLe32(b, 16, fmtLen);
    Put16(b, 20, extensible ? 0xFFFE : tag);
    Put16(b, 22, static_cast<std::uint32_t>(channels));
    PutLe32(b, 24, 22050);
    PutLe32(b, 28, static_cast<std::uint32_t>(22050 * align));
    Put16(b, 32, static_cast<std::uint32_t>(align));
    Put16(b, 34, static_cast<std::uint32_t>(bits));
    if (extensible) {
        Put16(b, 36, 22);
        Put16(b, 38, static_cast<std::uint32_t>(bits));
        Put16(b, 44, tag);  // the sub-format identifier's first two bytes
        const std::uint8_t guidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        std::copy(std::begin(guidTail), std::end(guidTail), b.begin() + 46);
    }
    const Bytes data = test::Text("data");
    b.insert(b.end(), data.begin(), data.end());
    const std::size_t lenAt = b.size();
    b.resize(b.size() + 4 + static_cast<std::size_t>(8 * align), 0x11);
    PutLe32(b, lenAt, static_cast<std::uint32_t>(8 * align));
    PutLe32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
    return b;
}

class DecoderAgreement : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
        SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");  // as the game loads its sounds
    }
    static void TearDownTestSuite() {
        Mix_CloseAudio();
        SDL_Quit();
    }

    static bool PictureDecodes(const Bytes& b) {
        SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(b.data(), static_cast<int>(b.size())), 1);
        if (s == nullptr) return false;
        SDL_FreeSurface(s);
        return true;
    }
    static bool SoundDecodes(const Bytes& b) {
        Mix_Chunk* c = Mix_LoadWAV_RW(SDL_RWFromConstMem(b.data(), static_cast<int>(b.size())), 1);
        if (c == nullptr) return false;
        Mix_FreeChunk(c);
        return true;
    }

    // Varies each byte of the first `span` bytes of `base` through a few
    // telling values; every variant `passes` must also `decodes`. Returns how
    // many variants were passed, so a test can see the checks are not refusing
    // everything.
    template <class Pass, class Decode>
    static int Vary(const char* what, const Bytes& base, std::size_t span, Pass passes, Decode decodes) {
        EXPECT_TRUE(passes(base)) << what << ": the base file itself";
        EXPECT_TRUE(decodes(base)) << what << ": the base file itself";
        int passed = 0;
        for (std::size_t at = 0; at < std::min(span, base.size()); ++at) {
            const std::uint8_t was = base[at];
            const std::set<std::uint8_t> values{0,
                                                1,
                                                2,
                                                3,
                                                4,
                                                8,
                                                0x10,
                                                0x7F,
                                                0x80,
                                                0xFF,
                                                static_cast<std::uint8_t>(was + 1),
                                                static_cast<std::uint8_t>(was - 1)};
            for (const std::uint8_t v : values) {
                if (v == was) continue;
                Bytes b = base;
                b[at] = v;
                if (!passes(b)) continue;
                ++passed;
                EXPECT_TRUE(decodes(b)) << what << ": byte " << at << " set to " << int(v)
                                        << " passes the checks but does not decode: " << SDL_GetError();
            }
        }
        return passed;
    }
};

TEST_F(DecoderAgreement, EveryBitmapTheChecksPassDecodes) {
    struct Kind {
        const char* what;
        Bytes bytes;
    };
    const std::vector<Kind> kinds = {
        {"24-bit", Bitmap(40, 24)},
        {"32-bit", Bitmap(40, 32)},
        {"16-bit", Bitmap(40, 16)},
        {"8-bit palette", Bitmap(40, 8)},
        {"4-bit palette", Bitmap(40, 4)},
        {"1-bit palette", Bitmap(40, 1)},
        {"RLE8", Bitmap(40, 8, 1)},
        {"RLE4", Bitmap(40, 4, 2)},
        {"16-bit fields", Bitmap(40, 16, 3)},
        {"32-bit fields, v4 header", Bitmap(108, 32, 3)},
        {"v5 header", Bitmap(124, 24)},
        {"core header", Bitmap(12, 24)},
        {"core header, palette", Bitmap(12, 8)},
        {"32-bit, v4 header", Bitmap(108, 32)},
        {"16-bit, v3 header", Bitmap(56, 16)},
        {"16-bit fields, v3 header", Bitmap(56, 16, 3)},
        {"8-bit, short palette",
         [] {
             Bytes b = Bitmap(40, 8);
             PutLe32(b, 46, 0x34);  // the pixels use colour 0x33
             return b;
         }()},
    };
    const auto passes = [](const Bytes& b) { return CheckResource("res/Royal/AC.BMP", b).Ok(); };
    for (const Kind& k : kinds) {
        // Every header field, the masks, and the start of the palette or pixels.
        EXPECT_GT(Vary(k.what, k.bytes, 14 + 124 + 16, passes, PictureDecodes), 0) << k.what;
    }
}

TEST_F(DecoderAgreement, EveryWaveTheChecksPassDecodes) {
    struct Kind {
        const char* what;
        Bytes bytes;
    };
    const std::vector<Kind> kinds = {
        {"16-bit stereo", Wave(1, 2, 16)},
        {"8-bit mono", Wave(1, 1, 8)},
        {"24-bit", Wave(1, 2, 24)},
        {"32-bit", Wave(1, 1, 32)},
        {"float", Wave(3, 2, 32)},
        {"extensible PCM", Wave(1, 2, 16, true)},
        {"extensible float", Wave(3, 1, 32, true)},
    };
    const auto passes = [](const Bytes& b) { return CheckResource("res/Sounds/SIGN1.WAV", b).Ok(); };
    for (const Kind& k : kinds) EXPECT_GT(Vary(k.what, k.bytes, 72, passes, SoundDecodes), 0) << k.what;
}

}  // namespace
}  // namespace tenfold
