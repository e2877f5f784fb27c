#include "resources/resource_check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::Bytes;

using test::MakeBmp;
using test::MakeJpeg;
using test::MakeWav;
using test::Put16;

struct Case {
    const char* what;
    Bytes bytes;
    const char* reason;  // "" for a sound file
};

TEST(ResourceCheck, Bitmaps) {
    Bytes badMagic = MakeBmp(2, 2);
    badMagic[1] = 'A';
    Bytes badHeader = MakeBmp(2, 2);
    test::PutLe32(badHeader, 14, 41);
    Bytes truncated = MakeBmp(20, 20);
    truncated.resize(truncated.size() - 1);
    Bytes badBpp = MakeBmp(2, 2);
    Put16(badBpp, 28, 7);
    Bytes jpegInside = MakeBmp(2, 2);
    test::PutLe32(jpegInside, 30, 4);
    Bytes offsetPast = MakeBmp(2, 2);
    test::PutLe32(offsetPast, 10, 0xFFFFFFF0u);
    Bytes core = MakeBmp(2, 2);  // 12-byte header with 16-bit sides
    test::PutLe32(core, 14, 12);
    Put16(core, 18, 3);
    Put16(core, 20, 2);
    Put16(core, 22, 1);
    Put16(core, 24, 24);
    test::PutLe32(core, 10, 26);

    const std::vector<Case> cases = {
        {"plain", MakeBmp(800, 2), ""},
        {"top-down", MakeBmp(3, -3), ""},
        {"largest", MakeBmp(3200, 1, 8), ""},
        {"core header", core, ""},
        {"empty", {}, "0 bytes"},
        {"magic", badMagic, "magic at offset 0"},
        {"header size", badHeader, "header size at offset 14 is 41"},
        {"too wide", MakeBmp(3201, 1, 8), "width at offset 18 is 3201, outside 1..3200"},
        {"too high", MakeBmp(1, -5000, 8), "height at offset 22 is 5000"},
        {"height INT_MIN",
         [] {
             Bytes b = MakeBmp(1, 1);
             test::PutLe32(b, 22, 0x80000000u);
             return b;
         }(),
         "height at offset 22 is 2147483648"},
        {"zero width", MakeBmp(0, 4), "width at offset 18 is 0"},
        {"bit depth", badBpp, "bits per pixel at offset 28 is 7"},
        {"embedded JPEG", jpegInside, "compression at offset 30 is 4"},
        {"pixel data offset", offsetPast, "pixel data offset at offset 10"},
        {"truncated pixels", truncated, "needs 1200 bytes but the file ends at 1253"},
    };
    for (const Case& c : cases) {
        const Result checked = CheckBmp(c.bytes);
        const std::string& why = checked.Reason();
        if (std::string(c.reason).empty()) {
            EXPECT_TRUE(checked) << c.what << ": " << why;
        } else {
            EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        }
    }
}

// An RLE bitmap: a small file whatever size it claims.
Bytes RleBmp(std::int32_t w, std::int32_t h, Bytes stream = {0, 1}) {
    Bytes b = MakeBmp(1, 1, 8);
    b.resize(54 + 1024 + stream.size());  // the palette, then the stream
    test::PutLe32(b, 10, 54 + 1024);
    test::PutLe32(b, 18, static_cast<std::uint32_t>(w));
    test::PutLe32(b, 22, static_cast<std::uint32_t>(h));
    test::PutLe32(b, 30, 1);
    std::copy(stream.begin(), stream.end(), b.begin() + 54 + 1024);
    return b;
}

TEST(ResourceCheck, PicturesArePlausibleForTheirPlaceBeforeAnyDecoding) {
    struct Place {
        const char* path;
        std::int32_t w, h;  // the largest accepted
    };
    const std::vector<Place> places = {
        {"/run/x/res/Royal/AC.BMP", 396, 612},
        {"res/roya2/S_cardback.bmp", 396, 612},
        {"res/Bitmaps/Scorepage_800x600.bmp", 3200, 2400},
        {"res/fntFonts/fntDigit.bmp", 1600, 600},
        {"Numbers/clubs.BMP", 1600, 600},
        {"loose.bmp", 3200, 2400},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.path);
        EXPECT_TRUE(CheckResource(p.path, RleBmp(p.w, p.h)));
        EXPECT_NE(CheckResource(p.path, RleBmp(p.w + 1, p.h)).Reason().find("width at offset 18"),
                  std::string::npos);
        EXPECT_NE(CheckResource(p.path, RleBmp(p.w, -(p.h + 1))).Reason().find("height at offset 22"),
                  std::string::npos);
    }
    // The memory bomb: a few bytes of RLE claiming 4096 x 4096 in a card's place.
    EXPECT_EQ(CheckResource("res/Royal/KH.BMP", RleBmp(4096, 4096)).Reason(),
              "width at offset 18 is 4096, outside 1..396");
    EXPECT_NE(CheckResource("res/Bitmaps/Back_800x600.jpg", MakeJpeg(4096, 600))
                  .Reason()
                  .find("width at offset 15 is 4096"),
              std::string::npos);
    // A file longer than its place's largest picture can need is refused unread.
    EXPECT_NE(
        CheckResource("res/Royal/AC.BMP", Bytes(396 * 612 * 4 + (1 << 20) + 1, 0)).Reason().find("more than"),
        std::string::npos);
}

