#pragma once
// Taking up a saved match again: its start, then the human's decisions
// replayed headless through the same frame routine, until the table waits for
// a decision the save does not hold. The journal's decisions are clicks and
// key presses made where the save says they were made, so the hit tests, the
// legality test and the computer players run exactly as in the game.

#include <cstdint>
#include <functional>
#include <string>

#include "core/computer_player.h"
#include "core/random.h"
#include "core/table_state.h"
#include "resources/match_save.h"

namespace tenfold {

// What the table waits for from seat 0.
enum class HumanWanted { Nothing, Card, Contract, NextDeal };
HumanWanted WhatHumanIsWanted(const TableState& t);

inline GeneratorPosition PositionOf(const Pcg32& rng) {
    const Pcg32::Position p = rng.Where();
    return {p.state, p.increment};
}
inline void MoveTo(Pcg32& rng, const GeneratorPosition& p) { rng.GoTo({p.state, p.increment}); }

// Rebuilds the saved match on `t` (whose layout and deck follow the save;
// `fullScreen` is the caller's), drawing from `rng` and informing `players`
// as the game did. `afterFrame` sees the table after every replayed frame.
// False with `why` when the journal does not fit the match it claims: the
// table is then half-built and must be thrown away.
bool ReplayMatch(const MatchSave& save, bool fullScreen, TableState& t, Pcg32& rng, ComputerPlayer& players,
                 std::string& why, const std::function<void(const TableState&)>& afterFrame = {});

// A fingerprint of everything on the table that the match's course decides
// (not the clock of a running delay, nor the pause): two tables with the same
// fingerprint show and go on the same.
std::string TableFingerprint(const TableState& t);
// The same as text, one line per part of the table, to show where two differ.
std::string TableText(const TableState& t);

}  // namespace tenfold
