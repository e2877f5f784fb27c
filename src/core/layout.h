#pragma once
// Where things rest on the 800 x 600 table and how fast cards travel. The
// numbers are design coordinates of a 1024 x 768 table scaled down, so every
// scaled value goes through the same rounding.

#include <cstdint>

#include "core/table_state.h"

namespace tenfold {

// The table is 800 x 600 pixels, whatever the size of the window showing it.
inline constexpr int kTableWidth = 800;
inline constexpr int kTableHeight = 600;

// Scale of the 800 x 600 table against the 1024 x 768 design (both axes).
inline constexpr float kTableScale = 800.0f / 1024.0f;

// v scaled to the table, rounded to the nearest pixel, halves to even.
std::int16_t ScaleRound(float scale, int designValue);

// Fills the layout and every seat's places from the options (once, at start).
void ComputeLayout(TableState& t);
// Every move in a single frame: for headless runs, where nobody watches the
// cards fly. Chance is drawn per move, not per frame, so the deals stay the same.
void UseFewestAnimationFrames(TableState& t);

// Resting place of slot `slot` of a seat's hand.
Point HandSlotHome(const TableState& t, int seat, int slot);

}  // namespace tenfold
