#pragma once
// Keyboard, mouse and the game's own pointer, read once a frame and handed to
// the rules in the game's own words (PlayerInput): Escape quits, P pauses, R
// sorts, the left button clicks at a point of the table.

#include <cstdint>

#include "core/table_state.h"
#include "present/display.h"

namespace tenfold {

// Pointer position limits, inclusive.
struct MouseLimits {
    std::int32_t minX = 0;
    std::int32_t minY = 0;
    std::int32_t maxX = 0;
    std::int32_t maxY = 0;
};

// A window point (pixels) to table pixels: undoes the scaling and the border
// around the table, then clamps to the limits.
void WindowToTable(const Letterbox& box, double windowX, double windowY, const MouseLimits& limits,
                   std::int32_t& mouseX, std::int32_t& mouseY);

// The game's meaning of the keys held and tapped in a frame, by SDL scancode.
void ApplyKey(int sdlScancode, PlayerInput& input);

class InputDevices {
public:
    std::int32_t mouseX = 0;  // table pixels
    std::int32_t mouseY = 0;
    MouseLimits limits;

    // Starts the input system: limits 0..width and 0..height inclusive, the
    // pointer at the middle; failures raise the input's label.
    void Open();
    // Reads the keys and the pointer for this frame (keys and buttons tapped
    // since the last poll count as down).
    void Poll(Display& display);
    // This frame's input as the rules read it.
    const PlayerInput& Read() const { return input_; }
    // Shows or hides the window system's pointer (the game draws its own).
    void ShowSystemCursor(bool show);
    // Draws the pointer picture (32 x 32) with its point (16, 16) on the mouse position.
    void DrawPointer(Display& display, const Surface& pointer);
    // Releases the devices and shows the system pointer again.
    void Release();

private:
    void PollPointer(Display& display);
    bool open_ = false;
    PlayerInput input_;
};

}  // namespace tenfold
