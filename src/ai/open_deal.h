#pragma once
// A deal with every hand in view, small enough to copy and play out thousands
// of times per decision: hands as bit sets of card codes, the trick, whose
// turn it is, and the points each seat has taken so far. The expert player
// plays its sampled layouts out on it. The rules are the table's own: the
// same rules of play as PlayRules, the same trick winner, the same scores and
// the same early end of the contracts that count cards.

#include <array>
#include <cstdint>

#include "core/cards.h"
#include "core/table_state.h"

namespace tenfold {

using CardSet = std::uint64_t;
constexpr CardSet CardBit(Card c) { return CardSet{1} << c; }
// The cards of a suit (codes 4k + letter index).
CardSet SuitCards(Suit s);
// The points the contract charges (or pays) for this card when its trick is
// won, 0 for the trick contracts and no last two tricks (their points come
// per trick).
int CardPoints(Contract c, Card card);

struct OpenDeal {
    std::array<CardSet, kSeatCount> hands{};
    Contract contract = Contract::None;
    std::int8_t trump = -1;  // suit code, -1 for none
    bool heartsBroken = false;
    std::int8_t cardsPlayed = 0;  // this deal, 0..52
    std::array<Card, kTrickSize> trick{};
    std::int8_t trickCount = 0;
    std::int8_t leader = 0;   // the seat that led the trick on the table
    std::int8_t toPlay = 0;   // the seat whose card comes next
    CardSet penaltyLeft = 0;  // counted cards not yet taken, for the early end
    bool over = false;
    std::array<std::int16_t, kSeatCount> score{};  // natural sign, as ScoreDeal gives

    // A deal about to be led by `leader`, nothing played.
    static OpenDeal Fresh(const std::array<CardSet, kSeatCount>& hands, Contract c, int leader);

    // The cards the seat to play may play now.
    CardSet Legal() const;
    // Plays a card of the seat to play (a legal one: not checked here).
    void Play(Card c);
    // The card winning the trick on the table; ask only while cards lie there.
    Card Winning() const;

    bool operator==(const OpenDeal&) const = default;
};

// The quick judgement every seat uses in a play-out: a card chosen from the
// legal ones by the contract's family and the trick as it lies, no look-ahead.
Card QuickCard(const OpenDeal& d);
// Plays the deal to its end with QuickCard for every seat.
void PlayOut(OpenDeal& d);

}  // namespace tenfold
