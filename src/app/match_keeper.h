#pragma once
// Keeps the running match safe and remembers finished ones. It watches the
// frames go by: each decision of the human that changes how the match goes
// on (a contract, a card, the sort key, the click to the next deal) goes into
// the journal, and the save is written at the start of every deal and after
// every such decision. A finished match removes the save, is added to the
// statistics and, with --autoplay, printed as one line.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/computer_player.h"
#include "core/random.h"
#include "core/table_state.h"
#include "resources/match_save.h"
#include "resources/statistics.h"

namespace tenfold {

struct KeeperFiles {
    std::string save;        // match.sav; "" keeps no save
    std::string statistics;  // statistics.json; "" records nothing
};

class MatchKeeper {
public:
    // Problems with the files (one line each, never fatal) go to `err`.
    MatchKeeper(KeeperFiles files, std::ostream& err);

    // With --autoplay: the autopilot's generator is kept with the match, and
    // each finished match is printed to `out` as "match N: T0 T1 T2 T3 RESULT".
    void KeepAutopilot(Pcg32* autopilot) { autopilot_ = autopilot; }
    void PrintMatches(std::ostream* out) { out_ = out; }
    // Tests: before every decision the table's fingerprint is appended to `path`.
    void LogFingerprints(std::string path) { fingerprintLog_ = std::move(path); }

    // A new match on `t` (options set, nothing dealt): the keeper notes the
    // start, runs StartRun, and writes the first save.
    void StartNew(TableState& t, Pcg32& rng, Services& s, ComputerPlayer& players);
    // Takes up `save`: replays it onto `t`. False (with the one line for the
    // player already written to err) when it does not fit: it has been set
    // aside and the caller starts a new match.
    bool Resume(const MatchSave& save, bool fullScreen, TableState& t, Pcg32& rng, ComputerPlayer& players);

    // Around every frame of the game.
    void BeforeFrame(const TableState& t, const Pcg32& rng);
    void AfterFrame(const TableState& t, const Pcg32& rng);

    int MatchesFinished() const { return finished_; }
    const MatchSave& Current() const { return save_; }

private:
    struct Before {
        GameState state = GameState::NotStarted;
        bool menuWaiting = false;
        bool hasPlayed = false;
        bool matchOver = false;
        std::int16_t firstSeat = 0;
        bool firstSeatChosen = false;
        GeneratorPosition rng;
        std::array<std::int16_t, 4> totals{};
        std::array<bool, kHandSize> handMoving{};
        std::string fingerprint;
    };
    void Note(const JournalEntry& e);
    void NoteDeals(const TableState& t);
    void Store();
    void FinishMatch(const TableState& t);

    KeeperFiles files_;
    std::ostream& err_;
    std::ostream* out_ = nullptr;
    Pcg32* autopilot_ = nullptr;
    std::string fingerprintLog_;
    MatchSave save_;
    std::vector<DealOutcome> deals_;
    std::int16_t dealsNoted_ = 0;
    Before before_;
    int finished_ = 0;
    bool saveFailing_ = false;  // the last write failed (said once, until one succeeds)
    bool over_ = false;         // the current match has been finished and recorded
};

}  // namespace tenfold
