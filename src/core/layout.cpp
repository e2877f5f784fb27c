#include "core/layout.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace tenfold {

std::int16_t ScaleRound(float scale, int designValue) {
    const float product = scale * static_cast<float>(designValue);
    return Narrow<std::int16_t>(static_cast<long>(std::nearbyint(product)));
}

void ComputeLayout(TableState& t) {
    t.AnimationSteps = t.SlowAnimation ? 40 : 20;
    t.MoveSteps = static_cast<std::int16_t>(t.AnimationSteps / 2);
    t.DealSpeedFactor = 1;
    if (t.Resolution != "800x600") return;

    const float s = kTableScale;
    t.Hand0X = 155;
    t.Hand0StepX = ScaleRound(s, 42);
    t.Hand0Y = 420;
    t.Hand1X = 680;
    t.Hand1StepX = ScaleRound(s, 6);
    t.Hand1Y = 190;
    t.Hand2X = 300;
    t.Hand2StepX = ScaleRound(s, 6);
    t.Hand2Y = 2;
    t.Hand3X = 20;
    t.Hand3StepX = ScaleRound(s, 6);
    t.Hand3Y = 190;
    t.CardWidth = 99;
    t.SortX = 155;
    t.SortStepX = 33;
    t.SortY = 420;

    t.PileOffsetX = ScaleRound(s, 10);
    t.PileStepX = 1;
    t.ThrowJitterX = ScaleRound(s, 26);
    t.ThrowJitterY = ScaleRound(s, 20);
    t.MenuBaseY = 420;
    t.ScorePageX = ScaleRound(s, 200);
    t.ScorePageY = ScaleRound(s, 5);
    t.ScoreTableX = ScaleRound(s, 350);
    t.ScoreTableY = ScaleRound(s, 120);
    t.ScoreRowHeight = ScaleRound(s, 40);
    t.TotalsX = ScaleRound(s, 350);
    t.TotalsY = ScaleRound(s, 560);
    t.ResultX = ScaleRound(s, 350);
    t.ResultY = ScaleRound(s, 600);
    t.ClockX = 700;
    t.ClockY = 572;
    t.ArriveToleranceX = ScaleRound(s, 10);
    t.ArriveToleranceY = ScaleRound(s, 10);
    t.GatherJitterX = ScaleRound(s, 10);
    t.GatherJitterY = ScaleRound(s, 10);

    // The piles are placed relative to the hands, so they come last.
    t.PilePosX[0] = Narrow<std::int16_t>(13 * t.Hand0StepX + (t.Hand0X - 30) + t.CardWidth);
    t.PilePosY[0] = t.Hand0Y;
    t.PilePosX[1] = Narrow<std::int16_t>(t.Hand1X - t.CardWidth - 30);
    t.PilePosY[1] = t.Hand1Y;
    t.PilePosX[2] = Narrow<std::int16_t>(t.Hand2X - t.CardWidth - 30);
    t.PilePosY[2] = t.Hand2Y;
    t.PilePosX[3] = Narrow<std::int16_t>(13 * t.Hand3StepX + t.Hand3X + t.CardWidth + 30);
    t.PilePosY[3] = t.Hand3Y;
    t.WonPos0X = 20;
    t.WonPos0Y = Narrow<std::int16_t>(t.Hand0Y - 20);
    t.WonPos1X = Narrow<std::int16_t>(t.PilePosX[0] + 10);
    t.WonPos1Y = Narrow<std::int16_t>(t.Hand0Y - 20);
    t.WonPos2X = Narrow<std::int16_t>(t.PilePosX[0] - 70);
    t.WonPos2Y = 5;
    t.WonPos3X = 20;
    t.WonPos3Y = 20;
}

void UseFewestAnimationFrames(TableState& t) {
    t.AnimationSteps = 1;
    t.MoveSteps = 1;
    t.DealSpeedFactor = 1;
}

void ResetTrickSpots(TableState& t) {
    static constexpr std::array<std::array<int, 2>, 4> kDesign = {
        {{430, 310}, {520, 260}, {440, 210}, {370, 260}}};
    for (int seat = 0; seat < 4; ++seat) {
        const auto& design = kDesign[static_cast<std::size_t>(seat)];
        TableSpot& spot = t.TableSlotUsed[seat];
        spot.X = static_cast<std::int16_t>(design[0]);
        spot.Y = static_cast<std::int16_t>(design[1]);
        if (t.Resolution == "800x600") {
            spot.X = ScaleRound(0.78125f, design[0]);
            spot.Y = ScaleRound(0.78125f, design[1]);
        }
    }
    for (int i = 0; i < 30; ++i) t.TableSlotUsed[i].Used = false;
    for (int i = 0; i < 30; ++i) t.TableCards[i].TableSlot = static_cast<std::int16_t>(i);
}

Point16 HandSlotHome(const TableState& t, int seat, int slot) {
    switch (seat) {
        case 0: return {Narrow<std::int16_t>(t.Hand0X + slot * t.Hand0StepX), t.Hand0Y};
        case 1: return {t.Hand1X, Narrow<std::int16_t>(t.Hand1Y + slot * t.Hand1StepX)};
        case 2: return {Narrow<std::int16_t>(t.Hand2X + slot * t.Hand2StepX), t.Hand2Y};
        case 3: return {t.Hand3X, Narrow<std::int16_t>(t.Hand3Y + slot * t.Hand3StepX)};
        default: throw std::out_of_range("seat " + std::to_string(seat) + " outside 0..3");
    }
}

Point16 WonPilePosition(const TableState& t, int seat) {
    switch (seat) {
        case 0: return {t.WonPos0X, t.WonPos0Y};
        case 1: return {t.WonPos1X, t.WonPos1Y};
        case 2: return {t.WonPos2X, t.WonPos2Y};
        case 3: return {t.WonPos3X, t.WonPos3Y};
        default: throw std::out_of_range("seat " + std::to_string(seat) + " outside 0..3");
    }
}

}  // namespace tenfold
