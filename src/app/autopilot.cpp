#include "app/autopilot.h"

#include <cmath>

#include "ai/computer_players.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {
InputSnapshot ClickAt(std::int32_t x, std::int32_t y) {
    InputSnapshot in;
    in.MouseX = x;
    in.MouseY = y;
    in.LeftButton = true;
    return in;
}
}  // namespace

std::optional<InputSnapshot> Autopilot::Decide(const TableState& t) {
    if (!t.WaitingForHuman || t.Paused) return std::nullopt;
    if (t.GameState == "SELECT TRUMPS" && t.ContractMenuShown) {
        const std::int16_t contract = ContractFor(t);
        if (contract == 0) return std::nullopt;
        const ContractButton& row = t.ContractButtons[contract - 1];
        return ClickAt(row.X + row.Width / 2, row.Y + row.Height / 2);
    }
    if (t.GameState == "NORMAL PLAY" && t.CurrentSeat == 0 && !t.HumanHasPlayed) {
        const int slot = CardSlotFor(t);
        if (slot < 0) return std::nullopt;
        return ClickOnCard(t, slot);
    }
    return std::nullopt;
}

std::int16_t Autopilot::ContractFor(const TableState& t) {
    const std::int16_t wanted = ChooseContractFor(t, [this] { return rng_.NextFloat(); }, 0);
    if (wanted >= 1 && wanted <= 10 && t.ContractButtons[wanted - 1].Enabled) return wanted;
    for (int row = 0; row < 10; ++row) {
        if (t.ContractButtons[row].Enabled) return static_cast<std::int16_t>(row + 1);
    }
    return 0;
}

int Autopilot::CardSlotFor(const TableState& t) const {
    const std::int16_t wanted = ChooseCardFor(t, 0);
    int lowestLegal = -1;
    for (int slot = 0; slot <= 12; ++slot) {
        const CardSprite& card = t.Hand0[slot];
        if (!card.Active || !WouldBeLegalForHuman(t, card.Code)) continue;
        if (card.Code == wanted) return slot;
        if (lowestLegal < 0) lowestLegal = slot;
    }
    return lowestLegal;
}

InputSnapshot Autopilot::ClickOnCard(const TableState& t, int slot) {
    const CardSprite& card = t.Hand0[slot];
    // The visible strip ends where the next active (higher, drawn on top) card begins.
    float right = card.X + card.Width;
    for (int above = slot + 1; above <= 12; ++above) {
        const CardSprite& other = t.Hand0[above];
        if (other.Active && other.X > card.X && other.X < right) right = other.X;
    }
    const auto x = static_cast<std::int32_t>(std::floor(card.X)) + 1 +
                   static_cast<std::int32_t>((right - card.X - 2) / 2);
    const auto y = static_cast<std::int32_t>(std::floor(card.Y)) + card.Height / 2;
    return ClickAt(x, y);
}

}  // namespace tenfold
