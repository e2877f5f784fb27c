#include "resources/statistics.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "resources/match_save.h"
#include "resources/player_files.h"

namespace tenfold {

namespace {

using Json = nlohmann::json;

// Years of matches fit easily; a file far larger was not written by the game.
constexpr std::uint64_t kStatisticsLimit = 64u << 20;

constexpr std::array<const char*, 10> kContractNames = {"Clubs",
                                                        "Diamonds",
                                                        "Spades",
                                                        "Hearts",
                                                        "No tricks",
                                                        "No hearts",
                                                        "No last two tricks",
                                                        "No kings and jacks",
                                                        "No queens",
                                                        "No king of hearts"};

Json MatchJson(const MatchRecord& m) {
    Json deals = Json::array();
    for (const DealOutcome& d : m.deals) deals.push_back({{"contract", d.contract}, {"points", d.points}});
    return {{"id", m.id},
            {"date", m.date},
            {"deck", m.deck},
            {"rules", {{"seven_of_hearts_lead", m.sevenOfHeartsLead}, {"deal_packets", m.dealPackets}}},
            {"totals", m.totals},
            {"result", m.won ? "won" : "lost"},
            {"deals", deals}};
}

// Throws nlohmann's exceptions (type, missing key) or std::runtime_error.
MatchRecord MatchFrom(const Json& j) {
    MatchRecord m;
    m.id = j.at("id").get<std::string>();
    m.date = j.at("date").get<std::string>();
    m.deck = j.at("deck").get<std::string>();
    m.sevenOfHeartsLead = j.at("rules").at("seven_of_hearts_lead").get<bool>();
    m.dealPackets = j.at("rules").at("deal_packets").get<std::int16_t>();
    m.totals = j.at("totals").get<std::array<std::int16_t, 4>>();
    const std::string result = j.at("result").get<std::string>();
    if (result != "won" && result != "lost") throw std::runtime_error("a result is neither won nor lost");
    m.won = result == "won";
    for (const Json& d : j.at("deals")) {
        DealOutcome r{d.at("contract").get<std::int16_t>(), d.at("points").get<std::int16_t>()};
        if (r.contract < 1 || r.contract > 10) throw std::runtime_error("a deal's contract is outside 1..10");
        m.deals.push_back(r);
    }
    return m;
}

std::string Fixed(double v, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, v);
    return text;
}

}  // namespace

const char* ContractName(int number) {
    return number >= 1 && number <= 10 ? kContractNames[static_cast<std::size_t>(number - 1)] : "?";
}

StatisticsSummary Summarize(const std::vector<MatchRecord>& matches) {
    StatisticsSummary s;
    std::array<long, 10> points{};
    long totals = 0;
    for (const MatchRecord& m : matches) {
        ++s.played;
        if (m.won) ++s.won;
        totals += m.totals[0];
        if (!s.bestTotal || m.totals[0] < *s.bestTotal) s.bestTotal = m.totals[0];
        for (const DealOutcome& d : m.deals) {
            const auto i = static_cast<std::size_t>(d.contract - 1);
            ++s.contracts[i].played;
            points[i] += d.points;
        }
    }
    if (s.played > 0) {
        s.winRate = static_cast<double>(s.won) / s.played;
        s.averageTotal = static_cast<double>(totals) / s.played;
    }
    for (std::size_t i = 0; i < s.contracts.size(); ++i) {
        if (s.contracts[i].played > 0) {
            s.contracts[i].humanAverage = static_cast<double>(points[i]) / s.contracts[i].played;
        }
    }
    return s;
}

std::string SummaryText(const StatisticsSummary& s) {
    std::ostringstream out;
    out << "Matches played: " << s.played << "\n";
    out << "Matches won: " << s.won << "\n";
    out << "Win rate: " << (s.played > 0 ? Fixed(100.0 * s.winRate, 1) + "%" : "-") << "\n";
    out << "Best total: " << (s.bestTotal ? std::to_string(*s.bestTotal) : "-") << "\n";
    out << "Average total: " << (s.played > 0 ? Fixed(s.averageTotal, 1) : "-") << "\n";
    out << "Contract            Played  Your average\n";
    for (int n = 1; n <= 10; ++n) {
        const ContractFigures& c = s.contracts[static_cast<std::size_t>(n - 1)];
        char line[96];
        std::snprintf(line, sizeof line, "%-18s  %6d  %12s\n", ContractName(n), c.played,
                      c.played > 0 ? Fixed(c.humanAverage, 1).c_str() : "-");
        out << line;
    }
    return out.str();
}

