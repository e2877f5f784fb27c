#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "present/bitmap_font.h"
#include "present/display.h"
#include "present/sound.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

namespace fs = std::filesystem;

// Writes a 24-bit bottom-up BMP of one row.
void WriteBmpRow(const fs::path& file, const std::vector<std::array<std::uint8_t, 3>>& rgb) {
    const std::uint32_t w = static_cast<std::uint32_t>(rgb.size());
    const std::uint32_t rowBytes = (w * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + rowBytes;
    std::vector<std::uint8_t> b(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, 1);
    b[26] = 1;
    b[28] = 24;
    put32(34, rowBytes);
    for (std::uint32_t x = 0; x < w; ++x) {
        b[54 + 3 * x] = rgb[x][2];
        b[54 + 3 * x + 1] = rgb[x][1];
        b[54 + 3 * x + 2] = rgb[x][0];
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Writes a 22,050 Hz 16-bit stereo wave of `frames` silent frames; `cut` bytes
// are then dropped from the end while the headers keep their stated sizes.
void WriteWav(const fs::path& file, std::uint32_t frames, std::size_t cut = 0) {
    const std::uint32_t dataBytes = frames * 4;
    std::vector<std::uint8_t> b(44 + dataBytes, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    std::copy_n("RIFF", 4, b.begin());
    put(4, 36 + dataBytes, 4);
    std::copy_n("WAVEfmt ", 8, b.begin() + 8);
    put(16, 16, 4);
    put(20, 1, 2);      // PCM
    put(22, 2, 2);      // channels
    put(24, 22050, 4);  // rate
    put(28, 88200, 4);  // bytes a second
    put(32, 4, 2);      // block alignment
    put(34, 16, 2);     // bits
    std::copy_n("data", 4, b.begin() + 36);
    put(40, dataBytes, 4);
    b.resize(b.size() - cut);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Writes an RGB PNG, its pixels stored uncompressed, every checksum right;
// `idat` replaces the compressed data when given.
void WritePng(const fs::path& file, int w, int h, std::array<std::uint8_t, 3> rgb,
              const std::string& idat = "") {
    std::vector<std::uint8_t> b{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const auto be32 = [&](std::uint32_t v) {
        for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    const auto chunk = [&](const char* type, const std::vector<std::uint8_t>& data) {
        be32(static_cast<std::uint32_t>(data.size()));
        const std::size_t from = b.size();
        b.insert(b.end(), type, type + 4);
        b.insert(b.end(), data.begin(), data.end());
        std::uint32_t c = 0xFFFFFFFFu;
        for (std::size_t i = from; i < b.size(); ++i) {
            c ^= b[i];
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        be32(c ^ 0xFFFFFFFFu);
    };
    const auto u32 = [](std::uint32_t v) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(v >> 24),
                                         static_cast<std::uint8_t>(v >> 16),
                                         static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    };
    std::vector<std::uint8_t> header = u32(static_cast<std::uint32_t>(w));
    for (std::uint8_t v : u32(static_cast<std::uint32_t>(h))) header.push_back(v);
    for (std::uint8_t v : {8, 2, 0, 0, 0}) header.push_back(v);
    chunk("IHDR", header);
    std::vector<std::uint8_t> raw;  // each row: filter 0, then its pixels
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w; ++x) raw.insert(raw.end(), rgb.begin(), rgb.end());
    }
    std::vector<std::uint8_t> z{0x78, 0x01, 0x01};  // zlib, one final stored block
    const auto n = static_cast<std::uint16_t>(raw.size());
    for (std::uint16_t v : {n, static_cast<std::uint16_t>(~n)}) {
        z.push_back(static_cast<std::uint8_t>(v));
        z.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, bsum = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        bsum = (bsum + a) % 65521;
    }
    for (std::uint8_t v : u32(bsum << 16 | a)) z.push_back(v);
    chunk("IDAT", idat.empty() ? z : std::vector<std::uint8_t>(idat.begin(), idat.end()));
    chunk("IEND", {});
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void Truncate(const fs::path& file, std::uintmax_t by) { fs::resize_file(file, fs::file_size(file) - by); }

class DisplayFiles : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir / "Res"); }
    test::ScratchDir scratch;
    const fs::path dir = scratch.path();
};

TEST_F(DisplayFiles, PicturesBecomeRgb565WithMagentaExactlyTheKey) {
    WriteBmpRow(dir / "Res" / "Two.bmp", {{255, 0, 255}, {255, 255, 255}, {0, 0, 0}});
    Display d;
    // Mixed-case resource names are found whatever case the game asks for.
    const Surface s = d.LoadPicture((dir / "res" / "TWO.BMP").string());
    ASSERT_EQ(s.Width(), 3);
    ASSERT_EQ(s.Height(), 1);
    EXPECT_EQ(s.Pixel(0, 0), 0xF81F);
    EXPECT_EQ(s.Pixel(1, 0), 0xFFFF);
    EXPECT_EQ(s.Pixel(2, 0), 0x0000);

    // A reload after the display came back needs no file: the picture keeps its art.
    Picture p = d.LoadTablePicture((dir / "res" / "TWO.BMP").string(), 2, true);
    fs::remove(dir / "Res" / "Two.bmp");
    const std::vector<std::uint16_t> before = p.At(2).Pixels();
    p.Forget();
    EXPECT_EQ(p.At(2).Pixels(), before);
    EXPECT_EQ(p.At(2).Pixel(0, 0), 0xF81F) << "the key stays the key when scaled";
}

TEST_F(DisplayFiles, LoadFailuresCarryTheRoutineLabelAndNameTheFile) {
    // Passes the structure checks (they know no PNG), so it is the decoder that fails.
    std::ofstream(dir / "broken.gif") << "not a picture";
    Display d;
    BitmapFont font;
    const struct {
        const char* name;
        std::function<void()> load;
        const char* label;
        int number;
    } cases[] = {
        {"missing picture", [&] { d.LoadPicture((dir / "gone.bmp").string()); },
         "Error in function CreateSurfaceFromFile() ", kErrFileRead},
        {"undecodable picture", [&] { d.LoadPicture((dir / "broken.gif").string()); },
         "Error in function CreateSurfaceFromFile() ", kErrPictureDecode},
        {"missing font", [&] { font.Load(d, (dir / "gone.bmp").string(), 19, 27, 20); },
         "Error in function clsDXBitmapFont.CreateSpriteFromFile() ", kErrFileRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.load();
            ADD_FAILURE() << "no error";
        } catch (const PresentError& e) {
            const std::string head =
                std::string(c.label) + "\r\nError Number: " + std::to_string(c.number) + "\r\n";
            EXPECT_EQ(e.Message().substr(0, head.size()), head);
            EXPECT_NE(e.Message().find(dir.string()), std::string::npos) << e.Message();
        }
    }
}

// A damaged picture or sound never reaches its decoder: start-up ends with a
// message that names the file and what is wrong with it.
TEST_F(DisplayFiles, DamagedPicturesAndSoundsAreRefusedNamingTheFile) {
    WriteBmpRow(dir / "cut.bmp", std::vector<std::array<std::uint8_t, 3>>(40, {1, 2, 3}));
    Truncate(dir / "cut.bmp", 10);
    // Complete and decodable, but wider than any picture the game accepts.
    WriteBmpRow(dir / "wide.bmp", std::vector<std::array<std::uint8_t, 3>>(5000, {1, 2, 3}));
    std::ofstream(dir / "garbled.bmp", std::ios::binary) << "BX" << std::string(60, '\0');
    WriteWav(dir / "good.wav", 100);
    WriteWav(dir / "cut.wav", 100, 6);  // the decoder would play what is there
    WriteWav(dir / "garbled.wav", 100);
    {
        std::fstream f(dir / "garbled.wav", std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(8);
        f << "WAVX";
    }

    Display d;
    BitmapFont font;
    SoundDevice sound;
    sound.Open();
    ASSERT_TRUE(sound.Enabled());
    EXPECT_NO_THROW(sound.LoadSound(Sound::Intro, (dir / "good.wav").string()));

    const struct {
        const char* file;
        std::function<void(const std::string&)> load;
        const char* label;
        const char* reason;
    } cases[] = {
        {"cut.bmp", [&](const std::string& f) { d.LoadPicture(f); },
         "Error in function CreateSurfaceFromFile() ", "pixel data"},
        {"wide.bmp", [&](const std::string& f) { d.LoadPicture(f); },
         "Error in function CreateSurfaceFromFile() ", "width at offset 18 is 5000"},
        {"garbled.bmp", [&](const std::string& f) { font.Load(d, f, 19, 27, 20); },
         "Error in function clsDXBitmapFont.CreateSpriteFromFile() ", "\"BM\""},
        {"cut.wav", [&](const std::string& f) { sound.LoadSound(Sound::Win, f); },
         "Error in function CreateSoundFromFile() ", "RIFF length"},
        {"garbled.wav", [&](const std::string& f) { sound.LoadSound(Sound::Win, f); },
         "Error in function CreateSoundFromFile() ", "\"WAVE\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = (dir / c.file).string();
        try {
            c.load(path);
            ADD_FAILURE() << "no error";
        } catch (const PresentError& e) {
            EXPECT_EQ(e.Label(), c.label);
            EXPECT_EQ(e.Number(), kErrDamagedFile);
            EXPECT_NE(e.Description().find(path), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find(c.reason), std::string::npos) << e.Description();
        }
    }
}

// The art for large screens is read and checked at start but decoded only
// when a size first needs it; what could fail then is found at start.
TEST_F(DisplayFiles, LargerArtIsCheckedAtStartAndDecodedWhenFirstShown) {
    WriteBmpRow(dir / "x.bmp", {{10, 20, 30}, {10, 20, 30}});
    Display d;
    const std::string oneX = (dir / "x.bmp").string(), larger = (dir / "x@2x.png").string();

    WritePng(larger, 4, 2, {200, 100, 0});
    Picture p = d.LoadTablePicture(oneX, 2, false);
    fs::remove(larger);  // decoded from what was read at start
    EXPECT_EQ(p.At(1).Pixel(0, 0), Rgb565(10, 20, 30));
    EXPECT_EQ(p.At(2).Width(), 4);
    EXPECT_EQ(p.At(2).Pixel(3, 1), Rgb565(200, 100, 0)) << "the art drawn for the size, as it is";

    // Right checksums around data no decoder takes: found only when shown,
    // and then on the fatal road with the loader's label, naming the file.
    WritePng(larger, 4, 2, {0, 0, 0}, "not compressed data");
    Picture undecodable = d.LoadTablePicture(oneX, 2, false);
    try {
        undecodable.At(2);
        ADD_FAILURE() << "no error";
    } catch (const PresentError& e) {
        EXPECT_EQ(e.Label(), "Error in function CreateSurfaceFromFile() ");
        EXPECT_EQ(e.Number(), kErrPictureDecode);
        EXPECT_NE(e.Description().find(larger), std::string::npos) << e.Description();
    }

    // Damage and a size that does not fit the 1x art are refused at start.
    const struct {
        const char* what;
        std::function<void()> write;
        const char* reason;
    } cases[] = {
        {"a byte changed",
         [&] {
             WritePng(larger, 4, 2, {200, 100, 0});
             std::fstream f(larger, std::ios::binary | std::ios::in | std::ios::out);
             f.seekp(60);  // inside the pixels
             f.put('\x55');
         },
         "checksum of the IDAT chunk"},
        {"another size",
         [&] {
             WritePng(larger, 6, 2, {200, 100, 0});
         },
         "does not match"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.write();
        try {
            d.LoadTablePicture(oneX, 2, false);
            ADD_FAILURE() << "no error";
        } catch (const PresentError& e) {
            EXPECT_EQ(e.Label(), "Error in function CreateSurfaceFromFile() ");
            EXPECT_EQ(e.Number(), kErrDamagedFile);
            EXPECT_NE(e.Description().find(c.reason), std::string::npos) << e.Description();
        }
    }
}

TEST_F(DisplayFiles, SoundFilesAreRequiredOnlyWhileSoundIsOn) {
    SoundDevice off;
    EXPECT_NO_THROW(off.LoadSounds((dir / "none").string() + "/"));

    SoundDevice on;
    on.Open();  // the dummy audio driver of the tests opens
    ASSERT_TRUE(on.Enabled());
    try {
        on.LoadSounds((dir / "none").string() + "/");
        ADD_FAILURE() << "no error";
    } catch (const PresentError& e) {
        EXPECT_EQ(e.Label(), "Error in function CreateSoundFromFile() ");
        EXPECT_NE(e.Description().find("CARD_FLIP.WAV"), std::string::npos);
    }
}

TEST(DisplayOpen, HeadlessDisplayGivesTheTablesBackBufferAndClip) {
    Display d;
    d.Open(DisplayOptions{false, true});
    d.ClipToTable();
    EXPECT_EQ(d.backBuffer.Width(), 800);
    EXPECT_EQ(d.backBuffer.Height(), 600);
    EXPECT_EQ(d.clip.right, 800);
    EXPECT_EQ(d.clip.bottom, 600);
    EXPECT_TRUE(d.IsShown());
    int reloads = 0;
    EXPECT_TRUE(d.WaitUntilShown([&] { ++reloads; }));
    EXPECT_EQ(reloads, 0) << "nothing is reloaded while the display stayed";
    d.Present();
}

// Without a graphics card only the changed parts of a frame are sent to the
// window: after several frames the window must still show the last one whole,
// at the table's own size and at a larger one (the table then drawn at 1.25,
// centred, black around it without a cloth).
TEST(DisplayOpen, WindowShowsTheLastFrameAfterPartialUpdates) {
    for (const auto& [w, h] : {std::pair{800, 600}, std::pair{1100, 750}}) {
        Display d;
        d.Open(DisplayOptions{true, true, w, h});
        d.ClipToTable();
        ASSERT_EQ(d.Presenter(), "window");
        ASSERT_EQ(d.backBuffer.Width(), w);
        const std::uint16_t green = Rgb565(0, 128, 0);
        d.Fill(Rect{0, 0, 800, 600}, green);
        d.Present();
        d.Fill(Rect{0, 0, 800, 600}, green);
        d.Fill(Rect{100, 100, 200, 253}, 0xFFFF);  // a card
        d.Fill(Rect{799, 599, 800, 600}, 0xF800);
        d.Present();
        d.Fill(Rect{0, 0, 800, 600}, green);
        d.Fill(Rect{104, 98, 204, 251}, 0xFFFF);  // moved on
        d.Present();
        const std::uint64_t changed = d.ChangedFrames();
        d.Fill(Rect{0, 0, 800, 600}, green);
        d.Fill(Rect{104, 98, 204, 251}, 0xFFFF);
        d.Present();  // still: nothing drawn, nothing to send
        EXPECT_EQ(d.ChangedFrames(), changed);

        std::vector<std::uint32_t> window;
        int ww = 0, wh = 0;
        ASSERT_TRUE(d.ReadWindow(window, ww, wh));
        ASSERT_EQ(ww, w);
        ASSERT_EQ(wh, h);
        const Rect table = d.TableArea();
        const TableMapping& m = d.Mapping();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool inTable = x >= table.left && x < table.right && y >= table.top && y < table.bottom;
                const bool inCard = x >= m.X(104) && x < m.X(204) && y >= m.Y(98) && y < m.Y(251);
                const std::uint16_t want = !inTable ? 0 : inCard ? 0xFFFF : green;
                ASSERT_EQ(window[static_cast<std::size_t>(y) * w + x], Xrgb8888From565(want))
                    << x << "," << y << " at " << w << " x " << h;
            }
        }
    }
}

}  // namespace
}  // namespace tenfold
