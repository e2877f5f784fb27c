#include <gtest/gtest.h>

#include "ai/card_memory.h"
#include "support/cards.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;
using test::Hand;
using test::Lay;
using test::TableUnder;
using test::Won;

// Seen cards come from the won piles, the table and the asking hand; the other
// hands are never looked at.
TEST(CardMemory, CountsOnlyWhatTheTableShows) {
    TableState t = TableUnder();
    Won(t, 1, {"AC"_card, "KC"_card, "2D"_card, "5H"_card});
    Won(t, 3, {"3C"_card});
    Lay(t, {"4C"_card, "QC"_card});
    test::Deal(t, 2, {"JC"_card, "2C"_card, "7H"_card});  // hidden from the asking seat
    const SeenCards seen = SeenCards::Gather(t, Hand({"10C"_card, "9C"_card, "8S"_card}));

    // Ten of clubs: higher seen A, K, Q; lower seen 3, 4, 9 (itself counts in neither).
    EXPECT_EQ(seen.Higher("10C"_card), 3);
    EXPECT_EQ(seen.Lower("10C"_card), 3);
    EXPECT_EQ(seen.InSuit(Suit::Clubs), 7);
    EXPECT_EQ(seen.InSuit(Suit::Hearts), 1);
    EXPECT_TRUE(seen.Has(Rank::Queen, Suit::Clubs));   // on the table
    EXPECT_TRUE(seen.Has(Rank::Eight, Suit::Spades));  // in the asking hand
    EXPECT_FALSE(seen.Has(Rank::Jack, Suit::Clubs));   // only in seat 2's hand
    EXPECT_FALSE(seen.Has(Rank::Seven, Suit::Hearts));
    // The ace is always the highest card still out: 12 - 12 - 0 = 0.
    EXPECT_EQ(12 - StrengthOf("AS"_card) - seen.Higher("AS"_card), 0);
}

