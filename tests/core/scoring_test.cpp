#include <gtest/gtest.h>

#include <array>

#include "core/scoring.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

// A table whose won piles hold every card, grouped by face value so that each
// pile holds whole tricks: seat 0 aces, fives, nines, kings (16 cards); seat 1
// twos, sixes, tens; seat 2 threes, sevens, jacks; seat 3 fours, eights, queens.
TableState AllCardsWon(Contract contract) {
    TableState t = test::TableUnder(contract);
    for (Card code = 0; code < kDeckSize; ++code) {
        Seat& s = t.seats[(code / 4) % 4];
        s.wonPile[s.wonCount++].card = code;
    }
    t.trick.cardsPlayed = kDeckSize;
    return t;
}

std::array<int, 4> DealScores(const TableState& t) {
    std::array<int, 4> scores{};
    for (int seat = 0; seat < kSeatCount; ++seat)
        scores[static_cast<std::size_t>(seat)] = t.seats[seat].dealScore;
    return scores;
}

TEST(Scoring, DealScoresForEveryContract) {
    using C = Contract;
    struct Case {
        Contract contract;
        std::array<int, 4> scores;
    };
    const Case cases[] = {
        {C::Clubs, {200, 150, 150, 150}},
        {C::Diamonds, {200, 150, 150, 150}},
        {C::Spades, {200, 150, 150, 150}},
        {C::Hearts, {200, 150, 150, 150}},
        {C::NoTricks, {-200, -150, -150, -150}},
        {C::NoHearts, {-120, -90, -90, -90}},      // four hearts for seat 0, three each for the others
        {C::NoKingsAndJacks, {-240, 0, -240, 0}},  // the kings went to seat 0, the jacks to seat 2
        {C::NoQueens, {0, 0, 0, -400}},            // all four queens to seat 3
        {C::NoKingOfHearts, {-320, 0, 0, 0}},      // the king of hearts to seat 0
    };
    for (const Case& c : cases) {
        TableState t = AllCardsWon(c.contract);
        ScoreDeal(t);
        EXPECT_EQ(DealScores(t), c.scores) << Number(c.contract);
        int sum = 0;
        for (int score : c.scores) sum += score;
        // Every deal hands out exactly the contract's points.
        EXPECT_EQ(std::abs(sum), FullValue(c.contract)) << Number(c.contract);
    }
}

TEST(Scoring, LastTwoTricksChargeTheEleventhAndTwelfthWinners) {
    TableState t = AllCardsWon(Contract::NoLastTwoTricks);
    t.trick.eleventhWinner = 1;
    t.trick.twelfthWinner = 1;
    ScoreDeal(t);
    EXPECT_EQ(DealScores(t), (std::array<int, 4>{0, -360, 0, 0}));
    t.trick.eleventhWinner = 3;
    t.trick.twelfthWinner = 0;
    ScoreDeal(t);
    EXPECT_EQ(DealScores(t), (std::array<int, 4>{-180, 0, 0, -180}));
}

TEST(Scoring, PenaltyUnitsFollowTheContract) {
    using C = Contract;
    struct Case {
        Contract contract;
        Card card;
        int unit;
    };
    const Case cases[] = {
        {C::Spades, "2H"_card, 1},          {C::NoTricks, "QS"_card, 1},
        {C::NoHearts, "2H"_card, 1},        {C::NoHearts, "KC"_card, 0},
        {C::NoLastTwoTricks, "KH"_card, 0}, {C::NoKingsAndJacks, "JC"_card, 1},
        {C::NoKingsAndJacks, "KC"_card, 1}, {C::NoKingsAndJacks, "QS"_card, 0},
        {C::NoQueens, "QS"_card, 1},        {C::NoQueens, "KH"_card, 0},
        {C::NoKingOfHearts, "KH"_card, 1},  {C::NoKingOfHearts, "KC"_card, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PenaltyUnit(c.contract, c.card), c.unit) << Number(c.contract) << " card " << c.card;
    }
}

