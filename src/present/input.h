#pragma once
// Keyboard, mouse and the game's own pointer. Keys are kept by DirectInput
// scan code (Escape 1, R 19, P 25, ...) because that is what the game's rules
// test; the window system's key numbers are translated through a table.

#include <array>
#include <cstdint>

#include "core/table_state.h"
#include "present/display.h"

namespace tenfold {

// DirectInput scan code for an SDL scancode (0 when the key has none).
std::uint8_t ScanCodeFromSdl(int sdlScancode);

// Where Input reads what is held down: the window system's keyboard and
// mouse, or devices a program drives (SyntheticDevices, for the soak test).
// Presses shorter than a frame reach Input as window events either way
// (Display's taps), so both kinds of device take the same road.
class InputDevices {
public:
    virtual ~InputDevices() = default;
    // Keys held now, indexed by SDL scancode; `count` receives the length.
    virtual const std::uint8_t* HeldKeys(int& count) = 0;
    // Buttons held now (SDL button masks); the pointer in window units.
    virtual std::uint32_t HeldButtons(int& x, int& y) = 0;
    // The size in window units of the window the pointer is over; false
    // when it is over none (the pointer position is then not taken).
    virtual bool PointerWindowSize(int& width, int& height) = 0;
};

// Pointer position limits, inclusive.
struct MouseLimits {
    std::int32_t MouseMinX = 0;
    std::int32_t MouseMinY = 0;
    std::int32_t MouseMaxX = 0;
    std::int32_t MouseMaxY = 0;
};

// A window point (pixels) to table pixels: undoes the scaling and the border
// around the table, then clamps to the limits.
void WindowToTable(const Letterbox& box, double windowX, double windowY, const MouseLimits& limits,
                   std::int32_t& mouseX, std::int32_t& mouseY);

class Input {
public:
    Array<std::uint8_t, 256> KeyState{};       // by scan code; > 0 = down
    std::array<std::uint8_t, 4> MouseButtons{};  // button bytes; 0 is the left button
    std::int32_t MouseX = 0;
    std::int32_t MouseY = 0;
    MouseLimits Limits;
    bool CursorShown = true;

    // Starts the input system; failures raise "Error in function GiveMeInput() ".
    void GiveMeInput();
    // Opens the keyboard; failures raise "Error in function KeyBoard() ".
    void KeyBoard();
    // Opens the mouse: limits 0..width and 0..height inclusive, pointer at the
    // middle; failures raise "Error in function Mouse() ".
    void Mouse(const Display& display);
    void SetMouseLimits(std::int32_t minX, std::int32_t minY, std::int32_t maxX, std::int32_t maxY);
    // Reads every key into KeyState (keys tapped since the last poll count as down).
    void PollKeyboard(Display& display);
    // Reads the pointer (in table pixels, clamped) and the buttons.
    void PollMouse(Display& display);
    bool KeyDown(std::uint8_t scanCode) const { return KeyState[scanCode] > 0; }
    bool MouseButton(int index) const { return MouseButtons.at(static_cast<std::size_t>(index)) != 0; }
    // Shows or hides the window system's pointer (the game draws its own).
    void ShowSystemCursor(bool show);
    // Copies the pointer picture so that (hotX, hotY) sits on the mouse position
    // the frame's PollMouse read. It does not poll again: PollMouse takes the
    // clicks queued since the last poll, and the frame has only one reader.
    void DrawMousePointer(Display& display, const Surface& pointer, int hotX, int hotY, int width,
                          int height, bool transparent);
    // Releases both devices and shows the system pointer again.
    void Release();
    // This frame's input as the rules read it.
    InputSnapshot Snapshot() const;
    // Reads held keys, buttons and the pointer from `devices` from now on;
    // nullptr: from the window system.
    void UseDevices(InputDevices* devices) { devices_ = devices; }

private:
    InputDevices& Devices();

    InputDevices* devices_ = nullptr;
    bool started_ = false;
    bool keyboard_ = false;
    bool mouse_ = false;
};

// Flips the pause flag.
inline void TogglePause(bool& paused) { paused = !paused; }

}  // namespace tenfold
