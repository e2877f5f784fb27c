#pragma once
// How a computer seat sizes up its thirteen cards before choosing a contract.
// Each score is a plain number over the hand; the choice compares them with
// fixed thresholds (see ChooseContract in computer_players.h).

#include <cstdint>

#include "ai/card_memory.h"
#include "core/checked.h"
#include "core/table_state.h"

namespace tenfold {

// Index of the first hand entry holding the card of this face value (ace 1 ..
// king 13) and suit, or -1.
std::int16_t FindCard(const TableState& t, int faceValue, int suit, const HandList& hand);

// Honours of one suit. Walks the face values from the queen (12) down to the
// ace (1) and a last value 0 no card has: a held card adds the current weight
// (starting at 100) to a running whole-number sum, rounded half to even; a
// missing card halves the weight. The king is never looked for, and an ace
// only gets the crumbs left at the end of the walk.
float SuitHonourScore(const TableState& t, const HandList& hand, int suit);
// The four suit scores added, each walk starting again at 100.
float HonourScore(const TableState& t, const HandList& hand);
// 160 per heart at least as strong as a king: 0, 160 or 320.
float HeartKingAceScore(const TableState& t, const HandList& hand);
// 35 per queen plus 15 per card stronger than a queen (kings and aces).
float QueenScore(const TableState& t, const HandList& hand);
// 30 per card at least as strong as a jack.
float HighCardScore(const TableState& t, const HandList& hand);

// Which contracts (entries 1..10) the seat may be given, marks as the choice
// reads them. Entry 0 and 11 stay false. A seat with three negative contracts
// loses entries 4..9 (the hearts trump contract among them, not entry 10); a
// seat with two trump contracts loses entries 0..3 (not entry 4, hearts).
Array<bool, 12> ContractMarks(const TableState& t, int seat);

}  // namespace tenfold
