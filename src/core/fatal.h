#pragma once
// The one road out of the program on a failure it cannot go on from: the
// registered clean-ups run (the most recent first), one message is shown, and
// the program ends with status 1. Every layer may register what must be
// undone (restore the desktop, release devices, remove unpacked files) and
// the platform layer registers how to show the message; nothing here knows
// about a window system.
//
// Failures a caller can handle are not fatal: they come back as a reason.

#include <functional>
#include <string>

namespace tenfold {

using CleanUpId = int;

// Registers a clean-up for the fatal road; the id withdraws it again.
CleanUpId RegisterCleanUp(std::function<void()> cleanUp);
void WithdrawCleanUp(CleanUpId id);

// How the message reaches the player (a message box); stderr when none is set.
void SetMessageShower(std::function<void(const std::string&)> show);

// Runs the clean-ups, shows `message` and ends the program with status 1.
[[noreturn]] void Fatal(const std::string& message);

// The text of a failure of the display, input or picture loading: the
// routine's label, CR LF, "Error Number: ", the number, CR LF, the description.
std::string ErrorText(const std::string& label, int number, const std::string& description);

}  // namespace tenfold
