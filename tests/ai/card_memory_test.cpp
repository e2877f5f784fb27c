#include <gtest/gtest.h>

#include "ai/card_memory.h"
#include "ai_fixture.h"

namespace tenfold {
namespace {

using test::Card;
using test::FreshTable;
using test::Hand;
using test::Lay;
using test::Won;

// Seen cards come from the won piles, the table and the asking hand; the other
// hands are never looked at.
TEST(CardMemory, CountsOnlyWhatTheTableShows) {
    TableState t = FreshTable();
    Won(t, 1, {Card(1, 'C'), Card(13, 'C'), Card(2, 'D'), Card(5, 'H')});
    Won(t, 3, {Card(3, 'C')});
    Lay(t, {Card(4, 'C'), Card(12, 'C')});
    test::Deal(t, 2, {Card(11, 'C'), Card(2, 'C'), Card(7, 'H')});  // hidden from seat 1
    const HandList hand = Hand({Card(10, 'C'), Card(9, 'C'), Card(8, 'S')});

    // Ten of clubs: higher seen A, K, Q; lower seen 3, 4, 9 (itself counts in neither).
    EXPECT_EQ(SeenHigherCount(t, Card(10, 'C'), hand), 3);
    EXPECT_EQ(SeenLowerCount(t, Card(10, 'C'), hand), 3);
    EXPECT_EQ(SeenSuitCount(t, hand, kSuitClubs), 7);
    EXPECT_EQ(SeenSuitCount(t, hand, kSuitHearts), 1);
    EXPECT_TRUE(IsCardSeen(t, 12, kSuitClubs, hand));   // on the table
    EXPECT_TRUE(IsCardSeen(t, 8, kSuitSpades, hand));   // in the asking hand
    EXPECT_FALSE(IsCardSeen(t, 11, kSuitClubs, hand));  // only in seat 2's hand
    EXPECT_FALSE(IsCardSeen(t, 7, kSuitHearts, hand));
    // The ace is always the highest card still out: 12 - 12 - 0 = 0.
    EXPECT_EQ(12 - Strength(t, Card(1, 'S')) - SeenHigherCount(t, Card(1, 'S'), hand), 0);
}

TEST(CardMemory, WhoWinsTheTrickAsItLies) {
    struct Case {
        const char* what;
        int contract;
        std::initializer_list<int> table;
        int card;
        bool now;
        bool following;
    };
    const Case cases[] = {
        {"empty table", 4, {}, Card(1, 'H'), false, false},
        {"empty table, no trump", 5, {}, Card(1, 'S'), false, false},
        {"trump on a plain lead", 4, {Card(5, 'C')}, Card(2, 'H'), true, false},
        {"trump under a higher trump", 4, {Card(5, 'C'), Card(9, 'H')}, Card(8, 'H'), false, false},
        {"trump over a trump lead", 4, {Card(5, 'H'), Card(3, 'C')}, Card(8, 'H'), true, true},
        {"higher card of the led suit", 5, {Card(5, 'C')}, Card(8, 'C'), true, true},
        {"lower card of the led suit", 5, {Card(5, 'C')}, Card(4, 'C'), false, false},
        {"another suit, no trump", 5, {Card(5, 'C')}, Card(1, 'D'), false, false},
        {"stronger discard of another suit", 5, {Card(5, 'C'), Card(13, 'D')}, Card(8, 'C'), true,
         false},
        {"weaker discard of another suit", 5, {Card(5, 'C'), Card(3, 'D')}, Card(8, 'C'), true,
         true},
        {"beaten by a later card of the suit", 5, {Card(5, 'C'), Card(9, 'C')}, Card(8, 'C'), false,
         false},
        {"led suit trumped before", 1, {Card(5, 'D'), Card(2, 'C')}, Card(1, 'D'), false, false},
        {"under a trump contract, plain suit wins", 1, {Card(5, 'D'), Card(3, 'S')}, Card(6, 'D'),
         true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = FreshTable(c.contract);
        Lay(t, c.table);
        EXPECT_EQ(WinsTrickNow(t, c.card), c.now);
        EXPECT_EQ(WinsTrickFollowing(t, c.card), c.following);
    }
}

TEST(CardMemory, IsTrumpCardIsOneNotMinusOne) {
    TableState t = FreshTable(3);  // spades
    EXPECT_EQ(IsTrumpCard(t, Card(2, 'S')), 1);
    EXPECT_EQ(IsTrumpCard(t, Card(2, 'H')), 0);
    t = FreshTable(7);
    EXPECT_EQ(IsTrumpCard(t, Card(2, 'S')), 0);
}

TEST(CardMemory, TablePenaltyCountUnderTheContract) {
    struct Case { int contract; int units; };
    for (const Case c : {Case{9, 2}, Case{8, 1}, Case{6, 1}, Case{10, 0}, Case{7, 0}, Case{5, 4},
                         Case{2, 4}}) {
        SCOPED_TRACE(c.contract);
        TableState t = FreshTable(c.contract);
        Lay(t, {Card(12, 'S'), Card(12, 'D'), Card(11, 'H'), Card(5, 'C')});
        EXPECT_EQ(TablePenaltyCount(t), c.units);
    }
}

TEST(CardMemory, SafeLeadNeedsBothNeighboursAndFewSeenCards) {
    // Seat 1 leads: its next seat is 2, the last of the trick is 0; seat 3 is across.
    struct Case {
        const char* what;
        int contract;
        int shownOutSeat;  // -1: nobody showed out of diamonds
        HandList hand;
        bool safe;
    };
    const HandList four = Hand({Card(1, 'D'), Card(2, 'D'), Card(3, 'D'), Card(4, 'D')});
    const HandList five =
        Hand({Card(1, 'D'), Card(2, 'D'), Card(3, 'D'), Card(4, 'D'), Card(5, 'D')});
    const Case cases[] = {
        {"four seen", 5, -1, four, true},
        {"five in the hand", 5, -1, five, false},
        {"next seat showed out", 5, 2, four, false},
        {"last seat showed out", 5, 0, four, false},
        {"the seat across does not matter", 5, 3, four, true},
        {"trumps always, even when both neighbours are out", 2, 0, five, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = FreshTable(c.contract);
        t.CurrentSeat = 1;
        if (c.shownOutSeat >= 0) t.SeatRecords[c.shownOutSeat].MayHoldSuit[kSuitDiamonds] = false;
        if (c.contract == 2) t.SeatRecords[2].MayHoldSuit[kSuitDiamonds] = false;
        EXPECT_EQ(IsSafeLead(t, c.hand, kSuitDiamonds), c.safe);
    }
    // Cards in the won piles count as seen as well.
    TableState t = FreshTable();
    t.CurrentSeat = 1;
    Won(t, 3, {Card(9, 'D')});
    EXPECT_FALSE(IsSafeLead(t, four, kSuitDiamonds));
}

TEST(CardMemory, CaptureRiskOnUnseenPenaltyCardsOfTheLedSuit) {
    struct Case {
        const char* what;
        int contract;
        int led;
        int card;
        std::initializer_list<int> seen;
        bool risk;
    };
    const Case cases[] = {
        {"queen out, king played", 9, Card(2, 'S'), Card(13, 'S'), {}, true},
        {"queen out, jack played", 9, Card(2, 'S'), Card(11, 'S'), {}, false},
        {"queen gone", 9, Card(2, 'S'), Card(1, 'S'), {Card(12, 'S')}, false},
        {"jack out, queen played", 8, Card(2, 'C'), Card(12, 'C'), {Card(13, 'C')}, true},
        {"jack and king gone, ace played", 8, Card(2, 'C'), Card(1, 'C'),
         {Card(11, 'C'), Card(13, 'C')}, false},
        {"jack gone, king out, ace played", 8, Card(2, 'C'), Card(1, 'C'), {Card(11, 'C')}, true},
        {"king of hearts out, ace of hearts", 10, Card(2, 'H'), Card(1, 'H'), {}, true},
        {"king of hearts out, queen of hearts", 10, Card(2, 'H'), Card(12, 'H'), {}, false},
        {"hearts not led", 10, Card(2, 'D'), Card(1, 'D'), {}, false},
        {"no penalty cards under no hearts", 6, Card(2, 'H'), Card(1, 'H'), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = FreshTable(c.contract);
        Lay(t, {c.led});
        Won(t, 2, c.seen);
        EXPECT_EQ(CaptureRisk(t, c.card, Hand({c.card})), c.risk);
    }
}

TEST(CardMemory, HandQuestions) {
    TableState t = FreshTable(1);  // clubs trumps
    Lay(t, {Card(4, 'D')});
    const HandList hand = Hand({Card(12, 'S'), Card(13, 'H'), Card(11, 'D')});
    EXPECT_FALSE(HasTrump(t, hand));
    EXPECT_TRUE(HasLedSuit(t, hand));
    EXPECT_TRUE(HasNonHeart(t, hand));
    EXPECT_FALSE(HasNonHeart(t, Hand({Card(2, 'H'), Card(3, 'H')})));
    EXPECT_FALSE(HasLedSuit(t, Hand({Card(2, 'H')})));
    EXPECT_TRUE(HasTrump(t, Hand({Card(2, 'H'), Card(9, 'C')})));

    EXPECT_FALSE(HoldsHeartKingPenalty(t, hand));  // not contract 10
    t.Contract = 10;
    EXPECT_TRUE(HoldsHeartKingPenalty(t, hand));
    EXPECT_FALSE(HoldsHeartKingPenalty(t, Hand({Card(13, 'D')})));

    t.Contract = 9;
    EXPECT_TRUE(HoldsSuitPenaltyCard(t, kSuitSpades, hand));
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, kSuitDiamonds, hand));
    t.Contract = 8;  // the jack counts, the king is not looked for
    EXPECT_TRUE(HoldsSuitPenaltyCard(t, kSuitDiamonds, hand));
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, kSuitHearts, hand));
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, kSuitSpades, hand));
    t.Contract = 10;
    EXPECT_FALSE(HoldsSuitPenaltyCard(t, kSuitSpades, hand));
}

