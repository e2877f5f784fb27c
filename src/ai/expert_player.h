#pragma once
// The expert computer player. For each decision it deals the cards it cannot
// see into many layouts that agree with everything its seat has seen (its own
// hand, the cards played, the suits each seat has shown out of, how many cards
// each hand still holds), plays every layout out to the end of the deal with
// the quick judgement of open_deal.h for all four seats, and takes the card or
// contract with the best mean result for its own seat. Its chance comes from
// its seed and what its seat sees, never from the clock or the game's
// generator, so the same table and seed always give the same answer, and
// asking it (for a hint) changes nothing.

#include <array>
#include <cstdint>

#include "ai/card_memory.h"
#include "ai/open_deal.h"
#include "core/computer_player.h"

namespace tenfold {

struct ExpertEffort {
    int cardPlayOuts = 1200;    // play-outs per card decision, shared among the cards
    int minCardLayouts = 40;    // layouts per card decision at the least
    int contractLayouts = 220;  // layouts per contract decision, each played under every open contract
};

// What one seat sees of a deal, gathered from the table and the show-outs it
// heard: nothing here comes from another seat's hand.
struct SeatView {
    int seat = 0;
    CardSet hand = 0;
    CardSet unseen = 0;  // in the other hands
    std::array<int, kSeatCount> handSizes{};
    std::array<std::array<bool, kSuitCount>, kSeatCount> mayHold{};
    OpenDeal deal;  // the deal as it lies, the other hands empty

    bool operator==(const SeatView&) const = default;
};
SeatView ViewOf(const TableState& t, int seat, const CardMemory& memory);

// Everything one decision reads: the answer is a function of this and the
// player's seed alone, so a question asked early (on another thread, while
// the table animates) has the answer the table would get when it asks.
struct ExpertQuestion {
    bool contract = false;  // a contract to choose, else a card to play
    SeatView view;
    std::int16_t dealsPlayed = 0;
    std::array<bool, kContractCount> open{};  // contracts the quotas leave the seat

    bool operator==(const ExpertQuestion&) const = default;
};

// The expert's seed for a game or simulation of this seed: its own value, so
// that its chance and the game's never run in step.
std::uint64_t ExpertSeed(std::uint64_t gameSeed);

class ExpertPlayer : public ComputerPlayer {
public:
    explicit ExpertPlayer(std::uint64_t seed, ExpertEffort effort = {}) : seed_(seed), effort_(effort) {}

    void DealStarted(const TableState&) override { memory_.Reset(); }
    Contract ChooseContract(const TableState& t, int seat, RandomSource& chance) override;
    Card ChooseCard(const TableState& t, int seat) override;
    void HearPlay(const TableState& t, int seat, Card card) override { memory_.HearPlay(t, seat, card); }

    // The questions ChooseCard and ChooseContract answer, and their answer (a
    // card code, or a contract number). Answer reads nothing else.
    ExpertQuestion CardQuestion(const TableState& t, int seat) const;
    ExpertQuestion ContractQuestion(const TableState& t, int seat) const;
    int Answer(const ExpertQuestion& q) const;

    const CardMemory& Memory() const { return memory_; }
    CardMemory& Memory() { return memory_; }

private:
    Card BestCard(const ExpertQuestion& q) const;
    Contract BestContract(const ExpertQuestion& q) const;

    std::uint64_t seed_;
    ExpertEffort effort_;
    CardMemory memory_;
};

}  // namespace tenfold
