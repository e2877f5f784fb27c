#include "core/layout.h"

#include <array>
#include <cmath>

namespace tenfold {

namespace {

// Each seat's hand: the first slot's place and the step to the next slot
// (the side seats' hands run downwards).
struct HandPlace {
    int x, y;
    int designStep;  // along the hand, before scaling
    bool downwards;
};
constexpr std::array<HandPlace, kSeatCount> kHands = {{
    {155, 420, 42, false},  // bottom
    {680, 190, 6, true},    // right
    {300, 2, 6, false},     // top
    {20, 190, 6, true},     // left
}};

// Where a seat's played card lands, in design coordinates.
constexpr std::array<std::array<int, 2>, kSeatCount> kThrowSpots = {
    {{430, 310}, {520, 260}, {440, 210}, {370, 260}}};

// A seat's penalty row starts beside the first slot of its hand and runs
// along it: offset from the slot, then the direction of the row.
constexpr std::array<std::array<int, 4>, kSeatCount> kPenaltyRows = {{
    {30, -30, 1, 0},  // bottom: to the right, above the hand
    {-30, 5, 0, 1},   // right: downwards, left of the hand
    {30, 30, 1, 0},   // top: to the right, below the hand's top
    {30, 5, 0, 1},    // left: downwards
}};

Point At(int x, int y) { return Point{Narrow<std::int16_t>(x), Narrow<std::int16_t>(y)}; }

}  // namespace

std::int16_t ScaleRound(float scale, int designValue) {
    const float product = scale * static_cast<float>(designValue);
    return Narrow<std::int16_t>(static_cast<long>(std::nearbyint(product)));
}

void ComputeLayout(TableState& t) {
    Layout& l = t.layout;
    const float s = kTableScale;
    l.animationSteps = t.options.slowAnimation ? 40 : 20;
    l.moveSteps = static_cast<std::int16_t>(l.animationSteps / 2);
    l.dealSpeedFactor = 1;
    l.pileOffsetX = ScaleRound(s, 10);
    l.pileStepX = 1;
    l.throwJitterX = ScaleRound(s, 26);
    l.throwJitterY = ScaleRound(s, 20);
    l.gatherJitterX = ScaleRound(s, 10);
    l.gatherJitterY = ScaleRound(s, 10);
    l.arriveToleranceX = ScaleRound(s, 10);
    l.arriveToleranceY = ScaleRound(s, 10);
    l.menuBaseY = 420;
    l.scorePage = At(ScaleRound(s, 200), ScaleRound(s, 5));
    l.scoreTable = At(ScaleRound(s, 350), ScaleRound(s, 120));
    l.scoreRowHeight = ScaleRound(s, 40);
    l.totals = At(ScaleRound(s, 350), ScaleRound(s, 560));
    l.result = At(ScaleRound(s, 350), ScaleRound(s, 600));
    l.clock = At(700, 572);

    for (int seat = 0; seat < kSeatCount; ++seat) {
        const HandPlace& h = kHands[static_cast<std::size_t>(seat)];
        const int step = ScaleRound(s, h.designStep);
        Seat& place = t.seats[seat];
        place.handOrigin = At(h.x, h.y);
        place.handStep = h.downwards ? At(0, step) : At(step, 0);
        const auto& spot = kThrowSpots[static_cast<std::size_t>(seat)];
        place.throwSpot = At(ScaleRound(s, spot[0]), ScaleRound(s, spot[1]));
        const auto& row = kPenaltyRows[static_cast<std::size_t>(seat)];
        place.penaltyRow = At(h.x + row[0], h.y + row[1]);
        place.penaltyStep = At(row[2], row[3]);
    }

    // The undealt pile stands beside a hand, so it is placed from the hands.
    const Seat& bottom = t.seats[kHumanSeat];
    const Seat& right = t.seats[kRightSeat];
    const Seat& top = t.seats[kTopSeat];
    const Seat& left = t.seats[kLeftSeat];
    const int bottomPileX = 13 * bottom.handStep.x + (bottom.handOrigin.x - 30) + kCardWidth;
    t.seats[kHumanSeat].pileSpot = At(bottomPileX, bottom.handOrigin.y);
    t.seats[kRightSeat].pileSpot = At(right.handOrigin.x - kCardWidth - 30, right.handOrigin.y);
    t.seats[kTopSeat].pileSpot = At(top.handOrigin.x - kCardWidth - 30, top.handOrigin.y);
    t.seats[kLeftSeat].pileSpot =
        At(13 * left.handStep.y + left.handOrigin.x + kCardWidth + 30, left.handOrigin.y);
    t.seats[kHumanSeat].wonPileSpot = At(20, bottom.handOrigin.y - 20);
    t.seats[kRightSeat].wonPileSpot = At(bottomPileX + 10, bottom.handOrigin.y - 20);
    t.seats[kTopSeat].wonPileSpot = At(bottomPileX - 70, 5);
    t.seats[kLeftSeat].wonPileSpot = At(20, 20);
}

void UseFewestAnimationFrames(TableState& t) {
    t.layout.animationSteps = 1;
    t.layout.moveSteps = 1;
    t.layout.dealSpeedFactor = 1;
}

Point HandSlotHome(const TableState& t, int seat, int slot) {
    const Seat& s = t.seats[seat];
    return At(s.handOrigin.x + slot * s.handStep.x, s.handOrigin.y + slot * s.handStep.y);
}

}  // namespace tenfold
