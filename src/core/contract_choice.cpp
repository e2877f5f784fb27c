#include "core/contract_choice.h"

#include "ai/computer_players.h"
#include "core/cards.h"

namespace tenfold {

namespace {
std::int32_t TrumpOf(int contract) { return contract <= 4 ? contract - 1 : kNoTrump; }
}  // namespace

void ContractStep(TableState& t, Services& s) {
    if (t.WaitingForHuman) return;
    if (!t.StepPhase) {
        t.CurrentSeat = static_cast<std::int16_t>((t.CurrentSeat + 1) % 4);
        if (t.CurrentSeat == 0) {
            t.ContractMenuShown = true;
            MenuAvailability(t);
            t.HumanActed = false;
            t.WaitingForHuman = true;
        } else {
            t.Contract = ChooseContract(t, s, t.CurrentSeat);
            t.TrumpSuit = TrumpOf(t.Contract);
            FillValueOrder(t);
            t.StepPhase = true;
        }
        return;
    }
    if (t.HumanActed) t.WaitingForHuman = false;
    t.CurrentSeat = static_cast<std::int16_t>((t.CurrentSeat + 3) % 4);
    t.GameState = "SHOW CONTRACT";
    t.ContractAnnounced = true;
    t.StepPhase = false;
}

void MenuAvailability(TableState& t) {
    const SeatRecord& human = t.SeatRecords[0];
    for (int row = 0; row <= 3; ++row) t.ContractButtons[row].Enabled = true;
    for (int row = 4; row <= 9; ++row)
        t.ContractButtons[row].Enabled = t.ContractUseCount[row + 1] < 2;
    if (human.NegativeContractsChosen >= 3)
        for (int row = 4; row <= 9; ++row) t.ContractButtons[row].Enabled = false;
    if (human.TrumpContractsChosen >= 2)
        for (int row = 0; row <= 3; ++row) t.ContractButtons[row].Enabled = false;

    bool any = false;
    for (int row = 0; row <= 9; ++row) any = any || t.ContractButtons[row].Enabled;
    if (!any) {
        // The computer seats used up what the quotas left the human: a trump
        // contract beyond his quota is better than a table that waits for ever.
        for (int row = 0; row <= 3; ++row) t.ContractButtons[row].Enabled = true;
    }
    LayOutContractMenu(t);
}

void LayOutContractMenu(TableState& t) {
    for (int column = 0; column < 2; ++column) {
        int n = 0;
        for (int row = column * 5; row < column * 5 + 5; ++row) {
            ContractButton& button = t.ContractButtons[row];
            if (!button.Enabled) continue;
            button.X = static_cast<std::int16_t>(column == 0 ? 100 : 380);
            button.Y = Narrow<std::int16_t>(t.MenuBaseY - (n * 42 + 60));
            ++n;
        }
    }
}

bool MenuHitTest(TableState& t, std::int32_t x, std::int32_t y) {
    for (int row = 9; row >= 0; --row) {
        const ContractButton& b = t.ContractButtons[row];
        if (!(x > b.X && b.Enabled && x < b.X + b.Width && y > b.Y && y < b.Y + b.Height)) continue;
        // Only the first row hit is booked: rows overlap by a few pixels.
        t.Contract = static_cast<std::int16_t>(row + 1);
        t.TrumpSuit = TrumpOf(t.Contract);
        SeatRecord& human = t.SeatRecords[0];
        if (t.Contract < 5) {
            human.TrumpContractsChosen = Narrow<std::int16_t>(human.TrumpContractsChosen + 1);
        } else {
            human.NegativeContractsChosen = Narrow<std::int16_t>(human.NegativeContractsChosen + 1);
        }
        t.ContractUseCount[t.Contract] = Narrow<std::int16_t>(t.ContractUseCount[t.Contract] + 1);
        t.HumanActed = true;
        t.WaitingForHuman = false;
        t.StepPhase = true;
        t.ContractMenuShown = false;
        return true;
    }
    return false;
}

}  // namespace tenfold
