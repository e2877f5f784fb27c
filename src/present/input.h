#pragma once
// Keyboard, mouse and the game's own pointer, read once a frame and handed to
// the rules in the game's own words (PlayerInput): Escape quits, P pauses, R
// sorts, the left button clicks at a point of the table; L or the right button
// hold up the last trick, the arrows, Enter and Space play by keyboard.

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

// The game's meaning of the keys held and tapped in a frame, by SDL scancode:
// Escape, P, R, and L (the last trick, while held).
void ApplyKey(int sdlScancode, PlayerInput& input);
// A key pressed in this frame: the arrows, Enter and Space, Y and N, and the
// keys ApplyKey knows.
void ApplyKeyPress(int sdlScancode, PlayerInput& input);

// Where the input reads what is held down: the window system's keyboard and
// mouse, or devices a program works (SyntheticDevices, for the soak test).
// Presses shorter than a frame reach the input as window events either way
// (Display's taps), so both kinds of device take the same road.
class InputSource {
public:
    virtual ~InputSource() = default;
    // Keys held now, indexed by SDL scancode; `count` receives the length.
    virtual const std::uint8_t* HeldKeys(int& count) = 0;
    // Buttons held now (SDL button masks); the pointer in window units.
    virtual std::uint32_t HeldButtons(int& x, int& y) = 0;
    // The size in window units of the window the pointer is over; false
    // when it is over none (the pointer position is then not taken).
    virtual bool PointerWindowSize(int& width, int& height) = 0;
};

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
    // This frame's input as the rules read it. A click on the felt around
    // the table is no click.
    const PlayerInput& Read() const { return input_; }
    // Shows or hides the window system's pointer (the game draws its own).
    void ShowSystemCursor(bool show);
    // Draws the pointer picture (32 x 32) with its point (16, 16) on the mouse position.
    void DrawPointer(Display& display, const Picture& pointer);
    // Releases the devices and shows the system pointer again.
    void Release();
    // Reads held keys, buttons and the pointer from `source` from now on;
    // nullptr: from the window system.
    void UseSource(InputSource* source) { source_ = source; }

private:
    void PollPointer(Display& display);
    InputSource& Source();

    InputSource* source_ = nullptr;
    bool open_ = false;
    bool onTable_ = true;  // the pointer is over the table, not the felt around it
    PlayerInput input_;
};

}  // namespace tenfold
