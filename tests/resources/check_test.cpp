#include "resources/resource_check.h"

#include <gtest/gtest.h>

#include "test_util.h"

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
        {"largest", MakeBmp(4096, 1, 8), ""},
        {"core header", core, ""},
        {"empty", {}, "0 bytes"},
        {"magic", badMagic, "magic at offset 0"},
        {"header size", badHeader, "header size at offset 14 is 41"},
        {"too wide", MakeBmp(4097, 1, 8), "width at offset 18 is 4097, outside 1..4096"},
        {"too high", MakeBmp(1, -5000, 8), "height at offset 22 is 5000"},
        {"height INT_MIN", [] { Bytes b = MakeBmp(1, 1); test::PutLe32(b, 22, 0x80000000u); return b; }(),
         "height at offset 22 is 2147483648"},
        {"zero width", MakeBmp(0, 4), "width at offset 18 is 0"},
        {"bit depth", badBpp, "bits per pixel at offset 28 is 7"},
        {"embedded JPEG", jpegInside, "compression at offset 30 is 4"},
        {"pixel data offset", offsetPast, "pixel data offset at offset 10"},
        {"truncated pixels", truncated, "needs 1200 bytes but the file ends at 1253"},
    };
    for (const Case& c : cases) {
        const std::string why = CheckBmp(c.bytes);
        if (std::string(c.reason).empty()) {
            EXPECT_EQ(why, "") << c.what;
        } else {
            EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        }
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
        const std::string why = CheckWav(c.bytes);
        if (std::string(c.reason).empty()) {
            EXPECT_EQ(why, "") << c.what;
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
        const std::string why = CheckJpeg(c.bytes);
        if (std::string(c.reason).empty()) {
            EXPECT_EQ(why, "") << c.what;
        } else {
            EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        }
    }

    // Chosen by extension, in any case; the file version names the file.
    EXPECT_NE(CheckResource("X.WAV", MakeBmp(1, 1)), "");
    EXPECT_EQ(CheckResource("x.Bmp", MakeBmp(1, 1)), "");
    EXPECT_EQ(CheckResource("notes.txt", {}), "");
    test::ScratchDir dir;
    test::WriteFile(dir / "bad.bmp", test::Text("BMx"));
    const IoResult r = CheckResourceFile(dir / "bad.bmp");
    EXPECT_NE(r.error.find(dir / "bad.bmp: "), std::string::npos) << r.error;
}

}  // namespace
}  // namespace tenfold