TEST(ResourceCheck, EncodingsTheDecodersRefuseAreRefusedFirst) {
    Bytes fields16 = MakeBmp(2, 2, 16);  // bit fields over pixel bytes taken for masks
    test::PutLe32(fields16, 30, 3);
    test::PutLe32(fields16, 10, 66);
    fields16.resize(66 + 8);
    std::fill(fields16.begin() + 54, fields16.end(), 0x5A);
    Bytes colours = MakeBmp(2, 2, 8);
    test::PutLe32(colours, 46, 300);
    Bytes shortPalette = MakeBmp(2, 1, 8);
    shortPalette.insert(shortPalette.begin() + 54, 8, 0);  // two colours
    test::PutLe32(shortPalette, 10, 62);
    test::PutLe32(shortPalette, 46, 2);
    shortPalette[63] = 2;
    Bytes mpeg = MakeWav();
    Put16(mpeg, 20, 0x55);
    Bytes adpcm = MakeWav();
    Put16(adpcm, 20, 2);
    Bytes twelveBits = MakeWav();
    Put16(twelveBits, 34, 12);
    Bytes align = MakeWav();
    Put16(align, 32, 3);
    Bytes trailing = MakeWav();
    trailing.insert(trailing.end(), {'L', 'I', 'S', 'T'});
    test::PutLe32(trailing, 4, static_cast<std::uint32_t>(trailing.size() - 8));

    const std::vector<Case> cases = {
        {"16-bit fields, unknown masks", fields16,
         "bit-field masks at offset 54 (5A5A5A5A 5A5A5A5A 5A5A5A5A)"},
        {"more colours than 8 bits", colours, "colour count at offset 46 is 300, more than 256"},
        {"pixel past the palette", shortPalette,
         "pixel 1 of row 0 at offset 63 is colour 2, past the palette's 2"},
        {"RLE without its end", RleBmp(4, 4, {4, 1, 0, 0, 4, 1}),
         "ends at offset 1084 before its end-of-picture mark"},
        {"RLE absolute run past the end", RleBmp(4, 4, {0, 9, 1, 2, 0, 1}), "before its end-of-picture mark"},
        {"MPEG wave", mpeg, "format tag at offset 20 is 0x0055, not PCM"},
        {"ADPCM wave", adpcm, "format tag at offset 20 is 0x0002"},
        {"12-bit wave", twelveBits, "bits per sample at offset 34 is 12"},
        {"block alignment", align, "block alignment at offset 32 is 3, not 4"},
        {"chunk header cut by the end", trailing, "inside the chunk header at offset 48"},
    };
    for (const Case& c : cases) {
        const Result checked =
            CheckResource(std::string("res/Royal/x.") + (c.bytes[0] == 'B' ? "bmp" : "wav"), c.bytes);
        EXPECT_FALSE(checked) << c.what;
        EXPECT_NE(checked.Reason().find(c.reason), std::string::npos) << c.what << ": " << checked.Reason();
    }
}

