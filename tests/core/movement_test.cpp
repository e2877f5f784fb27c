#include <gtest/gtest.h>

#include "core/cards.h"
#include "core/layout.h"
#include "core/movement.h"
#include "core/state_machine.h"
#include "scripted_services.h"

namespace tenfold {
namespace {

constexpr int C(int face, char letter) {
    return 4 * (face - 1) + (letter == 'C' ? 0 : letter == 'D' ? 1 : letter == 'H' ? 2 : 3);
}

TableState Laid(bool slow = false) {
    TableState t;
    BuildCardFiles(t);
    t.SlowAnimation = slow;
    ComputeLayout(t);
    ResetTrickSpots(t);
    return t;
}

TEST(Movement, ACardAlreadyAtItsTargetArrivesAtItsFirstTest) {
    TableState t = Laid();
    test::ScriptedServices s;
    CardSprite& card = t.Hand2[0];
    card.X = 300;
    card.Y = 2;
    StartMove(t, card, 300, 2);
    EXPECT_TRUE(card.Moving);
    EXPECT_EQ(card.DirX, 0);
    EXPECT_EQ(card.DirY, 0);
    EXPECT_TRUE(ArrivalTest(t, s, card));
    EXPECT_FALSE(card.Moving);

    // A real move: ten equal steps of the distance, signs towards the target.
    CardSprite& other = t.Hand1[0];
    other.X = 500;
    other.Y = 100;
    StartMove(t, other, 400, 300);
    EXPECT_EQ(other.DirX, -1);
    EXPECT_EQ(other.DirY, 1);
    EXPECT_FLOAT_EQ(other.StepX, 10.0f);
    EXPECT_FLOAT_EQ(other.StepY, 20.0f);
}

TEST(Movement, ThrowDrawsSoundThenXThenY) {
    TableState t = Laid();
    test::ScriptedServices s;
    s.script = {0.5f, 0.5f, 0.99f};  // sound 1, x offset 10 of 20, y offset 15 of 16
    CardSprite& card = t.Hand3[4];
    ThrowToTable(t, s, card, 3);
    EXPECT_EQ(s.sounds, std::vector<std::string>{"CARD_FLIP2.WAV"});
    EXPECT_EQ(card.TargetX, 289 + 10);
    EXPECT_EQ(card.TargetY, 203 + 15);
    // Nothing else starts while a card travels.
    CardSprite& second = t.Hand1[0];
    ThrowToTable(t, s, second, 1);
    EXPECT_FALSE(second.Moving);
    EXPECT_EQ(s.sounds.size(), 1u);
}

// A finished trick on the table, won by seat `winner` with card `winnerCard`.
void PutTrick(TableState& t, std::array<int, 4> codes, int winner, int winnerCard) {
    t.TableCount = 4;
    for (int i = 0; i < 4; ++i) {
        CardSprite& c = t.TableCards[i];
        c.Code = static_cast<std::int16_t>(codes[static_cast<std::size_t>(i)]);
        c.Active = true;
        c.FaceUp = true;
        c.Moving = false;
        c.Collect = true;
        c.X = t.TableSlotUsed[i].X;
        c.Y = t.TableSlotUsed[i].Y;
        c.TableSlot = static_cast<std::int16_t>(i);
        t.TableSlotUsed[i].Used = true;
    }
    t.TrickWinner = static_cast<std::int16_t>(winner);
    t.TrickWinnerCard = static_cast<std::int16_t>(winnerCard);
    t.CurrentSeat = static_cast<std::int16_t>(winner);
    t.GameState = "WE ARE GETTING CARDS - GOTHERING";
}

TEST(Movement, GatherAndCarryTakeAnimationStepsAndHandTheTrickOver) {
    for (bool slow : {false, true}) {
        SCOPED_TRACE(slow);
        TableState t = Laid(slow);
        t.Contract = 1;
        t.TrumpSuit = 0;
        t.ContractTotal[1] = 650;
        test::ScriptedServices s;
        PutTrick(t, {C(5, 'D'), C(9, 'D'), C(2, 'C'), C(1, 'D')}, 3, 2);
        int frames = 0;
        while (t.GameState == "WE ARE GETTING CARDS - GOTHERING") {
            StateMachineStep(t, s);
            ++frames;
        }
        // One frame starts the move, then it runs its frames; the arrival
        // tolerance lets a card stop up to 8 pixels short, a few frames early.
        EXPECT_GE(frames, t.AnimationSteps - 4);
        EXPECT_LE(frames, t.AnimationSteps + 1);
        EXPECT_EQ(t.TableCards[2].X, t.TableSlotUsed[2].X);  // the winning card stays put
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(t.TableCards[i].X, t.TableSlotUsed[2].X, 8);

        frames = 0;
        while (t.GameState == "WE ARE GETTING CARDS") {
            StateMachineStep(t, s);
            ++frames;
        }
        EXPECT_GE(frames, t.AnimationSteps - 4);
        EXPECT_LE(frames, t.AnimationSteps + 1);
        EXPECT_EQ(t.GameState, "NORMAL PLAY");
        EXPECT_EQ(t.TableCount, 0);
        EXPECT_EQ(t.WonCount3, 4);
        EXPECT_EQ(t.WonPile3[3].Code, C(1, 'D'));
        EXPECT_FALSE(t.WonPile3[0].FaceUp);  // trump contract: face down to the pile
        EXPECT_NEAR(t.WonPile3[0].X, t.WonPos3X, 8 + 8);
        EXPECT_EQ(t.CurrentSeat, 2);  // the winner leads the next trick
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(t.TableSlotUsed[i].Used);
        EXPECT_EQ(s.sounds.size(), 2u);  // a card sound, then a sign sound
        EXPECT_EQ(s.sounds[1].substr(0, 4), "SIGN");
    }
}

TEST(Movement, PenaltyCardsGoFaceUpIntoTheWinnersRow) {
    TableState t = Laid();
    t.Contract = 9;
    test::ScriptedServices s;  // every draw 0: no scatter
    t.SeatRecords[2].PenaltyRowX = 330;
    t.SeatRecords[2].PenaltyRowY = 32;
    t.SeatRecords[2].PenaltyRowStepX = 1;

    PutTrick(t, {C(12, 'D'), C(9, 'D'), C(2, 'C'), C(1, 'D')}, 2, 3);
    CarryTrick(t, s);
    EXPECT_TRUE(t.TableCards[0].FaceUp);
    EXPECT_EQ(t.TableCards[0].TargetX, 330);
    EXPECT_EQ(t.TableCards[0].TargetY, 32);
    EXPECT_FALSE(t.TableCards[1].FaceUp);
    EXPECT_EQ(t.TableCards[1].TargetX, t.WonPos2X);
    EXPECT_EQ(t.TableCards[1].TargetY, t.WonPos2Y);

    // A queen taken in a later trick lies ten pixels further along.
    PutTrick(t, {C(3, 'S'), C(12, 'S'), C(2, 'S'), C(1, 'S')}, 2, 3);
    CarryTrick(t, s);
    EXPECT_TRUE(t.TableCards[1].FaceUp);
    EXPECT_EQ(t.TableCards[1].TargetX, 340);
    EXPECT_EQ(t.TableCards[1].TargetY, 32);
    EXPECT_EQ(t.SeatRecords[2].PenaltyCardsShown, 2);

    // Under a trump contract the same queen goes face down onto the pile.
    t.Contract = 1;
    PutTrick(t, {C(12, 'C'), C(9, 'C'), C(2, 'C'), C(1, 'C')}, 2, 3);
    CarryTrick(t, s);
    EXPECT_FALSE(t.TableCards[0].FaceUp);
    EXPECT_EQ(t.TableCards[0].TargetX, t.WonPos2X);
}

}  // namespace
}  // namespace tenfold
