#include <gtest/gtest.h>

#include "ai/headless_game.h"
#include "core/contract_choice.h"
#include "core/dealing.h"
#include "core/movement.h"
#include "support/printers.h"
#include "support/scripted_services.h"

namespace tenfold {
namespace {

PlayerInput NoInput() { return PlayerInput{}; }
PlayerInput ClickAt(int x, int y) {
    PlayerInput in;
    in.x = x;
    in.y = y;
    in.click = true;
    return in;
}
PlayerInput Pause() {
    PlayerInput in;
    in.pause = true;
    return in;
}
PlayerInput Sort() {
    PlayerInput in;
    in.sort = true;
    return in;
}

// A headless game whose first deal starts with `firstSeat`.
struct Game {
    HeadlessGame game;
    TableState& t = game.table;
    explicit Game(int firstSeat, std::uint64_t seed = 21u) : game(seed) {
        // The frame routine as it always was; the aids' keys have their own tests.
        t.options.classicTable = true;
        t.firstSeatChosen = true;
        t.firstSeat = static_cast<std::int16_t>(PreviousSeat(firstSeat));
        game.Start();
    }
    // Frames with delays ended at once, the human's seat played by the
    // autopilot only when asked, until `done`.
    void Until(const std::function<bool()>& done, bool autopilot = false) {
        game.RunUntil(done, 5000, autopilot);
    }
    FrameOutcome Frame(const PlayerInput& in) { return game.Frame(in); }
    std::uint32_t& Clock() { return game.services.clock.now; }
};

TEST(StateMachine, DelayWaitsUntilTheTickPassesItsEnd) {
    TableState t;
    test::ScriptedServices s;
    ClassicPlayer players;
    t.flow.state = GameState::Playing;
    s.now = 1000;
    Delay(t, s, 1250);
    EXPECT_EQ(t.flow.state, GameState::Waiting);
    EXPECT_EQ(t.flow.stateAfterDelay, GameState::Playing);
    EXPECT_EQ(DelayEndTick(t), 2251u);
    s.now = 2250;  // exactly at the end: still waiting
    StateMachineStep(t, s, players);
    EXPECT_EQ(t.flow.state, GameState::Waiting);
    EXPECT_FALSE(t.flow.delayJustEnded);
    s.now = 2251;
    StateMachineStep(t, s, players);
    EXPECT_EQ(t.flow.state, GameState::Playing);
    EXPECT_TRUE(t.flow.delayJustEnded);

    // A tick counter that wraps around during the delay still ends it.
    t.flow.state = GameState::ShowingContract;
    s.now = 0xFFFFFF00u;
    Delay(t, s, 1700);
    s.now = 0xFFFFFF00u + 1700u;  // wrapped, and exactly at the end
    StateMachineStep(t, s, players);
    EXPECT_EQ(t.flow.state, GameState::Waiting);
    s.now += 1;
    StateMachineStep(t, s, players);
    EXPECT_EQ(t.flow.state, GameState::ShowingContract);
}

TEST(StateMachine, HoldingPauseTogglesItOnce) {
    Game g(1);
    g.Frame(NoInput());
    const int dealt = g.t.deck.nextCard;
    for (int i = 0; i < 5; ++i) g.Frame(Pause());
    EXPECT_TRUE(g.t.flow.paused);
    EXPECT_EQ(g.t.deck.nextCard, dealt);  // nothing advances while paused
    const float x = g.t.deck.cards[dealt - 1].x;
    g.Frame(NoInput());
    EXPECT_EQ(g.t.deck.cards[dealt - 1].x, x);
    EXPECT_TRUE(g.t.flow.paused);
    g.Frame(Pause());  // a second press resumes
    EXPECT_FALSE(g.t.flow.paused);
    g.Frame(Pause());
    EXPECT_FALSE(g.t.flow.paused);
    EXPECT_NE(g.t.deck.cards[dealt - 1].x, x);
}

TEST(StateMachine, QuitEndsTheFrameAtOnce) {
    Game g(1);
    PlayerInput in = Pause();
    in.quit = true;
    EXPECT_EQ(g.Frame(in), FrameOutcome::Quit);
    EXPECT_FALSE(g.t.flow.paused);
    EXPECT_EQ(g.t.deck.nextCard, 0);
    EXPECT_EQ(g.Frame(NoInput()), FrameOutcome::Continue);
}

// Counts the calls of each display hook.
struct CountingHooks : FrameHooks {
    int begin = 0, table = 0, finish = 0;
    void BeginDrawing(const TableState&) override { ++begin; }
    void DrawTable(const TableState&) override { ++table; }
    void FinishDrawing(const TableState&) override { ++finish; }
};

TEST(StateMachine, HooksRunOnlyOnUnpausedFrames) {
    Game g(1);
    CountingHooks hooks;
    RunFrame(g.t, g.game.services, g.game.players, NoInput(), &hooks);
    RunFrame(g.t, g.game.services, g.game.players, Pause(), &hooks);
    RunFrame(g.t, g.game.services, g.game.players, NoInput(), &hooks);
    EXPECT_EQ(hooks.begin, 1);
    EXPECT_EQ(hooks.table, 1);
    EXPECT_EQ(hooks.finish, 1);
}

TEST(StateMachine, SortWhileTheHumanChoosesReturnsToTheChoice) {
    Game g(0);  // the human chooses the first contract
    g.Until([&] { return g.t.human.waiting; });
    ASSERT_EQ(g.t.flow.state, GameState::ChoosingContract);
    g.Frame(Sort());
    EXPECT_EQ(g.t.flow.state, GameState::GatheringHand);
    EXPECT_EQ(g.t.flow.stateBeforeSort, GameState::ChoosingContract);
    std::vector<GameState> road{GameState::GatheringHand};
    for (int i = 0; i < 200 && g.t.flow.state != GameState::ChoosingContract; ++i) {
        g.Frame(NoInput());
        if (road.back() != g.t.flow.state) road.push_back(g.t.flow.state);
    }
    EXPECT_EQ(road, (std::vector<GameState>{GameState::GatheringHand, GameState::SpreadingHand,
                                            GameState::ChoosingContract}));
    EXPECT_TRUE(g.t.human.waiting);
    EXPECT_TRUE(g.t.menu.shown);
    const auto& hand = g.t.seats[0].hand;
    for (int i = 1; i < kHandSize; ++i) {
        const Card prev = hand[i - 1].card;
        const Card card = hand[i].card;
        EXPECT_FALSE(hand[i].moving);
        EXPECT_NEAR(hand[i].x, hand[i].home.x, 8);
        EXPECT_EQ(hand[i].home.x, 155 + 33 * i);
        const bool ordered = SuitOf(prev) < SuitOf(card) ||
                             (SuitOf(prev) == SuitOf(card) && StrengthOf(prev) > StrengthOf(card));
        EXPECT_TRUE(ordered) << "slot " << i;
    }
}

TEST(StateMachine, SortIsRefusedWhileCardsMoveOrOnceTheHumanHasPlayed) {
    Game g(1);
    // While dealing: not a state that sorts.
    g.Frame(Sort());
    EXPECT_EQ(g.t.flow.state, GameState::Dealing);
    // Seat 0 plays last in the first trick; reach its turn.
    g.Until([&] { return g.t.flow.state == GameState::Playing && g.t.human.waiting; }, true);
    ASSERT_EQ(g.t.currentSeat, 0);
    ASSERT_EQ(HandSize(g.t, 0), 13);
    g.Frame(*g.game.pilot.Decide(g.t));  // the human's card leaves the hand
    ASSERT_TRUE(AnyCardMoving(g.t));
    g.Frame(Sort());
    EXPECT_EQ(g.t.flow.state, GameState::Playing);
    // After the first card the hand holds twelve: no more sorting in this deal.
    g.Until([&] { return HandSize(g.t, 0) == 12 && g.t.flow.state == GameState::Playing; });
    g.Frame(Sort());
    EXPECT_NE(g.t.flow.state, GameState::GatheringHand);
}

TEST(StateMachine, AComputerChoiceIsAnnouncedAndTheChooserLeads1700msLater) {
    Game g(2);
    g.Until([&] { return g.t.flow.state == GameState::ChoosingContract; });
    EXPECT_EQ(g.t.currentSeat, 1);
    g.Frame(NoInput());
    EXPECT_EQ(g.t.currentSeat, 2);
    EXPECT_TRUE(g.t.flow.stepPhase);
    EXPECT_NE(g.t.contract, Contract::None);
    g.Frame(NoInput());
    EXPECT_EQ(g.t.flow.state, GameState::ShowingContract);
    EXPECT_TRUE(g.t.contractAnnounced);
    EXPECT_EQ(g.t.currentSeat, 1);
    g.Frame(NoInput());
    g.Frame(NoInput());
    ASSERT_EQ(g.t.flow.state, GameState::Waiting);
    EXPECT_EQ(g.t.flow.delayLength, 1700);
    const std::uint32_t announced = g.Clock();
    g.Clock() = announced + 1700;
    g.Frame(NoInput());
    EXPECT_EQ(g.t.flow.state, GameState::Waiting);
    g.Clock() = announced + 1701;
    g.Frame(NoInput());  // the delay ends
    g.Frame(NoInput());  // the chooser throws
    EXPECT_EQ(g.t.currentSeat, 2);
    EXPECT_TRUE(AnyCardMoving(g.t));
    EXPECT_FALSE(g.t.contractAnnounced);
}

TEST(StateMachine, MenuClicksCountOnlyWhileTheHumanChooses) {
    Game g(3);
    g.Until([&] { return g.t.flow.state == GameState::ChoosingContract; });
    // Rows placed by an earlier menu would still answer the pointer.
    OpenContractMenu(g.t);
    const MenuRow row = g.t.menu.rows[8];
    g.Frame(ClickAt(row.x + 10, row.y + 10));  // seat 3 chooses in this frame
    g.Frame(ClickAt(row.x + 10, row.y + 10));
    EXPECT_EQ(g.t.flow.state, GameState::ShowingContract);
    EXPECT_EQ(g.t.seats[0].negativeContractsChosen, 0);
    EXPECT_EQ(g.t.seats[0].trumpContractsChosen, 0);
}

TEST(StateMachine, TheHumanChoosesByClickingARowEvenWhilePaused) {
    Game g(0);
    g.Until([&] { return g.t.human.waiting; });
    g.Frame(Pause());
    ASSERT_TRUE(g.t.flow.paused);
    const MenuRow row = g.t.menu.rows[Index(Contract::NoTricks)];
    g.Frame(ClickAt(row.x + 10, row.y + 10));
    EXPECT_EQ(g.t.contract, Contract::NoTricks);
    EXPECT_EQ(g.t.flow.state, GameState::ChoosingContract) << "the choice goes on after the pause";
    g.Frame(Pause());
    EXPECT_EQ(g.t.flow.state, GameState::ShowingContract);
    EXPECT_EQ(g.t.currentSeat, 3) << "so that the human leads";
    EXPECT_EQ(g.t.seats[0].negativeContractsChosen, 1);
}

TEST(StateMachine, ACardClickWhilePausedIsNotTakenAndTheTurnGoesOn) {
    Game g(0);
    g.Until([&] { return g.t.flow.state == GameState::Playing && g.t.human.waiting; }, true);
    const PlayerInput click = *g.game.pilot.Decide(g.t);
    g.Frame(Pause());
    g.Frame(click);
    EXPECT_FALSE(g.t.human.hasPlayed);  // not accepted, so not stranded
    EXPECT_FALSE(AnyCardMoving(g.t));
    g.Frame(Pause());
    g.Frame(click);
    EXPECT_TRUE(g.t.human.hasPlayed);
    EXPECT_TRUE(AnyCardMoving(g.t)) << "thrown in the same frame";
    g.Until([&] { return g.t.trick.cardsPlayed == 1; });
    EXPECT_FALSE(g.t.human.waiting);
    EXPECT_EQ(HandSize(g.t, 0), 12);
}

TEST(StateMachine, CardClicksCountOnlyWhenTheHumanIsWaitedFor) {
    // First seat 1: at the first frame of play currentSeat is still 0.
    Game g(1);
    g.Until([&] { return g.t.flow.state == GameState::Playing; });
    ASSERT_EQ(g.t.currentSeat, 0);
    ASSERT_FALSE(g.t.human.waiting);
    const CardSprite& first = g.t.seats[0].hand[0];
    g.Frame(ClickAt(static_cast<int>(first.x) + 2, static_cast<int>(first.y) + 2));
    EXPECT_FALSE(g.t.human.hasPlayed);
    EXPECT_EQ(g.t.currentSeat, 1) << "seat 1 leads as it should";
    EXPECT_TRUE(g.t.seats[1].hand[g.t.trick.computerSlot].moving);
}

TEST(StateMachine, AClickAtTheEndOfADealStartsTheNextDealAtOnce) {
    Game g(2);
    g.Until([&] { return g.t.flow.state == GameState::DealOver; }, true);
    ASSERT_EQ(g.t.flow.state, GameState::DealOver);
    EXPECT_EQ(g.t.match.dealsPlayed, 1);
    g.Frame(NoInput());
    EXPECT_EQ(g.t.flow.state, GameState::DealOver) << "waits for the click";
    g.Frame(ClickAt(10, 10));
    EXPECT_EQ(g.t.flow.state, GameState::Dealing);
    EXPECT_EQ(g.t.firstSeat, 3);
    EXPECT_EQ(g.t.deck.nextCard, 1) << "the first card left in the same frame";
    g.Frame(ClickAt(10, 10));  // holding the button changes nothing more
    EXPECT_EQ(g.t.flow.state, GameState::Dealing);
    EXPECT_EQ(g.t.match.dealsPlayed, 1);
}

}  // namespace
}  // namespace tenfold
