#pragma once
// Whole matches without a display: the game's own frame routine on a
// simulated clock, seat 0 played by the autopilot through its clicks. Used to
// check the rules over thousands of deals and to measure the engine's speed.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "ai/seated_players.h"

namespace tenfold {

struct SimOptions {
    int matches = 1;
    std::uint64_t seed = 1;
    std::string tracePath;  // JSON Lines, one object per scored deal; empty: none
    bool sevenOfHeartsLead = false;
    int dealPacketSize = 1;                      // 1 or 13
    bool slow = false;                           // animate at the slow option's frame counts
    PlayerKind opponents = PlayerKind::Classic;  // at seats 1..3; seat 0 is the classic autopilot
};

struct SimSummary {
    int matches = 0;
    int deals = 0;
    int humanWins = 0;
    std::array<std::int64_t, 4> totalSums{};        // match totals added over matches
    std::array<std::int64_t, 11> contractCounts{};  // index 1..10
    std::uint64_t frames = 0;
    double seconds = 0;
};

// Plays the matches; writes the trace (atomically: a temporary file renamed
// when the run succeeds). Throws std::invalid_argument for a bad option or a
// trace file that cannot be created, std::runtime_error when a deal fails to
// finish or the trace cannot be completed.
SimSummary RunSimulation(const SimOptions& options);

// The closing report: matches, deals, seat 0's wins, mean totals, contracts,
// wall time and matches per second.
void PrintSummary(std::ostream& out, const SimSummary& summary);

}  // namespace tenfold
