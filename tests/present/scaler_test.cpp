#include <gtest/gtest.h>

#include <random>

#include "present/scaler.h"

namespace tenfold {
namespace {

Surface Noise(int w, int h, std::uint32_t seed) {
    Surface s(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) s.SetPixel(x, y, static_cast<std::uint16_t>(rng()));
    }
    return s;
}

std::vector<std::uint32_t> ScaleWhole(const TableScaler& scaler, const Surface& picture) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(scaler.TargetWidth()) * scaler.TargetHeight(),
                                   0xDEAD);
    scaler.Scale(picture, Rect{0, 0, scaler.TargetWidth(), scaler.TargetHeight()}, out.data(),
                 scaler.TargetWidth());
    return out;
}

TEST(ChangedAreas, CoverEveryChangedPixelRunByRun) {
    const Surface before = Noise(40, 30, 1);
    const std::vector<std::uint16_t> shown = before.Pixels();
    std::vector<Rect> areas{Rect{1, 1, 2, 2}};  // cleared first

    const struct {
        const char* name;
        std::vector<std::pair<int, int>> pixels;  // changed (x, y)
        std::size_t maxAreas;
        std::vector<Rect> expected;
    } cases[] = {
        {"still", {}, 32, {}},
        {"one pixel", {{7, 3}}, 32, {Rect{7, 3, 8, 4}}},
        {"first and last pixel of a row", {{0, 5}, {39, 5}}, 32, {Rect{0, 5, 40, 6}}},
        {"adjacent rows join, columns united", {{10, 8}, {3, 9}, {12, 10}}, 32, {Rect{3, 8, 13, 11}}},
        {"separate runs stay apart", {{2, 0}, {30, 29}}, 32, {Rect{2, 0, 3, 1}, Rect{30, 29, 31, 30}}},
        {"too many runs become one box", {{2, 0}, {9, 4}, {30, 29}}, 2, {Rect{2, 0, 31, 30}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Surface now = before;
        for (auto [x, y] : c.pixels) now.SetPixel(x, y, static_cast<std::uint16_t>(now.Pixel(x, y) ^ 0x0101));
        ChangedAreas(now, shown, areas, c.maxAreas);
        EXPECT_EQ(areas, c.expected);

        std::vector<std::uint16_t> copy = shown;
        CopyAreas(now, areas, copy);
        EXPECT_EQ(copy, now.Pixels()) << "copying the areas brings the shown picture up to date";
    }

    ChangedAreas(before, {}, areas);
    EXPECT_EQ(areas, (std::vector<Rect>{Rect{0, 0, 40, 30}})) << "nothing shown yet: all of it";
}

TEST(TableScaler, SameSizeIsAnExactCopyAndColoursKeepTheirEnds) {
    EXPECT_EQ(Xrgb8888From565(0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(Xrgb8888From565(0xF81F), 0xFF00FFu);
    EXPECT_EQ(Xrgb8888From565(0x0000), 0x000000u);

    const Surface picture = Noise(32, 24, 2);
    TableScaler scaler;
    scaler.Prepare(32, 24, 32, 24);
    const auto out = ScaleWhole(scaler, picture);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(out[static_cast<std::size_t>(y) * 32 + x], Xrgb8888From565(picture.Pixel(x, y)))
                << x << "," << y;
        }
    }
}

TEST(TableScaler, AnEvenColourStaysEvenAtAnySize) {
    Surface cloth(80, 60);
    cloth.Fill(Rect{0, 0, 80, 60}, 0x2C66);
    for (auto [w, h] : {std::pair{102, 77}, std::pair{64, 48}, std::pair{240, 180}}) {
        TableScaler scaler;
        scaler.Prepare(80, 60, w, h);
        for (std::uint32_t v : ScaleWhole(scaler, cloth)) ASSERT_EQ(v, Xrgb8888From565(0x2C66)) << w;
    }
}

// Redrawing only the affected target pixels of a changed source rectangle
// gives exactly the picture a whole redraw gives, and nothing outside them changes.
TEST(TableScaler, RedrawingTheAffectedPixelsEqualsARedrawOfTheWhole) {
    const Surface before = Noise(80, 60, 3);
    const struct {
        int w, h;
        Rect changed;
    } cases[] = {
        {102, 77, Rect{10, 20, 25, 41}},  // 1.28 as 800 x 600 on 1024 x 768
        {102, 77, Rect{79, 59, 80, 60}},  // the last pixel
        {64, 48, Rect{0, 0, 1, 1}},       // shrunk
        {160, 120, Rect{33, 7, 34, 8}},   // doubled
        {80, 60, Rect{5, 5, 9, 6}},       // the window at the table's size
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        TableScaler scaler;
        scaler.Prepare(80, 60, c.w, c.h);
        Surface after = before;
        after.Fill(c.changed, 0x1234);

        const Rect affected = scaler.Affected(c.changed);
        auto patched = ScaleWhole(scaler, before);
        const auto oldWhole = patched;
        scaler.Scale(after, affected, patched.data(), c.w);
        const auto newWhole = ScaleWhole(scaler, after);
        ASSERT_EQ(patched, newWhole);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const bool inside =
                    x >= affected.left && x < affected.right && y >= affected.top && y < affected.bottom;
                const std::size_t i = static_cast<std::size_t>(y) * c.w + x;
                if (!inside) {
                    ASSERT_EQ(oldWhole[i], newWhole[i]) << x << "," << y;
                }
            }
        }
        // Not much more than the changed rectangle itself, scaled.
        const double sx = c.w / 80.0, sy = c.h / 60.0;
        EXPECT_LE(affected.right - affected.left, (c.changed.right - c.changed.left) * sx + 3);
        EXPECT_LE(affected.bottom - affected.top, (c.changed.bottom - c.changed.top) * sy + 3);
    }
}

}  // namespace
}  // namespace tenfold
