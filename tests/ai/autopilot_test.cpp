#include <gtest/gtest.h>

#include "ai/autopilot.h"
#include "ai/classic_card_play.h"
#include "ai/headless_game.h"
#include "core/contract_choice.h"
#include "core/trick_play.h"
#include "support/cards.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

// The autopilot plays the human's seat by clicks only; each click must land
// on what it means to pick, through the rules' own hit tests.
TEST(Autopilot, ClicksTheVisiblePartOfTheChosenCard) {
    ClassicPlayer players;
    Autopilot pilot(players, 1);
    TableState t = test::TableUnder(Contract::NoTricks);
    t.flow.state = GameState::Playing;
    t.human.waiting = true;
    t.currentSeat = 2;
    test::Lay(t, {"5D"_card});
    t.currentSeat = kHumanSeat;
    // The classic choice is the three of diamonds (duck under the five); the
    // ace of diamonds lies on top of most of it.
    test::Deal(t, kHumanSeat, {"9S"_card, "3D"_card, "AD"_card});
    EXPECT_EQ(ChooseClassicCard(t, players.Memory(), HandCards(t, kHumanSeat)), "3D"_card);
    const auto click = pilot.Decide(t);
    ASSERT_TRUE(click.has_value());
    EXPECT_EQ(CardHitTest(t, players, click->x, click->y), 1);
}

TEST(Autopilot, ChoosesAnEnabledRowOfTheMenu) {
    ClassicPlayer players;
    Autopilot pilot(players, 1);
    TableState t = test::TableUnder();
    test::Deal(t, kHumanSeat,
               {"QC"_card, "KS"_card, "AS"_card, "JD"_card, "2D"_card, "3D"_card, "4D"_card, "5D"_card,
                "2S"_card, "3S"_card, "4S"_card, "2C"_card, "3C"_card});
    t.flow.state = GameState::ChoosingContract;
    t.human.waiting = true;
    t.menu.shown = true;
    OpenContractMenu(t);
    // The classic choice for this hand is no tricks.
    EXPECT_EQ(pilot.ContractFor(t), Contract::NoTricks);
    const auto click = pilot.Decide(t);
    ASSERT_TRUE(click.has_value());
    ASSERT_TRUE(MenuHitTest(t, click->x, click->y));
    EXPECT_EQ(t.contract, Contract::NoTricks);

    TableState closed = test::TableUnder();
    test::Deal(closed, kHumanSeat,
               {"QC"_card, "KS"_card, "AS"_card, "JD"_card, "2D"_card, "3D"_card, "4D"_card, "5D"_card,
                "2S"_card, "3S"_card, "4S"_card, "2C"_card, "3C"_card});
    closed.seats[0].trumpContractsChosen = 2;
    closed.contractUses[Index(Contract::NoTricks)] = 2;
    closed.menu.shown = true;
    OpenContractMenu(closed);
    // With no tricks used up the classic choice falls to no king of hearts;
    // that row closed, the autopilot takes the first enabled row.
    closed.menu.rows[Index(Contract::NoKingOfHearts)].enabled = false;
    EXPECT_EQ(pilot.ContractFor(closed), Contract::NoHearts);
}

TEST(Autopilot, WaitsWhileItIsNotTheHumansTurn) {
    HeadlessGame game(5);
    game.Start();
    EXPECT_FALSE(game.pilot.Decide(game.table).has_value()) << "dealing";
    game.RunUntil([&] { return game.table.human.waiting; }, 20000);
    game.table.flow.paused = true;
    EXPECT_FALSE(game.pilot.Decide(game.table).has_value()) << "paused";
}

}  // namespace
}  // namespace tenfold
