#include "ai/classic_player.h"

#include "ai/classic_card_play.h"
#include "ai/classic_contract.h"

namespace tenfold {

Contract ClassicPlayer::ChooseContract(const TableState& t, int seat, RandomSource& chance) {
    return ChooseClassicContract(t, seat, chance);
}

Card ClassicPlayer::ChooseCard(const TableState& t, int seat) {
    return ChooseClassicCard(t, memory_, HandCards(t, seat));
}

}  // namespace tenfold
