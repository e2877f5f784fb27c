#include <gtest/gtest.h>

#include <vector>

#include "ai/classic_card_play.h"
#include "ai/classic_player.h"
#include "support/cards.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;
using test::Lay;

constexpr double X = kExcludedScore;

// Seat 1 to play with this hand and these cards on the table.
TableState Turn(Contract contract, std::initializer_list<Card> table, std::initializer_list<Card> hand) {
    TableState t = test::TableUnder(contract);
    t.currentSeat = 1;
    Lay(t, table);
    test::Deal(t, 1, hand);
    return t;
}

Card Chosen(const TableState& t, int seat = 1) {
    return ChooseClassicCard(t, CardMemory{}, HandCards(t, seat));
}

// Every scoring family by hand, card by card: strength is (h + l) / 10 + |h - l|
// + the card's strength, h and l the seen higher and lower cards of its suit.
TEST(CardPlay, ScoresOfEachFamily) {
    using C = Contract;
    struct Case {
        const char* what;
        Contract contract;
        int cardsPlayed;
        std::initializer_list<Card> table;
        std::initializer_list<Card> hand;
        std::vector<double> scores;
        Card played;
    };
    const Case cases[] = {
        {"trumps, lead the safe top card",
         C::Clubs,
         0,
         {},
         {"AS"_card, "2D"_card, "3D"_card, "2C"_card},
         {12, -1.1, -2.1, -8},
         "AS"_card},
        {"trumps, third hand wins high",
         C::Clubs,
         2,
         {"5D"_card, "3D"_card},
         {"9D"_card, "KD"_card, "2S"_card},
         {208.3, 214.3, X},
         "KD"_card},
        {"trumps, second hand wins low",
         C::Clubs,
         1,
         {"5D"_card},
         {"9D"_card, "KD"_card},
         {192.8, 186.8},
         "9D"_card},
        {"trumps, ruff with the lowest trump",
         C::Clubs,
         1,
         {"5D"_card},
         {"2C"_card, "AC"_card, "7H"_card},
         {90.9, 78.9, X},
         "2C"_card},
        {"last two, early: take it",
         C::NoLastTwoTricks,
         9,
         {"5D"_card},
         {"9D"_card, "3D"_card},
         {109, 3},
         "9D"_card},
        {"last two, late: duck",
         C::NoLastTwoTricks,
         37,
         {"5D"_card},
         {"9D"_card, "3D"_card},
         {-109, -3},
         "3D"_card},
        {"last two, lead", C::NoLastTwoTricks, 0, {}, {"9D"_card, "3D"_card}, {8, 2}, "9D"_card},
        {"no tricks, lead low", C::NoTricks, 0, {}, {"9S"_card, "2S"_card}, {-8.1, -1.1}, "2S"_card},
        {"no hearts, last to play takes a clean trick high",
         C::NoHearts,
         3,
         {"5D"_card, "6D"_card, "7D"_card},
         {"KD"_card, "4D"_card},
         {15.4, 6.4},
         "KD"_card},
        {"no hearts, third hand ducks",
         C::NoHearts,
         2,
         {"5D"_card, "6D"_card},
         {"KD"_card, "4D"_card},
         {-14.3, 5.3},
         "4D"_card},
        {"no hearts, a heart led: duck and shed",
         C::NoHearts,
         1,
         {"5H"_card},
         {"9H"_card, "3H"_card},
         {-1059.2, 53.2},
         "3H"_card},
        {"no queens, the queen still out",
         C::NoQueens,
         1,
         {"5S"_card},
         {"KS"_card, "6S"_card},
         {-213.2, -4.2},
         "6S"_card},
        {"no queens, a queen on the table",
         C::NoQueens,
         2,
         {"5S"_card, "QS"_card},
         {"KS"_card, "4S"_card},
         {-1014.3, 5.3},
         "4S"_card},
        {"no queens, lead away from the queen's suit",
         C::NoQueens,
         0,
         {},
         {"QD"_card, "3D"_card, "5C"_card, "AC"_card},
         {-21.1, -12.1, 5.9, -13.1},
         "5C"_card},
        {"no kings and jacks, lead",
         C::NoKingsAndJacks,
         0,
         {},
         {"JD"_card, "3D"_card, "KC"_card, "2C"_card},
         {-20.1, -12.1, -12.1, 8.9},
         "2C"_card},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = Turn(c.contract, c.table, c.hand);
        t.trick.cardsPlayed = static_cast<std::int16_t>(c.cardsPlayed);
        const auto scores = AssessHand(t, CardMemory{}, HandCards(t, 1));
        for (std::size_t i = 0; i < c.scores.size(); ++i) {
            EXPECT_NEAR(scores[i].score, c.scores[i], 1e-9) << "entry " << i;
        }
        EXPECT_EQ(Chosen(t), c.played);
    }
}

TEST(CardPlay, KingOfHeartsLeadScores) {
    // Hearts open (broken, and seat 0 has won cards), so only the scores speak.
    TableState t = Turn(Contract::NoKingOfHearts, {}, {"KH"_card, "9S"_card, "2S"_card, "4H"_card});
    t.trick.heartsBroken = true;
    test::Won(t, 0, {"2D"_card, "3D"_card, "4D"_card, "5D"_card});
    auto scores = AssessHand(t, CardMemory{}, HandCards(t, 1));
    // Holding the king: strong cards first, hearts 15 down.
    const double withKing[] = {12.1 - 15, 8.1, 1.1, 3.1 - 15};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(scores[i].score, withKing[i], 1e-9) << i;
    EXPECT_EQ(Chosen(t), "9S"_card);

    test::Deal(t, 1, {"9S"_card, "2S"_card, "4H"_card});
    scores = AssessHand(t, CardMemory{}, HandCards(t, 1));
    // Without it: low cards first, hearts 10 up.
    const double withoutKing[] = {-8.1, -1.1, -2 + 10};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(scores[i].score, withoutKing[i], 1e-9) << i;
    EXPECT_EQ(Chosen(t), "4H"_card);
}

