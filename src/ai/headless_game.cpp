#include "ai/headless_game.h"

#include <algorithm>

namespace tenfold {

namespace {
std::array<ComputerPlayer*, kSeatCount> SeatPlayers(const HeadlessGame::Seating& seating,
                                                    ClassicPlayer& classic, ExpertPlayer& expert) {
    std::array<ComputerPlayer*, kSeatCount> bySeat{};
    for (std::size_t s = 0; s < bySeat.size(); ++s)
        bySeat[s] = seating[s] == PlayerKind::Expert ? static_cast<ComputerPlayer*>(&expert) : &classic;
    return bySeat;
}
}  // namespace

HeadlessGame::HeadlessGame(std::uint64_t seed, const Seating& seating)
    : services(seed),
      expert(ExpertSeed(seed)),
      seated(SeatPlayers(seating, players, expert)),
      pilot(players, seed),
      allClassic_(seating == kAllClassic) {
    if (seating[kHumanSeat] == PlayerKind::Expert) pilot.JudgeWith(expert);
}

FrameOutcome HeadlessGame::Frame(bool autopilot) {
    if (table.flow.state == GameState::Waiting) {
        services.clock.now = std::max(services.clock.now, DelayEndTick(table));
    }
    PlayerInput input;
    if (autopilot) {
        if (const auto click = pilot.Decide(table)) input = *click;
    }
    const FrameOutcome outcome = RunFrame(table, services, Table(), input);
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
