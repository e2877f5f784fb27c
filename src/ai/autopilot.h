#pragma once
// Plays seat 0 as a person would: it looks at the table, decides with the
// classic player's judgement, and acts only by clicking (a menu row, the
// visible part of a card, the score page), so the same hit tests, legality
// test and bookkeeping run as for a player's click. The game's --autoplay,
// the simulator and the tests all play the human's seat with it.

#include <cstdint>
#include <optional>

#include "ai/classic_player.h"
#include "core/random.h"
#include "core/table_state.h"

namespace tenfold {

class Autopilot {
public:
    // `judgement` is the classic player the table informs of every play (its
    // memory is the one the autopilot reads). `seed` feeds the autopilot's own
    // generator, used when the contract choice falls back to chance; the
    // game's generator is never drawn from.
    Autopilot(const ClassicPlayer& judgement, std::uint64_t seed)
        : judgement_(judgement), chance_(seed, 0x5eed) {}

    // Plays seat 0 with another player's judgement (its contract and card
    // choices for seat 0) instead of the classic one.
    void JudgeWith(ComputerPlayer& player) { other_ = &player; }

    // The click the human makes in this frame, if any: his contract or card
    // while the game waits for him, the next deal on the score page.
    std::optional<PlayerInput> Decide(const TableState& t);

    // The contract seat 0 chooses now (the classic choice when its row is
    // enabled, else the first enabled row), or None when no row is.
    Contract ContractFor(const TableState& t);
    // The hand slot seat 0 plays now (the classic choice when legal, else the
    // legal card in the lowest slot), or -1 when none is legal.
    int CardSlotFor(const TableState& t) const;
    // A click inside the visible part of the human's slot `slot`, not covered
    // by a higher active slot.
    static PlayerInput ClickOnCard(const TableState& t, int slot);

    // The autopilot's own generator: a saved demonstration keeps its position
    // so a resumed one chooses as the uninterrupted one would have.
    Pcg32& Chance() { return chance_.rng; }

private:
    const ClassicPlayer& judgement_;
    ComputerPlayer* other_ = nullptr;
    SeededRandom chance_;
};

}  // namespace tenfold
