#pragma once
// A whole game without a display, for the simulator and the tests: the
// classic player at the computer seats, the autopilot at seat 0 (when asked
// to play), and a simulated clock that jumps past every delay, so a match
// runs as fast as the rules allow and the same seed plays the same match.

#include <cstdint>
#include <functional>

#include "ai/autopilot.h"
#include "ai/classic_player.h"
#include "core/random.h"
#include "core/state_machine.h"
#include "core/table_state.h"

namespace tenfold {

class HeadlessGame {
public:
    explicit HeadlessGame(std::uint64_t seed) : services(seed), pilot(players, seed) {}
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // The layout, the names and the first deal, from table.options.
    void Start() { StartRun(table, services, players); }

    // One frame as the simulator plays it: a running delay ends at once, seat 0
    // clicks as the autopilot decides (no input when `autopilot` is false),
    // then the clock moves on a millisecond.
    FrameOutcome Frame(bool autopilot = true);
    // One frame with the given input and the clock left alone.
    FrameOutcome Frame(const PlayerInput& input) { return RunFrame(table, services, players, input); }
    // Runs frames until `done` holds (checked before each frame) or `maxFrames`
    // have run. Returns the frames run.
    int RunUntil(const std::function<bool()>& done, int maxFrames, bool autopilot = true);

    TableState table;
    HeadlessServices services;
    ClassicPlayer players;
    Autopilot pilot;
};

}  // namespace tenfold
