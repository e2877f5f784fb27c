#pragma once
// The start-up road: the program's folder, where the archive is found, the
// start dialog shown until Start or Exit, and the
// closing of every open window when the game ends. No window-toolkit type
// appears here, so the game's own code can call it.

#include <functional>
#include <string>

#include "core/table_state.h"
#include "resources/file_path.h"
#include "resources/match_save.h"

namespace tenfold {

// The resource archive "res120.pak": beside the executable (as in the build
// tree), else in the installed data folder. "" when neither holds it.
std::string FindArchive(const std::string& programFolder);

struct StartRoad {
    std::string archivePath;  // the archive the previews are read from; may be ""
    // Unpacks the resources and runs the game with the chosen options; its
    // result is the exit status. The game start routine calls
    // CloseStartDialog() before the display opens.
    std::function<int(Options&)> runGame;
    // Takes up the saved match instead (the "Resume match" button), with the
    // window chosen in the dialog; its result is the exit status.
    std::function<int(Options&, const MatchSave&)> resumeGame;
    // Where the saved match and the statistics are read from.
    std::string savePath;
    std::string statisticsPath;
};

// The start routine's dialog part: shows the start dialog and waits. Returns
// the exit status: 0 after "Exit" or the close box; after Start, RunGame's.
// A missing display is reported and gives 1.
int RunStartDialog(Options& options, const StartRoad& road);

// Takes the start dialog off the screen (the game does this before the
// display opens); harmless when it is not open.
void CloseStartDialog();

// Closes every open window of the program, the last opened first, as the
// shutdown does before it shows its message.
void CloseEveryWindow();

// The archive browser on its own: shows it, opens `file` when one is given,
// and returns the exit status once the player leaves it.
int RunPakBrowser(const std::string& programFolder, const std::string& file);

// The acknowledgements shown in the "Credits" tab, built into the program.
const char* CreditsText();

}  // namespace tenfold
