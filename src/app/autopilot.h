#pragma once
// Plays seat 0 as a person would: it looks at the table, decides, and acts
// only by clicking — a menu row, or a visible part of a card — so the same
// hit tests, legality test and bookkeeping run as for a player's click.

#include <cstdint>
#include <optional>

#include "core/random.h"
#include "core/table_state.h"

namespace tenfold {

class Autopilot {
public:
    // `seed` feeds the autopilot's own generator, used when the computer
    // contract choice it consults falls back to chance; the game's generator
    // is never drawn from.
    explicit Autopilot(std::uint64_t seed) : rng_(seed, 0x5eed) {}

    // The click the human makes in this frame, if any: none unless the game
    // is waiting for seat 0's contract or card.
    std::optional<InputSnapshot> Decide(const TableState& t);

    // The contract seat 0 would choose now (the computer's choice when its
    // row is enabled, else the first enabled row), or 0 when no row is.
    std::int16_t ContractFor(const TableState& t);
    // The Hand0 slot seat 0 plays now (the computer's choice when legal, else
    // the legal card in the lowest slot), or -1 when none is legal.
    int CardSlotFor(const TableState& t) const;
    // A point inside the visible part of Hand0 slot `slot`, not covered by a
    // higher active slot.
    static InputSnapshot ClickOnCard(const TableState& t, int slot);

private:
    Pcg32 rng_;
};

}  // namespace tenfold
