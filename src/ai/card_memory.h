#pragma once
// What a computer seat knows about the cards, and the small questions its
// choices ask. A seat knows the won piles, the cards on the table, its own
// hand and which suits each seat has shown out of; it never looks into
// another seat's hand. Everything but the per-seat suit flags is recomputed
// from the table on every question, so nothing here can go stale.
//
// A card is "seen" when it lies in a won pile, on the table or in the hand
// passed to the question. Strength is ValueOrder of the face value (two 0 ..
// ace 12); "higher" and "lower" always compare strengths.

#include <cstdint>

#include "core/checked.h"
#include "core/table_state.h"

namespace tenfold {

// A hand as the computer players pass it around: a count and the card codes,
// entries 0..Count-1. Only codes matter to a choice, never positions on screen.
struct HandList {
    std::int16_t Count = 0;
    Array<std::int16_t, 16> Codes{};
};

// The code list of a seat (0..3) as a hand list: HandCodesN entries 0..HandSizeN-1.
HandList HandListOf(const TableState& t, int seat);

// Seen cards of the card's suit stronger than it (the card itself never counts).
std::int16_t SeenHigherCount(const TableState& t, int card, const HandList& hand);
// Seen cards of the card's suit weaker than it.
std::int16_t SeenLowerCount(const TableState& t, int card, const HandList& hand);
// Seen cards of the suit, the hand's own included.
std::int16_t SeenSuitCount(const TableState& t, const HandList& hand, int suit);
// Whether the card of this face value (ace 1 .. king 13) and suit has been seen.
bool IsCardSeen(const TableState& t, int faceValue, int suit, const HandList& hand);

// Whether the card, played now, would take the trick as it lies (a trump on a
// plain lead counts). False on an empty table.
bool WinsTrickNow(const TableState& t, int card);
// Stricter variant: only a card of the led suit that beats every card on the
// table, whatever their suits, or a trump on a trump lead, counts.
bool WinsTrickFollowing(const TableState& t, int card);
// 1 when the card is of the trump suit, else 0. A count, not a truth value:
// the card play multiplies it, so it must never be -1.
std::int16_t IsTrumpCard(const TableState& t, int card);
// Penalty units of the contract in force lying on the table now.
std::int16_t TablePenaltyCount(const TableState& t);

// Whether leading the suit is judged safe: always for trumps; otherwise both
// the next seat and the last seat of the trick may still hold it and at most
// four of its cards are seen. Neighbours are counted from CurrentSeat.
bool IsSafeLead(const TableState& t, const HandList& hand, int suit);
// Whether the card outranks a penalty card of the led suit that is still out
// (jack/king under contract 8, queen under 9, king of hearts under 10).
bool CaptureRisk(const TableState& t, int card, const HandList& hand);

// Hand questions; each scans entries 0..Count-1 of the hand.
bool HasTrump(const TableState& t, const HandList& hand);
// Compares with TableCards entry 0 whatever TableCount is: ask it only while following.
bool HasLedSuit(const TableState& t, const HandList& hand);
bool HasNonHeart(const TableState& t, const HandList& hand);
// Contract 10 and the hand holds the king of hearts.
bool HoldsHeartKingPenalty(const TableState& t, const HandList& hand);
// Contract 9 and the hand holds the suit's queen, or contract 8 and it holds
// the suit's jack (its king is not looked for).
bool HoldsSuitPenaltyCard(const TableState& t, int suit, const HandList& hand);

// The human is about to play Hand0 slot `slot` (legal, not yet on the table):
// remember that the current seat is out of the led suit when it discards.
void NoteHumanPlay(TableState& t, int slot);
// First deal of a match under the seven-of-hearts option: the holder of the
// seven of hearts chooses and leads. Call after the 52nd card has arrived and
// CurrentSeat was stepped back; does nothing once a deal of the match was played.
void SetFirstChooser(TableState& t);
// Seat holding the seven of hearts, 0 when no hand holds it.
std::int16_t SevenOfHeartsHolder(const TableState& t);

// The per-deal reset of the suit memory: every seat may hold every suit.
void ResetCardMemory(TableState& t);

}  // namespace tenfold
