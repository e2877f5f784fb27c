// The table aids' questions and the frame routine's answers to their keys:
// a refusal names the rule that refused, the keyboard walks only playable
// cards and plays through the click's road, the last trick held up changes
// nothing, and Escape asks before it leaves a match.
#include <gtest/gtest.h>

#include <vector>

#include "ai/headless_game.h"
#include "core/movement.h"
#include "core/scoring.h"
#include "core/table_aids.h"
#include "core/trick_play.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

// The human to play under `contract`, holding `hand`, with `trick` on the
// table (played by the seats before him).
TableState HumanToPlayWith(Contract contract, std::initializer_list<Card> hand,
                           std::initializer_list<Card> trick, bool heartsBroken = false) {
    TableState t = test::TableUnder(contract);
    t.flow.state = GameState::Playing;
    t.currentSeat = kHumanSeat;
    t.human.waiting = true;
    test::Deal(t, kHumanSeat, hand);
    test::Lay(t, trick);
    // Lay counts the current seat as the last player; the human is still to play.
    for (int i = 0; i < t.trick.count; ++i)
        t.trick.cards[i].seat = static_cast<std::int8_t>((kSeatCount - t.trick.count + i) % kSeatCount);
    t.trick.heartsBroken = heartsBroken;
    return t;
}

