#pragma once
// How a classic computer seat chooses a contract: a handful of scores over
// its thirteen cards compared with fixed thresholds in a fixed order, within
// its own reading of the quotas; chance decides only when no rule does.

#include "core/cards.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// Index of the first hand entry holding the card of this face value (ace 1 ..
// king 13) and suit, or -1; face values no card has give -1.
int FindCard(const CardList& hand, int faceValue, Suit suit);

// Honours of one suit. Walks the face values from the queen (12) down to the
// ace (1) and a last value 0 no card has: a held card adds the current weight
// (starting at 100) to a running whole-number sum, rounded half to even; a
// missing card halves the weight. The king is never looked for, and an ace
// only gets the crumbs left at the end of the walk.
float SuitHonourScore(const CardList& hand, Suit suit);
// The four suit scores added, each walk starting again at 100.
float HonourScore(const CardList& hand);
// 160 per heart at least as strong as a king: 0, 160 or 320.
float HeartKingAceScore(const CardList& hand);
// 35 per queen plus 15 per card stronger than a queen (kings and aces).
float QueenScore(const CardList& hand);
// 30 per card at least as strong as a jack.
float HighCardScore(const CardList& hand);

// The classic players' own reading of the quotas, kept as they have always
// played it: three negative contracts close hearts trumps but not no king of
// hearts, and two trump contracts close clubs, diamonds and spades but not
// hearts trumps. Every other contract follows the table's quotas.
bool ClassicMayChoose(const TableState& t, int seat, Contract c);

// The contract the seat chooses; draws from `chance` only when no rule decides.
Contract ChooseClassicContract(const TableState& t, int seat, RandomSource& chance);

}  // namespace tenfold
