#pragma once
// What a deal is worth: the penalty unit of a card under the contract in force,
// the points taken so far, the early end of the card-based negative contracts,
// the deal's result per seat, and the match totals and history it feeds.

#include <cstdint>

#include "core/cards.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// 1 when the card counts under the contract (every card under the trump
// contracts and no tricks, hearts under no hearts, none under no last two
// tricks, kings and jacks, queens, the king of hearts), else 0. The computer
// players weigh cards with it too.
constexpr std::int16_t PenaltyUnit(Contract contract, Card c) {
    const Suit suit = SuitOf(c);
    const Rank rank = RankOf(c);
    switch (contract) {
        case Contract::NoHearts: return suit == Suit::Hearts ? 1 : 0;
        case Contract::NoLastTwoTricks: return 0;
        case Contract::NoKingsAndJacks: return (rank == Rank::Jack || rank == Rank::King) ? 1 : 0;
        case Contract::NoQueens: return rank == Rank::Queen ? 1 : 0;
        case Contract::NoKingOfHearts: return (rank == Rank::King && suit == Suit::Hearts) ? 1 : 0;
        default: return 1;
    }
}

// The negative contracts that count cards (no hearts, no kings and jacks, no
// queens, no king of hearts): their deals end once every counted card is
// taken, and taken counted cards lie face up by their taker's hand.
constexpr bool CountsPenaltyCards(Contract c) {
    return c == Contract::NoHearts || c == Contract::NoKingsAndJacks || c == Contract::NoQueens ||
           c == Contract::NoKingOfHearts;
}

// Penalty points taken so far in this deal by all seats together (for the
// trump contracts, no tricks and no last two tricks the plain count of
// counted cards, which never reaches the contract's value, so those deals are
// never cut short).
std::int16_t PenaltyTaken(const TableState& t);
// Ends the deal (DealOver and EndDeal) once all 52 cards are played or every
// penalty point of the contract has been taken.
void CheckDealEnd(TableState& t, Services& s);
// Fills every seat's dealScore with the deal's natural-sign result.
void ScoreDeal(TableState& t);
// A seat's points of the running deal so far, natural sign (what ScoreDeal
// would give it if the deal ended now); for the table's tally.
std::int16_t DealPointsSoFar(const TableState& t, int seat);
// Scores the deal, books it into the history and the totals (sign turned),
// counts it, and after the twentieth deal settles the match result.
void EndDeal(TableState& t, Services& s);

}  // namespace tenfold