// The cards the seat may play: the rules of play, and its own heart-lead habit.
TEST(CardPlay, OnlyAllowedCardsArePlayed) {
    using C = Contract;
    struct Case {
        const char* what;
        Contract contract;
        std::initializer_list<Card> table;
        std::initializer_list<Card> hand;
        bool heartsBroken;
        bool seat0HasWon;
        std::vector<bool> kept;
    };
    const Case cases[] = {
        {"follow suit", C::NoTricks, {"5D"_card}, {"2D"_card, "AS"_card}, false, false, {true, false}},
        {"no heart lead while hearts are closed",
         C::NoHearts,
         {},
         {"2H"_card, "3C"_card},
         false,
         true,
         {false, true}},
        {"habit: broken, but seats 0 and 2 have won nothing",
         C::NoHearts,
         {},
         {"2H"_card, "3C"_card},
         true,
         false,
         {false, true}},
        {"hearts open", C::NoHearts, {}, {"2H"_card, "3C"_card}, true, true, {true, true}},
        {"only hearts left", C::NoKingOfHearts, {}, {"2H"_card, "3H"_card}, false, false, {true, true}},
        {"no heart lead under no king of hearts",
         C::NoKingOfHearts,
         {},
         {"KH"_card, "3C"_card},
         false,
         false,
         {false, true}},
        {"the king of hearts on a void",
         C::NoKingOfHearts,
         {"5C"_card},
         {"2D"_card, "KH"_card, "9S"_card},
         false,
         false,
         {false, true, false}},
        {"a queen on a void",
         C::NoQueens,
         {"5C"_card},
         {"QD"_card, "2D"_card, "AS"_card},
         false,
         false,
         {true, false, false}},
        {"kings and jacks on a void",
         C::NoKingsAndJacks,
         {"5C"_card},
         {"JD"_card, "KS"_card, "2D"_card},
         false,
         false,
         {true, true, false}},
        {"a heart on a void",
         C::NoHearts,
         {"5C"_card},
         {"2H"_card, "9H"_card, "AS"_card},
         false,
         false,
         {true, true, false}},
        {"trump a void",
         C::Clubs,
         {"5D"_card, "KC"_card},
         {"7H"_card, "2C"_card},
         false,
         false,
         {false, true}},
        {"void, nothing to shed",
         C::NoQueens,
         {"5C"_card},
         {"2D"_card, "AS"_card},
         false,
         false,
         {true, true}},
        {"no trump to play", C::Clubs, {"5D"_card}, {"7H"_card, "2S"_card}, false, false, {true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = Turn(c.contract, c.table, c.hand);
        t.trick.heartsBroken = c.heartsBroken;
        if (c.seat0HasWon) test::Won(t, 0, {"2S"_card, "3S"_card, "4S"_card, "5S"_card});
        const CardList hand = HandCards(t, 1);
        const auto scores = AssessHand(t, CardMemory{}, hand);
        for (std::size_t i = 0; i < c.kept.size(); ++i) {
            EXPECT_EQ(scores[i].score != kExcludedScore, c.kept[i]) << "entry " << i;
        }
        // Whatever the scores, the card played is one that was kept.
        const Card played = Chosen(t);
        std::size_t at = 0;
        while (hand.cards[static_cast<int>(at)] != played) ++at;
        EXPECT_TRUE(c.kept[at]);
    }
    // A rule changes the outcome: without it the heart (-5) beats the trump (-9.1).
    const TableState t = Turn(Contract::Clubs, {"5D"_card, "KC"_card}, {"7H"_card, "2C"_card});
    EXPECT_EQ(Chosen(t), "2C"_card);
}

TEST(CardPlay, EqualScoresGoToTheLowestSlot) {
    // Two twos, nothing seen around them: both score -0.
    EXPECT_EQ(Chosen(Turn(Contract::NoTricks, {}, {"2D"_card, "2C"_card})), "2D"_card);
    EXPECT_EQ(Chosen(Turn(Contract::NoTricks, {}, {"2C"_card, "2D"_card})), "2C"_card);
    EXPECT_EQ(Chosen(Turn(Contract::NoTricks, {}, {"KS"_card, "2C"_card, "2D"_card})), "2C"_card);
}

TEST(CardPlay, ShowOutsHeardChangeWhatIsLedSafely) {
    // Seat 1 leads under clubs trumps with the ace of spades and a low diamond:
    // the ace is led while both neighbours may hold spades; once seat 2 has
    // shown out of spades it is not.
    ClassicPlayer player;
    TableState t = Turn(Contract::Clubs, {}, {"AS"_card, "2D"_card});
    EXPECT_EQ(player.ChooseCard(t, 1), "AS"_card);
    EXPECT_TRUE(player.Memory().MayHoldSuit(1, Suit::Spades)) << "choosing teaches nothing";
    TableState shown = Turn(Contract::Clubs, {"3S"_card}, {});
    player.HearPlay(shown, 2, "9H"_card);
    EXPECT_EQ(player.ChooseCard(t, 1), "2D"_card);
    player.DealStarted(t);
    EXPECT_EQ(player.ChooseCard(t, 1), "AS"_card) << "a new deal forgets the show-outs";
}

}  // namespace
}  // namespace tenfold
