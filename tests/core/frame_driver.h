#pragma once
// Drives the frame routine in tests: a simulated clock that jumps past every
// delay, and a player for seat 0 who clicks as a person would.

#include <functional>

#include "core/random.h"
#include "core/state_machine.h"
#include "core/trick_play.h"

namespace tenfold::test {

// Input with nothing pressed.
inline InputSnapshot NoInput() { return InputSnapshot{}; }

inline InputSnapshot ClickAt(int x, int y) {
    InputSnapshot in;
    in.MouseX = x;
    in.MouseY = y;
    in.LeftButton = true;
    return in;
}

inline InputSnapshot KeyPressed(int scanCode) {
    InputSnapshot in;
    in.KeyState[scanCode] = 0x80;
    return in;
}

// The click seat 0 would make now, or no input when it has nothing to do:
// the first enabled contract row, the lowest legal card (on its visible left
// edge), or the click that starts the next deal.
inline InputSnapshot HumanMove(const TableState& t) {
    if (t.GameState == "SELECT TRUMPS" && t.WaitingForHuman) {
        for (int row = 0; row <= 9; ++row) {
            const ContractButton& b = t.ContractButtons[row];
            if (b.Enabled) return ClickAt(b.X + 10, b.Y + 10);
        }
    }
    if (t.GameState == "NORMAL PLAY" && t.WaitingForHuman && !t.HumanHasPlayed) {
        for (int i = 0; i <= 12; ++i) {
            const CardSprite& c = t.Hand0[i];
            if (c.Active && WouldBeLegalForHuman(t, c.Code))
                return ClickAt(static_cast<int>(c.X) + 2, static_cast<int>(c.Y) + 2);
        }
    }
    if (t.GameState == "END OF MATCH") return ClickAt(400, 300);
    return NoInput();
}

// Runs frames until `done` holds (checked before each frame) or the frame
// budget runs out; delays end at once. Returns the frames run.
inline int RunUntil(TableState& t, HeadlessServices& s, const std::function<bool()>& done,
                    int maxFrames, bool autopilot = true) {
    int frames = 0;
    while (!done() && frames < maxFrames) {
        if (t.GameState == "PAUSED") s.clock.now = DelayEndTick(t);
        RunFrame(t, s, autopilot ? HumanMove(t) : NoInput());
        ++frames;
    }
    return frames;
}

}  // namespace tenfold::test
