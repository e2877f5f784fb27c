#include "app/simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iomanip>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "ai/headless_game.h"
#include "app/deal_trace.h"
#include "core/layout.h"
#include "core/table_state.h"

namespace tenfold {

namespace {

// A frame budget per deal far above any real deal (a deal takes a few hundred
// frames at the fewest frames per move); passing it means the flow is stuck.
constexpr std::uint64_t kFramesPerDealLimit = 200000;

std::array<std::string_view, kSeatCount> SeatNames(const HeadlessGame::Seating& seating) {
    std::array<std::string_view, kSeatCount> names{};
    for (std::size_t s = 0; s < names.size(); ++s) names[s] = PlayerKindName(seating[s]);
    return names;
}

}  // namespace

SimSummary RunSimulation(const SimOptions& options) {
    if (options.matches < 0) throw std::invalid_argument("the number of matches must not be negative");
    if (options.dealPacketSize != 1 && options.dealPacketSize != 13)
        throw std::invalid_argument("the deal packet size must be 1 or 13");

    TraceFile trace(options.tracePath);
    SimSummary summary;
    const auto started = std::chrono::steady_clock::now();
    if (options.matches == 0) {
        trace.Commit();
        return summary;
    }

    const HeadlessGame::Seating seating = {PlayerKind::Classic, options.opponents, options.opponents,
                                           options.opponents};
    auto game = std::make_unique<HeadlessGame>(options.seed, seating);
    TableState& t = game->table;
    t.options.sevenOfHeartsLead = options.sevenOfHeartsLead;
    t.options.dealPacketSize = static_cast<std::int16_t>(options.dealPacketSize);
    t.options.slowAnimation = options.slow;
    game->Start();
    if (!options.slow) UseFewestAnimationFrames(t);

    DealRecorder record(t);
    std::uint64_t framesThisDeal = 0;

    while (true) {
        const bool dealOver = t.flow.state == GameState::DealOver;
        if (dealOver) {
            if (t.match.over && record.Match() == options.matches) break;
        }
        game->Frame();
        ++summary.frames;

        const bool scored = record.AfterFrame(t);
        if (dealOver) framesThisDeal = 0;
        if (++framesThisDeal > kFramesPerDealLimit) {
            throw std::runtime_error("deal " + std::to_string(t.match.dealsPlayed + 1) + " of match " +
                                     std::to_string(record.Match()) + " did not finish (state \"" +
                                     std::string(StateName(t.flow.state)) + "\")");
        }
        if (scored) {
            ++summary.deals;
            ++summary.contractCounts.at(static_cast<std::size_t>(record.Contract()));
            if (t.match.over) {
                ++summary.matches;
                if (t.match.result == MatchResult::Won) ++summary.humanWins;
                for (int s = 0; s < kSeatCount; ++s)
                    summary.totalSums[static_cast<std::size_t>(s)] += t.seats[s].matchTotal;
            }
            if (trace.enabled())
                trace.Write(
                    record.Line(t, {options.sevenOfHeartsLead, options.dealPacketSize, SeatNames(seating)}));
        }
    }

    trace.Commit();
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return summary;
}

void PrintSummary(std::ostream& out, const SimSummary& s) {
    const auto pct = [](double part, double whole) { return whole > 0 ? 100.0 * part / whole : 0.0; };
    out << std::fixed << std::setprecision(1);
    out << "matches: " << s.matches << "\n";
    out << "deals: " << s.deals << "\n";
    out << "seat 0 won: " << s.humanWins << " of " << s.matches << " (" << pct(s.humanWins, s.matches)
        << "%)\n";
    out << "mean match total:";
    for (int seat = 0; seat < 4; ++seat) {
        const double mean = s.matches > 0
                                ? static_cast<double>(s.totalSums[static_cast<std::size_t>(seat)]) / s.matches
                                : 0.0;
        out << "  seat " << seat << " " << mean;
    }
    out << "\ncontracts chosen:\n";
    static constexpr std::array<const char*, 11> kNames = {"",
                                                           "clubs are trumps",
                                                           "diamonds are trumps",
                                                           "spades are trumps",
                                                           "hearts are trumps",
                                                           "no tricks",
                                                           "no hearts",
                                                           "no last two tricks",
                                                           "no kings and jacks",
                                                           "no queens",
                                                           "no king of hearts"};
    for (int c = 1; c <= 10; ++c) {
        const auto n = s.contractCounts[static_cast<std::size_t>(c)];
        out << "  " << std::setw(2) << c << " " << std::left << std::setw(20)
            << kNames[static_cast<std::size_t>(c)] << std::right << std::setw(8) << n << "  ("
            << pct(static_cast<double>(n), s.deals) << "%)\n";
    }
    out << std::setprecision(3) << "wall time: " << s.seconds << " s\n";
    out << std::setprecision(1) << "matches per second: " << (s.seconds > 0 ? s.matches / s.seconds : 0.0)
        << "\n";
}

}  // namespace tenfold
