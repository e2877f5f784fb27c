#include <gtest/gtest.h>

#include <vector>

#include "ai/card_play.h"
#include "ai/computer_players.h"
#include "ai_fixture.h"

namespace tenfold {
namespace {

using test::Card;
using test::FreshTable;
using test::Hand;
using test::Lay;

constexpr double X = kExcludedScore;

// Seat 1 to play with this hand and these cards on the table.
TableState Turn(int contract, std::initializer_list<int> table, std::initializer_list<int> hand) {
    TableState t = FreshTable(contract);
    t.CurrentSeat = 1;
    Lay(t, table);
    test::Deal(t, 1, hand);
    return t;
}

// Every scoring family by hand, card by card: Strength is (h + l) / 10 + |h - l|
// + strength with h, l the seen higher and lower cards of the card's suit.
TEST(CardPlay, ScoresOfEachFamily) {
    struct Case {
        const char* what;
        int contract;
        int cardsPlayed;
        std::initializer_list<int> table;
        std::initializer_list<int> hand;
        std::vector<double> scores;
        int played;
    };
    const Case cases[] = {
        {"trumps, lead the safe top card", 1, 0, {},
         {Card(1, 'S'), Card(2, 'D'), Card(3, 'D'), Card(2, 'C')}, {12, -1.1, -2.1, -8},
         Card(1, 'S')},
        {"trumps, third hand wins high", 1, 2, {Card(5, 'D'), Card(3, 'D')},
         {Card(9, 'D'), Card(13, 'D'), Card(2, 'S')}, {208.3, 214.3, X}, Card(13, 'D')},
        {"trumps, second hand wins low", 1, 1, {Card(5, 'D')}, {Card(9, 'D'), Card(13, 'D')},
         {192.8, 186.8}, Card(9, 'D')},
        {"trumps, ruff with the lowest trump", 1, 1, {Card(5, 'D')},
         {Card(2, 'C'), Card(1, 'C'), Card(7, 'H')}, {90.9, 78.9, X}, Card(2, 'C')},
        {"last two, early: take it", 7, 9, {Card(5, 'D')}, {Card(9, 'D'), Card(3, 'D')},
         {109, 3}, Card(9, 'D')},
        {"last two, late: duck", 7, 37, {Card(5, 'D')}, {Card(9, 'D'), Card(3, 'D')},
         {-109, -3}, Card(3, 'D')},
        {"last two, lead", 7, 0, {}, {Card(9, 'D'), Card(3, 'D')}, {8, 2}, Card(9, 'D')},
        {"no tricks, lead low", 5, 0, {}, {Card(9, 'S'), Card(2, 'S')}, {-8.1, -1.1},
         Card(2, 'S')},
        {"no hearts, last to play takes a clean trick high", 6, 3,
         {Card(5, 'D'), Card(6, 'D'), Card(7, 'D')}, {Card(13, 'D'), Card(4, 'D')}, {15.4, 6.4},
         Card(13, 'D')},
        {"no hearts, third hand ducks", 6, 2, {Card(5, 'D'), Card(6, 'D')},
         {Card(13, 'D'), Card(4, 'D')}, {-14.3, 5.3}, Card(4, 'D')},
        {"no hearts, a heart led: duck and shed", 6, 1, {Card(5, 'H')},
         {Card(9, 'H'), Card(3, 'H')}, {-1059.2, 53.2}, Card(3, 'H')},
        {"no queens, the queen still out", 9, 1, {Card(5, 'S')}, {Card(13, 'S'), Card(6, 'S')},
         {-213.2, -4.2}, Card(6, 'S')},
        {"no queens, a queen on the table", 9, 2, {Card(5, 'S'), Card(12, 'S')},
         {Card(13, 'S'), Card(4, 'S')}, {-1014.3, 5.3}, Card(4, 'S')},
        {"no queens, lead away from the queen's suit", 9, 0, {},
         {Card(12, 'D'), Card(3, 'D'), Card(5, 'C'), Card(1, 'C')}, {-21.1, -12.1, 5.9, -13.1},
         Card(5, 'C')},
        {"no kings and jacks, lead", 8, 0, {},
         {Card(11, 'D'), Card(3, 'D'), Card(13, 'C'), Card(2, 'C')}, {-20.1, -12.1, -12.1, 8.9},
         Card(2, 'C')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = Turn(c.contract, c.table, c.hand);
        t.CardsPlayed = static_cast<std::int16_t>(c.cardsPlayed);
        const HandList hand = HandListOf(t, 1);
        const auto scores = AssessHand(t, hand);
        for (std::size_t i = 0; i < c.scores.size(); ++i) {
            EXPECT_NEAR(scores[i].Score, c.scores[i], 1e-9) << "entry " << i;
        }
        EXPECT_EQ(ChooseCardFor(t, 1), c.played);
    }
}

TEST(CardPlay, KingOfHeartsLeadScores) {
    // Hearts open (broken, and seat 0 has won cards), so only the scores speak.
    TableState t = Turn(10, {}, {Card(13, 'H'), Card(9, 'S'), Card(2, 'S'), Card(4, 'H')});
    t.HeartsBroken = true;
    test::Won(t, 0, {Card(2, 'D'), Card(3, 'D'), Card(4, 'D'), Card(5, 'D')});
    auto scores = AssessHand(t, HandListOf(t, 1));
    // Holding the king: strong cards first, hearts 15 down.
    const double withKing[] = {12.1 - 15, 8.1, 1.1, 3.1 - 15};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(scores[i].Score, withKing[i], 1e-9) << i;
    EXPECT_EQ(ChooseCardFor(t, 1), Card(9, 'S'));

    test::Deal(t, 1, {Card(9, 'S'), Card(2, 'S'), Card(4, 'H')});
    scores = AssessHand(t, HandListOf(t, 1));
    // Without it: low cards first, hearts 10 up.
    const double withoutKing[] = {-8.1, -1.1, -2 + 10};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(scores[i].Score, withoutKing[i], 1e-9) << i;
    EXPECT_EQ(ChooseCardFor(t, 1), Card(4, 'H'));
}

TEST(CardPlay, FiltersKeepOnlyTheAllowedCards) {
    struct Case {
        const char* what;
        int contract;
        std::initializer_list<int> table;
        std::initializer_list<int> hand;
        bool heartsBroken;
        bool seat0HasWon;
        std::vector<bool> kept;
    };
    const Case cases[] = {
        {"F1 follow suit", 5, {Card(5, 'D')}, {Card(2, 'D'), Card(1, 'S')}, false, false,
         {true, false}},
        {"F2 no heart lead while hearts are closed", 6, {}, {Card(2, 'H'), Card(3, 'C')}, false,
         true, {false, true}},
        {"F2 broken, but seats 0 and 2 have won nothing", 6, {}, {Card(2, 'H'), Card(3, 'C')},
         true, false, {false, true}},
        {"F2 lifted", 6, {}, {Card(2, 'H'), Card(3, 'C')}, true, true, {true, true}},
        {"F2 only hearts left", 10, {}, {Card(2, 'H'), Card(3, 'H')}, false, false,
         {true, true}},
        {"F2 under no king of hearts", 10, {}, {Card(13, 'H'), Card(3, 'C')}, false, false,
         {false, true}},
        {"F3 the king of hearts on a void", 10, {Card(5, 'C')},
         {Card(2, 'D'), Card(13, 'H'), Card(9, 'S')}, false, false, {false, true, false}},
        {"F4 a queen on a void", 9, {Card(5, 'C')}, {Card(12, 'D'), Card(2, 'D'), Card(1, 'S')},
         false, false, {true, false, false}},
        {"F5 kings and jacks on a void", 8, {Card(5, 'C')},
         {Card(11, 'D'), Card(13, 'S'), Card(2, 'D')}, false, false, {true, true, false}},
        {"F6 a heart on a void", 6, {Card(5, 'C')}, {Card(2, 'H'), Card(9, 'H'), Card(1, 'S')},
         false, false, {true, true, false}},
        {"F7 trump a void", 1, {Card(5, 'D'), Card(13, 'C')}, {Card(7, 'H'), Card(2, 'C')}, false,
         false, {false, true}},
        {"void, nothing to shed", 9, {Card(5, 'C')}, {Card(2, 'D'), Card(1, 'S')}, false, false,
         {true, true}},
        {"no trump to play", 1, {Card(5, 'D')}, {Card(7, 'H'), Card(2, 'S')}, false, false,
         {true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = Turn(c.contract, c.table, c.hand);
        t.HeartsBroken = c.heartsBroken;
        if (c.seat0HasWon) {
            test::Won(t, 0, {Card(2, 'S'), Card(3, 'S'), Card(4, 'S'), Card(5, 'S')});
        }
        const auto scores = AssessHand(t, HandListOf(t, 1));
        for (std::size_t i = 0; i < c.kept.size(); ++i) {
            EXPECT_EQ(scores[i].Score != kExcludedScore, c.kept[i]) << "entry " << i;
        }
        // Whatever the scores, the card played is one the filters kept.
        const int played = ChooseCardFor(t, 1);
        std::size_t at = 0;
        while (t.HandCodes1[at] != played) ++at;
        EXPECT_TRUE(c.kept[at]);
    }
    // A filter changes the outcome: without F7 the heart (-5) beats the trump (-9.1).
    TableState t = Turn(1, {Card(5, 'D'), Card(13, 'C')}, {Card(7, 'H'), Card(2, 'C')});
    EXPECT_EQ(ChooseCardFor(t, 1), Card(2, 'C'));
}

TEST(CardPlay, EqualScoresGoToTheLowestSlot) {
    // Two twos, nothing seen around them: both score -0.
    TableState t = Turn(5, {}, {Card(2, 'D'), Card(2, 'C')});
    EXPECT_EQ(ChooseCardFor(t, 1), Card(2, 'D'));
    t = Turn(5, {}, {Card(2, 'C'), Card(2, 'D')});
    EXPECT_EQ(ChooseCardFor(t, 1), Card(2, 'C'));
    t = Turn(5, {}, {Card(13, 'S'), Card(2, 'C'), Card(2, 'D')});
    EXPECT_EQ(ChooseCardFor(t, 1), Card(2, 'C'));
}

TEST(CardPlay, ShowingOutIsRememberedOnlyWhenPlayed) {
    // Void in diamonds: the seat sheds its highest card, and from now on counts
    // as out of diamonds.
    TableState t = Turn(5, {Card(5, 'D')}, {Card(2, 'S'), Card(9, 'C')});
    EXPECT_EQ(ChooseCardFor(t, 1), Card(9, 'C'));
    EXPECT_TRUE(t.SeatRecords[1].MayHoldSuit[kSuitDiamonds]);  // asking changes nothing
    EXPECT_EQ(PlayComputerCard(t, 1), Card(9, 'C'));
    for (int seat = 0; seat < 4; ++seat) {
        for (int suit = 0; suit < 4; ++suit) {
            const bool cleared = seat == 1 && suit == kSuitDiamonds;
            EXPECT_EQ(t.SeatRecords[seat].MayHoldSuit[suit], !cleared) << seat << "/" << suit;
        }
    }
    // Following suit, or leading, teaches nothing.
    t = Turn(5, {Card(5, 'D')}, {Card(2, 'D'), Card(9, 'C')});
    EXPECT_EQ(PlayComputerCard(t, 1), Card(2, 'D'));
    EXPECT_TRUE(t.SeatRecords[1].MayHoldSuit[kSuitDiamonds]);
    t = Turn(5, {}, {Card(9, 'C')});
    PlayComputerCard(t, 1);
    EXPECT_TRUE(t.SeatRecords[1].MayHoldSuit[kSuitClubs]);
}

TEST(CardPlay, AnswersForTheHumanSeatToo) {
    TableState t = FreshTable(5);
    t.CurrentSeat = 0;
    Lay(t, {Card(5, 'D')});
    test::Deal(t, 0, {Card(1, 'D'), Card(3, 'D'), Card(9, 'S')});
    test::Deal(t, 1, {Card(2, 'D')});  // another seat's cards play no part
    EXPECT_EQ(ChooseCardFor(t, 0), Card(3, 'D'));
    EXPECT_TRUE(t.SeatRecords[0].MayHoldSuit[kSuitDiamonds]);
}

}  // namespace
}  // namespace tenfold
