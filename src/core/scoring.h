#pragma once
// What a deal is worth: the penalty unit of a card under the contract in force,
// the points taken so far, the early end of the card-based negative contracts,
// the deal's result per seat, and the match totals and history it feeds.

#include <cstdint>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// 1 when the card counts under the current Contract (every card for 1..5,
// hearts for 6, none for 7, kings and jacks for 8, queens for 9, the king of
// hearts for 10), else 0. The computer players weigh cards with it too.
std::int16_t PenaltyUnit(const TableState& t, int code);
// Penalty points taken so far in this deal by all seats together (for
// contracts 1..5 and 7 the plain count of counted cards, which never reaches
// the contract's total, so those deals are never cut short).
std::int16_t PenaltyTaken(const TableState& t);
// Ends the deal ("END OF MATCH" and EndDeal) once all 52 cards are played or
// every penalty point of the contract has been taken.
void CheckDealEnd(TableState& t, Services& s);
// Fills DealScore0..3 with the deal's natural-sign result per seat.
void ScoreDeal(TableState& t);
// Scores the deal, books it into the history and the totals (sign turned),
// counts it, and after the twentieth deal settles the match result.
void EndDeal(TableState& t, Services& s);

}  // namespace tenfold
