#pragma once
// The saved match (match.sav in the state folder). A match with the same
// random state and the same choices of the human plays the same, so the save
// holds where the match started (the generator's position, the first seat,
// the rules), the human's decisions in order, and, as a check, where the
// generator and the totals stood when the last deal began. The game replays
// the decisions headless to come back to the same table.
//
// The file is plain text, one record a line, ending in a SHA-256 of
// everything before it: a truncated, foreign or altered file is refused as a
// whole rather than half believed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tenfold {

inline constexpr int kMatchSaveVersion = 1;

// A position of the game's generator (Pcg32::Position, kept apart so the file
// layer needs nothing of the rules).
struct GeneratorPosition {
    std::uint64_t state = 0;
    std::uint64_t increment = 0;
    bool operator==(const GeneratorPosition&) const = default;
};

// What the human did that changes how the match goes on.
enum class HumanAct : char {
    Sort = 'S',      // the sort key (it draws sounds and reorders his hand)
    Contract = 'C',  // value: the contract's number, 1..10
    Card = 'P',      // value: the card's code, 0..51
    NextDeal = 'N',  // the click on the score page
};

struct JournalEntry {
    // Where the generator stood when the act was made: the act belongs at
    // exactly that point of the match, and a replay that reaches the human's
    // turn elsewhere knows the journal does not fit.
    std::uint64_t at = 0;
    HumanAct act = HumanAct::NextDeal;
    std::int16_t value = 0;
    bool operator==(const JournalEntry&) const = default;
};

struct MatchSave {
    // The rules and looks the match was started with.
    std::string deck = "Roya2";
    bool sevenOfHeartsLead = false;
    std::int16_t dealPackets = 1;
    bool slowAnimation = false;
    bool expertOpponents = false;  // the computer seats were expert players

    // The match's start: the generator before the opponents' names are drawn.
    GeneratorPosition start;
    std::int16_t firstSeat = 0;
    bool firstSeatChosen = false;
    std::int64_t startedAt = 0;  // seconds since 1970 (UTC): with `start`, names the match once

    // The deal being played (1..20), the generator and the four totals when it began.
    std::int16_t deal = 1;
    GeneratorPosition dealStart;
    std::array<std::int16_t, 4> totalsAtDealStart{};

    std::vector<JournalEntry> journal;
    // With --autoplay: the autopilot's own generator, so a resumed
    // demonstration chooses as the uninterrupted one would.
    std::optional<GeneratorPosition> autopilot;

    bool operator==(const MatchSave&) const = default;
};

std::string EncodeMatchSave(const MatchSave& save);
// The save in `bytes`, or nullopt with `why` saying in a few words what is wrong.
std::optional<MatchSave> DecodeMatchSave(std::string_view bytes, std::string& why);

// match.sav in the player's state folder; "" when there is none.
std::string MatchSavePath();

struct LoadedMatch {
    enum class Status { Missing, Loaded, Damaged } status = Status::Missing;
    MatchSave save;
    // Damaged: one line for the player naming the file, why, and where it went.
    std::string message;
};

// Reads the save at `path`. A missing file is Missing; anything else that is
// not a good save (unreadable, damaged, of another version, a folder) is set
// aside as match.sav.bad and reported Damaged: the game then starts a new match.
LoadedMatch LoadMatchSave(const std::string& path);

// The one line for a save that was read but does not fit the match it
// claims (the replay found it out): it is set aside like a damaged file.
std::string SetAsideMatchSave(const std::string& path, const std::string& why);

// Writes the save crash-safe: the previous save stays whole until the new one
// is complete. "" on success, else the reason.
std::string StoreMatchSave(const std::string& path, const MatchSave& save);

// Removes the save of a finished match; a missing file is no error. "" on success.
std::string RemoveMatchSave(const std::string& path);

// The SHA-256 of `bytes` in lower-case hex (the save's and the statistics' check).
std::string Sha256Hex(std::string_view bytes);

}  // namespace tenfold
