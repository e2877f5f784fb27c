#pragma once
// Everything the game shows and hears, opened in the start order of the game
// (display, mouse and keyboard, sound, pictures) and closed through one road:
// QuitGame for Escape and the close box, EndIt with a message for failures.

#include <functional>
#include <string>

#include "core/table_state.h"
#include "present/display.h"
#include "present/input.h"
#include "present/sound.h"
#include "present/table_art.h"

namespace tenfold {

class GameScreen {
public:
    Display display;
    Input input;
    Sound sound;
    TableArt art;

    // Opens display, input devices, sound (silently off without a device),
    // every sound, picture and font from `resourceRoot` (the folder holding
    // "res/", ending in a separator), then the clip rectangle. Failures raise
    // PresentError with the player's message.
    void Open(const DisplayOptions& options, TableState& t, const std::string& resourceRoot);

    // Reads keyboard, then mouse: the frame's one reader of both, taps included.
    void PollInput();

    // Frame step 8: waits while the display is taken away (reloading every
    // picture and font when it comes back), then the background, which clears
    // the previous frame. Returns false when the window was closed meanwhile.
    bool BeginDrawing(TableState& t);
    // After the state step: the score page at (780, 5) (drawn only if it fits)
    // and the table.
    void DrawTableLayer(TableState& t, const std::string& clockText);
    // Last: the pointer where PollInput found the mouse, then the flip.
    void FinishFrame();

    // Releases the pictures and sounds, then EndIt(""). Returns the exit status 0.
    int QuitGame();
    // Shows the pointer again, releases input, sound and display, shows the
    // message (if any). Returns the exit status: 0 without a message, else 1.
    int EndIt(const std::string& message);
    // Unloads every other open window of the program (the start dialog); EndIt
    // runs it after the release and before the message.
    std::function<void()> UnloadForms;

private:
    std::string resourceRoot_;
    TableState* table_ = nullptr;
    bool ended_ = false;
};

}  // namespace tenfold
