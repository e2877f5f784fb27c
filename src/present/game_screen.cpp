#include "present/game_screen.h"

#include "present/table_drawing.h"
#include "resources/resource_layout.h"

namespace tenfold {

void GameScreen::Open(const DisplayOptions& options, std::string_view deckName,
                      const std::string& resourceRoot, const ResourceFiles* files) {
    resourceRoot_ = resourceRoot;
    deckName_ = deckName;
    display.Open(options);
    input.Open();
    sound.Open();
    sound.files = files;
    display.pictures.files = files;
    sound.LoadSounds(resourceRoot + std::string(layout::kResFolder) + "/" +
                     std::string(layout::kSoundsFolder) + "/");
    LoadTableArt(display, art, deckName_, resourceRoot_);
    // Everything is decoded: the files in memory are let go after the start.
    sound.files = nullptr;
    display.pictures.files = nullptr;
    display.SetSurround(&art.background);
    display.ClipToTable();
}

bool GameScreen::BeginDrawing() {
    // Back from away: every picture made anew from its art, the window drawn whole.
    const bool open = display.WaitUntilShown([&] {
        RefreshArt(art);
        display.RedrawAll();
    });
    if (!open) return false;
    display.Draw(art.background, kWholePicture, 0, 0, false);
    return true;
}

void GameScreen::DrawTable(const TableState& t, std::string_view clockText) {
    tenfold::DrawTable(t, display, art, clockText);
    if (hint) DrawHint(t, display, art, *hint);
}

void GameScreen::FinishFrame() {
    input.DrawPointer(display, art.pointer);
    display.Present();
}

void GameScreen::Close() {
    ReleaseArt(art);
    sound.Close();
    input.Release();
    display.Close();
}

}  // namespace tenfold
