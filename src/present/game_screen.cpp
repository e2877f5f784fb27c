#include "present/game_screen.h"

#include "present/table_drawing.h"

namespace tenfold {

void GameScreen::Open(const DisplayOptions& options, TableState& t, const std::string& resourceRoot) {
    resourceRoot_ = resourceRoot;
    table_ = &t;
    ended_ = false;
    display.ScreenWidth = t.ScreenWidth;
    display.ScreenHeight = t.ScreenHeight;
    display.UseVideoMemory = t.UseVideoMemory;
    display.DirectX(options);
    input.GiveMeInput();
    input.KeyBoard();
    input.Mouse(display);
    sound.InitDirectSound();
    sound.LoadSounds(resourceRoot + "res/Sounds/");
    LoadBitmaps(display, art, t, resourceRoot);
    display.SetClipRect();
}

void GameScreen::PollInput() {
    input.PollKeyboard(display);
    input.PollMouse(display);
}

bool GameScreen::BeginDrawing(TableState& t) {
    const bool open = display.CheckLostSurfaces([&] { LoadBitmaps(display, art, t, resourceRoot_); });
    if (!open) return false;
    display.ClipBltFast(art.Background, display.BackBuffer, EmptyRect, 0, 0, false);
    return true;
}

void GameScreen::DrawTableLayer(TableState& t, const std::string& clockText) {
    display.ClipBltFast(art.ScorePage, display.BackBuffer, EmptyRect, 780, 5, true);
    DrawTable(t, display, art, clockText);
}

void GameScreen::FinishFrame() {
    input.DrawMousePointer(display, art.MousePointer, 16, 16, 32, 32, true);
    display.FlipBackBuffer();
}

int GameScreen::QuitGame() {
    ReleaseArt(art);
    sound.ReleaseBuffers();
    return EndIt("");
}

int GameScreen::EndIt(const std::string& message) {
    if (!ended_) {
        ended_ = true;
        input.Release();
        sound.Close();
        display.Close();
        if (UnloadForms) UnloadForms();
    }
    if (message.empty()) return 0;
    display.ShowMessage(message);
    return 1;
}

}  // namespace tenfold
