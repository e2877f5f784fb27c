#pragma once
// The two questions the table asks a computer seat: which contract to choose
// and which card to play. Both read only what a player at the table could know.
//
// Each comes in two forms. ChooseContract and PlayComputerCard are the game's
// own calls: they book the choice (quota counters, ContractUseCount) or note a
// show-out (MayHoldSuit). ChooseContractFor and ChooseCardFor only answer the
// question: they take the table read-only, accept any seat 0..3 (seat 0 reads
// HandCodes0/HandSize0), and draw chance from the caller's own source, so an
// autopilot can ask "what would the computer do here" without touching the game.

#include <cstdint>
#include <functional>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// Contract 1..10 for computer seat 1..3; books the seat's quota counters and
// ContractUseCount. Draws from the random generator only when no rule decides.
std::int16_t ChooseContract(TableState& t, Services& s, int seat);

// The contract ChooseContract would give seat 0..3, without booking it. `rnd`
// returns values in [0, 1) and is called only when no rule decides.
std::int16_t ChooseContractFor(const TableState& t, const std::function<float()>& rnd, int seat);

// Books a chosen contract 1..10 for a seat: its chosen mark, its trump or
// negative counter, and ContractUseCount.
void BookContract(TableState& t, int seat, int contract);

// Card code that computer seat 1..3 plays now. Deterministic; may clear one
// MayHoldSuit flag of the current seat when it shows out of the led suit.
std::int16_t PlayComputerCard(TableState& t, int seat);

// The card PlayComputerCard would pick for seat 0..3, with no flag cleared.
// Neighbours and the seat that shows out are counted from CurrentSeat, as in
// play, so ask it when `seat` is the CurrentSeat of the turn.
std::int16_t ChooseCardFor(const TableState& t, int seat);

}  // namespace tenfold
