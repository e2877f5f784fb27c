#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/cards.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/scoring.h"
#include "frame_driver.h"
#include "scripted_services.h"

namespace tenfold {
namespace {

TableState Ready() {
    TableState t;
    BuildCardFiles(t);
    ComputeLayout(t);
    for (int i = 0; i < 12; ++i) t.ContractTotal[i] = 0;
    return t;
}

TEST(Dealing, ShuffleIsAPermutationAndDrawsAgainOnARepeat) {
    for (std::uint64_t seed : {1u, 99u, 12345u}) {
        TableState t = Ready();
        HeadlessServices s(seed);
        Shuffle(t, s);
        std::set<int> codes;
        for (int i = 0; i < 52; ++i) codes.insert(t.Deck[i].Code);
        EXPECT_EQ(codes.size(), 52u);
        EXPECT_EQ(*codes.begin(), 0);
        EXPECT_EQ(*codes.rbegin(), 51);
        EXPECT_TRUE(s.messages.empty());
    }
    // A scripted draw: card 5, card 5 again (drawn anew), then 0..51 in order.
    TableState t = Ready();
    test::ScriptedServices s;
    s.script = {5.5f / 52, 5.5f / 52};
    for (int i = 0; i < 52; ++i) s.script.push_back((static_cast<float>(i) + 0.5f) / 52);
    Shuffle(t, s);
    EXPECT_EQ(t.Deck[0].Code, 5);
    EXPECT_EQ(t.Deck[1].Code, 0);
    EXPECT_EQ(t.Deck[5].Code, 4);
    EXPECT_EQ(t.Deck[6].Code, 6);
    EXPECT_EQ(t.Deck[51].Code, 51);
    EXPECT_TRUE(s.messages.empty());
}

TEST(Dealing, FirstSeatIsDrawnOnceThenRotatesAcrossMatches) {
    TableState t = Ready();
    test::ScriptedServices s;
    s.script = {0.6f, 0.1f, 0.2f, 0.3f};  // first seat 2; the rest feed names and shuffles
    // Scripted values repeat, so give the shuffle a generator of its own.
    HeadlessServices shuffler(5u);
    EXPECT_EQ(NextFirstSeat(t, s), 2);
    EXPECT_TRUE(t.FirstSeatChosen);
    t.FirstSeat = 2;
    std::vector<int> seats;
    for (int deal = 0; deal < 3; ++deal) {
        NewDeal(t, shuffler);
        seats.push_back(t.FirstSeat);
        EXPECT_EQ(t.CurrentSeat, t.FirstSeat);
        EXPECT_EQ(t.DealFirstSeat, t.FirstSeat);
    }
    // A new match keeps the rotation going and resets the match.
    t.MatchOver = true;
    t.DealsPlayed = 20;
    t.MatchTotal2 = 700;
    t.ContractUseCount[9] = 2;
    t.SeatRecords[1].TrumpContractsChosen = 2;
    NewDeal(t, shuffler);
    seats.push_back(t.FirstSeat);
    EXPECT_EQ(seats, (std::vector<int>{3, 0, 1, 2}));
    EXPECT_FALSE(t.MatchOver);
    EXPECT_EQ(t.DealsPlayed, 0);
    EXPECT_EQ(t.MatchTotal2, 0);
    EXPECT_EQ(t.ContractUseCount[9], 0);
    EXPECT_EQ(t.SeatRecords[1].TrumpContractsChosen, 0);
}

// Deals a whole hand through the frame routine from a chosen first seat.
struct DealRun {
    TableState t = Ready();
    HeadlessServices s{11u};
    int flights = 0;
    int frames = 0;

