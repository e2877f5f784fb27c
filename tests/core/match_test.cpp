#include <gtest/gtest.h>

#include "ai/headless_game.h"
#include "core/layout.h"
#include "core/scoring.h"
#include "support/printers.h"

namespace tenfold {
namespace {

// Whole matches through the frame routine alone: every deal hands out exactly
// its contract's points and the totals are the running sums.
TEST(Match, WholeMatchesHandOutEveryContractsPoints) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        HeadlessGame game(seed);
        TableState& t = game.table;
        t.options.dealPacketSize = seed == 2 ? 13 : 1;
        t.options.sevenOfHeartsLead = seed == 3;
        game.Start();
        std::array<int, 4> totals{};
        int deals = 0;
        int earlyEnds = 0;
        while (!t.match.over) {
            const int frames = game.RunUntil([&] { return t.flow.state == GameState::DealOver; }, 20000);
            ASSERT_LT(frames, 20000) << "deal " << deals + 1 << " stuck in " << StateName(t.flow.state);
            ++deals;
            int sum = 0;
            int won = 0;
            for (int seat = 0; seat < kSeatCount; ++seat) {
                const Seat& s = t.seats[seat];
                sum += s.dealScore;
                totals[static_cast<std::size_t>(seat)] -= s.dealScore;
                EXPECT_EQ(s.matchTotal, totals[static_cast<std::size_t>(seat)]);
                won += s.wonCount;
            }
            const int expected = IsTrumpContract(t.contract) ? 650 : -FullValue(t.contract);
            EXPECT_EQ(sum, expected) << "deal " << deals << " contract " << Number(t.contract);
            EXPECT_EQ(won, t.trick.cardsPlayed);
            if (t.trick.cardsPlayed < kDeckSize) {
                // Only a card-based contract ends early, once its last penalty card is taken.
                ++earlyEnds;
                EXPECT_TRUE(t.contract == Contract::NoHearts || t.contract >= Contract::NoKingsAndJacks)
                    << "contract " << Number(t.contract);
                EXPECT_EQ(PenaltyTaken(t), FullValue(t.contract));
                EXPECT_EQ(t.trick.cardsPlayed % kTrickSize, 0);
            }
            EXPECT_EQ(t.trick.count, 0);
            if (!t.match.over) {
                game.RunUntil([&] { return t.flow.state != GameState::DealOver; }, 2);
                ASSERT_EQ(t.flow.state, GameState::Dealing);
            }
        }
        EXPECT_EQ(deals, 20);
        EXPECT_GT(earlyEnds, 0);
        EXPECT_NE(t.match.result, MatchResult::None);
    }
}

// The same seed plays the same match whether the cards fly for ten frames or
// jump in one: chance is drawn per move, never per frame.
TEST(Match, TheFewestFramesPlayTheSameMatch) {
    struct Run {
        std::vector<int> scores;
        int frames = 0;
    };
    auto play = [](bool fewest) {
        HeadlessGame game(77u);
        TableState& t = game.table;
        game.Start();  // the first deal's pile is laid out before the switch
        if (fewest) UseFewestAnimationFrames(t);
        Run run;
        while (!t.match.over) {
            run.frames += game.RunUntil([&] { return t.flow.state == GameState::DealOver; }, 20000);
            for (const Seat& seat : t.seats) run.scores.push_back(seat.dealScore);
            if (!t.match.over) game.RunUntil([&] { return t.flow.state != GameState::DealOver; }, 2);
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
