#pragma once
// Where things rest on the 800 x 600 table and how fast cards travel. The
// numbers are design coordinates of a 1024 x 768 table scaled down, so every
// scaled value goes through the same rounding.

#include <cstdint>

#include "core/table_state.h"

namespace tenfold {

// Scale of the 800 x 600 table against the 1024 x 768 design (both axes).
inline constexpr float kTableScale = 800.0f / 1024.0f;

// v scaled to the table, rounded to the nearest pixel, halves to even.
std::int16_t ScaleRound(float scale, int designValue);

// Fills every layout value from Resolution and SlowAnimation (once, at start).
// Any resolution but "800x600" leaves the positions at 0, as no dialog offers one.
void ComputeLayout(TableState& t);
// Every move in a single frame: for headless runs, where nobody watches the
// cards fly. Chance is drawn per move, not per frame, so the deals stay the same.
void UseFewestAnimationFrames(TableState& t);
// Puts the four throw positions back and frees them; run at every new deal.
void ResetTrickSpots(TableState& t);

// Resting place of slot i of a seat's hand.
struct Point16 {
    std::int16_t X = 0;
    std::int16_t Y = 0;
};
Point16 HandSlotHome(const TableState& t, int seat, int slot);
// The won-trick pile position of a seat.
Point16 WonPilePosition(const TableState& t, int seat);

}  // namespace tenfold
