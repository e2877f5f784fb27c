#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>
#include <vector>

#include "present/bitmap_font.h"
#include "present/display.h"
#include "present/sound.h"

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
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
}

class DisplayFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tenfold_present_" + std::to_string(::getpid()));
        fs::create_directories(dir / "Res");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(DisplayFiles, PicturesBecomeRgb565WithMagentaExactlyTheKey) {
    WriteBmpRow(dir / "Res" / "Two.bmp", {{255, 0, 255}, {255, 255, 255}, {0, 0, 0}});
    Display d;
    // Mixed-case resource names are found whatever case the game asks for.
    const Surface s = d.CreateSurfaceFromFile((dir / "res" / "TWO.BMP").string(), false);
    ASSERT_EQ(s.Width(), 3);
    ASSERT_EQ(s.Height(), 1);
    EXPECT_EQ(s.Pixel(0, 0), 0xF81F);
    EXPECT_EQ(s.Pixel(1, 0), 0xFFFF);
    EXPECT_EQ(s.Pixel(2, 0), 0x0000);

    // A reload after the display came back must not need the file any more.
    fs::remove(dir / "Res" / "Two.bmp");
    EXPECT_EQ(d.CreateSurfaceFromFile((dir / "res" / "TWO.BMP").string(), false).Pixel(0, 0), 0xF81F);
}

TEST_F(DisplayFiles, LoadFailuresCarryTheRoutineLabelAndNameTheFile) {
    std::ofstream(dir / "broken.bmp") << "not a picture";
    Display d;
    clsDXBitmapFont font;
    const struct {
        const char* name;
        std::function<void()> load;
        const char* label;
        int number;
    } cases[] = {
        {"missing picture", [&] { d.CreateSurfaceFromFile((dir / "gone.bmp").string(), false); },
         "Error in function CreateSurfaceFromFile() ", kErrFileRead},
        {"undecodable picture", [&] { d.CreateSurfaceFromFile((dir / "broken.bmp").string(), false); },
         "Error in function CreateSurfaceFromFile() ", kErrPictureDecode},
        {"missing font", [&] { font.CreateSpriteFromFile(d, (dir / "gone.bmp").string(), 19, 27, 20); },
         "Error in function clsDXBitmapFont.CreateSpriteFromFile() ", kErrFileRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.load();
            ADD_FAILURE() << "no error";
        } catch (const PresentError& e) {
            const std::string head = std::string(c.label) + "\r\nError Number: " + std::to_string(c.number) + "\r\n";
            EXPECT_EQ(e.Message().substr(0, head.size()), head);
            EXPECT_NE(e.Message().find(".bmp"), std::string::npos) << e.Message();
        }
    }
}

TEST_F(DisplayFiles, SoundFilesAreRequiredOnlyWhileSoundIsOn) {
    Sound off;
    EXPECT_NO_THROW(off.LoadSounds((dir / "none").string() + "/"));

    Sound on;
    on.InitDirectSound();  // the dummy audio driver of the tests opens
    ASSERT_TRUE(on.SoundEnabled);
    try {
        on.LoadSounds((dir / "none").string() + "/");
        ADD_FAILURE() << "no error";
    } catch (const PresentError& e) {
        EXPECT_EQ(e.Label(), "Error in function CreateSoundFromFile() ");
        EXPECT_NE(e.Description().find("CARD_FLIP.WAV"), std::string::npos);
    }
    EXPECT_EQ(PickOfThree(0.0f), 0);
    EXPECT_EQ(PickOfThree(0.34f), 1);
    EXPECT_EQ(PickOfThree(0.9999999f), 2);
}

TEST(DisplayOpen, HeadlessDisplayGivesTheTablesBackBufferAndClip) {
    Display d;
    d.DirectX(DisplayOptions{false, true});
    d.SetClipRect();
    EXPECT_EQ(d.BackBuffer.Width(), 800);
    EXPECT_EQ(d.BackBuffer.Height(), 600);
    EXPECT_EQ(d.BackBufferRect, (Rect{0, 0, 800, 600}));
    EXPECT_EQ(d.Clip.ClipRight, 800);
    EXPECT_EQ(d.Clip.ClipBottom, 600);
    EXPECT_TRUE(d.ExclusiveModeActive());
    int reloads = 0;
    EXPECT_TRUE(d.CheckLostSurfaces([&] { ++reloads; }));
    EXPECT_EQ(reloads, 0) << "nothing is reloaded while the display stayed";
    d.FlipBackBuffer();
}

}  // namespace
}  // namespace tenfold
