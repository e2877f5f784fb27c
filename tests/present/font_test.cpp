#include <gtest/gtest.h>

#include "present/bitmap_font.h"

namespace tenfold {
namespace {

constexpr int kW = 19, kH = 27, kCols = 20;

// A font picture of the game's grid (19 x 27 cells, 20 columns, cells 0..94)
// in which each cell is filled with its own number + 1 and a magenta corner.
Surface GridPicture() {
    Surface s(kW * kCols, kH * 5);
    for (int cell = 0; cell < 95; ++cell) {
        const int left = (cell % kCols) * kW, top = (cell / kCols) * kH;
        s.Fill(Rect{left, top, left + kW, top + kH}, static_cast<std::uint16_t>(cell + 1));
        s.SetPixel(left, top, 0xF81F);
    }
    return s;
}

// Text drawn through a display whose back buffer (and clip) is w x h.
Surface Drawn(const BitmapFont& f, int w, int h, float x, float y, std::string_view text, bool keyed) {
    Display d;
    d.backBuffer = Surface(w, h);
    d.clip = ClipRect{0, 0, w, h};
    f.DrawText(d, x, y, text, keyed);
    d.Render();
    return std::move(d.backBuffer);
}

BitmapFont GameFont() {
    BitmapFont f;
    f.Use(GridPicture(), kW, kH, kCols);
    f.SetColorKeyMode(2);
    return f;
}

TEST(BitmapFont, CellRectanglesFollowTheGrid) {
    const BitmapFont f = GameFont();
    Rect r;
    ASSERT_TRUE(f.CellRect('4' - 32, r));
    EXPECT_EQ(r, (Rect{0, 27, 19, 54}));
    ASSERT_TRUE(f.CellRect(' ' - 32, r));
    EXPECT_EQ(r, (Rect{0, 0, 19, 27}));
    ASSERT_TRUE(f.CellRect('~' - 32, r));  // cell 94: column 14, row 4
    EXPECT_EQ(r, (Rect{266, 108, 285, 135}));
    EXPECT_FALSE(f.CellRect(-1, r));
    EXPECT_FALSE(f.CellRect(100, r));  // row 5 is past the picture
}

TEST(BitmapFont, AdvancesSeventeenPixels) {
    const BitmapFont f = GameFont();
    const Surface target = Drawn(f, 200, 40, 100, 5, "AB", true);
    const int a = 'A' - 32 + 1, b = 'B' - 32 + 1;
    EXPECT_EQ(target.Pixel(100, 5), 0) << "magenta corner of A is transparent";
    EXPECT_EQ(target.Pixel(101, 5), a);
    EXPECT_EQ(target.Pixel(116, 10), a) << "A's last columns before B starts";
    EXPECT_EQ(target.Pixel(117, 10), b) << "B starts 17 pixels after A and covers its last two columns";
    EXPECT_EQ(target.Pixel(135, 10), b);
    EXPECT_EQ(target.Pixel(136, 10), 0);
    EXPECT_EQ(f.TextWidth(2), 36) << "A's 17 pixels and all of B";
}

TEST(BitmapFont, RoundsPositionsHalfToEven) {
    const BitmapFont f = GameFont();
    const Surface target = Drawn(f, 60, 40, 2.5f, 3.5f, "!", false);  // (2, 4): halves to even
    EXPECT_EQ(target.Pixel(2, 4), 0xF81F);
    EXPECT_EQ(target.Pixel(1, 4), 0);
    EXPECT_EQ(target.Pixel(2, 3), 0);
}

TEST(BitmapFont, SkipsCharactersWithoutACellButKeepsTheirPlace) {
    const BitmapFont f = GameFont();
    const std::string text = std::string("A\x01") + "\xE9" + "B";
    const Surface target = Drawn(f, 120, 40, 0, 0, text, false);
    EXPECT_EQ(target.Pixel(5, 5), 'A' - 32 + 1);
    EXPECT_EQ(target.Pixel(17 + 5, 5), 0) << "nothing drawn for code 1";
    EXPECT_EQ(target.Pixel(40, 5), 0) << "nothing drawn for a code past the last cell";
    EXPECT_EQ(target.Pixel(51 + 5, 5), 'B' - 32 + 1);
}

TEST(BitmapFont, TextPastTheRightClipLosesOnlyTheColumnsBeyondIt) {
    const BitmapFont f = GameFont();
    const Surface target = Drawn(f, 40, 30, 10, 0, "AB", false);
    EXPECT_EQ(target.Pixel(26, 3), 'A' - 32 + 1);
    EXPECT_EQ(target.Pixel(39, 3), 'B' - 32 + 1);
}

}  // namespace
}  // namespace tenfold
