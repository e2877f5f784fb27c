#include "core/state_machine.h"

#include "core/contract_choice.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/movement.h"
#include "core/table_aids.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {
constexpr std::int32_t kDelayAfterContractMs = 1700;

// Moves every travelling card of the trick, then tests the first card that is
// not the winning one: all cards of a group move arrive together.
void StepTable(TableState& t, Services& s) {
    for (int i = 0; i < t.trick.count; ++i) MoveOneStep(t.trick.cards[i]);
    const int probe = t.trick.winnerCard == 0 ? 1 : 0;
    if (probe < t.trick.count && t.trick.cards[probe].moving) ArrivalTest(t, s, t.trick.cards[probe]);
}

// Moves slots 1..12 of the human's hand, then tests the highest moving slot.
void StepHand(TableState& t, Services& s) {
    auto& hand = t.seats[kHumanSeat].hand;
    for (int i = 1; i < kHandSize; ++i) MoveOneStep(hand[i]);
    for (int i = kHandSize - 1; i >= 1; --i) {
        if (hand[i].moving) {
            ArrivalTest(t, s, hand[i]);
            return;
        }
    }
}

// The gathered hand lies on slot 0; slot 12, the one tested, has stopped itself.
void StopGatheredHand(TableState& t) {
    auto& hand = t.seats[kHumanSeat].hand;
    for (int i = 1; i < kHandSize - 1; ++i) SetMoving(t, hand[i], false);
}

void StopTable(TableState& t) {
    for (int i = 0; i < t.trick.count; ++i) SetMoving(t, t.trick.cards[i], false);
}

void ShowContractStep(TableState& t, Services& s) {
    if (t.human.waiting) return;
    if (!t.flow.stepPhase) {
        t.flow.delayJustEnded = false;
        t.flow.stepPhase = true;
        return;
    }
    if (t.human.acted) t.human.waiting = false;
    t.flow.state = GameState::Playing;
    if (!t.flow.delayJustEnded) Delay(t, s, kDelayAfterContractMs);
    t.flow.stepPhase = false;
}

void ArrivalAction(TableState& t, Services& s, CardSprite& card) {
    switch (t.flow.state) {
        case GameState::Playing: CardLanded(t, s, card); break;
        case GameState::Dealing: DealtCardArrived(t, card); break;
        case GameState::GatheringTrick:
            StopTable(t);
            t.flow.state = GameState::CarryingTrick;
            break;
        case GameState::CarryingTrick: TrickHandOver(t, s); break;
        case GameState::GatheringHand:
            StopGatheredHand(t);
            SortHumanHand(t);
            t.flow.state = GameState::SpreadingHand;
            break;
        case GameState::SpreadingHand:
            StopGatheredHand(t);
            t.flow.state = t.flow.stateBeforeSort;
            break;
        default: break;
    }
}
}  // namespace