std::string SummaryJson(const StatisticsSummary& s) {
    Json contracts = Json::array();
    for (int n = 1; n <= 10; ++n) {
        const ContractFigures& c = s.contracts[static_cast<std::size_t>(n - 1)];
        Json one = {{"contract", n}, {"name", ContractName(n)}, {"played", c.played}};
        one["your_average"] = c.played > 0 ? Json(c.humanAverage) : Json(nullptr);
        contracts.push_back(one);
    }
    Json j = {{"played", s.played}, {"won", s.won}, {"contracts", contracts}};
    j["win_rate"] = s.played > 0 ? Json(s.winRate) : Json(nullptr);
    j["best_total"] = s.bestTotal ? Json(*s.bestTotal) : Json(nullptr);
    j["average_total"] = s.played > 0 ? Json(s.averageTotal) : Json(nullptr);
    return j.dump(2) + "\n";
}

std::string EncodeStatistics(const std::vector<MatchRecord>& matches) {
    Json list = Json::array();
    for (const MatchRecord& m : matches) list.push_back(MatchJson(m));
    // The check covers the matches as they are written, so a changed figure
    // that still reads as JSON is found out too.
    const std::string body = list.dump();
    const Json file = {{"format", "tenfold statistics"},
                       {"version", kStatisticsVersion},
                       {"check", Sha256Hex(body)},
                       {"matches", list}};
    return file.dump() + "\n";
}

std::optional<std::vector<MatchRecord>> DecodeStatistics(const std::string& bytes, std::string& why) {
    if (bytes.empty()) {
        why = "the file is empty";
        return std::nullopt;
    }
    try {
        const Json file = Json::parse(bytes);
        if (!file.is_object() || file.value("format", "") != "tenfold statistics") {
            why = "not a statistics file of this game";
            return std::nullopt;
        }
        const int version = file.at("version").get<int>();
        if (version != kStatisticsVersion) {
            why = "it is of version " + std::to_string(version) + ", this game reads version " +
                  std::to_string(kStatisticsVersion);
            return std::nullopt;
        }
        const Json& list = file.at("matches");
        if (!list.is_array() || file.at("check").get<std::string>() != Sha256Hex(list.dump())) {
            why = "its check does not match its content";
            return std::nullopt;
        }
        std::vector<MatchRecord> matches;
        for (const Json& m : list) matches.push_back(MatchFrom(m));
        return matches;
    } catch (const std::exception& e) {
        why = e.what();
        return std::nullopt;
    }
}

std::string StatisticsPath() {
    const std::string folder = PlayerFolderPath(PlayerFolder::Data);
    return folder.empty() ? std::string() : folder + "/statistics.json";
}

namespace {
// `writable` is false when a file that could not be used is still in the way:
// writing over it would lose it.
std::vector<MatchRecord> LoadChecked(const std::string& path, std::string& warning, bool& writable) {
    warning.clear();
    writable = true;
    if (path.empty()) return {};
    std::vector<std::uint8_t> bytes;
    bool missing = false;
    std::string why;
    if (Result r = LoadPlayerFile(path, kStatisticsLimit, bytes, missing); !r) {
        why = r.Reason();
    } else if (missing) {
        return {};
    } else if (auto matches = DecodeStatistics(std::string(bytes.begin(), bytes.end()), why)) {
        return std::move(*matches);
    }
    const std::string aside = SetAside(path);
    writable = !aside.empty();
    warning = "tenfold: the statistics " + path + " cannot be read (" + why + ")" +
              (aside.empty() ? std::string("; it could not be moved aside") : "; kept as " + aside) +
              "; the record starts afresh";
    return {};
}
}  // namespace

std::vector<MatchRecord> LoadStatistics(const std::string& path, std::string& warning) {
    bool writable = true;
    return LoadChecked(path, warning, writable);
}

std::string RecordMatch(const std::string& path, const MatchRecord& match, std::string& warning) {
    if (path.empty()) return "no folder to keep the statistics in (neither XDG_DATA_HOME nor HOME is set)";
    bool writable = true;
    std::vector<MatchRecord> matches = LoadChecked(path, warning, writable);
    if (!writable) return path + " is in the way and was left as it is; this match is not recorded";
    const bool known = std::any_of(matches.begin(), matches.end(),
                                   [&match](const MatchRecord& m) { return m.id == match.id; });
    if (known) return {};
    matches.push_back(match);
    if (Result r = SaveDurably(path, EncodeStatistics(matches)); !r) return r.Reason();
    return {};
}

}  // namespace tenfold
