#include <gtest/gtest.h>

#include "core/cards.h"
#include "core/contract_choice.h"
#include "core/dealing.h"
#include "core/movement.h"
#include "frame_driver.h"
#include "scripted_services.h"

namespace tenfold {
namespace {

using test::ClickAt;
using test::KeyPressed;
using test::NoInput;

// A game whose first deal starts with `firstSeat`, run headless.
struct Game {
    TableState t;
    HeadlessServices s;
    explicit Game(int firstSeat, std::uint64_t seed = 21u) : s(seed) {
        t.FirstSeatChosen = true;
        t.FirstSeat = static_cast<std::int16_t>((firstSeat + 3) % 4);
        StartHeadlessGame(t, s);
    }
    int Until(const std::function<bool()>& done, bool autopilot = false) {
        return test::RunUntil(t, s, done, 5000, autopilot);
    }
    void Frame(const InputSnapshot& in) { RunFrame(t, s, in); }
};

TEST(StateMachine, DelayWaitsUntilTheTickPassesItsEnd) {
    TableState t;
    test::ScriptedServices s;
    t.GameState = "NORMAL PLAY";
    s.now = 1000;
    Delay(t, s, 1250);
    EXPECT_EQ(t.GameState, "PAUSED");
    EXPECT_EQ(t.StateAfterDelay, "NORMAL PLAY");
    EXPECT_EQ(DelayEndTick(t), 2251u);
    s.now = 2250;  // exactly at the end: still waiting
    StateMachineStep(t, s);
    EXPECT_EQ(t.GameState, "PAUSED");
    EXPECT_FALSE(t.DelayJustEnded);
    s.now = 2251;
    StateMachineStep(t, s);
    EXPECT_EQ(t.GameState, "NORMAL PLAY");
    EXPECT_TRUE(t.DelayJustEnded);

    // A tick counter that wraps around during the delay still ends it.
    t.GameState = "SHOW CONTRACT";
    s.now = 0xFFFFFF00u;
    Delay(t, s, 1700);
    s.now = 0xFFFFFF00u + 1700u;  // wrapped, and exactly at the end
    StateMachineStep(t, s);
    EXPECT_EQ(t.GameState, "PAUSED");
    s.now += 1;
    StateMachineStep(t, s);
    EXPECT_EQ(t.GameState, "SHOW CONTRACT");
}

TEST(StateMachine, HoldingPTogglesThePauseOnce) {
    Game g(1);
    g.Frame(NoInput());
    const int dealt = g.t.CardsDealt;
    for (int i = 0; i < 5; ++i) g.Frame(KeyPressed(kScanP));
    EXPECT_TRUE(g.t.Paused);
    EXPECT_EQ(g.t.CardsDealt, dealt);  // nothing advances while paused
    const float x = g.t.Deck[dealt - 1].X;
    g.Frame(NoInput());
    EXPECT_EQ(g.t.Deck[dealt - 1].X, x);
    EXPECT_TRUE(g.t.Paused);
    g.Frame(KeyPressed(kScanP));  // a second press resumes
    EXPECT_FALSE(g.t.Paused);
    g.Frame(KeyPressed(kScanP));
    EXPECT_FALSE(g.t.Paused);
    EXPECT_NE(g.t.Deck[dealt - 1].X, x);
}

TEST(StateMachine, EscapeEndsTheFrameAtOnce) {
    Game g(1);
    InputSnapshot in = KeyPressed(kScanEscape);
    in.KeyState[kScanP] = 0x80;
    EXPECT_EQ(RunFrame(g.t, g.s, in), FrameOutcome::Quit);
    EXPECT_FALSE(g.t.Paused);
    EXPECT_EQ(g.t.CardsDealt, 0);
    EXPECT_EQ(RunFrame(g.t, g.s, NoInput()), FrameOutcome::Continue);
}

// Counts the calls of each display hook.
struct CountingHooks : FrameHooks {
    int begin = 0, table = 0, finish = 0;
    void BeginDrawing(TableState&) override { ++begin; }
    void DrawTable(TableState&) override { ++table; }
    void FinishDrawing(TableState&) override { ++finish; }
};

TEST(StateMachine, HooksRunOnlyOnUnpausedFrames) {
    Game g(1);
    CountingHooks hooks;
    RunFrame(g.t, g.s, NoInput(), &hooks);
    RunFrame(g.t, g.s, KeyPressed(kScanP), &hooks);
    RunFrame(g.t, g.s, NoInput(), &hooks);
    EXPECT_EQ(hooks.begin, 1);
    EXPECT_EQ(hooks.table, 1);
    EXPECT_EQ(hooks.finish, 1);
}

TEST(StateMachine, RSortsTheHandWhileTheHumanChoosesAndReturns) {
    Game g(0);  // the human chooses the first contract
    g.Until([&] { return g.t.WaitingForHuman; });
    ASSERT_EQ(g.t.GameState, "SELECT TRUMPS");
    g.Frame(KeyPressed(kScanR));
    EXPECT_EQ(g.t.GameState, "GOTHER AROUND FIRST CARD");
    EXPECT_EQ(g.t.PreviousState, "SELECT TRUMPS");
    std::vector<std::string> road{"GOTHER AROUND FIRST CARD"};
    for (int i = 0; i < 200 && g.t.GameState != "SELECT TRUMPS"; ++i) {
        g.Frame(NoInput());
        if (road.back() != g.t.GameState) road.push_back(g.t.GameState);
    }
    EXPECT_EQ(road, (std::vector<std::string>{"GOTHER AROUND FIRST CARD",
                                              "SPREAD AHEAD FIRST CARD", "SELECT TRUMPS"}));
    EXPECT_TRUE(g.t.WaitingForHuman);
    EXPECT_TRUE(g.t.ContractMenuShown);
    for (int i = 1; i <= 12; ++i) {
        const CardSprite& prev = g.t.Hand0[i - 1];
        const CardSprite& card = g.t.Hand0[i];
        EXPECT_FALSE(card.Moving);
        EXPECT_NEAR(card.X, card.HomeX, 8);
        EXPECT_EQ(card.HomeX, 155 + 33 * i);
        const bool ordered = g.t.CardSuit[prev.Code] < g.t.CardSuit[card.Code] ||
                             (g.t.CardSuit[prev.Code] == g.t.CardSuit[card.Code] &&
                              Strength(g.t, prev.Code) > Strength(g.t, card.Code));
        EXPECT_TRUE(ordered) << "slot " << i;
    }
}

TEST(StateMachine, RIsRefusedWhileCardsMoveOrOnceTheHumanHasPlayed) {
    Game g(1);
    // While dealing: not a state that sorts.
    g.Frame(KeyPressed(kScanR));
    EXPECT_EQ(g.t.GameState, "DEALING CARDS");
    // Seat 0 plays last in the first trick; reach its turn.
    g.Until([&] { return g.t.GameState == "NORMAL PLAY" && g.t.WaitingForHuman; }, true);
    ASSERT_EQ(g.t.CurrentSeat, 0);
    ASSERT_EQ(g.t.HandSize0, 13);
    g.Frame(test::HumanMove(g.t));  // the human's card leaves the hand
    ASSERT_TRUE(AnyCardMoving(g.t));
    g.Frame(KeyPressed(kScanR));
    EXPECT_EQ(g.t.GameState, "NORMAL PLAY");
    // After the first card the hand holds twelve: no more sorting in this deal.
    g.Until([&] { return g.t.HandSize0 == 12 && g.t.GameState == "NORMAL PLAY"; });
    g.Frame(KeyPressed(kScanR));
    EXPECT_NE(g.t.GameState, "GOTHER AROUND FIRST CARD");
}

TEST(StateMachine, AComputerChoiceIsAnnouncedAndTheChooserLeads1700msLater) {
    Game g(2);
    g.Until([&] { return g.t.GameState == "SELECT TRUMPS"; });
    EXPECT_EQ(g.t.CurrentSeat, 1);
    g.Frame(NoInput());
    EXPECT_EQ(g.t.CurrentSeat, 2);
    EXPECT_TRUE(g.t.StepPhase);
    EXPECT_GE(g.t.Contract, 1);
    g.Frame(NoInput());
    EXPECT_EQ(g.t.GameState, "SHOW CONTRACT");
    EXPECT_TRUE(g.t.ContractAnnounced);
    EXPECT_EQ(g.t.CurrentSeat, 1);
    g.Frame(NoInput());
    g.Frame(NoInput());
    ASSERT_EQ(g.t.GameState, "PAUSED");
    EXPECT_EQ(g.t.DelayLength, 1700);
    const std::uint32_t announced = g.s.clock.now;
    g.s.clock.now = announced + 1700;
    g.Frame(NoInput());
    EXPECT_EQ(g.t.GameState, "PAUSED");
    g.s.clock.now = announced + 1701;
    g.Frame(NoInput());  // the delay ends
    g.Frame(NoInput());  // the chooser throws
    EXPECT_EQ(g.t.CurrentSeat, 2);
    EXPECT_TRUE(AnyCardMoving(g.t));
    EXPECT_FALSE(g.t.ContractAnnounced);
}

TEST(StateMachine, MenuClicksCountOnlyWhileTheHumanChooses) {
    Game g(3);
    g.Until([&] { return g.t.GameState == "SELECT TRUMPS"; });
    // Rows placed by an earlier menu would still answer the pointer.
    MenuAvailability(g.t);
    const ContractButton row = g.t.ContractButtons[8];
    g.Frame(ClickAt(row.X + 10, row.Y + 10));  // seat 3 chooses in this frame
    g.Frame(ClickAt(row.X + 10, row.Y + 10));
    EXPECT_EQ(g.t.GameState, "SHOW CONTRACT");
    EXPECT_EQ(g.t.SeatRecords[0].NegativeContractsChosen, 0);
    EXPECT_EQ(g.t.SeatRecords[0].TrumpContractsChosen, 0);
}

TEST(StateMachine, TheHumanChoosesByClickingARowEvenWhilePaused) {
    Game g(0);
    g.Until([&] { return g.t.WaitingForHuman; });
    g.Frame(KeyPressed(kScanP));
    ASSERT_TRUE(g.t.Paused);
    const ContractButton row = g.t.ContractButtons[4];
    g.Frame(ClickAt(row.X + 10, row.Y + 10));
    EXPECT_EQ(g.t.Contract, 5);
    EXPECT_EQ(g.t.GameState, "SELECT TRUMPS");  // the choice goes on after the pause
    g.Frame(KeyPressed(kScanP));
    EXPECT_EQ(g.t.GameState, "SHOW CONTRACT");
    EXPECT_EQ(g.t.CurrentSeat, 3);  // the human leads
    EXPECT_EQ(g.t.SeatRecords[0].NegativeContractsChosen, 1);
}

TEST(StateMachine, ACardClickWhilePausedIsNotTakenAndTheTurnGoesOn) {
    Game g(0);
    g.Until([&] { return g.t.GameState == "NORMAL PLAY" && g.t.WaitingForHuman; }, true);
    const InputSnapshot click = test::HumanMove(g.t);
    ASSERT_TRUE(click.LeftButton);
    g.Frame(KeyPressed(kScanP));
    g.Frame(click);
    EXPECT_FALSE(g.t.HumanHasPlayed);  // not accepted, so not stranded
    EXPECT_FALSE(AnyCardMoving(g.t));
    g.Frame(KeyPressed(kScanP));
    g.Frame(click);
    EXPECT_TRUE(g.t.HumanHasPlayed);
    EXPECT_TRUE(AnyCardMoving(g.t));  // thrown in the same frame
    g.Until([&] { return g.t.CardsPlayed == 1; });
    EXPECT_FALSE(g.t.WaitingForHuman);
    EXPECT_EQ(g.t.HandSize0, 12);
}

TEST(StateMachine, CardClicksCountOnlyWhenTheHumanIsWaitedFor) {
    // First seat 1: at the first frame of play CurrentSeat is still 0.
    Game g(1);
    g.Until([&] { return g.t.GameState == "NORMAL PLAY"; });
    ASSERT_EQ(g.t.CurrentSeat, 0);
    ASSERT_FALSE(g.t.WaitingForHuman);
    const CardSprite& first = g.t.Hand0[0];
    g.Frame(ClickAt(static_cast<int>(first.X) + 2, static_cast<int>(first.Y) + 2));
    EXPECT_FALSE(g.t.HumanHasPlayed);
    EXPECT_EQ(g.t.CurrentSeat, 1);  // seat 1 leads as it should
    EXPECT_TRUE(g.t.Hand1[g.t.ComputerCardIndex].Moving);
}

TEST(StateMachine, AClickAtTheEndOfADealStartsTheNextDealAtOnce) {
    Game g(2);
    g.Until([&] { return g.t.GameState == "END OF MATCH"; }, true);
    ASSERT_EQ(g.t.GameState, "END OF MATCH");
    EXPECT_EQ(g.t.DealsPlayed, 1);
    g.Frame(NoInput());
    EXPECT_EQ(g.t.GameState, "END OF MATCH");  // waits for the click
    g.Frame(ClickAt(10, 10));
    EXPECT_EQ(g.t.GameState, "DEALING CARDS");
    EXPECT_EQ(g.t.FirstSeat, 3);
    EXPECT_EQ(g.t.CardsDealt, 1);  // the first card left in the same frame
    g.Frame(ClickAt(10, 10));      // holding the button changes nothing more
    EXPECT_EQ(g.t.GameState, "DEALING CARDS");
    EXPECT_EQ(g.t.DealsPlayed, 1);
}

}  // namespace
}  // namespace tenfold
