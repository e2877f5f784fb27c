#pragma once
// What must hold of a table between any two frames, whatever the player
// clicked: every card in exactly one place, hands and the trick in agreement
// with the counters, the deal's points true to its contract, the match totals
// the running sums of the deals, and a game that moves on. The soak test
// (tenfold --monkey) runs these after every frame; each check reads the table
// through one small view, so the checks say what the table means rather than
// how it is laid out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/table_state.h"

namespace tenfold {

// One broken rule: the check's name ("card places", "hands", "trick", "deal
// points", "match totals", "contract uses", "progress", "pause") and what it found.
struct TableFault {
    std::string check;
    std::string detail;
};

// "card places": each of the 52 cards is in exactly one place (the undealt
// pile or in flight from it, a hand, the trick, a won pile).
std::optional<TableFault> CheckCardPlaces(const TableState& t);
// "hands": once dealt, every seat has played one card per finished trick,
// plus its card on the table.
std::optional<TableFault> CheckHands(const TableState& t);
// "trick": the cards on the table and their count, played by the seats in
// turn from the right leader, each following suit when its hand can; a
// finished trick goes to its highest trump, else its highest card of the led suit.
std::optional<TableFault> CheckTrick(const TableState& t);
// The three above, in that order.
std::optional<TableFault> CheckTable(const TableState& t);

// "legal play": the card seat 0 put on the table last (if the last is its
// card) was one seat 0 could play, by the rules of the human's hand: follow
// suit when it can; void in the suit led, play the king of hearts, a queen,
// a king or jack, or a heart when the contract counts them and the hand holds
// one, or a trump when the hand holds one; under the heart contracts lead a
// heart only once hearts are broken or when the hand holds nothing else.
// `heartsBroken`: whether hearts were broken before the card was played.
std::optional<TableFault> CheckHumanCard(const TableState& t, bool heartsBroken);

// What a deal's end is checked against, gathered while the deal ran.
struct DealLog {
    std::array<std::int32_t, 4> totalsBefore{};  // match totals when the deal began
    std::int32_t dealsBefore = 0;                // deals of the match scored before it
    std::vector<int> trickWinners;               // the seat of each trick handed over
};

// Checks at the end of a deal ("END OF MATCH" entered):
// "deal points": each seat's points follow from its cards and tricks under the
//   contract, together the contract's whole value, and the deal ended when it
//   had to (after the 52nd card, or at the trick that took the last penalty card);
// "match totals": totals and the history row moved by exactly the deal's
//   points, one more deal counted, the match result after the twentieth;
// "contract uses": one booked use per deal of the match, no negative contract
//   more than twice.
std::optional<TableFault> CheckDealEnd(const TableState& t, const DealLog& log);

// Watches a game frame by frame: the table checks after every frame, each
// card of seat 0 as it lands, the deal's end checks when it ends, the totals between deals, and progress:
// "progress" when a deal (or the score page after it) has not ended after
// `framesPerDeal` frames of game time (frames not paused), "pause" when the
// game stays paused `pausedFrames` frames in a row.
class TableWatch {
public:
    struct Limits {
        std::int64_t framesPerDeal = 100000;
        std::int64_t pausedFrames = 100000;
    };
    TableWatch() : TableWatch(Limits{}) {}
    explicit TableWatch(Limits limits) : limits_(limits) {}

    // The table right after the game's start routine (the first deal dealt out).
    void Begin(const TableState& t);
    // After every frame; the first fault found, if any.
    std::optional<TableFault> AfterFrame(const TableState& t);
    // Deals that reached their end since Begin.
    std::int64_t DealsEnded() const { return dealsEnded_; }
    // What the running (or just ended) deal is checked against at its end.
    const DealLog& Log() const { return log_; }

private:
    void StartDeal(const TableState& t);

    Limits limits_;
    DealLog log_;
    std::array<std::int32_t, 4> totalsAtEnd_{};  // of the deal that ended last
    bool dealOver_ = false;
    int wonSeen_ = 0;
    int trickSeen_ = 0;        // cards on the table after the last frame
    bool heartsSeen_ = false;  // hearts broken after the last frame
    std::int64_t dealsEnded_ = 0;
    std::int64_t framesRunning_ = 0;  // unpaused frames since the deal began or ended
    std::int64_t framesPaused_ = 0;   // paused frames in a row
};

// "queen of hearts", for messages.
std::string CardName(int code);

}  // namespace tenfold
