#include <gtest/gtest.h>

#include "core/cards.h"
#include "core/layout.h"
#include "core/scoring.h"
#include "frame_driver.h"

namespace tenfold {
namespace {

// Whole matches through the frame routine alone: every deal hands out exactly
// its contract's points and the totals are the running sums.
TEST(Match, WholeMatchesHandOutEveryContractsPoints) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        HeadlessServices s(seed);
        TableState t;
        t.DealPacketSize = seed == 2 ? 13 : 1;
        t.SevenOfHeartsLead = seed == 3;
        StartHeadlessGame(t, s);
        std::array<int, 4> totals{};
        int deals = 0;
        int earlyEnds = 0;
        while (!t.MatchOver) {
            const int frames = test::RunUntil(t, s, [&] { return t.GameState == "END OF MATCH"; }, 20000);
            ASSERT_LT(frames, 20000) << "deal " << deals + 1 << " stuck in " << t.GameState;
            ++deals;
            int sum = 0;
            for (int seat = 0; seat < 4; ++seat) {
                sum += DealScoreOf(t, seat);
                totals[seat] -= DealScoreOf(t, seat);
                EXPECT_EQ(MatchTotalOf(t, seat), totals[seat]);
            }
            const int expected = t.Contract <= 4 ? 650 : -t.ContractTotal[t.Contract];
            EXPECT_EQ(sum, expected) << "deal " << deals << " contract " << t.Contract;
            const int won = t.WonCount0 + t.WonCount1 + t.WonCount2 + t.WonCount3;
            EXPECT_EQ(won, t.CardsPlayed);
            if (t.CardsPlayed < 52) {
                // Only a card-based contract ends early, once its last penalty card is taken.
                ++earlyEnds;
                EXPECT_TRUE(t.Contract == 6 || t.Contract >= 8) << "contract " << t.Contract;
                EXPECT_EQ(PenaltyTaken(t), t.ContractTotal[t.Contract]);
                EXPECT_EQ(t.CardsPlayed % 4, 0);
            }
            EXPECT_EQ(t.TableCount, 0);
            if (!t.MatchOver) {
                test::RunUntil(t, s, [&] { return t.GameState != "END OF MATCH"; }, 2);
                ASSERT_EQ(t.GameState, "DEALING CARDS");
            }
        }
        EXPECT_EQ(deals, 20);
        EXPECT_GT(earlyEnds, 0);
        EXPECT_TRUE(t.MatchResult == "We Won!" || t.MatchResult == "We lost!");
        EXPECT_TRUE(s.messages.empty());
    }
}

// The same seed plays the same match whether the cards fly for ten frames or
// jump in one: chance is drawn per move, never per frame.
TEST(Match, TheFewestFramesPlayTheSameMatch) {
    struct Run { std::vector<int> scores; int frames = 0; };
    auto play = [](bool fewest) {
        HeadlessServices s(77u);
        TableState t;
        StartHeadlessGame(t, s);  // the first deal's pile is laid out before the switch
        if (fewest) UseFewestAnimationFrames(t);
        Run run;
        while (!t.MatchOver) {
            run.frames += test::RunUntil(t, s, [&] { return t.GameState == "END OF MATCH"; }, 20000);
            for (int seat = 0; seat < 4; ++seat) run.scores.push_back(DealScoreOf(t, seat));
            if (!t.MatchOver) test::RunUntil(t, s, [&] { return t.GameState != "END OF MATCH"; }, 2);
        }
        return run;
    };
    const Run normal = play(false);
    const Run fewest = play(true);
    EXPECT_EQ(normal.scores, fewest.scores);
    EXPECT_LT(fewest.frames * 4, normal.frames);
}

}  // namespace
}  // namespace tenfold
