#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ai/headless_game.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/scoring.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

// A player that is never asked anything during a deal.
struct Silent : ComputerPlayer {
    Contract ChooseContract(const TableState&, int, RandomSource&) override { return Contract::Clubs; }
    Card ChooseCard(const TableState&, int) override { return 0; }
    int dealsStarted = 0;
    void DealStarted(const TableState&) override { ++dealsStarted; }
};

TEST(Dealing, ShuffleIsAPermutationAndDrawsAgainOnARepeat) {
    for (std::uint64_t seed : {1u, 99u, 12345u}) {
        TableState t;
        HeadlessServices s(seed);
        Shuffle(t, s);
        std::set<int> cards;
        for (const CardSprite& c : t.deck.cards) cards.insert(c.card);
        EXPECT_EQ(cards.size(), 52u);
        EXPECT_EQ(*cards.begin(), 0);
        EXPECT_EQ(*cards.rbegin(), 51);
    }
    // A scripted draw: card 5, card 5 again (drawn anew), then 0..51 in order.
    TableState t;
    test::ScriptedServices s;
    s.script = {5.5f / 52, 5.5f / 52};
    for (int i = 0; i < 52; ++i) s.script.push_back((static_cast<float>(i) + 0.5f) / 52);
    Shuffle(t, s);
    EXPECT_EQ(t.deck.cards[0].card, 5);
    EXPECT_EQ(t.deck.cards[1].card, 0);
    EXPECT_EQ(t.deck.cards[5].card, 4);
    EXPECT_EQ(t.deck.cards[6].card, 6);
    EXPECT_EQ(t.deck.cards[51].card, 51);
}

TEST(Dealing, FirstSeatIsDrawnOnceThenRotatesAcrossMatches) {
    TableState t;
    ComputeLayout(t);
    test::ScriptedServices s;
    s.script = {0.6f};  // first seat 2
    EXPECT_EQ(NextFirstSeat(t, s), 2);
    EXPECT_TRUE(t.firstSeatChosen);
    t.firstSeat = 2;
    // Scripted values repeat, so the deals get a generator of their own.
    HeadlessServices shuffler(5u);
    Silent players;
    std::vector<int> seats;
    for (int deal = 0; deal < 3; ++deal) {
        NewDeal(t, shuffler, players);
        seats.push_back(t.firstSeat);
        EXPECT_EQ(t.currentSeat, t.firstSeat);
    }
    EXPECT_EQ(players.dealsStarted, 3);
    // A new match keeps the rotation going and resets the match.
    t.match.over = true;
    t.match.dealsPlayed = 20;
    t.seats[2].matchTotal = 700;
    t.contractUses[Index(Contract::NoQueens)] = 2;
    t.seats[1].trumpContractsChosen = 2;
    NewDeal(t, shuffler, players);
    seats.push_back(t.firstSeat);
    EXPECT_EQ(seats, (std::vector<int>{3, 0, 1, 2}));
    EXPECT_FALSE(t.match.over);
    EXPECT_EQ(t.match.dealsPlayed, 0);
    EXPECT_EQ(t.seats[2].matchTotal, 0);
    EXPECT_EQ(t.contractUses[Index(Contract::NoQueens)], 0);
    EXPECT_EQ(t.seats[1].trumpContractsChosen, 0);
    EXPECT_NE(t.seats[1].name, "") << "the new match's opponents are named";
}

// Deals a whole hand through the frame routine from a chosen first seat.
struct DealRun {
    HeadlessGame game{11u};
    TableState& t = game.table;
    int flights = 0;
    int frames = 0;

    DealRun(int firstSeat, int packet, bool slow = false) {
        t.options.dealPacketSize = static_cast<std::int16_t>(packet);
        t.options.slowAnimation = slow;
        t.firstSeatChosen = true;
        t.firstSeat = static_cast<std::int16_t>(PreviousSeat(firstSeat));  // the deal steps it on
        game.Start();
    }
    // Runs frames until the deal is done or `stop` holds.
    void Run(const std::function<bool()>& stop = [] { return false; }) {
        while (t.flow.state == GameState::Dealing && frames < 2000 && !stop()) {
            const int before = t.deck.nextCard;
            game.Frame(PlayerInput{});
            flights += t.deck.nextCard - before;
            ++frames;
        }
    }
    // Deck positions, in order, whose cards ended in the seat's hand.
    std::vector<int> DeckPositionsOf(int seat) {
        std::vector<int> positions;
        for (const CardSprite& slot : t.seats[seat].hand) {
            for (int i = 0; i < kDeckSize; ++i)
                if (slot.active && t.deck.cards[i].card == slot.card) positions.push_back(i);
        }
        return positions;
    }
};

std::vector<int> Range(int from, int step, int count) {
    std::vector<int> v;
    for (int k = 0; k < count; ++k) v.push_back(from + k * step);
    return v;
}

TEST(Dealing, PacketsOfThirteenGoToEachSeatInTurn) {
    DealRun run(2, 13);
    run.Run();
    EXPECT_EQ(run.DeckPositionsOf(2), Range(0, 1, 13));
    EXPECT_EQ(run.DeckPositionsOf(3), Range(13, 1, 13));
    EXPECT_EQ(run.DeckPositionsOf(0), Range(26, 1, 13));
    EXPECT_EQ(run.DeckPositionsOf(1), Range(39, 1, 13));
}

