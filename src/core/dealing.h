#pragma once
// A deal from its start to the last card in the hands: the resets, the
// shuffle, the seat that receives the first cards, one card flight per frame,
// the deck pile, and the sort of the human's hand.

#include <cstdint>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// Starts a deal (and a new match after the twentieth deal): resets, shuffle,
// first seat, deck pile; leaves GameState "DEALING CARDS".
void NewDeal(TableState& t, Services& s);
// Fills the Code of Deck slots 0..51 with a random permutation, drawing again
// whenever a card comes up twice.
void Shuffle(TableState& t, Services& s);
// The seat that receives the first cards: drawn once per program run, then
// the next seat every deal, across matches too.
std::int16_t NextFirstSeat(TableState& t, Services& s);
// DealOrder 0..3: the seats in ascending order from CurrentSeat.
void BuildDealOrder(TableState& t);
// The "DEALING CARDS" step: moves the card in flight, or sends the next one.
void DealingStep(TableState& t, Services& s);
// Sends one deck card flying to the seat's next hand position.
void DealOneCard(TableState& t, Services& s, CardSprite& card, int seat);
// Arrival of a dealt card: into its hand; after the 52nd, on to "SELECT TRUMPS".
void DealtCardArrived(TableState& t, Services& s, CardSprite& card);
// Puts the card that arrived into the hand of the seat it was dealt to.
void TakeDealtCard(TableState& t, CardSprite& card);
// Shows the next (at most eight) cards to deal as a pile at (PileX, PileY).
void LayOutDeckPile(TableState& t);
// Sorts the codes of the human's active slots by suit, then from the ace down.
void SortHumanHand(TableState& t);

}  // namespace tenfold