namespace {

// One frame's drawing with nothing moving: the table as it stands, with the
// pause sign, the last trick or the question over it.
void DrawStill(const TableState& t, FrameHooks* hooks) {
    if (!hooks) return;
    hooks->BeginDrawing(t);
    hooks->DrawTable(t);
    hooks->FinishDrawing(t);
}

// Escape and the close box on a table with aids: during a match they ask
// first, and a second request (or Yes) leaves. True when the game is to end.
bool LeaveRequested(TableState& t, const PlayerInput& input) {
    TableAids& aids = t.aids;
    const bool escapePressed = input.quit && !aids.escapeHeld;
    aids.escapeHeld = input.quit;
    // A button held down since before the question was asked answers nothing.
    const bool clicked = input.click && !aids.clickHeld;
    aids.clickHeld = input.click;
    if (escapePressed || input.closeBox) {
        if (!MatchInProgress(t) || aids.leaveAsked) return true;
        aids.leaveAsked = true;
        return false;
    }
    if (!aids.leaveAsked) return false;
    if (input.yes || (clicked && kLeaveYes.Holds(input.x, input.y))) return true;
    if (input.no || (clicked && kLeaveNo.Holds(input.x, input.y))) aids.leaveAsked = false;
    return false;
}

// The last trick held up: the game's clock stops while it shows, so a wait
// that was running is as long afterwards as it was before.
void HoldUpLastTrick(TableState& t, Services& s, bool held) {
    TableAids& aids = t.aids;
    const bool show = held && LastTrick(t).has_value() && t.flow.state != GameState::DealOver;
    if (show && !aids.lastTrickShown) aids.frozenSince = s.TickCount();
    if (!show && aids.lastTrickShown && t.flow.state == GameState::Waiting)
        t.flow.delayStart += s.TickCount() - aids.frozenSince;
    aids.lastTrickShown = show;
}

// The keys of a table with aids, and what a click on a card that may not be
// played tells. Keys act through the same roads as clicks: the menu's hit
// test, the card's hit test (legality, the players hearing the play).
void AidsKeysAndRefusals(TableState& t, ComputerPlayer& players, const PlayerInput& input) {
    TableAids& aids = t.aids;
    if (aids.refusalFrames > 0) --aids.refusalFrames;
    if (t.human.pickedSlot >= 0) {
        // A card was played: what was refused before no longer matters.
        aids.refusal = Refusal::None;
        aids.refusalFrames = 0;
        aids.refusedSlot = -1;
        return;
    }
    if (t.flow.state == GameState::ChoosingContract && t.human.waiting && t.menu.shown) {
        if (input.up) aids.menuFocus = static_cast<std::int16_t>(StepMenuFocus(t, aids.menuFocus, -1));
        if (input.down) aids.menuFocus = static_cast<std::int16_t>(StepMenuFocus(t, aids.menuFocus, 1));
        if (input.confirm) {
            const int row = aids.menuFocus;
            if (row >= 0 && row < kContractCount && t.menu.rows[row].enabled) {
                const Point p = MenuRowClickPoint(t, row);
                MenuHitTest(t, p.x, p.y);
            } else {
                aids.menuFocus = static_cast<std::int16_t>(StepMenuFocus(t, -1, 1));
            }
        }
        return;
    }
    if (!HumanToPlay(t)) return;
    if (input.left) aids.focusSlot = static_cast<std::int16_t>(StepFocus(t, aids.focusSlot, -1));
    if (input.right) aids.focusSlot = static_cast<std::int16_t>(StepFocus(t, aids.focusSlot, 1));
    if (input.confirm && t.human.pickedSlot < 0) {
        if (MayPlaySlot(t, aids.focusSlot)) {
            const Point p = SlotClickPoint(t, aids.focusSlot);
            t.human.pickedSlot = CardHitTest(t, players, p.x, p.y);
        } else {
            aids.focusSlot = static_cast<std::int16_t>(StepFocus(t, -1, 1));
        }
    }
    if (t.human.pickedSlot >= 0) {
        aids.refusal = Refusal::None;
        aids.refusalFrames = 0;
        aids.refusedSlot = -1;
    } else if (input.click) {
        // The click found no card it may play: the card on top there says why.
        const int top = TopSlotAt(t, input.x, input.y);
        if (top >= 0) {
            aids.refusedSlot = static_cast<std::int16_t>(top);
            aids.refusal = WhyHumanRefused(t, t.seats[kHumanSeat].hand[top].card);
            aids.refusalFrames = kRefusalShakeFrames;
        }
    }
}

}  // namespace

