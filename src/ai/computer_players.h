#pragma once
// The two questions the table asks a computer seat: which contract to choose
// and which card to play. Both read only what a player at the table could know.

#include <cstdint>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// Contract 1..10 for computer seat 1..3; books the seat's quota counters and
// ContractUseCount. Draws from the random generator only when no rule decides.
std::int16_t ChooseContract(TableState& t, Services& s, int seat);

// Card code that computer seat 1..3 plays now. Deterministic; may clear one
// MayHoldSuit flag of the current seat when it shows out of the led suit.
std::int16_t PlayComputerCard(TableState& t, int seat);

}  // namespace tenfold