TEST(CardMemory, WhoWinsTheTrickAsItLies) {
    using C = Contract;
    struct Case {
        const char* what;
        Contract contract;
        std::initializer_list<Card> table;
        Card card;
        bool now;
        bool following;
    };
    const Case cases[] = {
        {"empty table", C::Hearts, {}, "AH"_card, false, false},
        {"empty table, no trump", C::NoTricks, {}, "AS"_card, false, false},
        {"trump on a plain lead", C::Hearts, {"5C"_card}, "2H"_card, true, false},
        {"trump under a higher trump", C::Hearts, {"5C"_card, "9H"_card}, "8H"_card, false, false},
        {"trump over a trump lead", C::Hearts, {"5H"_card, "3C"_card}, "8H"_card, true, true},
        {"higher card of the led suit", C::NoTricks, {"5C"_card}, "8C"_card, true, true},
        {"lower card of the led suit", C::NoTricks, {"5C"_card}, "4C"_card, false, false},
        {"another suit, no trump", C::NoTricks, {"5C"_card}, "AD"_card, false, false},
        {"stronger discard of another suit", C::NoTricks, {"5C"_card, "KD"_card}, "8C"_card, true, false},
        {"weaker discard of another suit", C::NoTricks, {"5C"_card, "3D"_card}, "8C"_card, true, true},
        {"beaten by a later card of the suit", C::NoTricks, {"5C"_card, "9C"_card}, "8C"_card, false, false},
        {"led suit trumped before", C::Clubs, {"5D"_card, "2C"_card}, "AD"_card, false, false},
        {"under a trump contract, plain suit wins", C::Clubs, {"5D"_card, "3S"_card}, "6D"_card, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = TableUnder(c.contract);
        Lay(t, c.table);
        EXPECT_EQ(WinsTrickNow(t, c.card), c.now);
        EXPECT_EQ(WinsTrickFollowing(t, c.card), c.following);
    }
}

TEST(CardMemory, TrumpCountAndTablePenalties) {
    TableState t = TableUnder(Contract::Spades);
    EXPECT_EQ(IsTrumpCard(t, "2S"_card), 1);  // a count the card play multiplies, never -1
    EXPECT_EQ(IsTrumpCard(t, "2H"_card), 0);
    using C = Contract;
    struct Case {
        Contract contract;
        int units;
    };
    for (const Case c :
         {Case{C::NoQueens, 2}, Case{C::NoKingsAndJacks, 1}, Case{C::NoHearts, 1}, Case{C::NoKingOfHearts, 0},
          Case{C::NoLastTwoTricks, 0}, Case{C::NoTricks, 4}, Case{C::Diamonds, 4}}) {
        SCOPED_TRACE(Number(c.contract));
        TableState u = TableUnder(c.contract);
        Lay(u, {"QS"_card, "QD"_card, "JH"_card, "5C"_card});
        EXPECT_EQ(TablePenaltyCount(u), c.units);
    }
}

TEST(CardMemory, SafeLeadNeedsBothNeighboursAndFewSeenCards) {
    // Seat 1 leads: its next seat is 2, the last of the trick is 0; seat 3 is across.
    struct Case {
        const char* what;
        Contract contract;
        int shownOutSeat;  // -1: nobody showed out of diamonds
        CardList hand;
        bool safe;
    };
    const CardList four = Hand({"AD"_card, "2D"_card, "3D"_card, "4D"_card});
    const CardList five = Hand({"AD"_card, "2D"_card, "3D"_card, "4D"_card, "5D"_card});
    const Case cases[] = {
        {"four seen", Contract::NoTricks, -1, four, true},
        {"five in the hand", Contract::NoTricks, -1, five, false},
        {"next seat showed out", Contract::NoTricks, 2, four, false},
        {"last seat showed out", Contract::NoTricks, 0, four, false},
        {"the seat across does not matter", Contract::NoTricks, 3, four, true},
        {"trumps always, even when the neighbours are out", Contract::Diamonds, 0, five, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = TableUnder(c.contract);
        t.currentSeat = 1;
        CardMemory memory;
        if (c.shownOutSeat >= 0) memory.ShowOut(c.shownOutSeat, Suit::Diamonds);
        if (c.contract == Contract::Diamonds) memory.ShowOut(2, Suit::Diamonds);
        EXPECT_EQ(IsSafeLead(t, memory, SeenCards::Gather(t, c.hand), Suit::Diamonds), c.safe);
    }
    // Cards in the won piles count as seen as well.
    TableState t = TableUnder();
    t.currentSeat = 1;
    Won(t, 3, {"9D"_card});
    EXPECT_FALSE(IsSafeLead(t, CardMemory{}, SeenCards::Gather(t, four), Suit::Diamonds));
}

TEST(CardMemory, CaptureRiskOnUnseenPenaltyCardsOfTheLedSuit) {
    using C = Contract;
    struct Case {
        const char* what;
        Contract contract;
        Card led;
        Card card;
        std::initializer_list<Card> seen;
        bool risk;
    };
    const Case cases[] = {
        {"queen out, king played", C::NoQueens, "2S"_card, "KS"_card, {}, true},
        {"queen out, jack played", C::NoQueens, "2S"_card, "JS"_card, {}, false},
        {"queen gone", C::NoQueens, "2S"_card, "AS"_card, {"QS"_card}, false},
        {"jack out, queen played", C::NoKingsAndJacks, "2C"_card, "QC"_card, {"KC"_card}, true},
        {"jack and king gone, ace played",
         C::NoKingsAndJacks,
         "2C"_card,
         "AC"_card,
         {"JC"_card, "KC"_card},
         false},
        {"jack gone, king out, ace played", C::NoKingsAndJacks, "2C"_card, "AC"_card, {"JC"_card}, true},
        {"king of hearts out, ace of hearts", C::NoKingOfHearts, "2H"_card, "AH"_card, {}, true},
        {"king of hearts out, queen of hearts", C::NoKingOfHearts, "2H"_card, "QH"_card, {}, false},
        {"hearts not led", C::NoKingOfHearts, "2D"_card, "AD"_card, {}, false},
        {"no penalty cards under no hearts", C::NoHearts, "2H"_card, "AH"_card, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = TableUnder(c.contract);
        Lay(t, {c.led});
        Won(t, 2, c.seen);
        EXPECT_EQ(CaptureRisk(t, c.card, SeenCards::Gather(t, Hand({c.card}))), c.risk);
    }
}

TEST(CardMemory, PenaltyCardHoldings) {
    TableState t = TableUnder(Contract::Clubs);
    const CardList hand = Hand({"QS"_card, "KH"_card, "JD"_card});
    EXPECT_FALSE(HoldsHeartKingPenalty(t, hand));  // not no king of hearts
    t.contract = Contract::NoKingOfHearts;
    EXPECT_TRUE(HoldsHeartKingPenalty(t, hand));
    EXPECT_FALSE(HoldsHeartKingPenalty(t, Hand({"KD"_card})));

    t.contract = Contract::NoQueens;
    EXPECT_TRUE(HoldsSuitPenaltyCard(t, Suit::Spades, hand));
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, Suit::Diamonds, hand));
    t.contract = Contract::NoKingsAndJacks;  // the jack counts, the king is not looked for
    EXPECT_TRUE(HoldsSuitPenaltyCard(t, Suit::Diamonds, hand));
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, Suit::Hearts, hand));
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, Suit::Spades, hand));
    t.contract = Contract::NoKingOfHearts;
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, Suit::Spades, hand));
}

TEST(CardMemory, ShowingOutIsRememberedForThatSeatAndSuit) {
    TableState t = TableUnder();
    CardMemory memory;
    memory.HearPlay(t, 0, "9D"_card);  // leading: nothing to learn
    Lay(t, {"5C"_card});
    memory.HearPlay(t, 0, "2C"_card);  // follows clubs
    EXPECT_TRUE(memory.MayHoldSuit(0, Suit::Clubs));
    memory.HearPlay(t, 0, "9D"_card);  // discards a diamond on clubs
    EXPECT_FALSE(memory.MayHoldSuit(0, Suit::Clubs));
    EXPECT_TRUE(memory.MayHoldSuit(0, Suit::Diamonds));
    for (int seat = 1; seat < kSeatCount; ++seat) EXPECT_TRUE(memory.MayHoldSuit(seat, Suit::Clubs));
    memory.Reset();
    EXPECT_TRUE(memory.MayHoldSuit(0, Suit::Clubs)) << "a new deal forgets";
}

}  // namespace
}  // namespace tenfold