FrameOutcome RunFrame(TableState& t, Services& s, ComputerPlayer& players, const PlayerInput& input,
                      FrameHooks* hooks) {
    const bool aids = !t.options.classicTable;
    if (aids) {
        // The frame that answers the question does nothing else.
        const bool asked = t.aids.leaveAsked;
        if (LeaveRequested(t, input)) return FrameOutcome::Quit;
        if (asked || t.aids.leaveAsked) {
            DrawStill(t, hooks);
            return FrameOutcome::Continue;
        }
    } else if (input.quit) {
        return FrameOutcome::Quit;
    }

    Flow& flow = t.flow;
    if (input.pause) {
        if (!flow.pauseKeyHeld) {
            flow.paused = !flow.paused;
            flow.pauseKeyHeld = true;
        }
    } else {
        flow.pauseKeyHeld = false;
    }

    if (input.sort && MaySortHand(t)) {
        flow.stateBeforeSort = flow.state;
        flow.state = GameState::GatheringHand;
    }

    t.human.pickedSlot = -1;

    if (input.click || (aids && input.confirm)) {
        if (flow.state == GameState::DealOver) {
            NewDeal(t, s, players);
        } else if (input.click && flow.state == GameState::ChoosingContract && t.human.waiting) {
            MenuHitTest(t, input.x, input.y);
        }
    }

    if (flow.paused) {
        // A table with aids says it is paused, and the pointer still moves.
        if (aids) DrawStill(t, hooks);
        return FrameOutcome::Continue;
    }

    if (aids) {
        HoldUpLastTrick(t, s, input.lastTrick);
        if (t.aids.lastTrickShown) {
            DrawStill(t, hooks);
            return FrameOutcome::Continue;
        }
    }

    if (input.click && flow.state == GameState::Playing && t.currentSeat == kHumanSeat &&
        !t.human.hasPlayed && t.human.waiting) {
        t.human.pickedSlot = CardHitTest(t, players, input.x, input.y);
    }
    if (aids) AidsKeysAndRefusals(t, players, input);

    if (hooks) hooks->BeginDrawing(t);
    StateMachineStep(t, s, players);
    if (hooks) hooks->DrawTable(t);
    if (t.human.pickedSlot > -1) ThrowCard(t, s, t.seats[kHumanSeat].hand[t.human.pickedSlot]);
    if (hooks) hooks->FinishDrawing(t);
    return FrameOutcome::Continue;
}

bool MaySortHand(const TableState& t) {
    if (t.currentSeat != kHumanSeat || AnyCardMoving(t)) return false;
    if (t.flow.state == GameState::Playing) return HandSize(t, kHumanSeat) == kHandSize;
    return t.flow.state == GameState::ChoosingContract;
}

void StartRun(TableState& t, Services& s, ComputerPlayer& players) {
    ComputeLayout(t);
    DrawPlayerNames(t, s);
    NewDeal(t, s, players);
}

void StateMachineStep(TableState& t, Services& s, ComputerPlayer& players) {
    switch (t.flow.state) {
        case GameState::Waiting: {
            const std::uint32_t elapsed = s.TickCount() - t.flow.delayStart;
            if (elapsed > static_cast<std::uint32_t>(t.flow.delayLength)) {
                t.flow.state = t.flow.stateAfterDelay;
                t.flow.delayJustEnded = true;
            }
            break;
        }
        case GameState::Playing: PlayStep(t, s, players); break;
        case GameState::ShowingContract: ShowContractStep(t, s); break;
        case GameState::ChoosingContract: ContractStep(t, s, players); break;
        case GameState::Dealing: DealingStep(t, s); break;
        case GameState::GatheringTrick:
            if (!AnyCardMoving(t))
                GatherTrick(t, s);
            else
                StepTable(t, s);
            break;
        case GameState::CarryingTrick:
            if (!AnyCardMoving(t))
                CarryTrick(t, s);
            else
                StepTable(t, s);
            break;
        case GameState::GatheringHand:
            if (!AnyCardMoving(t))
                GatherHand(t, s);
            else
                StepHand(t, s);
            break;
        case GameState::SpreadingHand:
            if (!AnyCardMoving(t))
                SpreadHand(t, s);
            else
                StepHand(t, s);
            break;
        case GameState::DealOver:  // waits for a click
        case GameState::NotStarted: break;
    }
}

void Delay(TableState& t, Services& s, std::int32_t ms) {
    t.flow.stateAfterDelay = t.flow.state;
    t.flow.state = GameState::Waiting;
    // The end test works modulo 2^32, so a tick counter that wraps does not
    // freeze the table.
    t.flow.delayStart = s.TickCount();
    t.flow.delayLength = ms;
}

std::uint32_t DelayEndTick(const TableState& t) {
    return t.flow.delayStart + static_cast<std::uint32_t>(t.flow.delayLength) + 1u;
}

void CardStep(TableState& t, Services& s, CardSprite& card) {
    if (!card.moving) return;
    MoveOneStep(card);
    ArrivalTest(t, s, card);
}

bool ArrivalTest(TableState& t, Services& s, CardSprite& card) {
    if (!IsWithinArrival(t.layout, card)) return false;
    SetMoving(t, card, false);
    ArrivalAction(t, s, card);
    return true;
}

}  // namespace tenfold
