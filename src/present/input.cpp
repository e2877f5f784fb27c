#include "present/input.h"

#include <SDL.h>

#include <cmath>

#include "core/layout.h"

namespace tenfold {

namespace {
// The keyboard and mouse of the window system, as SDL keeps them.
class WindowSystemSource final : public InputSource {
public:
    const std::uint8_t* HeldKeys(int& count) override { return SDL_GetKeyboardState(&count); }
    std::uint32_t HeldButtons(int& x, int& y) override { return SDL_GetMouseState(&x, &y); }
    bool PointerWindowSize(int& width, int& height) override {
        SDL_Window* window = SDL_GetMouseFocus();
        if (window == nullptr) return false;
        SDL_GetWindowSize(window, &width, &height);
        return true;
    }
};
}  // namespace

InputSource& InputDevices::Source() {
    static WindowSystemSource windowSystem;
    return source_ != nullptr ? *source_ : windowSystem;
}

void WindowToTable(const Letterbox& box, double windowX, double windowY, const MouseLimits& limits,
                   std::int32_t& mouseX, std::int32_t& mouseY) {
    const double scale = box.scale > 0 ? box.scale : 1.0;
    auto x = static_cast<std::int64_t>(std::floor((windowX - box.offsetX) / scale));
    auto y = static_cast<std::int64_t>(std::floor((windowY - box.offsetY) / scale));
    if (x < limits.minX) x = limits.minX;
    if (x > limits.maxX) x = limits.maxX;
    if (y < limits.minY) y = limits.minY;
    if (y > limits.maxY) y = limits.maxY;
    mouseX = static_cast<std::int32_t>(x);
    mouseY = static_cast<std::int32_t>(y);
}

void ApplyKey(int sdlScancode, PlayerInput& input) {
    switch (sdlScancode) {
        case SDL_SCANCODE_ESCAPE: input.quit = true; break;
        case SDL_SCANCODE_P: input.pause = true; break;
        case SDL_SCANCODE_R: input.sort = true; break;
        case SDL_SCANCODE_L: input.lastTrick = true; break;
        case SDL_SCANCODE_H: input.hint = true; break;
        default: break;
    }
}

void ApplyKeyPress(int sdlScancode, PlayerInput& input) {
    switch (sdlScancode) {
        case SDL_SCANCODE_LEFT: input.left = true; break;
        case SDL_SCANCODE_RIGHT: input.right = true; break;
        case SDL_SCANCODE_UP: input.up = true; break;
        case SDL_SCANCODE_DOWN: input.down = true; break;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
        case SDL_SCANCODE_SPACE: input.confirm = true; break;
        case SDL_SCANCODE_Y: input.yes = true; break;
        case SDL_SCANCODE_N: input.no = true; break;
        default: ApplyKey(sdlScancode, input); break;
    }
}

void InputDevices::Open() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        throw PresentError("Error in function GiveMeInput() ", kErrInputInit, SDL_GetError());
    }
    limits = MouseLimits{0, 0, kTableWidth, kTableHeight};
    mouseX = kTableWidth / 2;
    mouseY = kTableHeight / 2;
    input_ = PlayerInput{};
    open_ = true;
}

void InputDevices::Poll(Display& display) {
    if (!open_) return;
    input_ = PlayerInput{};
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = Source().HeldKeys(count);
    for (int sc : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_P, SDL_SCANCODE_R, SDL_SCANCODE_L, SDL_SCANCODE_H}) {
        if (sc < count && keys[sc] != 0) ApplyKey(sc, input_);
    }
    for (int sc : display.TakeKeyTaps()) ApplyKeyPress(sc, input_);
    PollPointer(display);
    int wx = 0, wy = 0;
    const std::uint32_t buttons = Source().HeldButtons(wx, wy) | display.TakeButtonTaps();
    input_.click = (buttons & SDL_BUTTON_LMASK) != 0 && onTable_;
    input_.lastTrick = input_.lastTrick || (buttons & SDL_BUTTON_RMASK) != 0;
    input_.x = mouseX;
    input_.y = mouseY;
}

void InputDevices::PollPointer(Display& display) {
    int wx = 0, wy = 0;
    Source().HeldButtons(wx, wy);
    // Mouse events arrive in window units; the picture is placed in output
    // pixels, which differ on high-density screens.
    double px = wx, py = wy;
    const Letterbox box = display.CurrentLetterbox();
    int ww = 0, wh = 0;
    if (!Source().PointerWindowSize(ww, wh)) return;
    const int outW = static_cast<int>(std::lround(box.offsetX * 2)) + box.width;
    const int outH = static_cast<int>(std::lround(box.offsetY * 2)) + box.height;
    if (ww > 0 && wh > 0) {
        px = wx * static_cast<double>(outW) / ww;
        py = wy * static_cast<double>(outH) / wh;
    }
    onTable_ = px >= box.offsetX && px < box.offsetX + box.width && py >= box.offsetY &&
               py < box.offsetY + box.height;
    WindowToTable(box, px, py, limits, mouseX, mouseY);
}

void InputDevices::ShowSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void InputDevices::DrawPointer(Display& display, const Picture& pointer) {
    constexpr int kHot = 16;
    constexpr int kSize = 32;
    if (open_) PollPointer(display);
    display.Draw(pointer, Rect{0, 0, kSize, kSize}, Narrow<std::int16_t>(mouseX - kHot),
                 Narrow<std::int16_t>(mouseY - kHot), true);
}

void InputDevices::Release() {
    if (open_) ShowSystemCursor(true);
    open_ = false;
}

}  // namespace tenfold
