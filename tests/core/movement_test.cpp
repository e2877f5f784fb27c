#include <gtest/gtest.h>

#include "ai/classic_player.h"
#include "core/layout.h"
#include "core/movement.h"
#include "core/state_machine.h"
#include "core/trick_play.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

TableState Laid(bool slow = false) {
    TableState t;
    t.options.slowAnimation = slow;
    ComputeLayout(t);
    return t;
}

TEST(Movement, ACardAlreadyAtItsTargetArrivesAtItsFirstTest) {
    TableState t = Laid();
    test::ScriptedServices s;
    CardSprite& card = t.seats[2].hand[0];
    card.x = 300;
    card.y = 2;
    StartMove(t, card, 300, 2);
    EXPECT_TRUE(card.moving);
    EXPECT_EQ(card.dirX, 0);
    EXPECT_EQ(card.dirY, 0);
    EXPECT_TRUE(ArrivalTest(t, s, card));
    EXPECT_FALSE(card.moving);

    // A real move: ten equal steps of the distance, signs towards the target.
    CardSprite& other = t.seats[1].hand[0];
    other.x = 500;
    other.y = 100;
    StartMove(t, other, 400, 300);
    EXPECT_EQ(other.dirX, -1);
    EXPECT_EQ(other.dirY, 1);
    EXPECT_FLOAT_EQ(other.stepX, 10.0f);
    EXPECT_FLOAT_EQ(other.stepY, 20.0f);
}

TEST(Movement, ThrowDrawsSoundThenXThenY) {
    TableState t = Laid();
    test::ScriptedServices s;
    s.script = {0.5f, 0.5f, 0.99f};  // sound 1, x offset 10 of 20, y offset 15 of 16
    CardSprite& card = t.seats[3].hand[4];
    ThrowToTable(t, s, card, 3);
    EXPECT_EQ(s.sounds, std::vector<Sound>{Sound::CardFlip2});
    EXPECT_EQ(card.targetX, 289 + 10);
    EXPECT_EQ(card.targetY, 203 + 15);
    // Nothing else is thrown while a card travels.
    t.currentSeat = 1;
    CardSprite& second = t.seats[1].hand[0];
    ThrowCard(t, s, second);
    EXPECT_FALSE(second.moving);
    EXPECT_EQ(s.sounds.size(), 1u);
}

// A finished trick on the table, each card at its seat's throw spot, won by
// seat `winner` with card `winnerCard`.
void PutTrick(TableState& t, std::initializer_list<Card> cards, int winner, int winnerCard) {
    t.currentSeat = 3;  // the last card's seat: the trick was led by seat 0
    test::Lay(t, cards);
    for (int i = 0; i < t.trick.count; ++i) {
        CardSprite& c = t.trick.cards[i];
        c.collect = true;
        SetMoving(t, c, false);
        c.x = t.seats[c.seat].throwSpot.x;
        c.y = t.seats[c.seat].throwSpot.y;
    }
    t.trick.winner = static_cast<std::int16_t>(winner);
    t.trick.winnerCard = static_cast<std::int16_t>(winnerCard);
    t.currentSeat = static_cast<std::int16_t>(winner);
    t.flow.state = GameState::GatheringTrick;
}

TEST(Movement, GatherAndCarryTakeAnimationStepsAndHandTheTrickOver) {
    for (bool slow : {false, true}) {
        SCOPED_TRACE(slow);
        TableState t = Laid(slow);
        t.contract = Contract::Clubs;
        t.trump = Suit::Clubs;
        test::ScriptedServices s;
        ClassicPlayer players;
        PutTrick(t, {"5D"_card, "9D"_card, "2C"_card, "AD"_card}, 2, 2);
        const Point winningSpot = t.seats[2].throwSpot;
        int frames = 0;
        while (t.flow.state == GameState::GatheringTrick) {
            StateMachineStep(t, s, players);
            ++frames;
        }
        // One frame starts the move, then it runs its frames; the arrival
        // tolerance lets a card stop up to 8 pixels short, a few frames early.
        EXPECT_GE(frames, t.layout.animationSteps - 4);
        EXPECT_LE(frames, t.layout.animationSteps + 1);
        EXPECT_EQ(t.trick.cards[2].x, winningSpot.x) << "the winning card stays put";
        for (const CardSprite& c : t.trick.cards) EXPECT_NEAR(c.x, winningSpot.x, 8);

        frames = 0;
        while (t.flow.state == GameState::CarryingTrick) {
            StateMachineStep(t, s, players);
            ++frames;
        }
        EXPECT_GE(frames, t.layout.animationSteps - 4);
        EXPECT_LE(frames, t.layout.animationSteps + 1);
        EXPECT_EQ(t.flow.state, GameState::Playing);
        EXPECT_EQ(t.trick.count, 0);
        const Seat& winner = t.seats[2];
        EXPECT_EQ(winner.wonCount, 4);
        EXPECT_EQ(winner.wonPile[3].card, "AD"_card);
        EXPECT_FALSE(winner.wonPile[0].faceUp) << "trump contract: face down to the pile";
        EXPECT_NEAR(winner.wonPile[0].x, winner.wonPileSpot.x, 8 + 8);
        EXPECT_EQ(t.currentSeat, 1) << "one before the winner, who leads next";
        ASSERT_EQ(s.sounds.size(), 2u);  // a card sound, then a sign sound
        EXPECT_EQ(s.sounds[0], Sound::CardFlip1);
        EXPECT_EQ(s.sounds[1], Sound::Sign1);
    }
}

TEST(Movement, PenaltyCardsGoFaceUpIntoTheWinnersRow) {
    TableState t = Laid();
    t.contract = Contract::NoQueens;
    test::ScriptedServices s;  // every draw 0: no scatter
    const Seat& top = t.seats[2];

    PutTrick(t, {"QD"_card, "9D"_card, "2C"_card, "AD"_card}, 2, 3);
    CarryTrick(t, s);
    EXPECT_TRUE(t.trick.cards[0].faceUp);
    EXPECT_EQ(t.trick.cards[0].targetX, top.penaltyRow.x);
    EXPECT_EQ(t.trick.cards[0].targetY, top.penaltyRow.y);
    EXPECT_FALSE(t.trick.cards[1].faceUp);
    EXPECT_EQ(t.trick.cards[1].targetX, top.wonPileSpot.x);
    EXPECT_EQ(t.trick.cards[1].targetY, top.wonPileSpot.y);

    // A queen taken in a later trick lies ten pixels further along.
    PutTrick(t, {"3S"_card, "QS"_card, "2S"_card, "AS"_card}, 2, 3);
    CarryTrick(t, s);
    EXPECT_TRUE(t.trick.cards[1].faceUp);
    EXPECT_EQ(t.trick.cards[1].targetX, top.penaltyRow.x + 10);
    EXPECT_EQ(t.trick.cards[1].targetY, top.penaltyRow.y);
    EXPECT_EQ(top.penaltyCardsShown, 2);

    // Under a trump contract the same queen goes face down onto the pile.
    t.contract = Contract::Clubs;
    PutTrick(t, {"QC"_card, "9C"_card, "2C"_card, "AC"_card}, 2, 3);
    CarryTrick(t, s);
    EXPECT_FALSE(t.trick.cards[0].faceUp);
    EXPECT_EQ(t.trick.cards[0].targetX, top.wonPileSpot.x);
}

}  // namespace
}  // namespace tenfold
