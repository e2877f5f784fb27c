#include "app/simulator.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "ai/headless_game.h"
#include "core/layout.h"
#include "core/table_state.h"

namespace tenfold {

namespace {

using Json = nlohmann::ordered_json;

// A frame budget per deal far above any real deal (a deal takes a few hundred
// frames at the fewest frames per move); passing it means the flow is stuck.
constexpr std::uint64_t kFramesPerDealLimit = 200000;

// Writes to a temporary file beside the target and renames it on Commit, so a
// failed run never leaves a half-written trace under the asked-for name.
class TraceFile {
public:
    explicit TraceFile(const std::string& path) : path_(path) {
        if (path_.empty()) return;
        temp_ = path_ + ".tmp" + std::to_string(::getpid());
        out_.open(temp_, std::ios::out | std::ios::trunc | std::ios::binary);
        if (!out_) throw std::invalid_argument("cannot write trace file " + path_);
    }
    ~TraceFile() {
        if (!temp_.empty() && !committed_) {
            out_.close();
            std::error_code ec;
            std::filesystem::remove(temp_, ec);
        }
    }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool enabled() const { return !path_.empty(); }
    void Write(const Json& line) {
        out_ << line.dump() << '\n';
        if (!out_) throw std::runtime_error("cannot write trace file " + path_);
    }
    void Commit() {
        if (path_.empty()) return;
        out_.close();
        if (!out_) throw std::runtime_error("cannot write trace file " + path_);
        std::filesystem::rename(temp_, path_);
        committed_ = true;
    }

private:
    std::string path_;
    std::string temp_;
    std::ofstream out_;
    bool committed_ = false;
};

// What one deal produced, gathered frame by frame from the table.
struct DealRecord {
    int firstSeat = 0;
    std::array<int, kDeckSize> deck{};
    int chooser = -1;
    int contract = 0;
    std::vector<std::array<int, 2>> plays;
    std::vector<int> trickWinners;
};

void StartRecord(const TableState& t, DealRecord& r) {
    r = DealRecord{};
    r.firstSeat = t.firstSeat;
    for (int i = 0; i < kDeckSize; ++i) r.deck[static_cast<std::size_t>(i)] = t.deck.cards[i].card;
}

Json DealLine(const SimOptions& options, int match, const TableState& t, const DealRecord& record) {
    Json line;
    line["match"] = match;
    line["deal"] = t.match.dealsPlayed;
    line["options"] = {{"seven_of_hearts_lead", options.sevenOfHeartsLead},
                       {"packet", options.dealPacketSize}};
    line["autopilot_seats"] = {0};
    line["first_seat"] = record.firstSeat;
    line["deck"] = record.deck;
    line["chooser"] = record.chooser;
    line["contract"] = record.contract;
    line["plays"] = record.plays;
    line["trick_winners"] = record.trickWinners;
    Json scores = Json::array();
    Json totals = Json::array();
    for (const Seat& seat : t.seats) {
        scores.push_back(seat.dealScore);
        totals.push_back(seat.matchTotal);
    }
    line["deal_scores"] = scores;
    line["match_totals"] = totals;
    line["result"] = ResultText(t.match.result);
    return line;
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

    auto game = std::make_unique<HeadlessGame>(options.seed);
    TableState& t = game->table;
    t.options.sevenOfHeartsLead = options.sevenOfHeartsLead;
    t.options.dealPacketSize = static_cast<std::int16_t>(options.dealPacketSize);
    t.options.slowAnimation = options.slow;
    game->Start();
    if (!options.slow) UseFewestAnimationFrames(t);

    DealRecord record;
    StartRecord(t, record);
    int match = 1;
    GameState lastState = t.flow.state;
    int playsSeen = 0;
    std::uint64_t framesThisDeal = 0;

    while (true) {
        const bool dealOver = t.flow.state == GameState::DealOver;
        if (dealOver) {
            if (t.match.over && match == options.matches) break;
            if (t.match.over) ++match;
        }
        game->Frame();
        ++summary.frames;

        if (dealOver) {
            StartRecord(t, record);
            playsSeen = 0;
            framesThisDeal = 0;
        }
        if (++framesThisDeal > kFramesPerDealLimit) {
            throw std::runtime_error("deal " + std::to_string(t.match.dealsPlayed + 1) + " of match " +
                                     std::to_string(match) + " did not finish (state \"" +
                                     std::string(StateName(t.flow.state)) + "\")");
        }
        while (playsSeen < t.trick.cardsPlayed) {
            // One card lands per frame; the k-th card of a trick lies in trick.cards[k].
            const CardSprite& card = t.trick.cards[playsSeen % kTrickSize];
            record.plays.push_back({card.seat, card.card});
            ++playsSeen;
            if (playsSeen % kTrickSize == 0) record.trickWinners.push_back(t.trick.winner);
        }
        if (t.flow.state == GameState::ShowingContract && lastState != GameState::ShowingContract) {
            record.chooser = NextSeat(t.currentSeat);
            record.contract = Number(t.contract);
        }
        if (t.flow.state == GameState::DealOver && lastState != GameState::DealOver) {
            ++summary.deals;
            ++summary.contractCounts.at(static_cast<std::size_t>(record.contract));
            if (t.match.over) {
                ++summary.matches;
                if (t.match.result == MatchResult::Won) ++summary.humanWins;
                for (int s = 0; s < kSeatCount; ++s)
                    summary.totalSums[static_cast<std::size_t>(s)] += t.seats[s].matchTotal;
            }
            if (trace.enabled()) trace.Write(DealLine(options, match, t, record));
        }
        lastState = t.flow.state;
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
    out << "seat 0 won: " << s.humanWins << " of " << s.matches << " ("
        << pct(s.humanWins, s.matches) << "%)\n";
    out << "mean match total:";
    for (int seat = 0; seat < 4; ++seat) {
        const double mean =
            s.matches > 0 ? static_cast<double>(s.totalSums[static_cast<std::size_t>(seat)]) / s.matches
                          : 0.0;
        out << "  seat " << seat << " " << mean;
    }
    out << "\ncontracts chosen:\n";
    static constexpr std::array<const char*, 11> kNames = {
        "",           "clubs are trumps", "diamonds are trumps", "spades are trumps",
        "hearts are trumps", "no tricks",  "no hearts",           "no last two tricks",
        "no kings and jacks", "no queens", "no king of hearts"};
    for (int c = 1; c <= 10; ++c) {
        const auto n = s.contractCounts[static_cast<std::size_t>(c)];
        out << "  " << std::setw(2) << c << " " << std::left << std::setw(20) << kNames[static_cast<std::size_t>(c)]
            << std::right << std::setw(8) << n << "  (" << pct(static_cast<double>(n), s.deals) << "%)\n";
    }
    out << std::setprecision(3) << "wall time: " << s.seconds << " s\n";
    out << std::setprecision(1) << "matches per second: "
        << (s.seconds > 0 ? s.matches / s.seconds : 0.0) << "\n";
}

}  // namespace tenfold
