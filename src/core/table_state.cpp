#include "core/table_state.h"

namespace tenfold {

std::string_view StateName(GameState state) {
    switch (state) {
        case GameState::NotStarted: return "";
        case GameState::Dealing: return "DEALING CARDS";
        case GameState::ChoosingContract: return "SELECT TRUMPS";
        case GameState::ShowingContract: return "SHOW CONTRACT";
        case GameState::Playing: return "NORMAL PLAY";
        case GameState::GatheringTrick: return "WE ARE GETTING CARDS - GOTHERING";
        case GameState::CarryingTrick: return "WE ARE GETTING CARDS";
        case GameState::GatheringHand: return "GOTHER AROUND FIRST CARD";
        case GameState::SpreadingHand: return "SPREAD AHEAD FIRST CARD";
        case GameState::DealOver: return "END OF MATCH";
        case GameState::Waiting: return "PAUSED";
    }
    return "";
}

std::string_view ResultText(MatchResult result) {
    switch (result) {
        case MatchResult::Won: return "We Won!";
        case MatchResult::Lost: return "We lost!";
        case MatchResult::None: return "";
    }
    return "";
}

CardList HandCards(const TableState& t, int seat) {
    CardList list;
    for (const CardSprite& slot : t.seats[seat].hand) {
        if (slot.active) list.Add(slot.card);
    }
    return list;
}

int HandSize(const TableState& t, int seat) {
    int n = 0;
    for (const CardSprite& slot : t.seats[seat].hand) n += slot.active ? 1 : 0;
    return n;
}

}  // namespace tenfold
