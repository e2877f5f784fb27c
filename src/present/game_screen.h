#pragma once
// Everything the game shows and hears, opened in the start order of the game
// (display, mouse and keyboard, sound, pictures) and closed in one place.
// Failures while opening or drawing come up as PresentError.

#include <optional>
#include <string>
#include <string_view>

#include "core/services.h"
#include "core/table_state.h"
#include "present/display.h"
#include "present/input.h"
#include "present/sound.h"
#include "present/table_art.h"
#include "present/table_drawing.h"

namespace tenfold {

class GameScreen {
public:
    Display display;
    InputDevices input;
    SoundDevice sound;
    TableArt art;
    // The hint drawn over the table while it is set (the game sets and clears it).
    std::optional<TableHint> hint;

    // Opens display, input, sound (silently off without a device), every
    // sound, picture and font of the deck from `resourceRoot` (the folder
    // holding "res/", ending in a separator; with `files`, where the resources
    // unpacked into memory lie), then the clip rectangle.
    void Open(const DisplayOptions& options, std::string_view deckName, const std::string& resourceRoot,
              const ResourceFiles* files = nullptr);

    // Waits while the window is away (reloading every picture and font when
    // it comes back), then the background, which clears the previous frame.
    // Returns false when the window was closed meanwhile.
    bool BeginDrawing();
    // After the state step: the table, or the score page after a deal.
    void DrawTable(const TableState& t, std::string_view clockText);
    // Last: the pointer, then the frame goes to the screen.
    void FinishFrame();

    // Releases the pictures, the sounds, the input and the display, and shows
    // the system pointer again; harmless when already closed.
    void Close();

private:
    std::string resourceRoot_;
    std::string deckName_;
};

}  // namespace tenfold
