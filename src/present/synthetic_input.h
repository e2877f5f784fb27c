#pragma once
// A keyboard and a mouse that a program works instead of a player: every
// press, release and move becomes the window system's event, queued as a real
// device would queue it, and changes what the devices report as held. The
// input reads them through its source seam, so the keys and clicks take the
// same road as a player's: presses shorter than a frame, window to table
// pixels and the pointer's limits. The soak test drives the game so.

#include <cstdint>
#include <vector>

#include "present/display.h"
#include "present/input.h"

namespace tenfold {

// Keys by the window system's scancode (the USB keyboard usage numbers).
namespace keys {
inline constexpr int kA = 4, kQ = 20, kZ = 29, kOne = 30, kEscape = 41, kBackspace = 42, kTab = 43;
inline constexpr int kP = 19, kR = 21, kEnter = 40, kSpace = 44, kF1 = 58, kUp = 82;
inline constexpr int kL = 15, kN = 17, kY = 28, kRight = 79, kLeft = 80, kDown = 81;
inline constexpr int kLeftCtrl = 224, kLeftShift = 225;
}  // namespace keys

class SyntheticDevices : public InputSource {
public:
    // `display` places the table in the window (for the pointer's window units).
    explicit SyntheticDevices(const Display& display);

    // Pressing a key that is already down, or releasing one that is up, does nothing.
    void PressKey(int scancode);
    void ReleaseKey(int scancode);
    // Buttons: 0 left, 1 right, 2 middle.
    void PressButton(int index);
    void ReleaseButton(int index);
    // Moves the pointer onto a point of the table, in table pixels; points off
    // the table are allowed (the input clamps them to its limits).
    void MovePointer(int tableX, int tableY);
    // Takes the display away (the window is minimised) and gives it back
    // `restoreAfterMs` milliseconds later, as a task switch would.
    void LoseDisplay(std::uint32_t restoreAfterMs);

    // Presses, releases and moves so far.
    std::uint64_t Events() const { return events_; }
    bool KeyHeld(int scancode) const;
    bool ButtonHeld(int index) const;

    const std::uint8_t* HeldKeys(int& count) override;
    std::uint32_t HeldButtons(int& x, int& y) override;
    bool PointerWindowSize(int& width, int& height) override;

private:
    void SetKey(int scancode, bool down);
    const Display& display_;
    std::vector<std::uint8_t> keys_;  // by scancode
    std::uint32_t buttons_ = 0;       // SDL button masks
    int windowX_ = 0;
    int windowY_ = 0;
    std::uint64_t events_ = 0;
};

}  // namespace tenfold