TEST(Scoring, CardBasedContractsEndOnceEveryPenaltyIsTaken) {
    using C = Contract;
    struct Case {
        Contract contract;
        bool endsEarly;
    };
    const Case cases[] = {{C::Clubs, false},   {C::Hearts, false},          {C::NoTricks, false},
                          {C::NoHearts, true}, {C::NoLastTwoTricks, false}, {C::NoKingsAndJacks, true},
                          {C::NoQueens, true}, {C::NoKingOfHearts, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Number(c.contract));
        TableState t = AllCardsWon(c.contract);
        t.trick.cardsPlayed = 40;  // cards left in the hands
        t.flow.state = GameState::Playing;
        test::ScriptedServices s;
        CheckDealEnd(t, s);
        EXPECT_EQ(t.flow.state, c.endsEarly ? GameState::DealOver : GameState::Playing);
        EXPECT_EQ(t.match.dealsPlayed, c.endsEarly ? 1 : 0);
        t.trick.cardsPlayed = 52;  // every deal ends with the last card
        t.flow.state = GameState::Playing;
        CheckDealEnd(t, s);
        EXPECT_EQ(t.flow.state, GameState::DealOver);
    }
    // Three queens out of four do not end the no-queens deal.
    TableState t = AllCardsWon(Contract::NoQueens);
    t.seats[3].wonCount = 11;  // drop the last queen (code 47) from seat 3's pile
    t.trick.cardsPlayed = 48;
    t.flow.state = GameState::Playing;
    test::ScriptedServices s;
    CheckDealEnd(t, s);
    EXPECT_EQ(t.flow.state, GameState::Playing);
}

TEST(Scoring, EndDealBooksHistoryAndTotalsWithTheSignTurned) {
    TableState t = AllCardsWon(Contract::NoQueens);
    test::ScriptedServices s;
    t.seats[3].matchTotal = 100;
    t.match.historyRows = 9;
    EndDeal(t, s);
    EXPECT_EQ(t.seats[3].history[9], 400);
    EXPECT_EQ(t.seats[0].history[9], 0);
    EXPECT_EQ(t.seats[3].matchTotal, 500);
    EXPECT_EQ(t.match.historyRows, 10);
    EXPECT_TRUE(t.match.historyFull) << "the tenth row fills the page";
    EXPECT_EQ(t.match.dealsPlayed, 1);
    EXPECT_FALSE(t.match.over);
    EXPECT_EQ(t.match.result, MatchResult::None);
    EXPECT_EQ(s.sounds, std::vector<Sound>{Sound::Intro});

    TableState u = AllCardsWon(Contract::Clubs);
    u.match.historyRows = 8;
    EndDeal(u, s);
    EXPECT_EQ(u.seats[0].history[8], -200);
    EXPECT_EQ(u.seats[0].matchTotal, -200);
    EXPECT_FALSE(u.match.historyFull);
}

TEST(Scoring, TwentiethDealSettlesTheMatchAndATieIsAWin) {
    struct Case {
        std::array<int, 4> totalsBefore;
        MatchResult result;
        Sound sound;
    };
    // The last deal (no last two tricks) costs seat 1 360 points; totals are before it.
    const Case cases[] = {
        {{100, 0, 300, 200}, MatchResult::Won, Sound::Win},    // 100 vs 360, 300, 200
        {{200, 0, 300, 200}, MatchResult::Won, Sound::Win},    // tie with seat 3 for the lowest
        {{201, 0, 300, 200}, MatchResult::Lost, Sound::Lose},  // seat 3 one point lower
    };
    for (const Case& c : cases) {
        TableState t = AllCardsWon(Contract::NoLastTwoTricks);
        t.trick.eleventhWinner = 1;
        t.trick.twelfthWinner = 1;
        test::ScriptedServices s;
        for (int seat = 0; seat < kSeatCount; ++seat)
            t.seats[seat].matchTotal =
                static_cast<std::int16_t>(c.totalsBefore[static_cast<std::size_t>(seat)]);
        t.match.dealsPlayed = 19;
        EndDeal(t, s);
        EXPECT_TRUE(t.match.over);
        EXPECT_EQ(t.match.dealsPlayed, 20);
        EXPECT_EQ(t.match.result, c.result) << c.totalsBefore[0];
        EXPECT_EQ(s.sounds, std::vector<Sound>{c.sound});
    }
}

}  // namespace
}  // namespace tenfold