TEST(Dealing, SingleCardsGoRoundTheTable) {
    DealRun run(3, 1);
    run.Run();
    EXPECT_EQ(run.DeckPositionsOf(3), Range(0, 4, 13));
    EXPECT_EQ(run.DeckPositionsOf(0), Range(1, 4, 13));
    EXPECT_EQ(run.DeckPositionsOf(1), Range(2, 4, 13));
    EXPECT_EQ(run.DeckPositionsOf(2), Range(3, 4, 13));
}

TEST(Dealing, FrameRoutineDealsFromThePileToTheContract) {
    DealRun run(1, 1);
    TableState& t = run.t;
    // The pile stands before seat 0 (the seat before seat 1): eight cards shown,
    // one pixel apart, the next card rightmost and drawn last (on top).
    EXPECT_EQ(t.deck.pile.x, 653);
    EXPECT_EQ(t.deck.pile.y, 420);
    for (int i = 0; i <= 7; ++i) {
        EXPECT_TRUE(t.deck.cards[i].active);
        EXPECT_FALSE(t.deck.cards[i].faceUp);
        EXPECT_EQ(t.deck.cards[i].x, 653 + 8 - i) << i;
        EXPECT_EQ(t.deck.cards[i].home.x, 653 + 8 - i);
    }
    EXPECT_EQ(run.game.services.soundsPlayed, 1u);  // the shuffle

    // Stop after the 47th card has arrived: the pile shows cards 47..51 only.
    run.Run([&] { return t.deck.nextCard == 47 && !t.deck.cards[46].moving; });
    EXPECT_EQ(t.deck.cards[47].x, 653 + 8);
    EXPECT_EQ(t.deck.cards[51].x, 653 + 8 - 4);
    EXPECT_FALSE(t.deck.cards[46].active);

    run.Run();
    EXPECT_EQ(t.flow.state, GameState::ChoosingContract);
    EXPECT_EQ(run.flights, 52);
    EXPECT_EQ(t.currentSeat, 0);  // the chooser, seat 1, less one
    EXPECT_FALSE(t.flow.stepPhase);
    for (int seat = 0; seat < kSeatCount; ++seat) {
        EXPECT_EQ(HandSize(t, seat), 13);
        for (const CardSprite& c : t.seats[seat].hand) {
            EXPECT_EQ(c.faceUp, seat == 0);
            EXPECT_NEAR(c.x, c.home.x, 8);
            EXPECT_NEAR(c.y, c.home.y, 8);
        }
    }
    for (const CardSprite& c : t.deck.cards) EXPECT_FALSE(c.active || c.moving);
    EXPECT_EQ(run.game.services.soundsPlayed, 1u + 52u);  // a card sound per flight
}

TEST(Dealing, FlightsTakeMoveStepsFrames) {
    for (bool slow : {false, true}) {
        DealRun run(0, 1, slow);
        run.Run();
        // One frame sends the card, then it travels about moveSteps frames.
        const int perFlight = run.frames / 52;
        EXPECT_GE(perFlight, slow ? 20 : 10);
        EXPECT_LE(perFlight, slow ? 21 : 11);
    }
}

TEST(Dealing, SortOrdersBySuitThenFromTheAceDown) {
    TableState t = test::TableUnder();
    test::Deal(t, 0, {"2C"_card, "AH"_card, "7S"_card, "KC"_card, "10D"_card, "3S"_card});
    t.seats[0].hand[2].active = false;  // played: keeps its card, takes no part
    SortHumanHand(t);
    const Card want[] = {"KC"_card, "2C"_card, "7S"_card, "10D"_card, "3S"_card, "AH"_card};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(t.seats[0].hand[i].card, want[i]) << "slot " << i;
        EXPECT_EQ(t.seats[0].hand[i].home.x, HandSlotHome(t, 0, i).x);  // only cards move
    }
    EXPECT_FALSE(t.seats[0].hand[2].active);
}

TEST(Dealing, TheEleventhDealIsWrittenToRowZero) {
    TableState t;
    ComputeLayout(t);
    HeadlessServices s(3u);
    Silent players;
    for (int deal = 1; deal <= 11; ++deal) {
        NewDeal(t, s, players);
        t.contract = Contract::NoKingOfHearts;
        // Seat 2 takes the king of hearts in deals 1..10, seat 1 in the eleventh.
        test::Won(t, deal == 11 ? 1 : 2, {"KH"_card});
        EndDeal(t, s);
        EXPECT_EQ(t.match.historyFull, deal == 10) << "deal " << deal;
    }
    EXPECT_EQ(t.match.historyRows, 1);
    EXPECT_EQ(t.seats[1].history[0], 320);
    EXPECT_EQ(t.seats[2].history[0], 0);
    EXPECT_EQ(t.seats[2].history[1], 320);  // deal 2 still on the page below it
    EXPECT_EQ(t.seats[2].matchTotal, 10 * 320);
}

}  // namespace
}  // namespace tenfold
