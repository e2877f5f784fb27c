#pragma once
// Small tables for the computer players' tests: cards by name, a hand list
// from codes, a trick laid on the table, cards put in a won pile.

#include <initializer_list>

#include "ai/card_memory.h"
#include "core/cards.h"
#include "core/table_state.h"

namespace tenfold::test {

// Card code by face value (ace 1 .. king 13) and suit letter C, D, H or S.
constexpr int Card(int face, char letter) {
    return 4 * (face - 1) + (letter == 'C' ? 0 : letter == 'D' ? 1 : letter == 'H' ? 2 : 3);
}

// A fresh deal: card tables filled, every seat may hold every suit, no trump.
inline TableState FreshTable(int contract = 5) {
    TableState t;
    BuildCardFiles(t);
    ResetCardMemory(t);
    t.Contract = static_cast<std::int16_t>(contract);
    t.TrumpSuit = contract <= 4 ? contract - 1 : 4;
    return t;
}

inline HandList Hand(std::initializer_list<int> codes) {
    HandList h;
    for (int c : codes) h.Codes[h.Count++] = static_cast<std::int16_t>(c);
    return h;
}

// Lays the cards on the table in play order (entry 0 is the led card).
inline void Lay(TableState& t, std::initializer_list<int> codes) {
    t.TableCount = 0;
    for (int c : codes) {
        t.TableCards[t.TableCount].Code = static_cast<std::int16_t>(c);
        t.TableCards[t.TableCount].Active = true;
        t.TableCodes[t.TableCount] = static_cast<std::int16_t>(c);
        ++t.TableCount;
    }
}

// Appends the cards to a seat's won pile.
inline void Won(TableState& t, int seat, std::initializer_list<int> codes) {
    for (int c : codes) {
        std::int16_t& n = WonCountOf(t, seat);
        WonPileOf(t, seat)[n].Code = static_cast<std::int16_t>(c);
        ++n;
    }
}

// Gives a seat exactly these cards, in hand slots and in its code list.
inline void Deal(TableState& t, int seat, std::initializer_list<int> codes) {
    auto& hand = HandOf(t, seat);
    auto& list = HandCodesOf(t, seat);
    std::int16_t& size = HandSizeOf(t, seat);
    size = 0;
    for (int c : codes) {
        hand[size].Code = static_cast<std::int16_t>(c);
        hand[size].Active = true;
        list[size] = static_cast<std::int16_t>(c);
        ++size;
    }
}

}  // namespace tenfold::test