TEST(CardMemory, HumanShowingOutIsRemembered) {
    TableState t = FreshTable();
    test::Deal(t, 0, {Card(2, 'C'), Card(9, 'D')});
    t.CurrentSeat = 0;
    NoteHumanPlay(t, 1);  // leading: nothing to learn
    Lay(t, {Card(5, 'C')});
    NoteHumanPlay(t, 0);  // follows clubs
    EXPECT_TRUE(t.SeatRecords[0].MayHoldSuit[kSuitClubs]);
    NoteHumanPlay(t, 1);  // discards a diamond on clubs
    EXPECT_FALSE(t.SeatRecords[0].MayHoldSuit[kSuitClubs]);
    EXPECT_TRUE(t.SeatRecords[0].MayHoldSuit[kSuitDiamonds]);
    for (int seat = 1; seat < 4; ++seat) EXPECT_TRUE(t.SeatRecords[seat].MayHoldSuit[kSuitClubs]);
}

TEST(CardMemory, SevenOfHeartsHolderChoosesTheFirstDealOfAMatch) {
    struct Case { int holder; int currentSeat; };
    for (const Case c : {Case{0, 3}, Case{1, 0}, Case{2, 1}, Case{3, 2}}) {
        SCOPED_TRACE(c.holder);
        TableState t = FreshTable();
        for (int seat = 0; seat < 4; ++seat) {
            const int heart = seat == c.holder ? Card(7, 'H') : Card(8, 'H');
            test::Deal(t, seat, {Card(2 + seat, 'S'), heart});
        }
        t.FirstSeat = 2;
        t.CurrentSeat = 1;
        EXPECT_EQ(SevenOfHeartsHolder(t), c.holder);
        SetFirstChooser(t);
        EXPECT_EQ(t.FirstSeat, c.holder);
        EXPECT_EQ(t.DealFirstSeat, c.holder);
        EXPECT_EQ(t.CurrentSeat, c.currentSeat);
    }
    // Later deals of the match keep the rotation.
    TableState t = FreshTable();
    test::Deal(t, 3, {Card(7, 'H')});
    t.DealsPlayed = 1;
    t.FirstSeat = 2;
    t.CurrentSeat = 1;
    SetFirstChooser(t);
    EXPECT_EQ(t.FirstSeat, 2);
    EXPECT_EQ(t.CurrentSeat, 1);
}

}  // namespace
}  // namespace tenfold
