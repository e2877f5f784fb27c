#include "app/tournament.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

namespace tenfold {
namespace {

// One-deal matches: seat totals, and the deal scores they come from.
SeatingMatch Match(std::array<std::int16_t, kSeatCount> totals, int contract) {
    SeatingMatch m;
    m.totals = totals;
    std::array<std::int16_t, kSeatCount> scores{};
    for (std::size_t s = 0; s < scores.size(); ++s) scores[s] = static_cast<std::int16_t>(-totals[s]);
    m.dealScores.push_back(scores);
    m.contracts.push_back(static_cast<std::int8_t>(contract));
    return m;
}

// Sets worked by hand. All-B totals 100, 200, 300, 400 in both. Set 1
// (no tricks): A's seat 40 lower than all-B wherever it sits, B's seats 10
// higher. Set 2 (clubs): A 0, 20, 40, 60 lower in seats 0..3, B's seats as in
// all-B.
TEST(Tournament, ArithmeticOfASmallPinnedCase) {
    const std::array<std::int16_t, 4> allB = {100, 200, 300, 400};
    std::vector<SetRecord> sets(2);
    const std::array<int, 4> gain2 = {0, 20, 40, 60};
    for (int k = 0; k < 4; ++k) {
        std::array<std::int16_t, 4> one{}, two{};
        for (int s = 0; s < 4; ++s) {
            const auto si = static_cast<std::size_t>(s);
            one[si] = static_cast<std::int16_t>(s == k ? allB[si] - 40 : allB[si] + 10);
            two[si] = static_cast<std::int16_t>(s == k ? allB[si] - gain2[si] : allB[si]);
        }
        sets[0].seatings[static_cast<std::size_t>(k)] = Match(one, 5);
        sets[1].seatings[static_cast<std::size_t>(k)] = Match(two, 1);
    }
    sets[0].seatings[4] = Match(allB, 5);
    sets[1].seatings[4] = Match(allB, 1);
    // A third set whose all-B table played another contract (diamonds, not
    // clubs): it counts in the totals, but not as like for like under clubs.
    sets.push_back(sets[1]);
    sets[2].seatings[4].contracts[0] = 2;

    const TournamentReport r = Summarise(sets, 9, {PlayerKind::Expert, PlayerKind::Classic});
    const PlayerFigures& a = r.figures[0];
    const PlayerFigures& b = r.figures[1];
    // A: set means 40, 30, 30; sd 5.7735; half interval 1.96 x 5.7735 / sqrt 3.
    const double half = 1.96 * std::sqrt(100.0 / 3) / std::sqrt(3.0);
    EXPECT_NEAR(a.meanPerMatch, 100.0 / 3, 1e-9);
    EXPECT_NEAR(a.ci95PerMatch[0], 100.0 / 3 - half, 1e-9);
    EXPECT_NEAR(a.ci95PerMatch[1], 100.0 / 3 + half, 1e-9);
    EXPECT_NEAR(a.meanPerDeal, 100.0 / 3, 1e-9);  // one deal a match
    // Seat 0 has the lowest total in every match: A wins where it sits there.
    EXPECT_DOUBLE_EQ(a.winRate, 3.0 / 12);
    EXPECT_DOUBLE_EQ(b.winRate, 9.0 / 36);
    // B: -10, 0, 0.
    EXPECT_NEAR(b.meanPerMatch, -10.0 / 3, 1e-9);
    EXPECT_NEAR(b.ci95PerMatch[0], -10.0 / 3 - half, 1e-9);
    EXPECT_NEAR(b.ci95PerMatch[1], -10.0 / 3 + half, 1e-9);
    // Per contract: no tricks is set 1 (+40 four times); clubs sets 2 and 3,
    // compared like for like in set 2 only.
    const auto& noTricks = a.perContract[static_cast<std::size_t>(Index(Contract::NoTricks))];
    EXPECT_EQ(noTricks.deals, 4);
    EXPECT_EQ(noTricks.compared, 4);
    EXPECT_DOUBLE_EQ(noTricks.meanAdvantage, 40);
    EXPECT_DOUBLE_EQ(noTricks.meanPoints, -(60 + 160 + 260 + 360) / 4.0);
    const auto& clubs = a.perContract[static_cast<std::size_t>(Index(Contract::Clubs))];
    EXPECT_EQ(clubs.deals, 8);
    EXPECT_EQ(clubs.compared, 4);
    EXPECT_DOUBLE_EQ(clubs.meanAdvantage, 30);
    EXPECT_NEAR(clubs.ci95[1] - 30, 1.96 * std::sqrt(2000.0 / 3) / 2, 1e-9);
    EXPECT_EQ(b.perContract[static_cast<std::size_t>(Index(Contract::NoTricks))].deals, 12);
    EXPECT_DOUBLE_EQ(b.perContract[static_cast<std::size_t>(Index(Contract::NoTricks))].meanAdvantage, -10);
}

// Every seating of a set is dealt the same cards, deal by deal, whoever plays:
// the classic player against itself plays one match five times over, and
// its advantage is exactly 0.
TEST(Tournament, SeatingsShareTheirDecks) {
    const SetRecord same = PlaySet(4, 0, {PlayerKind::Classic, PlayerKind::Classic});
    for (const SeatingMatch& m : same.seatings) {
        EXPECT_EQ(m.totals, same.seatings[4].totals);
        EXPECT_EQ(m.dealScores, same.seatings[4].dealScores);
        EXPECT_EQ(m.decks, same.seatings[4].decks);
    }
    const TournamentReport r = Summarise({same}, 4, {PlayerKind::Classic, PlayerKind::Classic});
    EXPECT_EQ(r.figures[0].meanPerMatch, 0);
    EXPECT_EQ(r.figures[0].ci95PerMatch, (std::array<double, 2>{0, 0}));

    const SetRecord mixed = PlaySet(4, 0, {PlayerKind::Expert, PlayerKind::Classic});
    ASSERT_EQ(mixed.seatings[4].decks.size(), 20u);
    bool playedDifferently = false;
    for (const SeatingMatch& m : mixed.seatings) {
        EXPECT_EQ(m.decks, mixed.seatings[4].decks);
        playedDifferently = playedDifferently || m.dealScores != mixed.seatings[4].dealScores;
    }
    EXPECT_TRUE(playedDifferently);
    // The all-classic seating of the mixed set is the classic set's match.
    EXPECT_EQ(mixed.seatings[4].dealScores, same.seatings[4].dealScores);
}

TEST(Tournament, FiguresDoNotDependOnTheJobs) {
    TournamentOptions o;
    o.sets = 5;
    o.seed = 12;
    o.players = {PlayerKind::Classic, PlayerKind::Classic};
    const auto one = nlohmann::json::parse(ReportJson(RunTournament(o), "x"));
    o.jobs = 3;
    const auto three = nlohmann::json::parse(ReportJson(RunTournament(o), "x"));
    EXPECT_EQ(one["players"], three["players"]);
    EXPECT_EQ(one["players"]["classic"]["mean_per_match"], 0.0);
}

}  // namespace
}  // namespace tenfold
