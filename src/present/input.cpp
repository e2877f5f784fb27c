#include "present/input.h"

#include <SDL.h>

#include <cmath>

namespace tenfold {

namespace {

// SDL scancode -> DirectInput (set 1) scan code for every key of a common keyboard.
constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> BuildScanTable() {
    std::array<std::uint8_t, SDL_NUM_SCANCODES> t{};
    struct Pair {
        SDL_Scancode from;
        std::uint8_t to;
    };
    constexpr Pair pairs[] = {
        {SDL_SCANCODE_ESCAPE, 1},     {SDL_SCANCODE_1, 2},          {SDL_SCANCODE_2, 3},
        {SDL_SCANCODE_3, 4},          {SDL_SCANCODE_4, 5},          {SDL_SCANCODE_5, 6},
        {SDL_SCANCODE_6, 7},          {SDL_SCANCODE_7, 8},          {SDL_SCANCODE_8, 9},
        {SDL_SCANCODE_9, 10},         {SDL_SCANCODE_0, 11},         {SDL_SCANCODE_MINUS, 12},
        {SDL_SCANCODE_EQUALS, 13},    {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_TAB, 15},
        {SDL_SCANCODE_Q, 16},         {SDL_SCANCODE_W, 17},         {SDL_SCANCODE_E, 18},
        {SDL_SCANCODE_R, 19},         {SDL_SCANCODE_T, 20},         {SDL_SCANCODE_Y, 21},
        {SDL_SCANCODE_U, 22},         {SDL_SCANCODE_I, 23},         {SDL_SCANCODE_O, 24},
        {SDL_SCANCODE_P, 25},         {SDL_SCANCODE_LEFTBRACKET, 26}, {SDL_SCANCODE_RIGHTBRACKET, 27},
        {SDL_SCANCODE_RETURN, 28},    {SDL_SCANCODE_LCTRL, 29},     {SDL_SCANCODE_A, 30},
        {SDL_SCANCODE_S, 31},         {SDL_SCANCODE_D, 32},         {SDL_SCANCODE_F, 33},
        {SDL_SCANCODE_G, 34},         {SDL_SCANCODE_H, 35},         {SDL_SCANCODE_J, 36},
        {SDL_SCANCODE_K, 37},         {SDL_SCANCODE_L, 38},         {SDL_SCANCODE_SEMICOLON, 39},
        {SDL_SCANCODE_APOSTROPHE, 40}, {SDL_SCANCODE_GRAVE, 41},    {SDL_SCANCODE_LSHIFT, 42},
        {SDL_SCANCODE_BACKSLASH, 43}, {SDL_SCANCODE_Z, 44},         {SDL_SCANCODE_X, 45},
        {SDL_SCANCODE_C, 46},         {SDL_SCANCODE_V, 47},         {SDL_SCANCODE_B, 48},
        {SDL_SCANCODE_N, 49},         {SDL_SCANCODE_M, 50},         {SDL_SCANCODE_COMMA, 51},
        {SDL_SCANCODE_PERIOD, 52},    {SDL_SCANCODE_SLASH, 53},     {SDL_SCANCODE_RSHIFT, 54},
        {SDL_SCANCODE_KP_MULTIPLY, 55}, {SDL_SCANCODE_LALT, 56},    {SDL_SCANCODE_SPACE, 57},
        {SDL_SCANCODE_CAPSLOCK, 58},  {SDL_SCANCODE_F1, 59},        {SDL_SCANCODE_F2, 60},
        {SDL_SCANCODE_F3, 61},        {SDL_SCANCODE_F4, 62},        {SDL_SCANCODE_F5, 63},
        {SDL_SCANCODE_F6, 64},        {SDL_SCANCODE_F7, 65},        {SDL_SCANCODE_F8, 66},
        {SDL_SCANCODE_F9, 67},        {SDL_SCANCODE_F10, 68},       {SDL_SCANCODE_NUMLOCKCLEAR, 69},
        {SDL_SCANCODE_SCROLLLOCK, 70}, {SDL_SCANCODE_KP_7, 71},     {SDL_SCANCODE_KP_8, 72},
        {SDL_SCANCODE_KP_9, 73},      {SDL_SCANCODE_KP_MINUS, 74},  {SDL_SCANCODE_KP_4, 75},
        {SDL_SCANCODE_KP_5, 76},      {SDL_SCANCODE_KP_6, 77},      {SDL_SCANCODE_KP_PLUS, 78},
        {SDL_SCANCODE_KP_1, 79},      {SDL_SCANCODE_KP_2, 80},      {SDL_SCANCODE_KP_3, 81},
        {SDL_SCANCODE_KP_0, 82},      {SDL_SCANCODE_KP_PERIOD, 83}, {SDL_SCANCODE_NONUSBACKSLASH, 86},
        {SDL_SCANCODE_F11, 87},       {SDL_SCANCODE_F12, 88},       {SDL_SCANCODE_KP_ENTER, 156},
        {SDL_SCANCODE_RCTRL, 157},    {SDL_SCANCODE_KP_DIVIDE, 181}, {SDL_SCANCODE_PRINTSCREEN, 183},
        {SDL_SCANCODE_RALT, 184},     {SDL_SCANCODE_PAUSE, 197},    {SDL_SCANCODE_HOME, 199},
        {SDL_SCANCODE_UP, 200},       {SDL_SCANCODE_PAGEUP, 201},   {SDL_SCANCODE_LEFT, 203},
        {SDL_SCANCODE_RIGHT, 205},    {SDL_SCANCODE_END, 207},      {SDL_SCANCODE_DOWN, 208},
        {SDL_SCANCODE_PAGEDOWN, 209}, {SDL_SCANCODE_INSERT, 210},   {SDL_SCANCODE_DELETE, 211},
        {SDL_SCANCODE_LGUI, 219},     {SDL_SCANCODE_RGUI, 220},     {SDL_SCANCODE_APPLICATION, 221},
    };
    for (const Pair& p : pairs) t[p.from] = p.to;
    return t;
}

constexpr auto kScanTable = BuildScanTable();

// The keyboard and mouse of the window system, as SDL keeps them.
class WindowSystemDevices final : public InputDevices {
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

std::uint8_t ScanCodeFromSdl(int sdlScancode) {
    if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) return 0;
    return kScanTable[static_cast<std::size_t>(sdlScancode)];
}

void WindowToTable(const Letterbox& box, double windowX, double windowY, const MouseLimits& limits,
                   std::int32_t& mouseX, std::int32_t& mouseY) {
    const double scale = box.Scale > 0 ? box.Scale : 1.0;
    auto x = static_cast<std::int64_t>(std::floor((windowX - box.OffsetX) / scale));
    auto y = static_cast<std::int64_t>(std::floor((windowY - box.OffsetY) / scale));
    if (x < limits.MouseMinX) x = limits.MouseMinX;
    if (x > limits.MouseMaxX) x = limits.MouseMaxX;
    if (y < limits.MouseMinY) y = limits.MouseMinY;
    if (y > limits.MouseMaxY) y = limits.MouseMaxY;
    mouseX = static_cast<std::int32_t>(x);
    mouseY = static_cast<std::int32_t>(y);
}

void Input::GiveMeInput() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        throw PresentError("Error in function GiveMeInput() ", kErrInputInit, SDL_GetError());
    }
    started_ = true;
}

