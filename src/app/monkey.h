#pragma once
// The random-input soak of the whole game (tenfold --monkey N): N deals
// headless through the game's own frame routine and input layer, with random
// keys and clicks every frame in seat 0 and the table checked after every
// frame (app/table_checks.h).

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "core/table_state.h"

namespace tenfold {

struct MonkeyOptions {
    std::int64_t deals = 0;  // deals to play to their end, 1 or more
    std::uint64_t seed = 1;  // game and input; the same seed gives the same run
    bool draw = false;       // draw every frame and lose the display now and then
    int width = 0;           // the headless back buffer's size when drawing; 0: 800 x 600
    int height = 0;
    std::string deck = "Roya2";
    bool slow = false;
    bool sevenOfHeartsLead = false;
    int dealPackets = 1;
    bool classic = false;  // the classic table: none of the aids or their keys
    bool dimUnplayable = false;
    // With draw: where res120.pak is (ProgramFolder + "res120.pak" when Archive is empty).
    std::string programFolder;
    std::string archive;
    // Tests only: runs after every frame before the checks, to plant a fault.
    std::function<void(TableState&, std::int64_t frame)> afterFrame;
};

// Plays the deals; on the first fault writes the check, the seed and the
// frame to `err` and stops. The last line on `out` is "N deals, M inputs,
// K faults". Returns 0 without a fault, 1 with one (or when the game could not
// start), 128 + the signal's number when a stop signal ended it early (see
// resources/stop_signals.h). Throws std::invalid_argument for bad options.
int RunMonkey(const MonkeyOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tenfold
