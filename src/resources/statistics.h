#pragma once
// The player's record of finished matches (statistics.json in the data
// folder) and what the start dialog and `tenfold --stats` make of it.
// Written crash-safe like the save; a file that cannot be read or does not
// hold what it claims is set aside (statistics.json.bad), never fatal.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tenfold {

inline constexpr int kStatisticsVersion = 1;

struct DealOutcome {
    std::int16_t contract = 0;  // 1..10
    std::int16_t points = 0;    // the human's points as the score sheet shows them (lower is better)
    bool operator==(const DealOutcome&) const = default;
};

struct MatchRecord {
    std::string id;    // where the match's generator started: a resumed match is recorded once
    std::string date;  // UTC, ISO 8601: 2026-12-10T09:30:00Z
    std::string deck;
    bool sevenOfHeartsLead = false;
    std::int16_t dealPackets = 1;
    std::array<std::int16_t, 4> totals{};  // as the score sheet shows them; the lowest wins
    bool won = false;
    std::vector<DealOutcome> deals;
    bool operator==(const MatchRecord&) const = default;
};

struct ContractFigures {
    int played = 0;
    double humanAverage = 0;  // the human's average points in deals of this contract
};

struct StatisticsSummary {
    int played = 0;
    int won = 0;
    double winRate = 0;  // 0..1
    std::optional<std::int16_t> bestTotal;
    double averageTotal = 0;
    std::array<ContractFigures, 10> contracts{};  // by contract number - 1
};

StatisticsSummary Summarize(const std::vector<MatchRecord>& matches);
// The summary as the `--stats` text and as JSON (`--stats --json`).
std::string SummaryText(const StatisticsSummary& s);
std::string SummaryJson(const StatisticsSummary& s);
// The contracts' names as the score sheet and the menu call them, by number - 1.
const char* ContractName(int number);

std::string EncodeStatistics(const std::vector<MatchRecord>& matches);
std::optional<std::vector<MatchRecord>> DecodeStatistics(const std::string& bytes, std::string& why);

// statistics.json in the player's data folder; "" when there is none.
std::string StatisticsPath();

// The recorded matches; a missing file gives none. A file that cannot be used
// is set aside and `warning` says so in one line.
std::vector<MatchRecord> LoadStatistics(const std::string& path, std::string& warning);

// Adds a finished match (once per id) and writes the file crash-safe; "" on
// success, else the reason. A damaged file met on the way is set aside
// (named in `warning`) and the record starts afresh.
std::string RecordMatch(const std::string& path, const MatchRecord& match, std::string& warning);

}  // namespace tenfold
