#pragma once
// Small tables for the rules' and the computer players' tests: a laid-out
// table under a contract, hands dealt into slots, a trick on the table,
// cards in a won pile.

#include <initializer_list>

#include "core/layout.h"
#include "core/table_state.h"

namespace tenfold::test {

// A laid-out table in the middle of a deal under `contract`, no cards anywhere.
inline TableState TableUnder(Contract contract = Contract::NoTricks) {
    TableState t;
    ComputeLayout(t);
    t.contract = contract;
    t.trump = TrumpOf(contract);
    return t;
}

// A hand as the computer players read one.
inline CardList Hand(std::initializer_list<Card> cards) {
    CardList list;
    for (Card c : cards) list.Add(c);
    return list;
}

// Gives a seat exactly these cards, in slots 0.. at their home places, the
// human's face up; every other slot is empty.
inline void Deal(TableState& t, int seat, std::initializer_list<Card> cards) {
    auto& hand = t.seats[seat].hand;
    for (CardSprite& slot : hand) slot.active = false;
    int i = 0;
    for (Card c : cards) {
        CardSprite& slot = hand[i];
        slot.card = c;
        slot.active = true;
        slot.faceUp = seat == kHumanSeat;
        slot.home = HandSlotHome(t, seat, i);
        slot.x = slot.home.x;
        slot.y = slot.home.y;
        ++i;
    }
}

// Lays the cards on the table in play order, the led card first, played by
// the seats before the current seat (the last by the current seat).
inline void Lay(TableState& t, std::initializer_list<Card> cards) {
    t.trick.count = 0;
    const int n = static_cast<int>(cards.size());
    for (Card c : cards) {
        CardSprite& card = t.trick.cards[t.trick.count];
        card.card = c;
        card.active = true;
        card.faceUp = true;
        card.seat =
            static_cast<std::int8_t>((t.currentSeat + kSeatCount - (n - 1 - t.trick.count)) % kSeatCount);
        ++t.trick.count;
    }
}

// Appends the cards to a seat's won pile.
inline void Won(TableState& t, int seat, std::initializer_list<Card> cards) {
    Seat& s = t.seats[seat];
    for (Card c : cards) {
        s.wonPile[s.wonCount].card = c;
        s.wonPile[s.wonCount].active = true;
        ++s.wonCount;
    }
}

}  // namespace tenfold::test
