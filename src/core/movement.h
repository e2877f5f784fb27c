#pragma once
// How cards travel: every move covers its distance in a fixed number of frames,
// so a long flight is simply faster. Group moves start only from rest.

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// Starts or stops a card's motion; every change of `moving` goes through here.
void SetMoving(TableState& t, CardSprite& card, bool moving);
// Sends a card towards (tx, ty) over moveSteps frames (while dealing, moveSteps
// divided by dealSpeedFactor).
void StartMove(TableState& t, CardSprite& card, int tx, int ty);
// One frame of travel, without the arrival test.
void MoveOneStep(CardSprite& card);
// A moving card within the arrival tolerance of its target.
bool IsWithinArrival(const Layout& layout, const CardSprite& card);
// Any hand slot, deck card or card of the trick still travelling.
bool AnyCardMoving(const TableState& t);

// One of the three card sounds, chosen by one random draw.
void PlayCardSound(Services& s);
// One of the three sign sounds, chosen by one random draw.
void PlaySignSound(Services& s);

// The moves below start only from rest: the caller has seen that no card moves.

// Throws a played card to the given seat's throw spot with a random offset.
void ThrowToTable(TableState& t, Services& s, CardSprite& card, int seat);
// Draws the finished trick together on its winning card.
void GatherTrick(TableState& t, Services& s);
// Carries the trick to its winner: penalty cards face up into the winner's
// penalty row, everything else face down onto the won pile.
void CarryTrick(TableState& t, Services& s);
// Draws the human's hand together on slot 0 (before sorting it).
void GatherHand(TableState& t, Services& s);
// Spreads the human's hand back to its home positions.
void SpreadHand(TableState& t, Services& s);

}  // namespace tenfold
