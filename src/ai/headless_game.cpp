#include "ai/headless_game.h"

#include <algorithm>

namespace tenfold {

FrameOutcome HeadlessGame::Frame(bool autopilot) {
    if (table.flow.state == GameState::Waiting) {
        services.clock.now = std::max(services.clock.now, DelayEndTick(table));
    }
    PlayerInput input;
    if (autopilot) {
        if (const auto click = pilot.Decide(table)) input = *click;
    }
    const FrameOutcome outcome = RunFrame(table, services, players, input);
    services.clock.Advance(1);
    return outcome;
}

int HeadlessGame::RunUntil(const std::function<bool()>& done, int maxFrames, bool autopilot) {
    int frames = 0;
    while (!done() && frames < maxFrames) {
        Frame(autopilot);
        ++frames;
    }
    return frames;
}

}  // namespace tenfold
