#pragma once
// The trace of a run: one JSON line per scored deal (the deck, who chose which
// contract, every card played, the trick winners, the scores), gathered frame
// by frame from the table. The simulator and the game on screen write the
// same lines for the same seed and options.

#include <array>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/table_state.h"

namespace tenfold {

// Writes to a temporary file beside the target and renames it on Commit, so a
// failed run never leaves a half-written trace under the asked-for name. An
// empty path writes nothing. Throws std::invalid_argument when the file cannot
// be created, std::runtime_error when it cannot be written.
class TraceFile {
public:
    explicit TraceFile(const std::string& path);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool enabled() const { return !path_.empty(); }
    void Write(const std::string& line);
    void Commit();

private:
    std::string path_;
    std::string temp_;
    std::ofstream out_;
    bool committed_ = false;
};

// The options a trace line names.
struct TraceOptions {
    bool sevenOfHeartsLead = false;
    int dealPacketSize = 1;
    // The player at each seat ("classic", "expert"); seat 0's is the judgement
    // its autopilot or hint plays with.
    std::array<std::string_view, kSeatCount> players = {"classic", "classic", "classic", "classic"};
};

// Follows the table from the first deal on, one call after every frame.
class DealRecorder {
public:
    // Starts with the deal just dealt on `t`, in match 1.
    explicit DealRecorder(const TableState& t);
    // Notes a new deal, the cards that landed and the contract chosen. True
    // when this frame scored the deal (the score page came up).
    bool AfterFrame(const TableState& t);
    // The match of the current deal, from 1.
    int Match() const { return match_; }
    // The contract chosen for the current deal, 0 before the choice.
    int Contract() const { return contract_; }
    // The trace line of the deal this frame scored.
    std::string Line(const TableState& t, const TraceOptions& options) const;

private:
    void StartDeal(const TableState& t);

    GameState lastState_;
    bool lastMatchOver_ = false;
    int match_ = 1;
    int playsSeen_ = 0;
    int firstSeat_ = 0;
    std::array<int, kDeckSize> deck_{};
    int chooser_ = -1;
    int contract_ = 0;
    std::vector<std::array<int, 2>> plays_;
    std::vector<int> trickWinners_;
};

}  // namespace tenfold
