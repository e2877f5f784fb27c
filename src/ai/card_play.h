#pragma once
// How a computer seat picks its card: every card of the hand gets a score from
// the rules of the contract's family and its position in the trick, the cards
// the seat may not play are pushed far down, and the first card with the
// highest score is played. No chance is involved.

#include <cstdint>

#include "ai/card_memory.h"
#include "core/checked.h"
#include "core/table_state.h"

namespace tenfold {

// Score given to a card the rules forbid; far below any score a card can earn.
inline constexpr double kExcludedScore = -150000.0;

// What the seat makes of one card of its hand.
struct CardAssessment {
    bool WinsNow = false;        // WinsTrickNow
    bool WinsFollowing = false;  // WinsTrickFollowing
    std::int16_t IsTrump = 0;    // IsTrumpCard: 1 or 0
    std::int16_t Penalty = 0;    // PenaltyUnit: 1 or 0
    // (h + l) / 10 + |h - l| + strength, h and l the seen higher and lower
    // cards of its suit: how well the card's place in its suit is known.
    double Strength = 0;
    double Score = 0;  // the highest is played
};

// Assessment and final score (filters applied) of hand entries 0..Count-1 for
// the seat whose turn it is.
Array<CardAssessment, 16> AssessHand(const TableState& t, const HandList& hand);

// Entry of the highest score; on equal scores the lowest entry.
std::int16_t PickCard(const Array<CardAssessment, 16>& scores, int count);

// The card code the current seat plays from this hand. When it does not
// follow the led suit, the table learns that the seat is out of it.
std::int16_t ChooseCard(TableState& t, const HandList& hand);

}  // namespace tenfold
