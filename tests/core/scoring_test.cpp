#include <gtest/gtest.h>

#include <array>

#include "core/cards.h"
#include "core/scoring.h"
#include "scripted_services.h"

namespace tenfold {
namespace {

// A table whose won piles hold every card, grouped by face value so that each
// pile holds whole tricks: seat 0 aces, fives, nines, kings (16 cards); seat 1
// twos, sixes, tens; seat 2 threes, sevens, jacks; seat 3 fours, eights, queens.
TableState AllCardsWon(int contract) {
    TableState t;
    BuildCardFiles(t);
    test::ScriptedServices s;
    s.script = {0.1f, 0.2f, 0.3f};  // three different names
    InitMatchTables(t, s);
    t.Contract = static_cast<std::int16_t>(contract);
    for (int code = 0; code < 52; ++code) {
        const int seat = (code / 4) % 4;
        std::int16_t& n = WonCountOf(t, seat);
        WonPileOf(t, seat)[n].Code = static_cast<std::int16_t>(code);
        ++n;
    }
    t.CardsPlayed = 52;
    return t;
}

TEST(Scoring, DealScoresForEveryContract) {
    struct Case { int contract; std::array<int, 4> scores; };
    const Case cases[] = {
        {1, {200, 150, 150, 150}},   {2, {200, 150, 150, 150}},
        {3, {200, 150, 150, 150}},   {4, {200, 150, 150, 150}},
        {5, {-200, -150, -150, -150}},
        {6, {-120, -90, -90, -90}},    // four hearts for seat 0, three each for the others
        {8, {-240, 0, -240, 0}},       // the kings went to seat 0, the jacks to seat 2
        {9, {0, 0, 0, -400}},          // all four queens to seat 3
        {10, {-320, 0, 0, 0}},         // the king of hearts to seat 0
    };
    for (const Case& c : cases) {
        TableState t = AllCardsWon(c.contract);
        ScoreDeal(t);
        int sum = 0;
        for (int seat = 0; seat < 4; ++seat) {
            EXPECT_EQ(DealScoreOf(t, seat), c.scores[seat]) << "contract " << c.contract;
            sum += DealScoreOf(t, seat);
        }
        // Every deal hands out exactly the contract's points.
        EXPECT_EQ(std::abs(sum), t.ContractTotal[c.contract]) << "contract " << c.contract;
    }
}

TEST(Scoring, LastTwoTricksChargeTheEleventhAndTwelfthWinners) {
    TableState t = AllCardsWon(7);
    t.Trick11Winner = 1;
    t.Trick12Winner = 1;
    ScoreDeal(t);
    EXPECT_EQ(t.DealScore0, 0);
    EXPECT_EQ(t.DealScore1, -360);
    EXPECT_EQ(t.DealScore2, 0);
    EXPECT_EQ(t.DealScore3, 0);

    t.Trick11Winner = 3;
    t.Trick12Winner = 0;
    ScoreDeal(t);
    EXPECT_EQ(t.DealScore0, -180);
    EXPECT_EQ(t.DealScore1, 0);
    EXPECT_EQ(t.DealScore3, -180);
}

TEST(Scoring, PenaltyUnitsFollowTheContract) {
    TableState t = AllCardsWon(1);
    const int kingHearts = CardCode(13, 2), queenSpades = CardCode(12, 3),
              jackClubs = CardCode(11, 0), twoHearts = CardCode(2, 2), kingClubs = CardCode(13, 0);
    struct Case { int contract; int code; int unit; };
    const Case cases[] = {
        {3, twoHearts, 1},  {5, queenSpades, 1}, {6, twoHearts, 1},   {6, kingClubs, 0},
        {7, kingHearts, 0}, {8, jackClubs, 1},   {8, kingClubs, 1},   {8, queenSpades, 0},
        {9, queenSpades, 1}, {9, kingHearts, 0}, {10, kingHearts, 1}, {10, kingClubs, 0},
    };
    for (const Case& c : cases) {
        t.Contract = static_cast<std::int16_t>(c.contract);
        EXPECT_EQ(PenaltyUnit(t, c.code), c.unit) << "contract " << c.contract << " card " << c.code;
    }
}

TEST(Scoring, CardBasedContractsEndOnceEveryPenaltyIsTaken) {
    struct Case { int contract; bool endsEarly; };
    const Case cases[] = {{1, false}, {4, false}, {5, false}, {6, true},
                          {7, false}, {8, true},  {9, true},  {10, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contract);
        TableState t = AllCardsWon(c.contract);
        t.CardsPlayed = 40;  // cards left in the hands
        t.GameState = "NORMAL PLAY";
        test::ScriptedServices s;
        CheckDealEnd(t, s);
        EXPECT_EQ(t.GameState, c.endsEarly ? "END OF MATCH" : "NORMAL PLAY");
        EXPECT_EQ(t.DealsPlayed, c.endsEarly ? 1 : 0);
        t.CardsPlayed = 52;  // every deal ends with the last card
        t.GameState = "NORMAL PLAY";
        CheckDealEnd(t, s);
        EXPECT_EQ(t.GameState, "END OF MATCH");
    }
    // Three queens out of four do not end the no-queens deal.
    TableState t = AllCardsWon(9);
    t.WonCount3 = 11;  // drop the last queen (code 47) from seat 3's pile
    t.CardsPlayed = 48;
    t.GameState = "NORMAL PLAY";
    test::ScriptedServices s;
    CheckDealEnd(t, s);
    EXPECT_EQ(t.GameState, "NORMAL PLAY");
}

TEST(Scoring, EndDealBooksHistoryAndTotalsWithTheSignTurned) {
    TableState t = AllCardsWon(9);
    test::ScriptedServices s;
    t.MatchTotal3 = 100;
    t.DealIndex = 9;
    EndDeal(t, s);
    EXPECT_EQ(t.DealHistory3[9], 400);
    EXPECT_EQ(t.DealHistory0[9], 0);
    EXPECT_EQ(t.MatchTotal3, 500);
    EXPECT_EQ(t.DealIndex, 10);
    EXPECT_TRUE(t.HistoryFull);  // the tenth row fills the page
    EXPECT_EQ(t.DealsPlayed, 1);
    EXPECT_FALSE(t.MatchOver);
    EXPECT_EQ(t.MatchResult, "");
    EXPECT_EQ(s.sounds, std::vector<std::string>{"INTRO.WAV"});

    TableState u = AllCardsWon(1);
    u.DealIndex = 8;
    EndDeal(u, s);
    EXPECT_EQ(u.DealHistory0[8], -200);
    EXPECT_EQ(u.MatchTotal0, -200);
    EXPECT_FALSE(u.HistoryFull);
}

TEST(Scoring, TwentiethDealSettlesTheMatchAndATieIsAWin) {
    struct Case { std::array<int, 4> totalsBefore; const char* result; const char* sound; };
    // The last deal (contract 7) costs seat 1 360 points; totals are before it.
    const Case cases[] = {
        {{100, 0, 300, 200}, "We Won!", "WIN_GAME.WAV"},     // 100 vs 360, 300, 200
        {{200, 0, 300, 200}, "We Won!", "WIN_GAME.WAV"},     // tie with seat 3 for the lowest
        {{201, 0, 300, 200}, "We lost!", "LOSE_GAME.WAV"},   // seat 3 one point lower
    };
    for (const Case& c : cases) {
        TableState t = AllCardsWon(7);
        t.Trick11Winner = 1;
        t.Trick12Winner = 1;
        test::ScriptedServices s;
        for (int seat = 0; seat < 4; ++seat)
            MatchTotalOf(t, seat) = static_cast<std::int16_t>(c.totalsBefore[seat]);
        t.DealsPlayed = 19;
        EndDeal(t, s);
        EXPECT_TRUE(t.MatchOver);
        EXPECT_EQ(t.DealsPlayed, 20);
        EXPECT_EQ(t.MatchResult, c.result) << t.MatchTotal0 << " " << t.MatchTotal1 << " "
                                           << t.MatchTotal2 << " " << t.MatchTotal3;
        EXPECT_EQ(s.sounds, std::vector<std::string>{c.sound});
    }
}

}  // namespace
}  // namespace tenfold
