#include <gtest/gtest.h>

#include "present/input.h"
#include "present/table_drawing.h"

namespace tenfold {
namespace {

TEST(ScorePage, NumbersAreTenthsRightAlignedInFourCells) {
    const struct {
        std::int16_t stored;
        const char* field;
    } cases[] = {
        {-650, " -65"}, {0, "   0"},    {125, "12.5"},  {50, "   5"},
        {-5, "-0.5"},   {-300, " -30"}, {3200, " 320"}, {-12345, "-1234.5"},  // too long: not cut, no blanks
    };
    for (const auto& c : cases) EXPECT_EQ(ScoreField(c.stored), c.field) << c.stored;
}

TEST(Clock, TwelveHourClockWithTwoDigitsAndDesignator) {
    EXPECT_EQ(FormatClock(14, 5), "02:05 PM");
    EXPECT_EQ(FormatClock(0, 0), "12:00 AM");
    EXPECT_EQ(FormatClock(12, 30), "12:30 PM");
    EXPECT_EQ(FormatClock(9, 59), "09:59 AM");
}

TEST(Keys, EscapePAndRMeanQuitPauseAndSort) {
    // SDL's scancodes are the USB keyboard usage numbers: Escape 41, P 19, R 21.
    PlayerInput in;
    ApplyKey(4, in);  // A: nothing
    EXPECT_FALSE(in.quit || in.pause || in.sort || in.click);
    ApplyKey(41, in);
    EXPECT_TRUE(in.quit);
    ApplyKey(19, in);
    EXPECT_TRUE(in.pause);
    EXPECT_FALSE(in.sort);
    ApplyKey(21, in);
    EXPECT_TRUE(in.sort);
}

TEST(Mouse, WindowPointsBecomeTablePixelsClampedInclusive) {
    const MouseLimits limits{0, 0, 800, 600};
    // A 1920 x 1080 screen shows the table 1440 x 1080 with 240-pixel bars.
    const Letterbox box = FitTable(1920, 1080, 800, 600);
    EXPECT_DOUBLE_EQ(box.scale, 1.8);
    EXPECT_EQ(box.width, 1440);
    EXPECT_DOUBLE_EQ(box.offsetX, 240);
    const struct {
        double wx, wy;
        std::int32_t x, y;
    } cases[] = {
        {240, 0, 0, 0},         {960, 540, 400, 300},   {1679, 1079, 799, 599},
        {1680, 1079, 800, 599}, {1919, 1079, 800, 599}, {0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        std::int32_t x = -1, y = -1;
        WindowToTable(box, c.wx, c.wy, limits, x, y);
        EXPECT_EQ(x, c.x) << c.wx;
        EXPECT_EQ(y, c.y) << c.wy;
    }
}

}  // namespace
}  // namespace tenfold
