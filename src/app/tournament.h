#pragma once
// Duplicate tournaments: two players compared on the same cards. A set is one
// match seed played five times: player A in seat k and B in the other three
// seats for k = 0..3, and B in all four seats. A's advantage in a set is, for
// each k, the points A's seat made over the all-B seat k (the all-B total
// minus A's total, as the lowest total wins), averaged over k. Every deal's
// deck comes from a generator of its own that depends only on the set's seed
// and the deal's number, so every seating of a set sees the same cards
// whatever the players drew before.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "ai/seated_players.h"
#include "core/table_state.h"

namespace tenfold {

struct TournamentOptions {
    int sets = 0;
    std::uint64_t seed = 1;
    std::array<PlayerKind, 2> players = {PlayerKind::Expert, PlayerKind::Classic};  // A, B
    int jobs = 1;
    std::string reportPath;   // JSON report; empty: none
    std::string commandLine;  // as the report records it
};

// One match of a set: the seats' deal scores (natural sign) and contracts.
struct SeatingMatch {
    std::array<std::int16_t, kSeatCount> totals{};  // match totals, sign turned (lowest wins)
    std::vector<std::array<std::int16_t, kSeatCount>> dealScores;
    std::vector<std::int8_t> contracts;              // 1..10 per deal
    std::vector<std::array<Card, kDeckSize>> decks;  // each deal's cards in dealing order
};

// The five matches of a set: seatings[k] has A in seat k, seatings[4] is all B.
struct SetRecord {
    std::array<SeatingMatch, 5> seatings;
};

// Plays set `index` of a tournament with this seed.
SetRecord PlaySet(std::uint64_t tournamentSeed, int index, const std::array<PlayerKind, 2>& players);

struct PlayerFigures {
    double meanPerMatch = 0;
    std::array<double, 2> ci95PerMatch{};
    double meanPerDeal = 0;
    double winRate = 0;  // matches its seat won (no seat strictly lower), over the seatings with both players
    struct Contract {
        int deals = 0;             // deals of the contract at the player's seats
        double meanPoints = 0;     // mean deal score of the player's seat under the contract
        int compared = 0;          // of them, deals the all-B table played under the same contract
        double meanAdvantage = 0;  // over the all-B seat on the same deal, in those deals
        std::array<double, 2> ci95{};
    };
    std::array<Contract, kContractCount> perContract{};
};

struct TournamentReport {
    int sets = 0;
    std::uint64_t seed = 0;
    std::array<PlayerKind, 2> players{};
    std::array<PlayerFigures, 2> figures{};  // A's, then B's (B's advantage is A's turned round)
    double seconds = 0;
};

// The figures of played sets (in set order).
TournamentReport Summarise(const std::vector<SetRecord>& sets, std::uint64_t seed,
                           const std::array<PlayerKind, 2>& players);
// Plays the sets on `jobs` threads; the result does not depend on the count.
// Throws std::invalid_argument for bad options.
TournamentReport RunTournament(const TournamentOptions& options);
void PrintReport(std::ostream& out, const TournamentReport& report);
// The report as JSON text (the --report file).
std::string ReportJson(const TournamentReport& report, const std::string& commandLine);

}  // namespace tenfold
