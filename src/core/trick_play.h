#pragma once
// The thirteen tricks of a deal: whose turn it is, the human's card click and
// the rules that make a card legal for him, the throw, the landing of a card,
// and the hand-over of a finished trick to its winner.

#include <cstdint>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// The "NORMAL PLAY" step: moves the card in flight, or gives the turn to the
// next seat (a computer seat plays at once; the human is waited for).
void PlayStep(TableState& t, Services& s);
// The human's click at (x, y): the topmost legal card whose visible or hidden
// part holds the point, searching down through overlapping cards; notes the
// play for the computer players. Result the Hand0 slot, or -1.
std::int16_t CardHitTest(TableState& t, std::int32_t x, std::int32_t y);
// Whether the human may play the card now (follow suit, the negative
// contracts' discards, no heart lead before hearts are broken, trump when
// void). Discarding a heart under contracts 6 and 10 breaks hearts.
bool IsLegalForHuman(TableState& t, int code);
// The same question without breaking hearts, for callers that only look.
bool WouldBeLegalForHuman(const TableState& t, int code);
// Throws a card of CurrentSeat's hand to that seat's throw position.
void ThrowCard(TableState& t, Services& s, CardSprite& card);
// Arrival of a played card: onto the table, out of the hand, trick decided,
// deal end tested, then the pause after every card.
void CardLanded(TableState& t, Services& s, CardSprite& card);
// Arrival of a carried trick: into the winner's won pile; the winner leads next.
void TrickHandOver(TableState& t, Services& s);

}  // namespace tenfold