void Input::KeyBoard() {
    if (!started_) {
        throw PresentError("Error in function KeyBoard() ", kErrInputInit,
                           "Error starting Direct Input, please make sure you have DirectX installed");
    }
    KeyState.fill(0);
    keyboard_ = true;
}

void Input::Mouse(const Display& display) {
    if (!started_) throw PresentError("Error in function Mouse() ", kErrInputInit, "input not started");
    SetMouseLimits(0, 0, display.BackBufferRect.Right, display.BackBufferRect.Bottom);
    MouseX = display.ScreenWidth / 2;
    MouseY = display.ScreenHeight / 2;
    MouseButtons.fill(0);
    mouse_ = true;
}

void Input::SetMouseLimits(std::int32_t minX, std::int32_t minY, std::int32_t maxX, std::int32_t maxY) {
    Limits = MouseLimits{minX, minY, maxX, maxY};
}

void Input::PollKeyboard(Display& display) {
    if (!keyboard_) return;
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = Devices().HeldKeys(count);
    KeyState.fill(0);
    for (int sc = 0; sc < count; ++sc) {
        if (keys[sc] != 0) {
            const std::uint8_t code = ScanCodeFromSdl(sc);
            if (code != 0) KeyState[code] = 0x80;
        }
    }
    for (int sc : display.TakeKeyTaps()) {
        const std::uint8_t code = ScanCodeFromSdl(sc);
        if (code != 0) KeyState[code] = 0x80;
    }
}

void Input::PollMouse(Display& display) {
    if (!mouse_) return;
    int wx = 0, wy = 0;
    const Uint32 buttons = Devices().HeldButtons(wx, wy) | display.TakeButtonTaps();
    // Mouse events arrive in window units; the picture is placed in output
    // pixels, which differ on high-density screens.
    double px = wx, py = wy;
    const Letterbox box = display.CurrentLetterbox();
    int ww = 0, wh = 0;
    if (Devices().PointerWindowSize(ww, wh)) {
        const int outW = static_cast<int>(std::lround(box.OffsetX * 2)) + box.Width;
        const int outH = static_cast<int>(std::lround(box.OffsetY * 2)) + box.Height;
        if (ww > 0 && wh > 0) {
            px = wx * static_cast<double>(outW) / ww;
            py = wy * static_cast<double>(outH) / wh;
        }
        WindowToTable(box, px, py, Limits, MouseX, MouseY);
    }
    MouseButtons.fill(0);
    if ((buttons & SDL_BUTTON_LMASK) != 0) MouseButtons[0] = 0x80;
    if ((buttons & SDL_BUTTON_RMASK) != 0) MouseButtons[1] = 0x80;
    if ((buttons & SDL_BUTTON_MMASK) != 0) MouseButtons[2] = 0x80;
    if ((buttons & SDL_BUTTON_X1MASK) != 0) MouseButtons[3] = 0x80;
}

void Input::ShowSystemCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    CursorShown = show;
}

void Input::DrawMousePointer(Display& display, const Surface& pointer, int hotX, int hotY, int width,
                             int height, bool transparent) {
    display.ClipBltFast(pointer, display.BackBuffer, Rect{0, 0, width, height},
                        Narrow<std::int16_t>(MouseX - hotX), Narrow<std::int16_t>(MouseY - hotY),
                        transparent);
}

void Input::Release() {
    if (started_) ShowSystemCursor(true);
    keyboard_ = false;
    mouse_ = false;
    started_ = false;
}

InputDevices& Input::Devices() {
    static WindowSystemDevices windowSystem;
    return devices_ != nullptr ? *devices_ : windowSystem;
}

InputSnapshot Input::Snapshot() const {
    InputSnapshot s;
    s.KeyState = KeyState;
    s.MouseX = MouseX;
    s.MouseY = MouseY;
    s.LeftButton = MouseButton(0);
    return s;
}

}  // namespace tenfold
