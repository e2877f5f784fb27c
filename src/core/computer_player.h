#pragma once
// What the rules ask of a computer player. The rules call it for a contract
// or a card when a computer seat's turn comes, book the answer themselves,
// and tell it every play, so that a player may keep its own memory of the
// deal. A player answers from what a person at the table could know: the
// table state holds every hand, and reading another seat's hand is cheating.

#include "core/cards.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

class ComputerPlayer {
public:
    virtual ~ComputerPlayer() = default;
    // A deal begins: the cards are about to be dealt.
    virtual void DealStarted(const TableState&) {}
    // The contract `seat` chooses now. `chance` is the game's generator, for
    // players that leave a choice to chance.
    virtual Contract ChooseContract(const TableState& t, int seat, RandomSource& chance) = 0;
    // The card `seat` (the current seat) plays now; it must be in its hand.
    virtual Card ChooseCard(const TableState& t, int seat) = 0;
    // `seat` has just played `card` (the table does not hold it yet): every
    // play of every seat, the human's too, is heard here.
    virtual void HearPlay(const TableState&, int /*seat*/, Card /*card*/) {}
};

}  // namespace tenfold
