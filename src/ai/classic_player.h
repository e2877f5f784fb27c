#pragma once
// The classic computer player: the contract and card choices of
// classic_contract.h and classic_card_play.h, with the card memory they read.
// One player answers for every computer seat; the memory is the table's, as
// each seat's show-outs are plain for all to see.

#include "ai/card_memory.h"
#include "core/computer_player.h"

namespace tenfold {

class ClassicPlayer : public ComputerPlayer {
public:
    void DealStarted(const TableState&) override { memory_.Reset(); }
    Contract ChooseContract(const TableState& t, int seat, RandomSource& chance) override;
    Card ChooseCard(const TableState& t, int seat) override;
    void HearPlay(const TableState& t, int seat, Card card) override { memory_.HearPlay(t, seat, card); }

    const CardMemory& Memory() const { return memory_; }
    CardMemory& Memory() { return memory_; }

private:
    CardMemory memory_;
};

}  // namespace tenfold
