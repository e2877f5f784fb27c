#pragma once
// Choosing the contract of a deal: a computer chooser asks its own judgement,
// the human clicks a row of the menu of contracts still open to him; quotas
// keep each seat to two trump and three negative contracts a match and each
// negative contract to two uses.

#include <cstdint>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// The "SELECT TRUMPS" step: the chooser takes the turn; a computer chooses at
// once, the human gets the menu; the frame after a choice moves on to
// "SHOW CONTRACT" with CurrentSeat one before the chooser, who leads.
void ContractStep(TableState& t, Services& s);
// Enables the human's menu rows by the quotas and places them on screen. When
// the quotas would leave no row at all, the four trump rows are offered, so
// that the wait for the human always ends.
void MenuAvailability(TableState& t);
// Stacks the enabled rows in two columns upward from MenuBaseY (the click
// rectangles that the hit test and the drawing share).
void LayOutContractMenu(TableState& t);
// The human's click at (x, y): books the first enabled row hit (row 9 first)
// and ends the wait. False when no enabled row holds the point.
bool MenuHitTest(TableState& t, std::int32_t x, std::int32_t y);

}  // namespace tenfold
