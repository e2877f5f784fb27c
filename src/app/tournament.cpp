#include "app/tournament.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <iomanip>
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "ai/headless_game.h"
#include "core/layout.h"

namespace tenfold {

namespace {

constexpr std::uint64_t kFramesPerDealLimit = 200000;
constexpr int kSeatings = 5;
constexpr int kAllB = 4;

// Short names of the contracts, as the report's keys.
constexpr std::array<const char*, kContractCount> kContractKeys = {
    "clubs",       "diamonds",           "spades",    "hearts",           "no_tricks", "no_hearts",
    "no_last_two", "no_kings_and_jacks", "no_queens", "no_king_of_hearts"};

std::uint64_t SetSeed(std::uint64_t tournamentSeed, int index) {
    // splitmix64 of the pair: sets far apart in number still get unrelated seeds.
    std::uint64_t z = tournamentSeed * 0x9e3779b97f4a7c15ULL + static_cast<std::uint64_t>(index) + 1;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

SeatingMatch PlayMatch(std::uint64_t setSeed, const HeadlessGame::Seating& seating) {
    auto game = std::make_unique<HeadlessGame>(setSeed, seating);
    int deal = 0;
    // Each deal's chance from its own stream, set before the shuffle draws.
    game->seated.beforeDeal = [&game, &deal, setSeed](const TableState&) {
        game->services.rng = Pcg32(setSeed, static_cast<std::uint64_t>(++deal));
    };
    TableState& t = game->table;
    game->Start();
    UseFewestAnimationFrames(t);
    SeatingMatch record;
    std::uint64_t frames = 0;
    GameState last = t.flow.state;
    while (!(t.flow.state == GameState::DealOver && t.match.over)) {
        game->Frame();
        if (t.flow.state == GameState::DealOver && last != GameState::DealOver) {
            std::array<std::int16_t, kSeatCount> scores{};
            for (int s = 0; s < kSeatCount; ++s) scores[static_cast<std::size_t>(s)] = t.seats[s].dealScore;
            record.dealScores.push_back(scores);
            record.contracts.push_back(static_cast<std::int8_t>(Number(t.contract)));
            std::array<Card, kDeckSize> deck{};
            for (int i = 0; i < kDeckSize; ++i) deck[static_cast<std::size_t>(i)] = t.deck.cards[i].card;
            record.decks.push_back(deck);
            frames = 0;
        }
        last = t.flow.state;
        if (++frames > kFramesPerDealLimit)
            throw std::runtime_error("a tournament deal did not finish (state \"" +
                                     std::string(StateName(t.flow.state)) + "\")");
    }
    for (int s = 0; s < kSeatCount; ++s) record.totals[static_cast<std::size_t>(s)] = t.seats[s].matchTotal;
    return record;
}

// Mean and 95% interval (normal approximation) of a sample.
struct Sample {
    double n = 0, sum = 0, squares = 0;
    void Add(double v) {
        n += 1;
        sum += v;
        squares += v * v;
    }
    double Mean() const { return n > 0 ? sum / n : 0; }
    std::array<double, 2> Ci95() const {
        const double mean = Mean();
        if (n < 2) return {mean, mean};
        const double variance = std::max(0.0, (squares - n * mean * mean) / (n - 1));
        const double half = 1.96 * std::sqrt(variance / n);
        return {mean - half, mean + half};
    }
};

bool Wins(const SeatingMatch& m, int seat) {
    for (int s = 0; s < kSeatCount; ++s) {
        if (m.totals[static_cast<std::size_t>(s)] < m.totals[static_cast<std::size_t>(seat)]) return false;
    }
    return true;
}

}  // namespace

SetRecord PlaySet(std::uint64_t tournamentSeed, int index, const std::array<PlayerKind, 2>& players) {
    const std::uint64_t setSeed = SetSeed(tournamentSeed, index);
    SetRecord set;
    for (int k = 0; k < kSeatings; ++k) {
        HeadlessGame::Seating seating{};
        for (int s = 0; s < kSeatCount; ++s)
            seating[static_cast<std::size_t>(s)] = s == k ? players[0] : players[1];
        set.seatings[static_cast<std::size_t>(k)] = PlayMatch(setSeed, seating);
    }
    return set;
}

TournamentReport Summarise(const std::vector<SetRecord>& sets, std::uint64_t seed,
                           const std::array<PlayerKind, 2>& players) {
    TournamentReport report;
    report.sets = static_cast<int>(sets.size());
    report.seed = seed;
    report.players = players;
    // Per player: one value a set (the mean over its seats), the matches won,
    // and per contract one value per seat and deal.
    std::array<Sample, 2> perSet;
    std::array<Sample, 2> wins;
    std::array<std::array<Sample, kContractCount>, 2> advantage;
    std::array<std::array<Sample, kContractCount>, 2> points;
    double deals = 0;
    for (const SetRecord& set : sets) {
        const SeatingMatch& allB = set.seatings[kAllB];
        std::array<Sample, 2> thisSet;
        for (int k = 0; k < kSeatCount; ++k) {
            const SeatingMatch& m = set.seatings[static_cast<std::size_t>(k)];
            deals = static_cast<double>(m.dealScores.size());
            for (int s = 0; s < kSeatCount; ++s) {
                const auto si = static_cast<std::size_t>(s);
                const std::size_t who = s == k ? 0 : 1;
                thisSet[who].Add(allB.totals[si] - m.totals[si]);
                wins[who].Add(Wins(m, s) ? 1 : 0);
                for (std::size_t d = 0; d < m.dealScores.size() && d < allB.dealScores.size(); ++d) {
                    const auto c = static_cast<std::size_t>(m.contracts[d] - 1);
                    points[who][c].Add(m.dealScores[d][si]);
                    // Like for like: a deal the all-B table played under another
                    // contract says nothing about how well this one was played.
                    if (m.contracts[d] == allB.contracts[d])
                        advantage[who][c].Add(m.dealScores[d][si] - allB.dealScores[d][si]);
                }
            }
        }
        for (std::size_t who = 0; who < 2; ++who) perSet[who].Add(thisSet[who].Mean());
    }
    for (std::size_t who = 0; who < 2; ++who) {
        PlayerFigures& f = report.figures[who];
        f.meanPerMatch = perSet[who].Mean();
        f.ci95PerMatch = perSet[who].Ci95();
        f.meanPerDeal = deals > 0 ? f.meanPerMatch / deals : 0;
        f.winRate = wins[who].Mean();
        for (std::size_t c = 0; c < kContractCount; ++c) {
            auto& pc = f.perContract[c];
            pc.deals = static_cast<int>(points[who][c].n);
            pc.meanPoints = points[who][c].Mean();
            pc.compared = static_cast<int>(advantage[who][c].n);
            pc.meanAdvantage = advantage[who][c].Mean();
            pc.ci95 = advantage[who][c].Ci95();
        }
    }
    return report;
}

TournamentReport RunTournament(const TournamentOptions& o) {
    if (o.sets < 1) throw std::invalid_argument("a tournament needs at least one set");
    if (o.jobs < 1) throw std::invalid_argument("--jobs must be 1 or more");
    const auto started = std::chrono::steady_clock::now();
    std::vector<SetRecord> sets(static_cast<std::size_t>(o.sets));
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        try {
            for (int i = next++; i < o.sets; i = next++)
                sets[static_cast<std::size_t>(i)] = PlaySet(o.seed, i, o.players);
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
            next = o.sets;
        }
    };
    std::vector<std::thread> threads;
    for (int j = 1; j < std::min(o.jobs, o.sets); ++j) threads.emplace_back(work);
    work();
    for (std::thread& th : threads) th.join();
    if (failure) std::rethrow_exception(failure);
    TournamentReport report = Summarise(sets, o.seed, o.players);
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

namespace {
std::array<std::string, 2> PlayerKeys(const TournamentReport& r) {
    std::array<std::string, 2> keys = {std::string(PlayerKindName(r.players[0])),
                                       std::string(PlayerKindName(r.players[1]))};
    // A player against itself: B's figures under their own key.
    if (keys[0] == keys[1]) keys[1] += " (B)";
    return keys;
}
}  // namespace

void PrintReport(std::ostream& out, const TournamentReport& r) {
    const auto keys = PlayerKeys(r);
    out << std::fixed << std::setprecision(1);
    out << "duplicate sets: " << r.sets << " (seed " << r.seed << "), " << keys[0] << " against " << keys[1]
        << "\n";
    for (std::size_t who = 0; who < 2; ++who) {
        const PlayerFigures& f = r.figures[who];
        out << keys[who] << ": advantage per match " << std::showpos << f.meanPerMatch << " ["
            << f.ci95PerMatch[0] << ", " << f.ci95PerMatch[1] << "]" << std::setprecision(2) << ", per deal "
            << f.meanPerDeal << std::noshowpos << std::setprecision(1) << ", matches won " << 100 * f.winRate
            << "%\n";
        for (std::size_t c = 0; c < kContractCount; ++c) {
            const auto& pc = f.perContract[c];
            out << "  " << std::left << std::setw(20) << kContractKeys[c] << std::right << std::setw(7)
                << pc.deals << " deals, points " << std::setw(7) << pc.meanPoints << "; like for like "
                << std::setw(6) << pc.compared << ", advantage " << std::showpos << std::setw(6)
                << pc.meanAdvantage << " [" << pc.ci95[0] << ", " << pc.ci95[1] << "]" << std::noshowpos
                << "\n";
        }
    }
    out << std::setprecision(1) << "wall time: " << r.seconds << " s\n";
}

std::string ReportJson(const TournamentReport& r, const std::string& commandLine) {
    const auto keys = PlayerKeys(r);
    nlohmann::ordered_json j;
    j["command"] = commandLine;
    j["seed"] = r.seed;
    j["sets"] = r.sets;
    j["seconds"] = r.seconds;
    nlohmann::ordered_json players = nlohmann::ordered_json::object();
    for (std::size_t who = 0; who < 2; ++who) {
        const PlayerFigures& f = r.figures[who];
        nlohmann::ordered_json p;
        p["role"] = who == 0 ? "A" : "B";
        p["mean_per_match"] = f.meanPerMatch;
        p["ci95_per_match"] = {f.ci95PerMatch[0], f.ci95PerMatch[1]};
        p["mean_per_deal"] = f.meanPerDeal;
        p["win_rate"] = f.winRate;
        nlohmann::ordered_json perContract = nlohmann::ordered_json::object();
        for (std::size_t c = 0; c < kContractCount; ++c) {
            const auto& pc = f.perContract[c];
            perContract[kContractKeys[c]] = {{"deals", pc.deals},
                                             {"mean_points", pc.meanPoints},
                                             {"compared", pc.compared},
                                             {"mean_advantage", pc.meanAdvantage},
                                             {"ci95_advantage", {pc.ci95[0], pc.ci95[1]}}};
        }
        p["per_contract"] = perContract;
        players[keys[who]] = p;
    }
    j["players"] = players;
    return j.dump(2) + "\n";
}

}  // namespace tenfold
