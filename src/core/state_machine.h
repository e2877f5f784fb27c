#pragma once
// The spine of a match: one frame of input tests and one step of the state
// machine, which moves cards and changes GameState when they arrive. Timed
// waits go through the state "PAUSED" and the millisecond tick count.
//
// Driving it. Each pass of the main loop polls the input into an
// InputSnapshot and calls RunFrame once. RunFrame does everything of the frame
// in order except drawing, and calls the hooks at the three points where the
// display takes part:
//
//   1  (the caller read the keys and the mouse into `input`)
//   2  Escape down: RunFrame returns FrameOutcome::Quit at once, nothing else
//      runs; the caller releases the display and ends the program.
//   3  P toggles Paused once per press;  4  R starts the sort of the hand;
//   5  HumanPickIndex = -1;  6  the click of the current state
//      ("END OF MATCH" starts the next deal; the contract menu while waiting
//      for the human);
//   7  Paused: return FrameOutcome::Continue (no hook is called, nothing is
//      drawn); otherwise the card click while waiting for the human;
//   8  hooks->BeginDrawing: restore lost surfaces, draw the background;
//   9  one step of the state machine;
//  10  hooks->DrawTable: the table, or the score page in "END OF MATCH";
//  11  the human's clicked card is thrown;
//  12  hooks->FinishDrawing: the mouse pointer, then flip.
//
// Headless runs pass no hooks. The card click is tested after the pause test,
// so a click made while paused is not taken at all (rather than accepted and
// left unthrown); a menu click while paused is booked as usual.

#include <cstdint>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// The display's part of a frame; every member is optional.
class FrameHooks {
public:
    virtual ~FrameHooks() = default;
    // Wait until the display is usable, restore lost surfaces, draw the background.
    virtual void BeginDrawing(TableState&) {}
    // Draw the table (and in "END OF MATCH" the score page); may place the menu rows.
    virtual void DrawTable(TableState&) {}
    // Draw the mouse pointer and flip.
    virtual void FinishDrawing(TableState&) {}
};

enum class FrameOutcome { Continue, Quit };

// One frame of the main loop; Quit when Escape was down.
FrameOutcome RunFrame(TableState& t, Services& s, const InputSnapshot& input,
                      FrameHooks* hooks = nullptr);

// Everything the game start routine does to the rules, with the display left
// out: card tables, layout from the options, match tables, the first deal,
// Running. The game makes the same calls in this order, with its own steps
// between them: ComputeLayout (start button, after the options are stored);
// a Services whose generator is seeded with TimeOfDaySeed(); InitMatchTables;
// open the display, input and sound and load the bitmaps (the loader calls
// BuildCardFiles); NewDeal; Running = true; then the main loop: poll input,
// RunFrame with its hooks, let window events run; on Quit, shut down.
// Headless runs may call UseFewestAnimationFrames afterwards.
void StartHeadlessGame(TableState& t, Services& s);

// One step of the state machine, by GameState.
void StateMachineStep(TableState& t, Services& s);
// Waits `ms` milliseconds in "PAUSED", then resumes the current state.
void Delay(TableState& t, Services& s, std::int32_t ms);
// The first tick count at which the running delay is over (one past its end).
std::uint32_t DelayEndTick(const TableState& t);
// One frame of a card's move, then the arrival test.
void CardStep(TableState& t, Services& s, CardSprite& card);
// A moving card close enough to its target stops, and the current state's
// arrival action runs for it. True when it arrived.
bool ArrivalTest(TableState& t, Services& s, CardSprite& card);

}  // namespace tenfold
