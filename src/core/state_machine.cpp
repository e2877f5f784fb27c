#include "core/state_machine.h"

#include "core/contract_choice.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/movement.h"
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

FrameOutcome RunFrame(TableState& t, Services& s, ComputerPlayer& players, const PlayerInput& input,
                      FrameHooks* hooks) {
    if (input.quit) return FrameOutcome::Quit;

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

    if (input.click) {
        if (flow.state == GameState::DealOver) {
            NewDeal(t, s, players);
        } else if (flow.state == GameState::ChoosingContract && t.human.waiting) {
            MenuHitTest(t, input.x, input.y);
        }
    }

    if (flow.paused) return FrameOutcome::Continue;

    if (input.click && flow.state == GameState::Playing && t.currentSeat == kHumanSeat &&
        !t.human.hasPlayed && t.human.waiting) {
        t.human.pickedSlot = CardHitTest(t, players, input.x, input.y);
    }

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
