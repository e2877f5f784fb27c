#pragma once
// How a classic computer seat picks its card: every card of the hand gets a
// score from the rules of the contract's family and its place in the trick,
// the cards it may not play are pushed far down, and the first card with the
// highest score is played. No chance is involved.

#include <cstdint>

#include "ai/card_memory.h"
#include "core/checked.h"
#include "core/table_state.h"
#include "core/trick_play.h"

namespace tenfold {

// Score given to a card the seat may not play; far below any score a card can earn.
inline constexpr double kExcludedScore = -150000.0;

// What the seat makes of one card of its hand.
struct CardAssessment {
    bool winsNow = false;        // WinsTrickNow
    bool winsFollowing = false;  // WinsTrickFollowing
    int isTrump = 0;             // IsTrumpCard: 1 or 0
    int penalty = 0;             // PenaltyUnit: 1 or 0
    // (h + l) / 10 + |h - l| + strength, h and l the seen higher and lower
    // cards of its suit: how well the card's place in its suit is known.
    double strength = 0;
    double score = 0;  // the highest is played
};

// The classic players' one exception to the rules of play: under no hearts
// and no king of hearts they lead no heart while seats 0 and 2 have won
// nothing yet, even once hearts are broken, unless they hold nothing else.
bool ClassicHeartLeadHabit(const TableState& t, const PlayRules& rules, Card c);

// Assessment and final score (forbidden cards excluded) of the hand's cards,
// for the seat whose turn it is.
Array<CardAssessment, kHandSize> AssessHand(const TableState& t, const CardMemory& memory,
                                            const CardList& hand);

// Entry of the highest score; on equal scores the lowest entry.
int PickCard(const Array<CardAssessment, kHandSize>& scores, int count);

// The card the current seat plays from this hand.
Card ChooseClassicCard(const TableState& t, const CardMemory& memory, const CardList& hand);

}  // namespace tenfold