    DealRun(int firstSeat, int packet) {
        t.DealPacketSize = static_cast<std::int16_t>(packet);
        t.FirstSeatChosen = true;
        t.FirstSeat = static_cast<std::int16_t>((firstSeat + 3) % 4);  // NewDeal steps it on
        NewDeal(t, s);
    }
    // Runs frames until the deal is done or `stop` holds.
    void Run(const std::function<bool()>& stop = [] { return false; }) {
        while (t.GameState == "DEALING CARDS" && frames < 2000 && !stop()) {
            const int before = t.CardsDealt;
            RunFrame(t, s, test::NoInput());
            flights += t.CardsDealt - before;
            ++frames;
        }
    }
    // Deck slots, in order, whose cards ended in the seat's hand.
    std::vector<int> SlotsOf(int seat) {
        std::vector<int> slots;
        for (int k = 0; k < HandSizeOf(t, seat); ++k) {
            for (int i = 0; i < 52; ++i)
                if (t.Deck[i].Code == HandCodesOf(t, seat)[k]) slots.push_back(i);
        }
        return slots;
    }
};

std::vector<int> Range(int from, int step, int count) {
    std::vector<int> v;
    for (int k = 0; k < count; ++k) v.push_back(from + k * step);
    return v;
}

TEST(Dealing, PacketsOfThirteenGoToEachSeatInTurn) {
    DealRun run(2, 13);
    EXPECT_EQ(run.t.DealOrder[0], 2);
    EXPECT_EQ(run.t.DealOrder[3], 1);
    run.Run();
    EXPECT_EQ(run.SlotsOf(2), Range(0, 1, 13));
    EXPECT_EQ(run.SlotsOf(3), Range(13, 1, 13));
    EXPECT_EQ(run.SlotsOf(0), Range(26, 1, 13));
    EXPECT_EQ(run.SlotsOf(1), Range(39, 1, 13));
}

TEST(Dealing, SingleCardsGoRoundTheTable) {
    DealRun run(3, 1);
    run.Run();
    EXPECT_EQ(run.SlotsOf(3), Range(0, 4, 13));
    EXPECT_EQ(run.SlotsOf(0), Range(1, 4, 13));
    EXPECT_EQ(run.SlotsOf(1), Range(2, 4, 13));
    EXPECT_EQ(run.SlotsOf(2), Range(3, 4, 13));
}

TEST(Dealing, FrameRoutineDealsFromThePileToSelectTrumps) {
    DealRun run(1, 1);
    TableState& t = run.t;
    // The pile stands before seat 0 (the seat before seat 1): eight cards shown,
    // one pixel apart, slot 0 rightmost and drawn last (on top).
    EXPECT_EQ(t.PileX, 653);
    EXPECT_EQ(t.PileY, 420);
    for (int i = 0; i <= 7; ++i) {
        EXPECT_TRUE(t.Deck[i].Active);
        EXPECT_FALSE(t.Deck[i].FaceUp);
        EXPECT_EQ(t.Deck[i].X, 653 + 8 - i) << i;
        EXPECT_EQ(t.Deck[i].HomeX, 653 + 8 - i);
    }
    EXPECT_EQ(run.s.soundsPlayed, 1u);  // the shuffle

    // Stop after the 47th card has arrived: the pile shows slots 47..51 only.
    run.Run([&] { return t.NextDeckCard == 47 && !t.Deck[46].Moving; });
    EXPECT_EQ(t.Deck[47].X, 653 + 8);
    EXPECT_EQ(t.Deck[51].X, 653 + 8 - 4);
    EXPECT_FALSE(t.Deck[46].Active);

    run.Run();
    EXPECT_EQ(t.GameState, "SELECT TRUMPS");
    EXPECT_EQ(run.flights, 52);
    EXPECT_EQ(t.CardsDealt, 52);
    EXPECT_EQ(t.NextDeckCard, 52);
    EXPECT_EQ(t.CurrentSeat, 0);  // the chooser, seat 1, less one
    EXPECT_FALSE(t.StepPhase);
    for (int seat = 0; seat < 4; ++seat) {
        EXPECT_EQ(HandSizeOf(t, seat), 13);
        for (int i = 0; i <= 12; ++i) {
            const CardSprite& c = HandOf(t, seat)[i];
            EXPECT_TRUE(c.Active);
            EXPECT_EQ(c.FaceUp, seat == 0);
            EXPECT_NEAR(c.X, c.HomeX, 8);
            EXPECT_NEAR(c.Y, c.HomeY, 8);
        }
    }
    for (int i = 0; i < 52; ++i) EXPECT_FALSE(t.Deck[i].Active || t.Deck[i].Moving) << i;
    EXPECT_EQ(run.s.soundsPlayed, 1u + 52u);  // a card sound per flight
}

TEST(Dealing, FlightsTakeMoveStepsFrames) {
    for (bool slow : {false, true}) {
        DealRun run(0, 1);
        run.t.SlowAnimation = slow;
        ComputeLayout(run.t);
        run.Run();
        // One frame sends the card, then it travels about MoveSteps frames.
        const int perFlight = run.frames / 52;
        EXPECT_GE(perFlight, slow ? 20 : 10);
        EXPECT_LE(perFlight, slow ? 21 : 11);
    }
}

TEST(Dealing, SortOrdersBySuitThenFromTheAceDown) {
    TableState t = Ready();
    const int twoClubs = CardCode(2, 0), aceHearts = CardCode(1, 2), kingClubs = CardCode(13, 0),
              tenDiamonds = CardCode(10, 1), threeSpades = CardCode(3, 3);
    const int hand[] = {twoClubs, aceHearts, -1, kingClubs, tenDiamonds, threeSpades};
    for (int i = 0; i < 6; ++i) {
        t.Hand0[i].Active = hand[i] >= 0;
        t.Hand0[i].Code = static_cast<std::int16_t>(hand[i] >= 0 ? hand[i] : 7);
        t.Hand0[i].X = static_cast<float>(100 + i);
    }
    SortHumanHand(t);
    const int want[] = {kingClubs, twoClubs, 7, tenDiamonds, threeSpades, aceHearts};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(t.Hand0[i].Code, want[i]) << "slot " << i;
        EXPECT_EQ(t.Hand0[i].X, 100 + i);  // only codes move
    }
    EXPECT_FALSE(t.Hand0[2].Active);
}

TEST(Dealing, TheEleventhDealIsWrittenToRowZero) {
    TableState t = Ready();
    HeadlessServices s(3u);
    InitMatchTables(t, s);
    for (int deal = 1; deal <= 11; ++deal) {
        NewDeal(t, s);
        t.Contract = 10;
        // Seat 2 takes the king of hearts in deals 1..10, seat 1 in the eleventh.
        const int taker = deal == 11 ? 1 : 2;
        WonPileOf(t, taker)[0].Code = CardCode(13, 2);
        WonCountOf(t, taker) = 1;
        EndDeal(t, s);
        EXPECT_EQ(t.HistoryFull, deal == 10) << "deal " << deal;
    }
    EXPECT_EQ(t.DealIndex, 1);
    EXPECT_EQ(t.DealHistory1[0], 320);
    EXPECT_EQ(t.DealHistory2[0], 0);
    EXPECT_EQ(t.DealHistory2[1], 320);  // deal 2 still on the page below it
    EXPECT_EQ(t.DealHistory2[10], 0);
    EXPECT_EQ(t.MatchTotal2, 10 * 320);
}

}  // namespace
}  // namespace tenfold
