#include <gtest/gtest.h>

#include <set>

#include "core/cards.h"
#include "core/dealing.h"
#include "core/trick_play.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

TEST(Cards, CodesGiveSuitRankAndStrength) {
    struct Case {
        Card code;
        Suit suit;
        Rank rank;
        int strength;
    };
    const Case cases[] = {
        {0, Suit::Clubs, Rank::Ace, 12},    {2, Suit::Hearts, Rank::Ace, 12},
        {3, Suit::Spades, Rank::Ace, 12},   {4, Suit::Clubs, Rank::Two, 0},
        {39, Suit::Spades, Rank::Ten, 8},   {37, Suit::Diamonds, Rank::Ten, 8},
        {42, Suit::Hearts, Rank::Jack, 9},  {47, Suit::Spades, Rank::Queen, 10},
        {50, Suit::Hearts, Rank::King, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(SuitOf(c.code), c.suit);
        EXPECT_EQ(RankOf(c.code), c.rank);
        EXPECT_EQ(StrengthOf(c.code), c.strength);
        EXPECT_EQ(CardCode(c.rank, c.suit), c.code);
    }
    // Every suit holds thirteen cards of thirteen different strengths.
    for (Suit suit : kSuits) {
        std::set<int> strengths;
        for (Card code = 0; code < kDeckSize; ++code)
            if (SuitOf(code) == suit) strengths.insert(StrengthOf(code));
        EXPECT_EQ(strengths.size(), 13u);
    }
    EXPECT_EQ("10S"_card, 39);
    EXPECT_EQ("KH"_card, CardCode(Rank::King, Suit::Hearts));
}

TEST(Cards, BeatsUnderTrumpAndNoTrump) {
    struct Case {
        std::optional<Suit> trump;
        Card a;
        Card b;
        bool beats;
    };
    const Case cases[] = {
        {std::nullopt, "KH"_card, "AS"_card, false},  // different suits, no trump
        {std::nullopt, "AH"_card, "KH"_card, true},   // the ace is the highest
        {std::nullopt, "KH"_card, "AH"_card, false},
        {Suit::Hearts, "2H"_card, "AS"_card, true},  // a trump beats any other suit
        {Suit::Hearts, "AS"_card, "2H"_card, false},
        {Suit::Hearts, "3H"_card, "2H"_card, true},  // a higher trump
        {Suit::Hearts, "2H"_card, "3H"_card, false},
        {Suit::Clubs, "5D"_card, "4D"_card, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Beats(c.a, c.b, c.trump), c.beats) << c.a << " vs " << c.b;
    }
}

TEST(Cards, TrickWinnerFollowsTheBestCardSoFar) {
    struct Case {
        std::optional<Suit> trump;
        std::initializer_list<Card> cards;
        int winnerIndex;
    };
    const Case cases[] = {
        {Suit::Hearts, {"KC"_card, "AC"_card, "2H"_card, "3H"_card}, 3},   // over-trumped
        {Suit::Hearts, {"AC"_card, "KC"_card, "2H"_card, "2S"_card}, 2},   // trumped once
        {std::nullopt, {"10D"_card, "AS"_card, "AH"_card, "9D"_card}, 0},  // nobody follows higher
        {std::nullopt, {"2S"_card, "3S"_card, "AS"_card, "KS"_card}, 2},
    };
    for (const Case& c : cases) {
        TableState t = test::TableUnder();
        t.trump = c.trump;
        t.currentSeat = 1;  // seat 1 played the fourth card, so seat 2 led
        t.trick.cardsPlayed = 44;
        test::Lay(t, c.cards);
        DecideTrickWinner(t);
        const int expectedSeat = (2 + c.winnerIndex) % 4;
        EXPECT_EQ(t.trick.winnerCard, c.winnerIndex);
        EXPECT_EQ(t.trick.winner, expectedSeat);
        EXPECT_EQ(t.currentSeat, expectedSeat) << "the winner leads next";
        EXPECT_EQ(t.trick.eleventhWinner, expectedSeat);
        EXPECT_EQ(t.flow.state, GameState::GatheringTrick);
        for (const CardSprite& card : t.trick.cards) EXPECT_TRUE(card.collect);
    }
    // Three cards are not a trick yet.
    TableState t = test::TableUnder();
    t.flow.state = GameState::Playing;
    test::Lay(t, {"2S"_card, "3S"_card, "AS"_card});
    DecideTrickWinner(t);
    EXPECT_EQ(t.flow.state, GameState::Playing);
}

TEST(Cards, PlayerNamesAreThreeDifferentEntries) {
    TableState t;
    test::ScriptedServices s;
    // Repeats are redrawn: 0.1 -> 3, then 3 again and 0 for b, then 3, 0, 29 for c.
    s.script = {0.1f, 0.1f, 0.0f, 0.1f, 0.0f, 0.999f};
    DrawPlayerNames(t, s);
    EXPECT_EQ(t.seats[1].name, "Jim ");
    EXPECT_EQ(t.seats[2].name, "Mia ");
    EXPECT_EQ(t.seats[3].name, "Gas ");
    EXPECT_EQ(t.seats[0].name, "");
}

TEST(Cards, OutOfRangeIndexIsAnError) {
    TableState t;
    EXPECT_THROW((void)t.seats[kSeatCount], std::out_of_range);
    EXPECT_THROW((void)t.trick.cards[kTrickSize], std::out_of_range);
    EXPECT_THROW((void)t.seats[0].hand[kHandSize], std::out_of_range);
    EXPECT_THROW((void)t.seats[0].history[kHistoryRows], std::out_of_range);
    EXPECT_THROW((void)Narrow<std::int16_t>(40000), std::overflow_error);
    // A count past the pile, or below zero, is refused like an index.
    EXPECT_THROW((void)t.trick.cards.First(kTrickSize + 1), std::out_of_range);
    EXPECT_THROW((void)t.trick.cards.First(-1), std::out_of_range);
    EXPECT_EQ(t.trick.cards.First(kTrickSize).size(), static_cast<std::size_t>(kTrickSize));
    EXPECT_TRUE(t.trick.cards.First(0).empty());
}

}  // namespace
}  // namespace tenfold
