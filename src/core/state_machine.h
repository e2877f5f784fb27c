#pragma once
// The spine of a match: one frame of input and one step of the state
// machine, which moves cards and changes the state when they arrive. Timed
// waits go through the state Waiting and the millisecond tick count.
//
// One frame, in order:
//   quit: RunFrame returns Quit at once and nothing else runs;
//   the pause key toggles the pause once per press; the sort key starts the
//   sort of the human's hand; a click starts the next deal on the score
//   page, or picks a row of the contract menu (also while paused);
//   paused: the frame ends here, nothing is drawn;
//   a click on a card while the human is to play;
//   hooks->BeginDrawing; one step of the state machine; hooks->DrawTable;
//   the clicked card is thrown; hooks->FinishDrawing.
// The card click is tested after the pause, so a click made while paused is
// not taken at all (rather than accepted and left unthrown).

#include <cstdint>

#include "core/computer_player.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// The display's part of a frame; every member is optional. The drawing only
// reads the table.
class FrameHooks {
public:
    virtual ~FrameHooks() = default;
    // Wait until the display is usable, restore lost pictures, draw the background.
    virtual void BeginDrawing(const TableState&) {}
    // Draw the table (or the score page after a deal).
    virtual void DrawTable(const TableState&) {}
    // Draw the mouse pointer and show the frame.
    virtual void FinishDrawing(const TableState&) {}
};

enum class FrameOutcome { Continue, Quit };

// One frame of the main loop; Quit when the input asks to leave.
FrameOutcome RunFrame(TableState& t, Services& s, ComputerPlayer& players, const PlayerInput& input,
                      FrameHooks* hooks = nullptr);

// The rules' part of starting a run, after the options are stored: the
// layout, the computer seats' names, the first deal.
void StartRun(TableState& t, Services& s, ComputerPlayer& players);

// True when the sort key would start the sort of the human's hand now: from
// rest, before his first card of the deal or while he is to choose.
bool MaySortHand(const TableState& t);

// One step of the state machine, by state.
void StateMachineStep(TableState& t, Services& s, ComputerPlayer& players);
// Waits `ms` milliseconds in Waiting, then resumes the current state.
void Delay(TableState& t, Services& s, std::int32_t ms);
// The first tick count at which the running delay is over (one past its end).
std::uint32_t DelayEndTick(const TableState& t);
// One frame of a card's move, then the arrival test.
void CardStep(TableState& t, Services& s, CardSprite& card);
// A moving card close enough to its target stops, and the current state's
// arrival action runs for it. True when it arrived.
bool ArrivalTest(TableState& t, Services& s, CardSprite& card);

}  // namespace tenfold
