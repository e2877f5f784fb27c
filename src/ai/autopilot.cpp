#include "ai/autopilot.h"

#include <cmath>

#include "ai/classic_card_play.h"
#include "ai/classic_contract.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {
PlayerInput ClickAt(std::int32_t x, std::int32_t y) {
    PlayerInput in;
    in.x = x;
    in.y = y;
    in.click = true;
    return in;
}
}  // namespace

std::optional<PlayerInput> Autopilot::Decide(const TableState& t) {
    if (t.flow.state == GameState::DealOver) return ClickAt(400, 300);
    if (!t.human.waiting || t.flow.paused) return std::nullopt;
    if (t.flow.state == GameState::ChoosingContract && t.menu.shown) {
        const Contract c = ContractFor(t);
        if (c == Contract::None) return std::nullopt;
        const MenuRow& row = t.menu.rows[Index(c)];
        return ClickAt(row.x + kMenuRowWidth / 2, row.y + kMenuRowHeight / 2);
    }
    if (t.flow.state == GameState::Playing && t.currentSeat == kHumanSeat && !t.human.hasPlayed) {
        const int slot = CardSlotFor(t);
        if (slot < 0) return std::nullopt;
        return ClickOnCard(t, slot);
    }
    return std::nullopt;
}

Contract Autopilot::ContractFor(const TableState& t) {
    const Contract wanted = other_ != nullptr ? other_->ChooseContract(t, kHumanSeat, chance_)
                                              : ChooseClassicContract(t, kHumanSeat, chance_);
    if (t.menu.rows[Index(wanted)].enabled) return wanted;
    for (int row = 0; row < kContractCount; ++row) {
        if (t.menu.rows[row].enabled) return ContractNumbered(row + 1);
    }
    return Contract::None;
}

int Autopilot::CardSlotFor(const TableState& t) const {
    const CardList cards = HandCards(t, kHumanSeat);
    const Card wanted = other_ != nullptr ? other_->ChooseCard(t, kHumanSeat)
                                          : ChooseClassicCard(t, judgement_.Memory(), cards);
    const PlayRules rules(t, cards);
    int lowestLegal = -1;
    const auto& hand = t.seats[kHumanSeat].hand;
    for (int slot = 0; slot < kHandSize; ++slot) {
        const CardSprite& card = hand[slot];
        if (!card.active || !rules.Allows(card.card)) continue;
        if (card.card == wanted) return slot;
        if (lowestLegal < 0) lowestLegal = slot;
    }
    return lowestLegal;
}

PlayerInput Autopilot::ClickOnCard(const TableState& t, int slot) {
    const auto& hand = t.seats[kHumanSeat].hand;
    const CardSprite& card = hand[slot];
    // The visible strip ends where the next active (higher, drawn on top) card begins.
    float right = card.x + kCardWidth;
    for (int above = slot + 1; above < kHandSize; ++above) {
        const CardSprite& other = hand[above];
        if (other.active && other.x > card.x && other.x < right) right = other.x;
    }
    const auto x = static_cast<std::int32_t>(std::floor(card.x)) + 1 +
                   static_cast<std::int32_t>((right - card.x - 2) / 2);
    const auto y = static_cast<std::int32_t>(std::floor(card.y)) + kCardHeight / 2;
    return ClickAt(x, y);
}

}  // namespace tenfold