TEST(ResourceCheck, SoundsAndJpegs) {
    Bytes notWave = MakeWav();
    std::copy_n("AVI ", 4, notWave.begin() + 8);
    Bytes riffTooLong = MakeWav();
    test::PutLe32(riffTooLong, 4, 0xFFFFFFFFu);
    Bytes chunkTooLong = MakeWav();
    test::PutLe32(chunkTooLong, 40, 5);
    Bytes noChannels = MakeWav();
    Put16(noChannels, 22, 0);
    Bytes noData = MakeWav();
    std::copy_n("junk", 4, noData.begin() + 36);
    Bytes jpegEndsEarly = MakeJpeg(10, 10);
    jpegEndsEarly.resize(12);

    const std::vector<Case> wav = {
        {"plain", MakeWav(), ""},
        {"short", test::Text("RIFF"), "4 bytes"},
        {"magic", test::Text("RIFX....WAVE"), "magic at offset 0"},
        {"form", notWave, "form type at offset 8"},
        {"riff length", riffTooLong, "RIFF length at offset 4 is 4294967295"},
        {"chunk length", chunkTooLong, "chunk \"data\" at offset 36 with length 5 runs past"},
        {"channels", noChannels, "channel count at offset 22 is 0"},
        {"no data", noData, "no data chunk"},
    };
    for (const Case& c : wav) {
        const Result checked = CheckWav(c.bytes);
        const std::string& why = checked.Reason();
        if (std::string(c.reason).empty()) {
            EXPECT_TRUE(checked) << c.what << ": " << why;
        } else {
            EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        }
    }

    const std::vector<Case> jpeg = {
        {"plain", MakeJpeg(800, 600), ""},
        {"magic", test::Text("GIF89a"), "magic at offset 0"},
        {"too wide", MakeJpeg(5000, 10), "width at offset 15 is 5000"},
        {"zero height", MakeJpeg(10, 0), "height at offset 13 is 0"},
        {"segment past end", jpegEndsEarly, "segment length at offset 10 is 11, past the end"},
        {"no frame", Bytes{0xFF, 0xD8, 0xFF, 0xD9}, "before any frame header"},
    };
    for (const Case& c : jpeg) {
        const Result checked = CheckJpeg(c.bytes);
        const std::string& why = checked.Reason();
        if (std::string(c.reason).empty()) {
            EXPECT_TRUE(checked) << c.what << ": " << why;
        } else {
            EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        }
    }

    // PNG: signature, header chunk, chunks up to the end chunk, each with its CRC-32.
    const auto png = [](std::uint32_t w, std::uint32_t h, std::uint8_t depth, std::uint8_t colour) {
        Bytes b{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        const auto be32 = [&](std::uint32_t v) {
            for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<std::uint8_t>(v >> shift));
        };
        // The CRC-32 of the chunk's type and data, bit by bit as the PNG book defines it.
        const auto crc = [&](std::size_t from) {
            std::uint32_t c = 0xFFFFFFFFu;
            for (std::size_t i = from; i < b.size(); ++i) {
                c ^= b[i];
                for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            be32(c ^ 0xFFFFFFFFu);
        };
        be32(13);
        for (char c : std::string("IHDR")) b.push_back(static_cast<std::uint8_t>(c));
        be32(w);
        be32(h);
        for (std::uint8_t v : {depth, colour, std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0}})
            b.push_back(v);
        crc(12);
        be32(0);
        for (char c : std::string("IEND")) b.push_back(static_cast<std::uint8_t>(c));
        crc(37);
        return b;
    };
    Bytes pngChunkTooLong = png(10, 10, 8, 2);
    pngChunkTooLong[33] = 0x7F;  // the end chunk's length
    Bytes pngNoEnd = png(10, 10, 8, 2);
    pngNoEnd.resize(33);
    Bytes pngDamaged = png(10, 10, 8, 2);
    pngDamaged[19] ^= 0x04;  // a bit of the width, which its checksum no longer fits
    const std::vector<Case> pngs = {
        {"plain", png(297, 459, 8, 2), ""},
        {"magic", test::Text("\x89PNX\r\n\x1a\n........"), "magic at offset 0"},
        {"too wide", png(40000, 10, 8, 2), "width at offset 16 is 40000"},
        {"zero height", png(10, 0, 8, 6), "height at offset 20 is 0"},
        {"depth", png(10, 10, 4, 2), "colour type at offset 25 is 2 with bit depth 4"},
        {"chunk past end", pngChunkTooLong, "chunk length at offset 33"},
        {"no end", pngNoEnd, "before its end chunk"},
        {"damaged", pngDamaged, "checksum of the IHDR chunk at offset 29"},
    };
    for (const Case& c : pngs) {
        const Result checked = CheckPng(c.bytes);
        const std::string& why = checked.Reason();
        if (std::string(c.reason).empty()) {
            EXPECT_TRUE(checked) << c.what << ": " << why;
        } else {
            EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        }
    }
    EXPECT_FALSE(CheckResource("Roya2/AC@3x.PNG", png(2000, 2000, 8, 2))) << "a card of poster size";

    // Chosen by extension, in any case; the file version names the file.
    EXPECT_FALSE(CheckResource("X.WAV", MakeBmp(1, 1)));
    EXPECT_TRUE(CheckResource("x.Bmp", MakeBmp(1, 1)));
    EXPECT_TRUE(CheckResource("notes.txt", {}));
    test::ScratchDir dir;
    test::WriteBytes(dir / "bad.bmp", test::Text("BMx"));
    const Result r = CheckResourceFile(dir / "bad.bmp");
    EXPECT_NE(r.Reason().find(dir / "bad.bmp: "), std::string::npos) << r.Reason();
}

}  // namespace
}  // namespace tenfold
