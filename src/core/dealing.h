#pragma once
// A deal from its start to the last card in the hands: the resets, the
// shuffle, the seat that receives the first cards, one card flight per move,
// the undealt pile, and the sort of the human's hand.

#include <cstdint>

#include "core/computer_player.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// Draws three different names for the computer seats (at the start of a run
// and of every match).
void DrawPlayerNames(TableState& t, RandomSource& chance);
// Starts a deal (and a new match after the twentieth deal): resets, shuffle,
// first seat, undealt pile; leaves the state Dealing. The players hear that a
// deal begins.
void NewDeal(TableState& t, Services& s, ComputerPlayer& players);
// Fills the deck with a random order of the 52 cards, drawing again whenever
// a card comes up twice.
void Shuffle(TableState& t, RandomSource& chance);
// The seat that receives the first cards: drawn once per run, then the next
// seat every deal, across matches too.
std::int16_t NextFirstSeat(TableState& t, RandomSource& chance);
// The Dealing step: moves the card in flight, or sends the next one.
void DealingStep(TableState& t, Services& s);
// Sends one deck card flying to the seat's next hand slot (from rest).
void DealOneCard(TableState& t, Services& s, CardSprite& card, int seat);
// Arrival of a dealt card: into its hand; after the 52nd, on to the contract.
void DealtCardArrived(TableState& t, CardSprite& card);
// Shows the next (at most eight) cards to deal as a pile.
void LayOutDeckPile(TableState& t);
// Sorts the cards of the human's active slots by suit, then from the ace down;
// only cards move between slots, not the slots.
void SortHumanHand(TableState& t);

}  // namespace tenfold
