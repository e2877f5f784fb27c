#pragma once
// Choosing the contract of a deal: who chooses, which contracts are still
// open to a seat, the human's menu and its click, and the booking of every
// choice against the quotas (two trump and three negative contracts a seat
// and match, each negative contract twice a match by the table as a whole).

#include <cstdint>

#include "core/computer_player.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// ---- Quotas: the one home of the open contracts ----
// A negative contract may be chosen twice in a match, by all seats together.
bool UnderUseLimit(const TableState& t, Contract c);
// A seat chooses at most two trump contracts in a match...
bool HasTrumpChoicesLeft(const Seat& seat);
// ...and at most three negative ones.
bool HasNegativeChoicesLeft(const Seat& seat);
// Whether the quotas leave contract c open to the seat.
bool IsOpenTo(const TableState& t, int seat, Contract c);
// Books a choice: the seat's trump or negative count, and the contract's use
// count (trump contracts are counted there too).
void BookContract(TableState& t, int seat, Contract c);

// ---- Who chooses ----
// The seat holding the seven of hearts; 0 when no hand holds it.
int SevenOfHeartsHolder(const TableState& t);
// Under the seven-of-hearts option, the first deal of a match is chosen and
// led by the holder of the seven of hearts. Run after the last card has
// arrived and currentSeat was stepped back; does nothing on later deals.
void SetFirstChooser(TableState& t);

// The ChoosingContract step: the chooser takes the turn; a computer seat
// chooses at once, the human gets the menu; the step after a choice moves on
// to ShowingContract with currentSeat one before the chooser, who leads.
void ContractStep(TableState& t, Services& s, ComputerPlayer& players);
// Enables the human's menu rows by the quotas and lays them out. When the
// quotas would leave no row at all, the four trump rows are offered, so that
// the wait for the human always ends.
void OpenContractMenu(TableState& t);
// The human's click at (x, y): books the first enabled row hit (row 9 first)
// and ends the wait. False when no enabled row holds the point.
bool MenuHitTest(TableState& t, std::int32_t x, std::int32_t y);

}  // namespace tenfold
