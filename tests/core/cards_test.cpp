#include <gtest/gtest.h>

#include <set>

#include "core/cards.h"
#include "scripted_services.h"

namespace tenfold {
namespace {

// Card codes by name, built the way the picture names are: 4*(face-1) + C,D,H,S.
constexpr int C(int face, char letter) {
    return 4 * (face - 1) + (letter == 'C' ? 0 : letter == 'D' ? 1 : letter == 'H' ? 2 : 3);
}

TableState Fresh() {
    TableState t;
    BuildCardFiles(t);
    return t;
}

TEST(Cards, NamesParseToSuitFaceAndStrength) {
    const TableState t = Fresh();
    struct Case { int code; const char* file; int suit; int face; int strength; };
    const Case cases[] = {
        {0, "AC.BMP", 0, 1, 12},  {2, "AH.BMP", 3, 1, 12},   {3, "AS.BMP", 2, 1, 12},
        {4, "2C.BMP", 0, 2, 0},   {39, "10S.BMP", 2, 10, 8}, {37, "10D.BMP", 1, 10, 8},
        {42, "JH.BMP", 3, 11, 9}, {47, "QS.BMP", 2, 12, 10}, {50, "KH.BMP", 3, 13, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(t.CardFile[c.code], c.file);
        EXPECT_EQ(t.CardSuit[c.code], c.suit);
        EXPECT_EQ(t.CardValue[c.code], c.face);
        EXPECT_EQ(Strength(t, c.code), c.strength);
    }
    // Every suit holds exactly thirteen cards of thirteen different strengths.
    for (int suit = 0; suit < 4; ++suit) {
        std::set<int> strengths;
        for (int code = 0; code < 52; ++code)
            if (t.CardSuit[code] == suit) strengths.insert(Strength(t, code));
        EXPECT_EQ(strengths.size(), 13u) << "suit " << suit;
    }
    EXPECT_EQ(t.ContractFile[6], "nolasttwotricks.BMP");
    EXPECT_EQ(t.ContractFile2[9], "nokingofhearts.BMP");
}

TEST(Cards, BeatsUnderTrumpAndNoTrump) {
    TableState t = Fresh();
    t.TableCount = 1;
    struct Case { int trump; int a; int b; bool beats; };
    const Case cases[] = {
        {4, C(13, 'H'), C(1, 'S'), false},  // different suits, no trump
        {4, C(1, 'H'), C(13, 'H'), true},   // ace is the highest
        {4, C(13, 'H'), C(1, 'H'), false},
        {3, C(2, 'H'), C(1, 'S'), true},    // a trump beats any other suit
        {3, C(1, 'S'), C(2, 'H'), false},
        {3, C(3, 'H'), C(2, 'H'), true},    // higher trump
        {3, C(2, 'H'), C(3, 'H'), false},
        {0, C(5, 'D'), C(4, 'D'), true},
    };
    for (const Case& c : cases) {
        t.TrumpSuit = c.trump;
        EXPECT_EQ(Beats(t, c.a, c.b), c.beats) << c.a << " vs " << c.b << " trump " << c.trump;
    }
    t.TableCount = 0;  // with nothing on the table no card beats another
    t.TrumpSuit = 3;
    EXPECT_FALSE(Beats(t, C(2, 'H'), C(1, 'S')));
}

TEST(Cards, TrickWinnerFollowsTheBestCardSoFar) {
    struct Case {
        int trump;
        std::array<int, 4> cards;
        int winnerIndex;
    };
    const Case cases[] = {
        {3, {C(13, 'C'), C(1, 'C'), C(2, 'H'), C(3, 'H')}, 3},  // over-trumped
        {3, {C(1, 'C'), C(13, 'C'), C(2, 'H'), C(2, 'S')}, 2},  // trumped once
        {4, {C(10, 'D'), C(1, 'S'), C(1, 'H'), C(9, 'D')}, 0},  // nobody follows higher
        {4, {C(2, 'S'), C(3, 'S'), C(1, 'S'), C(13, 'S')}, 2},
    };
    for (const Case& c : cases) {
        TableState t = Fresh();
        t.TrumpSuit = c.trump;
        t.CurrentSeat = 1;  // seat 1 played the fourth card, so seat 2 led
        t.TableCount = 4;
        t.CardsInTrick = 4;
        t.CardsPlayed = 44;
        for (int i = 0; i < 4; ++i) t.TableCards[i].Code = static_cast<std::int16_t>(c.cards[i]);
        DecideTrickWinner(t);
        const int expectedSeat = (2 + c.winnerIndex) % 4;
        EXPECT_EQ(t.TrickWinnerCard, c.winnerIndex);
        EXPECT_EQ(t.TrickWinner, expectedSeat);
        EXPECT_EQ(t.CurrentSeat, expectedSeat);
        EXPECT_EQ(t.Trick11Winner, expectedSeat);
        EXPECT_EQ(t.CardsInTrick, 0);
        EXPECT_EQ(t.GameState, "WE ARE GETTING CARDS - GOTHERING");
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(t.TableCards[i].Collect);
    }
}

TEST(Cards, TrickWinnerWaitsForTheFourthCard) {
    TableState t = Fresh();
    t.CardsInTrick = 3;
    t.GameState = "NORMAL PLAY";
    DecideTrickWinner(t);
    EXPECT_EQ(t.GameState, "NORMAL PLAY");
    EXPECT_EQ(t.CardsInTrick, 3);
}

TEST(Cards, PlayerNamesAreThreeDifferentEntries) {
    TableState t = Fresh();
    test::ScriptedServices s;
    // Repeats are redrawn: 0.1 -> 3, then 3 again and 0 for b, then 3, 0, 29 for c.
    s.script = {0.1f, 0.1f, 0.0f, 0.1f, 0.0f, 0.999f};
    InitMatchTables(t, s);
    EXPECT_EQ(t.PlayerName1, "Jim ");
    EXPECT_EQ(t.PlayerName2, "Mia ");
    EXPECT_EQ(t.PlayerName3, "Gas ");
    EXPECT_EQ(t.ContractTotal[6], 390);
    EXPECT_EQ(t.ContractTotal[10], 320);
}

TEST(Cards, SeatBeforeWrapsBackwards) {
    TableState t = Fresh();
    t.CurrentSeat = 1;
    EXPECT_EQ(SeatBefore(t, 0), 1);
    EXPECT_EQ(SeatBefore(t, 1), 0);
    EXPECT_EQ(SeatBefore(t, 2), 3);
    EXPECT_EQ(SeatBefore(t, 3), 2);
}

TEST(Cards, OutOfRangeIndexIsAnError) {
    TableState t = Fresh();
    EXPECT_THROW((void)t.CardSuit[55], std::out_of_range);
    EXPECT_THROW((void)HandOf(t, 4), std::out_of_range);
    EXPECT_THROW((void)Narrow<std::int16_t>(40000), std::overflow_error);
}

}  // namespace
}  // namespace tenfold
