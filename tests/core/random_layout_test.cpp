#include <gtest/gtest.h>

#include "core/layout.h"
#include "core/random.h"

namespace tenfold {
namespace {

TEST(Random, Pcg32GivesTheReferenceSequence) {
    // The published first outputs of PCG32 for seed 42, stream 54.
    Pcg32 rng(42u, 54u);
    const std::uint32_t expected[] = {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u,
                                      0x83d2f293u, 0xbfa4784bu, 0xcbed606eu};
    for (std::uint32_t e : expected) EXPECT_EQ(rng.NextU32(), e);
}

TEST(Random, FloatsComeFromTheTop24BitsAndStayBelowOne) {
    Pcg32 a(7u);
    Pcg32 b(7u);
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t bits = a.NextU32();
        const float f = b.NextFloat();
        EXPECT_EQ(f, static_cast<float>(bits >> 8) / 16777216.0f);
        EXPECT_GE(f, 0.0f);
        EXPECT_LT(f, 1.0f);
    }
    // Pinned: the first draws of the default stream for seed 1, which fix
    // every deal a seeded run plays (24-bit numerators over 2^24).
    HeadlessServices s(1u);
    for (std::uint32_t numerator : {10185693u, 799228u, 13539320u})
        EXPECT_EQ(s.Rnd(), static_cast<float>(numerator) / 16777216.0f);
}

TEST(Layout, ValuesAt800x600) {
    TableState t;
    ComputeLayout(t);
    struct Case { const char* name; int got; int want; };
    const Case cases[] = {
        {"Hand0StepX", t.Hand0StepX, 33},  {"Hand1StepX", t.Hand1StepX, 5},
        {"PilePosX0", t.PilePosX[0], 653}, {"PilePosX1", t.PilePosX[1], 551},
        {"PilePosX2", t.PilePosX[2], 171}, {"PilePosX3", t.PilePosX[3], 214},
        {"WonPos1X", t.WonPos1X, 663},     {"WonPos2X", t.WonPos2X, 583},
        {"WonPos0Y", t.WonPos0Y, 400},     {"PileOffsetX", t.PileOffsetX, 8},
        {"ThrowJitterX", t.ThrowJitterX, 20}, {"ThrowJitterY", t.ThrowJitterY, 16},
        {"ScorePageX", t.ScorePageX, 156}, {"ScoreTableY", t.ScoreTableY, 94},
        {"ScoreRowHeight", t.ScoreRowHeight, 31}, {"TotalsY", t.TotalsY, 438},
        {"ResultY", t.ResultY, 469},       {"ArriveToleranceX", t.ArriveToleranceX, 8},
        {"AnimationSteps", t.AnimationSteps, 20}, {"MoveSteps", t.MoveSteps, 10},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
    // Halves round to the even neighbour: 12.5 -> 12, 437.5 -> 438.
    EXPECT_EQ(ScaleRound(kTableScale, 16), 12);
    EXPECT_EQ(ScaleRound(kTableScale, 560), 438);
    const Point16 last = HandSlotHome(t, 0, 12);
    EXPECT_EQ(last.X, 551);
    EXPECT_EQ(last.Y, 420);

    ResetTrickSpots(t);
    const int spots[4][2] = {{336, 242}, {406, 203}, {344, 164}, {289, 203}};
    for (int seat = 0; seat < 4; ++seat) {
        EXPECT_EQ(t.TableSlotUsed[seat].X, spots[seat][0]);
        EXPECT_EQ(t.TableSlotUsed[seat].Y, spots[seat][1]);
    }
}

TEST(Layout, SlowAnimationDoublesTheFrames) {
    TableState t;
    t.SlowAnimation = true;
    ComputeLayout(t);
    EXPECT_EQ(t.AnimationSteps, 40);
    EXPECT_EQ(t.MoveSteps, 20);
}

}  // namespace
}  // namespace tenfold
