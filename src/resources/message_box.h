#pragma once
// Message boxes of the program: one text, one OK button, the program's name as
// title. They work before the game window exists and while a match is played,
// and need nothing from the caller but the text.

#include <string_view>

namespace tenfold {

// Makes the window system ready for dialogs, once; false when there is no
// display to show them on.
bool InitDialogs();

// Shows text with an OK button under the title "Tenfold" and returns once the
// player has pressed OK. Without a display the text goes to standard error.
void ShowMessageBox(std::string_view text);

// The same box with the information sign, for notes that are not errors.
void ShowInfoBox(std::string_view text);

// Lets the window system finish pending work, so that a window just hidden
// has really left the screen before something else takes it over.
void RunPendingDialogEvents();

}  // namespace tenfold
