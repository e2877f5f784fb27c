#include "ai/card_memory.h"

#include "core/scoring.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {
bool IsTrump(const TableState& t, Card c) { return SuitOf(c) == t.trump; }

// The led suit; asked only while following.
Suit Led(const TableState& t) { return SuitOf(t.trick.cards[0].card); }

template <class P>
bool HandHolds(const CardList& hand, P&& pred) {
    for (int i = 0; i < hand.count; ++i) {
        if (pred(hand.cards[i])) return true;
    }
    return false;
}
}  // namespace

void CardMemory::Reset() {
    for (auto& suits : mayHold_) suits.fill(true);
}

void CardMemory::HearPlay(const TableState& t, int seat, Card card) {
    const std::optional<Suit> led = LedSuit(t);
    if (led && SuitOf(card) != *led) ShowOut(seat, *led);
}

SeenCards SeenCards::Gather(const TableState& t, const CardList& hand) {
    SeenCards seen;
    for (const Seat& seat : t.seats) {
        for (const CardSprite& won : seat.wonPile.First(seat.wonCount)) seen.Add(won.card);
    }
    for (const CardSprite& played : t.trick.cards.First(t.trick.count)) seen.Add(played.card);
    for (const Card held : hand.cards.First(hand.count)) seen.Add(held);
    return seen;
}

bool SeenCards::Has(Rank rank, Suit suit) const {
    return (bits_[static_cast<std::size_t>(Index(suit))] >> StrengthOf(rank)) & 1u;
}

bool WinsTrickNow(const TableState& t, Card c) {
    return t.trick.count > 0 && Beats(c, WinningCard(t), t.trump);
}

bool WinsTrickFollowing(const TableState& t, Card c) {
    if (t.trick.count < 1) return false;
    const int strength = StrengthOf(c);
    const Card led = t.trick.cards[0].card;
    if (IsTrump(t, c)) {
        if (!IsTrump(t, led)) return false;
        for (int i = 0; i < t.trick.count; ++i) {
            const Card other = t.trick.cards[i].card;
            if (IsTrump(t, other) && StrengthOf(other) > strength) return false;
        }
        return true;
    }
    if (SuitOf(c) != SuitOf(led) || strength <= StrengthOf(led)) return false;
    for (int i = 1; i < t.trick.count; ++i) {
        const Card other = t.trick.cards[i].card;
        // A stronger discard of another suit counts against the card too.
        if (IsTrump(t, other) || StrengthOf(other) > strength) return false;
    }
    return true;
}

int IsTrumpCard(const TableState& t, Card c) { return IsTrump(t, c) ? 1 : 0; }

int TablePenaltyCount(const TableState& t) {
    int units = 0;
    for (int i = 0; i < t.trick.count; ++i) units += PenaltyUnit(t.contract, t.trick.cards[i].card);
    return units;
}

bool IsSafeLead(const TableState& t, const CardMemory& memory, const SeenCards& seen, Suit suit) {
    if (suit == t.trump) return true;
    const int next = NextSeat(t.currentSeat);
    const int last = PreviousSeat(t.currentSeat);
    if (!memory.MayHoldSuit(next, suit) || !memory.MayHoldSuit(last, suit)) return false;
    return 13 - seen.InSuit(suit) >= 9;
}

bool CaptureRisk(const TableState& t, Card c, const SeenCards& seen) {
    const Suit led = Led(t);
    const int strength = StrengthOf(c);
    auto outAndBelow = [&](Rank rank) { return !seen.Has(rank, led) && strength > StrengthOf(rank); };
    switch (t.contract) {
        case Contract::NoKingsAndJacks: return outAndBelow(Rank::Jack) || outAndBelow(Rank::King);
        case Contract::NoQueens: return outAndBelow(Rank::Queen);
        case Contract::NoKingOfHearts: return led == Suit::Hearts && outAndBelow(Rank::King);
        default: return false;
    }
}

bool HoldsHeartKingPenalty(const TableState& t, const CardList& hand) {
    if (t.contract != Contract::NoKingOfHearts) return false;
    return HandHolds(hand, [](Card c) { return c == CardCode(Rank::King, Suit::Hearts); });
}

bool HoldsSuitPenaltyCard(const TableState& t, Suit suit, const CardList& hand) {
    Rank rank = Rank::Queen;
    if (t.contract == Contract::NoQueens) {
        rank = Rank::Queen;
    } else if (t.contract == Contract::NoKingsAndJacks) {
        rank = Rank::Jack;
    } else {
        return false;
    }
    return HandHolds(hand, [&](Card c) { return c == CardCode(rank, suit); });
}

}  // namespace tenfold