TEST(Refusals, EachRuleIsNamedWithItsHint) {
    struct Case {
        const char* rule;
        Contract contract;
        std::initializer_list<Card> hand;
        std::initializer_list<Card> trick;
        Card card;
        Refusal why;
        const char* hint;
    };
    const Case cases[] = {
        {"follow suit",
         Contract::NoTricks,
         {"2H"_card, "5C"_card},
         {"9H"_card},
         "5C"_card,
         Refusal::FollowSuit,
         "Follow suit: hearts"},
        {"no heart lead",
         Contract::NoHearts,
         {"2H"_card, "5C"_card},
         {},
         "2H"_card,
         Refusal::HeartsNotBroken,
         "Hearts may not be led yet"},
        {"king of hearts",
         Contract::NoKingOfHearts,
         {"KH"_card, "5S"_card},
         {"9C"_card},
         "5S"_card,
         Refusal::ShedKingOfHearts,
         "No clubs left: play the king of hearts"},
        {"queen",
         Contract::NoQueens,
         {"QS"_card, "5S"_card},
         {"9C"_card},
         "5S"_card,
         Refusal::ShedQueen,
         "No clubs left: play a queen"},
        {"king or jack",
         Contract::NoKingsAndJacks,
         {"JD"_card, "5S"_card},
         {"9C"_card},
         "5S"_card,
         Refusal::ShedKingOrJack,
         "No clubs left: play a king or a jack"},
        {"heart",
         Contract::NoHearts,
         {"3H"_card, "5S"_card},
         {"9C"_card},
         "5S"_card,
         Refusal::ShedHeart,
         "No clubs left: play a heart"},
        {"trump",
         Contract::Spades,
         {"3S"_card, "5D"_card},
         {"9C"_card},
         "5D"_card,
         Refusal::PlayTrump,
         "No clubs left: play a trump (spades)"},
        // Allowed plays: no refusal and no hint.
        {"followed", Contract::NoTricks, {"2H"_card, "5C"_card}, {"9H"_card}, "2H"_card, Refusal::None, ""},
        {"hearts only", Contract::NoHearts, {"2H"_card, "5H"_card}, {}, "2H"_card, Refusal::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        const TableState t = HumanToPlayWith(c.contract, c.hand, c.trick);
        EXPECT_EQ(WhyHumanRefused(t, c.card), c.why);
        EXPECT_EQ(WhyHumanRefused(t, c.card) == Refusal::None, IsLegalForHuman(t, c.card));
        EXPECT_EQ(RefusalHint(t, WhyHumanRefused(t, c.card)), c.hint);
    }
}

// A computer player that remembers every play it hears.
struct ListeningPlayer : ClassicPlayer {
    std::vector<std::pair<int, Card>> heard;
    void HearPlay(const TableState& t, int seat, Card c) override {
        heard.emplace_back(seat, c);
        ClassicPlayer::HearPlay(t, seat, c);
    }
};

PlayerInput Keys(bool left, bool right, bool confirm) {
    PlayerInput in;
    in.left = left;
    in.right = right;
    in.confirm = confirm;
    return in;
}

TEST(KeyboardPlay, FocusWalksOnlyThePlayableCardsBothWaysAndWraps) {
    // Hearts led: slots 1 and 3 may be played, the rest not.
    const TableState t = HumanToPlayWith(
        Contract::NoTricks, {"2C"_card, "4H"_card, "9S"_card, "KH"_card, "AD"_card}, {"9H"_card});
    EXPECT_EQ(StepFocus(t, -1, 1), 1);
    EXPECT_EQ(StepFocus(t, 1, 1), 3);
    EXPECT_EQ(StepFocus(t, 3, 1), 1);
    EXPECT_EQ(StepFocus(t, -1, -1), 3);
    EXPECT_EQ(StepFocus(t, 3, -1), 1);
    EXPECT_EQ(StepFocus(t, 2, 1), 1) << "from an unplayable card: the first playable one";
    EXPECT_EQ(StepFocus(t, 2, -1), 3);
}

TEST(KeyboardPlay, EnterPlaysTheFocusedCardThroughTheClickRoad) {
    const auto hand = {"2C"_card, "4H"_card, "9S"_card, "KH"_card, "AD"_card};
    test::ScriptedServices s;
    // By keys: Right twice (slots 1, then 3), then Enter.
    TableState byKeys = HumanToPlayWith(Contract::NoTricks, hand, {"9H"_card});
    ListeningPlayer keysHeard;
    ASSERT_EQ(RunFrame(byKeys, s, keysHeard, Keys(false, true, false)), FrameOutcome::Continue);
    ASSERT_EQ(RunFrame(byKeys, s, keysHeard, Keys(false, true, false)), FrameOutcome::Continue);
    EXPECT_EQ(byKeys.aids.focusSlot, 3);
    EXPECT_TRUE(keysHeard.heard.empty()) << "moving the focus plays nothing";
    RunFrame(byKeys, s, keysHeard, Keys(false, false, true));

    // By a click on the same card.
    TableState byClick = HumanToPlayWith(Contract::NoTricks, hand, {"9H"_card});
    ListeningPlayer clickHeard;
    PlayerInput click;
    click.click = true;
    click.x = byClick.seats[0].hand[3].x + 50;
    click.y = byClick.seats[0].hand[3].y + 50;
    RunFrame(byClick, s, clickHeard, click);

    EXPECT_EQ(keysHeard.heard, (std::vector<std::pair<int, Card>>{{kHumanSeat, "KH"_card}}));
    EXPECT_EQ(keysHeard.heard, clickHeard.heard);
    // The same card thrown, the same turn state: the focus is all that differs.
    byKeys.aids = byClick.aids;
    EXPECT_TRUE(byKeys == byClick);
    EXPECT_TRUE(byKeys.human.hasPlayed);
    EXPECT_TRUE(byKeys.seats[0].hand[3].moving);
}

TEST(KeyboardPlay, AClassicTableIgnoresTheNewKeys) {
    TableState t = HumanToPlayWith(Contract::NoTricks, {"2C"_card, "4H"_card}, {"9H"_card});
    t.options.classicTable = true;
    test::ScriptedServices s;
    ListeningPlayer players;
    RunFrame(t, s, players, Keys(false, true, false));
    RunFrame(t, s, players, Keys(false, false, true));
    EXPECT_TRUE(players.heard.empty());
    EXPECT_EQ(t.aids, TableAids{});
}

TEST(KeyboardPlay, UpDownAndEnterChooseAContractByTheMenusRoad) {
    HeadlessGame game(5);
    TableState& t = game.table;
    t.firstSeatChosen = true;
    t.firstSeat = kLeftSeat;  // the next deal is the human's to choose
    game.Start();
    game.RunUntil([&] { return t.menu.shown; }, 20000, false);
    ASSERT_TRUE(t.menu.shown);
    PlayerInput down;
    down.down = true;
    game.Frame(down);
    const int row = t.aids.menuFocus;
    ASSERT_GE(row, 0);
    ASSERT_TRUE(t.menu.rows[row].enabled);
    PlayerInput enter;
    enter.confirm = true;
    game.Frame(enter);
    EXPECT_FALSE(t.menu.shown);
    EXPECT_EQ(t.contract, ContractNumbered(row + 1));
    EXPECT_TRUE(t.human.acted);
}

TEST(Refusals, AClickOnACardThatMayNotBePlayedSaysWhyAndKeepsIt) {
    for (const bool classic : {false, true}) {
        SCOPED_TRACE(classic ? "classic" : "aids");
        TableState t = HumanToPlayWith(Contract::NoTricks, {"2C"_card, "4H"_card}, {"9H"_card});
        t.options.classicTable = classic;
        // Slot 1 lies over slot 0 except its left strip: click that strip.
        PlayerInput click;
        click.click = true;
        click.x = t.seats[0].hand[0].x + 5;
        click.y = t.seats[0].hand[0].y + 50;
        test::ScriptedServices s;
        ListeningPlayer players;
        RunFrame(t, s, players, click);
        EXPECT_TRUE(players.heard.empty());
        EXPECT_TRUE(t.seats[0].hand[0].active && !t.seats[0].hand[0].moving);
        EXPECT_FALSE(t.human.hasPlayed);
        EXPECT_EQ(t.aids.refusal, classic ? Refusal::None : Refusal::FollowSuit);
        EXPECT_EQ(t.aids.refusedSlot, classic ? -1 : 0);
    }
}

// A headless match with the autopilot, frame by frame.
struct Match {
    HeadlessGame game{3};
    TableState& t = game.table;
    Match() { game.Start(); }
};

TEST(LastTrick, HeldUpItChangesNoGameStateAndStopsTheClock) {
    Match m;
    TableState& t = m.t;
    // Mid-deal, in the wait after a card of the second trick.
    m.game.RunUntil([&] { return t.trick.cardsPlayed == 5 && t.flow.state == GameState::Waiting; }, 20000);
    ASSERT_EQ(t.flow.state, GameState::Waiting);
    const std::optional<TrickView> view = LastTrick(t);
    ASSERT_TRUE(view.has_value());
    const std::uint32_t waitLeft = DelayEndTick(t) - m.game.services.clock.now;
    const TableState before = t;

    PlayerInput hold;
    hold.lastTrick = true;
    hold.click = true;  // clicks do nothing meanwhile
    for (int frame = 0; frame < 200; ++frame) {
        ASSERT_EQ(m.game.Frame(hold), FrameOutcome::Continue);
        m.game.services.clock.Advance(100);  // twenty seconds in all
        ASSERT_TRUE(t.aids.lastTrickShown);
    }
    TableState during = t;
    during.aids = before.aids;
    EXPECT_TRUE(during == before) << "the table moved while the last trick was shown";

    m.game.Frame(PlayerInput{});
    EXPECT_FALSE(t.aids.lastTrickShown);
    EXPECT_EQ(t.flow.state, GameState::Waiting) << "the wait went on as long as before";
    EXPECT_EQ(DelayEndTick(t) - m.game.services.clock.now, waitLeft);
}

TEST(LastTrick, TheTallyTheTurnAndTheLogFollowAWholeMatch) {
    Match m;
    TableState& t = m.t;
    std::optional<TrickView> finished;  // the last trick seen whole on the table
    int tricksChecked = 0;
    int dealsChecked = 0;
    for (int frame = 0; frame < 400000 && !(t.match.over && t.flow.state == GameState::DealOver); ++frame) {
        m.game.Frame();
        if (t.trick.count == kTrickSize) {
            TrickView v;
            for (int i = 0; i < kTrickSize; ++i) {
                v.cards[static_cast<std::size_t>(i)] = t.trick.cards[i].card;
                v.seats[static_cast<std::size_t>(i)] = t.trick.cards[i].seat;
            }
            v.winnerIndex = t.trick.winnerCard;
            finished = v;
        } else if (t.flow.state == GameState::Playing && t.trick.cardsPlayed >= kTrickSize && finished) {
            // Handed over to its winner: still the same trick, the same winner.
            const std::optional<TrickView> last = LastTrick(t);
            ASSERT_TRUE(last.has_value());
            ASSERT_EQ(last->cards, finished->cards);
            ASSERT_EQ(last->seats, finished->seats);
            ASSERT_EQ(last->winnerIndex, finished->winnerIndex);
            ++tricksChecked;
        }
        if (t.flow.state == GameState::Playing && t.human.waiting) {
            ASSERT_EQ(SeatToAct(t), kHumanSeat);
        }
        if (t.flow.state == GameState::DealOver && dealsChecked < t.match.dealsPlayed) {
            // The tally of the running deal is what the deal scored.
            for (int seat = 0; seat < kSeatCount; ++seat) {
                ASSERT_EQ(DealPointsSoFar(t, seat), t.seats[seat].dealScore)
                    << "deal " << t.match.dealsPlayed;
                ASSERT_EQ(t.match.log[t.match.dealsPlayed - 1].points[seat],
                          t.seats[seat].history[t.match.historyRows - 1]);
            }
            ASSERT_EQ(t.match.log[t.match.dealsPlayed - 1].contract, t.contract);
            dealsChecked = t.match.dealsPlayed;
            finished.reset();
        }
    }
    EXPECT_EQ(dealsChecked, kDealsPerMatch);
    EXPECT_GT(tricksChecked, 100);
}

TEST(Leaving, EscapeAndTheCloseBoxAskDuringAMatchAndLeaveAtOnceAfterIt) {
    enum Press { Esc, EscHeld, Close, Y, N, ClickYes, ClickNo, Nothing };
    struct Case {
        const char* name;
        bool classic;
        bool matchOver;
        std::vector<Press> presses;
        std::vector<FrameOutcome> outcomes;  // after each press
        bool askedAtEnd;
    };
    using enum FrameOutcome;
    const Case cases[] = {
        {"Escape twice", false, false, {Esc, Nothing, Esc}, {Continue, Continue, Quit}, true},
        {"Escape held asks once",
         false,
         false,
         {Esc, EscHeld, EscHeld},
         {Continue, Continue, Continue},
         true},
        {"Escape then No", false, false, {Esc, N, Esc}, {Continue, Continue, Continue}, true},
        {"Escape then Yes", false, false, {Esc, Y}, {Continue, Quit}, true},
        {"the No button", false, false, {Esc, ClickNo, Nothing}, {Continue, Continue, Continue}, false},
        {"the Yes button", false, false, {Close, ClickYes}, {Continue, Quit}, true},
        {"the close box twice", false, false, {Close, Close}, {Continue, Quit}, true},
        {"Y alone does nothing", false, false, {Y, N}, {Continue, Continue}, false},
        {"after the last deal", false, true, {Esc}, {Quit}, false},
        {"the close box after it", false, true, {Close}, {Quit}, false},
        {"classic", true, false, {Esc}, {Quit}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TableState t = HumanToPlayWith(Contract::NoTricks, {"2C"_card, "4H"_card}, {"9H"_card});
        t.options.classicTable = c.classic;
        if (c.matchOver) {
            t.flow.state = GameState::DealOver;
            t.match.over = true;
        }
        test::ScriptedServices s;
        ListeningPlayer players;
        for (std::size_t i = 0; i < c.presses.size(); ++i) {
            PlayerInput in;
            switch (c.presses[i]) {
                case Esc:
                case EscHeld: in.quit = true; break;
                case Close: in.closeBox = true; break;
                case Y: in.yes = true; break;
                case N: in.no = true; break;
                case ClickYes:
                    in.click = true;
                    in.x = kLeaveYes.x + 5;
                    in.y = kLeaveYes.y + 5;
                    break;
                case ClickNo:
                    in.click = true;
                    in.x = kLeaveNo.x + 5;
                    in.y = kLeaveNo.y + 5;
                    break;
                case Nothing: break;
            }
            EXPECT_EQ(RunFrame(t, s, players, in), c.outcomes[i]) << "press " << i;
        }
        EXPECT_EQ(t.aids.leaveAsked, c.askedAtEnd);
        EXPECT_TRUE(players.heard.empty()) << "nothing was played meanwhile";
    }
}

}  // namespace
}  // namespace tenfold
