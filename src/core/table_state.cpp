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
    // Written without a branch per slot (the card choice asks for the hand
    // each time): every slot's card is written at the next free place and
    // counted only when active. A hand has as many slots as the list has
    // places, so the place is always inside the list.
    static_assert(decltype(Seat::hand)::size() == decltype(list.cards)::size());
    for (const CardSprite& slot : t.seats[seat].hand) {
        list.cards.items[static_cast<std::size_t>(list.count)] = slot.card;
        list.count = static_cast<std::int16_t>(list.count + (slot.active ? 1 : 0));
    }
    // The places past the hand read as before: empty.
    if (list.count < kHandSize) list.cards.items[static_cast<std::size_t>(list.count)] = 0;
    return list;
}

int HandSize(const TableState& t, int seat) {
    int n = 0;
    for (const CardSprite& slot : t.seats[seat].hand) n += slot.active ? 1 : 0;
    return n;
}

}  // namespace tenfold
