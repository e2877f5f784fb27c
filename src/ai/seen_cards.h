#pragma once
// The computer players' picture of the seen cards, gathered in one pass so a
// card choice that asks dozens of "how many higher, how many lower" questions
// reads the won piles and the table once, not once per question.

#include <bit>
#include <cstdint>

#include "ai/card_memory.h"
#include "core/checked.h"
#include "core/table_state.h"

namespace tenfold {

// One bit per strength (two = bit 0 .. ace = bit 12) for each suit 0..3.
class SeenCards {
public:
    // Won piles, the table and the hand passed in.
    static SeenCards Gather(const TableState& t, const HandList& hand);

    int Higher(const TableState& t, int card) const;
    int Lower(const TableState& t, int card) const;
    int InSuit(int suit) const { return std::popcount(bits_[suit]); }
    bool Has(const TableState& t, int faceValue, int suit) const;

private:
    void Add(const TableState& t, int card);
    Array<std::uint16_t, 4> bits_{};
};

// The queries of card_memory.h on an already gathered picture.
bool IsSafeLead(const TableState& t, const SeenCards& seen, int suit);
bool CaptureRisk(const TableState& t, int card, const SeenCards& seen);

}  // namespace tenfold
