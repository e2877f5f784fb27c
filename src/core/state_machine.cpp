#include "core/state_machine.h"

#include "core/cards.h"
#include "core/contract_choice.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/movement.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {
bool KeyDown(const InputSnapshot& in, int scanCode) { return in.KeyState[scanCode] != 0; }

// Moves every travelling card of the trick, then tests the first card that is
// not the winning one: all cards of a group move arrive together.
void StepTable(TableState& t, Services& s) {
    for (int i = 0; i < t.TableCount; ++i) MoveOneStep(t.TableCards[i]);
    const int probe = t.TrickWinnerCard == 0 ? 1 : 0;
    if (probe < t.TableCount && t.TableCards[probe].Moving) ArrivalTest(t, s, t.TableCards[probe]);
}

// Moves slots 1..12 of the human's hand, then tests the highest moving slot.
void StepHand(TableState& t, Services& s) {
    for (int i = 1; i <= 12; ++i) MoveOneStep(t.Hand0[i]);
    for (int i = 12; i >= 1; --i) {
        if (t.Hand0[i].Moving) {
            ArrivalTest(t, s, t.Hand0[i]);
            return;
        }
    }
}

void StopHandSlots1To11(TableState& t) {
    for (int i = 1; i <= 11; ++i) t.Hand0[i].Moving = false;
}

void StopTable(TableState& t) {
    for (int i = 0; i < t.TableCount; ++i) t.TableCards[i].Moving = false;
}

void ShowContractStep(TableState& t, Services& s) {
    if (t.WaitingForHuman) return;
    if (!t.StepPhase) {
        t.DelayJustEnded = false;
        t.StepPhase = true;
        return;
    }
    if (t.HumanActed) t.WaitingForHuman = false;
    t.GameState = "NORMAL PLAY";
    if (!t.DelayJustEnded) Delay(t, s, 1700);
    t.StepPhase = false;
}

// The R key sorts the human's hand only from rest, before his first card of
// the deal or while he is to choose the contract.
bool MaySort(const TableState& t) {
    if (AnyCardMoving(t)) return false;
    if (t.GameState == "NORMAL PLAY") return t.HandSize0 == 13 && t.CurrentSeat == 0;
    return t.GameState == "SELECT TRUMPS" && t.CurrentSeat == 0;
}

void ArrivalAction(TableState& t, Services& s, CardSprite& card) {
    const std::string& state = t.GameState;
    if (state == "NORMAL PLAY") {
        CardLanded(t, s, card);
    } else if (state == "DEALING CARDS") {
        DealtCardArrived(t, s, card);
    } else if (state == "WE ARE GETTING CARDS - GOTHERING") {
        StopTable(t);
        t.GameState = "WE ARE GETTING CARDS";
    } else if (state == "WE ARE GETTING CARDS") {
        TrickHandOver(t, s);
    } else if (state == "GOTHER AROUND FIRST CARD") {
        StopHandSlots1To11(t);
        SortHumanHand(t);
        t.GameState = "SPREAD AHEAD FIRST CARD";
    } else if (state == "SPREAD AHEAD FIRST CARD") {
        StopHandSlots1To11(t);
        t.GameState = t.PreviousState;
    }
}
}  // namespace

FrameOutcome RunFrame(TableState& t, Services& s, const InputSnapshot& input, FrameHooks* hooks) {
    if (KeyDown(input, kScanEscape)) return FrameOutcome::Quit;

    if (KeyDown(input, kScanP)) {
        if (!t.KeyLatch.PKeyDown) {
            t.Paused = !t.Paused;
            t.KeyLatch.PKeyDown = true;
        }
    } else {
        t.KeyLatch.PKeyDown = false;
    }

    if (KeyDown(input, kScanR) && MaySort(t)) {
        t.PreviousState = t.GameState;
        t.GameState = "GOTHER AROUND FIRST CARD";
    }

    t.HumanPickIndex = -1;

    if (input.LeftButton) {
        if (t.GameState == "END OF MATCH") {
            t.GameState = "MANA CARD";
            NewDeal(t, s);
        } else if (t.GameState == "SELECT TRUMPS" && t.WaitingForHuman) {
            MenuHitTest(t, input.MouseX, input.MouseY);
        }
    }

    if (t.Paused) return FrameOutcome::Continue;

    if (input.LeftButton && t.GameState == "NORMAL PLAY" && t.CurrentSeat == 0 &&
        !t.HumanHasPlayed && t.WaitingForHuman) {
        t.HumanPickIndex = CardHitTest(t, input.MouseX, input.MouseY);
    }

    if (hooks) hooks->BeginDrawing(t);
    StateMachineStep(t, s);
    if (hooks) hooks->DrawTable(t);
    if (t.HumanPickIndex > -1) ThrowCard(t, s, t.Hand0[t.HumanPickIndex]);
    if (hooks) hooks->FinishDrawing(t);
    return FrameOutcome::Continue;
}

void StartHeadlessGame(TableState& t, Services& s) {
    BuildCardFiles(t);
    ComputeLayout(t);
    InitMatchTables(t, s);
    NewDeal(t, s);
    t.Running = true;
}

void StateMachineStep(TableState& t, Services& s) {
    const std::string& state = t.GameState;
    if (state == "PAUSED") {
        const std::uint32_t elapsed = s.TickCount() - static_cast<std::uint32_t>(t.DelayStart);
        if (elapsed > static_cast<std::uint32_t>(t.DelayLength)) {
            t.GameState = t.StateAfterDelay;
            t.DelayJustEnded = true;
        }
    } else if (state == "NORMAL PLAY") {
        PlayStep(t, s);
    } else if (state == "SHOW CONTRACT") {
        ShowContractStep(t, s);
    } else if (state == "SELECT TRUMPS") {
        ContractStep(t, s);
    } else if (state == "DEALING CARDS") {
        DealingStep(t, s);
    } else if (state == "WE ARE GETTING CARDS - GOTHERING") {
        if (!AnyCardMoving(t)) GatherTrick(t, s); else StepTable(t, s);
    } else if (state == "WE ARE GETTING CARDS") {
        if (!AnyCardMoving(t)) CarryTrick(t, s); else StepTable(t, s);
    } else if (state == "GOTHER AROUND FIRST CARD") {
        if (!AnyCardMoving(t)) GatherHand(t, s); else StepHand(t, s);
    } else if (state == "SPREAD AHEAD FIRST CARD") {
        if (!AnyCardMoving(t)) SpreadHand(t, s); else StepHand(t, s);
    }
    // "END OF MATCH" waits for a click; no other state is ever entered.
}

void Delay(TableState& t, Services& s, std::int32_t ms) {
    t.StateAfterDelay = t.GameState;
    t.GameState = "PAUSED";
    // Kept as the bit pattern of the tick count; the end test works modulo 2^32,
    // so a tick counter that wraps does not freeze the table.
    t.DelayStart = static_cast<std::int32_t>(s.TickCount());
    t.DelayLength = ms;
}

std::uint32_t DelayEndTick(const TableState& t) {
    return static_cast<std::uint32_t>(t.DelayStart) + static_cast<std::uint32_t>(t.DelayLength) + 1u;
}

void CardStep(TableState& t, Services& s, CardSprite& card) {
    if (!card.Moving) return;
    MoveOneStep(card);
    ArrivalTest(t, s, card);
}

bool ArrivalTest(TableState& t, Services& s, CardSprite& card) {
    if (!IsWithinArrival(t, card)) return false;
    card.Moving = false;
    ArrivalAction(t, s, card);
    return true;
}

}  // namespace tenfold
