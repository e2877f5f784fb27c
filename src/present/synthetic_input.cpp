#include "present/synthetic_input.h"

#include <SDL.h>

#include <cmath>

namespace tenfold {

namespace {

void PushWindowEvent(SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.timestamp = SDL_GetTicks();
    e.window.event = static_cast<Uint8>(what);
    SDL_PushEvent(&e);
}

// Runs on SDL's timer thread; pushing an event is safe from there.
Uint32 RestoreDisplay(Uint32 /*interval*/, void* /*param*/) {
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    return 0;  // once
}

Uint8 SdlButton(int index) {
    switch (index) {
        case 0: return SDL_BUTTON_LEFT;
        case 1: return SDL_BUTTON_RIGHT;
        case 2: return SDL_BUTTON_MIDDLE;
        default: return SDL_BUTTON_X1;
    }
}

static_assert(keys::kP == SDL_SCANCODE_P && keys::kR == SDL_SCANCODE_R &&
              keys::kEscape == SDL_SCANCODE_ESCAPE && keys::kSpace == SDL_SCANCODE_SPACE &&
              keys::kLeftShift == SDL_SCANCODE_LSHIFT && keys::kUp == SDL_SCANCODE_UP &&
              keys::kF1 == SDL_SCANCODE_F1 && keys::kL == SDL_SCANCODE_L && keys::kN == SDL_SCANCODE_N &&
              keys::kY == SDL_SCANCODE_Y && keys::kRight == SDL_SCANCODE_RIGHT &&
              keys::kLeft == SDL_SCANCODE_LEFT && keys::kDown == SDL_SCANCODE_DOWN &&
              keys::kEnter == SDL_SCANCODE_RETURN);

bool IsScancode(int sc) { return sc > 0 && sc < SDL_NUM_SCANCODES; }

}  // namespace

SyntheticDevices::SyntheticDevices(const Display& display) : display_(display), keys_(SDL_NUM_SCANCODES, 0) {}

void SyntheticDevices::PressKey(int sc) { SetKey(sc, true); }

void SyntheticDevices::ReleaseKey(int sc) { SetKey(sc, false); }

void SyntheticDevices::SetKey(int sc, bool down) {
    // A key already in the wanted state sends nothing, as a real keyboard would.
    if (!IsScancode(sc) || (keys_[static_cast<std::size_t>(sc)] != 0) == down) return;
    keys_[static_cast<std::size_t>(sc)] = down ? 1 : 0;
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.timestamp = SDL_GetTicks();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(sc);
    e.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc));
    SDL_PushEvent(&e);
    ++events_;
}

void SyntheticDevices::PressButton(int index) {
    const Uint8 button = SdlButton(index);
    if ((buttons_ & SDL_BUTTON(button)) != 0) return;
    buttons_ |= SDL_BUTTON(button);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.timestamp = SDL_GetTicks();
    e.button.button = button;
    e.button.state = SDL_PRESSED;
    e.button.clicks = 1;
    e.button.x = windowX_;
    e.button.y = windowY_;
    SDL_PushEvent(&e);
    ++events_;
}

void SyntheticDevices::ReleaseButton(int index) {
    const Uint8 button = SdlButton(index);
    if ((buttons_ & SDL_BUTTON(button)) == 0) return;
    buttons_ &= ~SDL_BUTTON(button);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.timestamp = SDL_GetTicks();
    e.button.button = button;
    e.button.state = SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = windowX_;
    e.button.y = windowY_;
    SDL_PushEvent(&e);
    ++events_;
}

void SyntheticDevices::MovePointer(int tableX, int tableY) {
    // The window point that Input maps back onto this table pixel: rounding
    // up keeps it inside the pixel at any scale of 1 or more.
    const Letterbox box = display_.CurrentLetterbox();
    const int x = static_cast<int>(std::ceil(box.offsetX + tableX * box.scale));
    const int y = static_cast<int>(std::ceil(box.offsetY + tableY * box.scale));
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.timestamp = SDL_GetTicks();
    e.motion.state = buttons_;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = x - windowX_;
    e.motion.yrel = y - windowY_;
    windowX_ = x;
    windowY_ = y;
    SDL_PushEvent(&e);
    ++events_;
}

void SyntheticDevices::LoseDisplay(std::uint32_t restoreAfterMs) {
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    if (SDL_AddTimer(restoreAfterMs, RestoreDisplay, nullptr) == 0) PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
}

bool SyntheticDevices::KeyHeld(int sc) const {
    return IsScancode(sc) && keys_[static_cast<std::size_t>(sc)] != 0;
}

bool SyntheticDevices::ButtonHeld(int index) const { return (buttons_ & SDL_BUTTON(SdlButton(index))) != 0; }

const std::uint8_t* SyntheticDevices::HeldKeys(int& count) {
    count = static_cast<int>(keys_.size());
    return keys_.data();
}

std::uint32_t SyntheticDevices::HeldButtons(int& x, int& y) {
    x = windowX_;
    y = windowY_;
    return buttons_;
}

bool SyntheticDevices::PointerWindowSize(int& width, int& height) {
    const Letterbox box = display_.CurrentLetterbox();
    width = static_cast<int>(std::lround(box.offsetX * 2)) + box.width;
    height = static_cast<int>(std::lround(box.offsetY * 2)) + box.height;
    return true;
}

}  // namespace tenfold
