#include "app/expert_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ai/headless_game.h"
#include "core/layout.h"

namespace tenfold {
namespace {

// Each deal's scores, seat by seat, over a whole match.
using Scores = std::vector<std::array<std::int16_t, kSeatCount>>;

template <class Step>
Scores PlayMatch(TableState& t, Step&& step) {
    Scores scores;
    GameState last = t.flow.state;
    for (int frame = 0; frame < 3'000'000 && !(t.flow.state == GameState::DealOver && t.match.over);
         ++frame) {
        step();
        if (t.flow.state == GameState::DealOver && last != GameState::DealOver) {
            scores.push_back({});
            for (int s = 0; s < kSeatCount; ++s)
                scores.back()[static_cast<std::size_t>(s)] = t.seats[s].dealScore;
        }
        last = t.flow.state;
    }
    return scores;
}

// Thinking ahead on another thread answers as the expert answers when asked:
// the match against experts that think ahead is the match against experts
// that think when asked, and most questions were answered ahead.
TEST(ExpertAhead, PlaysTheSameMatchAsThinkingWhenAsked) {
    constexpr std::uint64_t kSeed = 21;
    const HeadlessGame::Seating seating = {PlayerKind::Classic, PlayerKind::Expert, PlayerKind::Expert,
                                           PlayerKind::Expert};
    HeadlessGame plain(kSeed, seating);
    plain.Start();
    UseFewestAnimationFrames(plain.table);
    const Scores asked = PlayMatch(plain.table, [&] { plain.Frame(); });

    HeadlessGame game(kSeed);
    ExpertAhead ahead(ExpertSeed(kSeed));
    SeatedPlayers seated({&game.players, &ahead, &ahead, &ahead});
    TableState& t = game.table;
    StartRun(t, game.services, seated);
    UseFewestAnimationFrames(t);
    const Scores ahead_ = PlayMatch(t, [&] {
        if (t.flow.state == GameState::Waiting)
            game.services.clock.now = std::max(game.services.clock.now, DelayEndTick(t));
        PlayerInput input;
        if (const auto click = game.pilot.Decide(t)) input = *click;
        RunFrame(t, game.services, seated, input);
        game.services.clock.Advance(1);
        ahead.Foresee(t, {false, true, true, true});
    });
    ASSERT_EQ(asked.size(), 20u);
    EXPECT_EQ(ahead_, asked);
    // Every card of seats 1..3 but the forced ones, and the contracts: hundreds.
    EXPECT_GT(ahead.answeredAhead, 300);
}

}  // namespace
}  // namespace tenfold
