#include <gtest/gtest.h>

#include "present/surface.h"

namespace tenfold {
namespace {

constexpr std::uint16_t kInk = 0x1234;
constexpr std::uint16_t kMagenta = 0xF81F;

// A 4 x 3 source whose pixel (x, y) holds 100 + 10 y + x, so every copied
// pixel tells where it came from.
Surface NumberedSource() {
    Surface s(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) s.SetPixel(x, y, static_cast<std::uint16_t>(100 + 10 * y + x));
    return s;
}

// Which source pixels landed where on a 10 x 8 target (0 = untouched).
struct Case {
    const char* name;
    Rect rect;
    int x, y;
    int expectLeft, expectTop, expectRight, expectBottom;  // drawn target area, exclusive
    int firstSourceX, firstSourceY;                        // source pixel at the area's corner
};

TEST(DrawClipped, CutsAtEachEdgeAndRefusesWholePicturesThatDoNotFit) {
    const ClipRect clip{0, 0, 10, 8};
    const Case cases[] = {
        {"inside", Rect{0, 0, 4, 3}, 2, 2, 2, 2, 6, 5, 0, 0},
        {"right edge cuts two columns", Rect{0, 0, 4, 3}, 8, 1, 8, 1, 10, 4, 0, 0},
        {"bottom edge cuts one row", Rect{0, 0, 4, 3}, 1, 6, 1, 6, 5, 8, 0, 0},
        {"left edge drops one column", Rect{0, 0, 4, 3}, -1, 0, 0, 0, 3, 3, 1, 0},
        {"top edge drops two rows", Rect{0, 0, 4, 3}, 0, -2, 0, 0, 4, 1, 0, 2},
        {"corner cut on all four tests", Rect{1, 1, 4, 3}, -1, -1, 0, 0, 2, 1, 2, 2},
        {"whole picture fits exactly", kWholePicture, 6, 5, 6, 5, 10, 8, 0, 0},
        {"whole picture one pixel past the right", kWholePicture, 7, 0, 0, 0, 0, 0, 0, 0},
        {"whole picture one pixel past the bottom", kWholePicture, 0, 6, 0, 0, 0, 0, 0, 0},
        {"whole picture one pixel left of the edge", kWholePicture, -1, 0, 0, 0, 0, 0, 0, 0},
        {"whole picture above the edge", kWholePicture, 0, -1, 0, 0, 0, 0, 0, 0},
        {"rectangle wholly outside", Rect{0, 0, 4, 3}, 12, 0, 0, 0, 0, 0, 0, 0},
        {"cut down to nothing at the corner", Rect{0, 0, 4, 3}, 10, 8, 0, 0, 0, 0, 0, 0},
    };
    const Surface source = NumberedSource();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Surface target(10, 8);
        DrawClipped(clip, source, target, c.rect, static_cast<std::int16_t>(c.x),
                    static_cast<std::int16_t>(c.y), false);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 10; ++x) {
                const bool inside =
                    x >= c.expectLeft && x < c.expectRight && y >= c.expectTop && y < c.expectBottom;
                const int want =
                    inside ? 100 + 10 * (c.firstSourceY + y - c.expectTop) + c.firstSourceX + x - c.expectLeft
                           : 0;
                ASSERT_EQ(target.Pixel(x, y), want) << "at " << x << "," << y;
            }
        }
    }
}

TEST(ColourKey, Mode2IsMagentaInRgb565AndOtherModesChangeNothing) {
    Surface s(2, 1);
    SetColorKeyMode(s, 0);
    SetColorKeyMode(s, 3);
    EXPECT_FALSE(s.HasColorKey());
    SetColorKeyMode(s, 2);
    ASSERT_TRUE(s.HasColorKey());
    EXPECT_EQ(s.ColorKey(), kMagenta);
    EXPECT_EQ(Rgb565(255, 0, 255), kMagenta);
    SetColorKeyMode(s, 1);
    EXPECT_EQ(s.ColorKey(), 0);
}

TEST(ColourKey, KeyedCopySkipsKeyPixelsOnlyWhenAsked) {
    Surface source(2, 1);
    source.SetPixel(0, 0, kMagenta);
    source.SetPixel(1, 0, kInk);
    SetColorKeyMode(source, 2);
    const ClipRect clip{0, 0, 2, 1};

    Surface keyed(2, 1);
    keyed.Fill(Rect{0, 0, 2, 1}, 7);
    DrawClipped(clip, source, keyed, kWholePicture, 0, 0, true);
    EXPECT_EQ(keyed.Pixel(0, 0), 7);
    EXPECT_EQ(keyed.Pixel(1, 0), kInk);

    Surface plain(2, 1);
    DrawClipped(clip, source, plain, kWholePicture, 0, 0, false);
    EXPECT_EQ(plain.Pixel(0, 0), kMagenta);
}

}  // namespace
}  // namespace tenfold
