#pragma once
// A whole game without a display, for the simulator and the tests: the
// classic player at the computer seats (or the expert at any seat), the
// autopilot at seat 0 (when asked to play), and a simulated clock that jumps
// past every delay, so a match runs as fast as the rules allow and the same
// seed plays the same match.

#include <cstdint>
#include <functional>

#include "ai/autopilot.h"
#include "ai/classic_player.h"
#include "ai/expert_player.h"
#include "ai/seated_players.h"
#include "core/random.h"
#include "core/state_machine.h"
#include "core/table_state.h"

namespace tenfold {

class HeadlessGame {
public:
    using Seating = std::array<PlayerKind, kSeatCount>;
    static constexpr Seating kAllClassic = {PlayerKind::Classic, PlayerKind::Classic, PlayerKind::Classic,
                                            PlayerKind::Classic};

    // Seat 0's kind is the judgement the autopilot plays it with.
    explicit HeadlessGame(std::uint64_t seed, const Seating& seating = kAllClassic);
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // The layout, the names and the first deal, from table.options.
    void Start() { StartRun(table, services, Table()); }

    // One frame as the simulator plays it: a running delay ends at once, seat 0
    // clicks as the autopilot decides (no input when `autopilot` is false),
    // then the clock moves on a millisecond.
    FrameOutcome Frame(bool autopilot = true);
    // One frame with the given input and the clock left alone.
    FrameOutcome Frame(const PlayerInput& input) { return RunFrame(table, services, Table(), input); }
    // Runs frames until `done` holds (checked before each frame) or `maxFrames`
    // have run. Returns the frames run.
    int RunUntil(const std::function<bool()>& done, int maxFrames, bool autopilot = true);

    // What the rules talk to: the classic player itself when every seat is
    // classic and nothing is asked before each deal (as it always was), else
    // the seated players.
    ComputerPlayer& Table() {
        return allClassic_ && !seated.beforeDeal ? static_cast<ComputerPlayer&>(players) : seated;
    }

    TableState table;
    HeadlessServices services;
    ClassicPlayer players;  // every classic seat
    ExpertPlayer expert;    // every expert seat
    SeatedPlayers seated;
    Autopilot pilot;

private:
    bool allClassic_ = true;
};

}  // namespace tenfold
