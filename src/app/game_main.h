#pragma once
// The game mode of the `tenfold` executable: opens the table on screen and
// runs matches until Escape, the close box, or the frame limit.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/table_state.h"

namespace tenfold {

class GameScreen;

struct GameOptions {
    std::string Deck = "Roya2";         // "Royal" or "Roya2"
    bool Slow = false;                  // slower card animation
    bool Windowed = false;              // 800 x 600 window instead of the whole desktop
    std::optional<std::uint64_t> Seed;  // fixed deals; else from the time of day
    bool Autoplay = false;              // seat 0 played by the autopilot
    std::int64_t Frames = 0;            // end after this many frames (0: no limit)
    std::string Screenshot;             // PNG of the last frame
    std::string Trace;                  // one JSON line per scored deal, as --simulate writes; "" for none
    bool Uncapped = false;              // no pacing; the clock moves 1000/60 ms a frame
    bool SevenOfHeartsLead = false;
    int DealPackets = 1;                // cards a seat receives in a row: 1 or 13
    std::string ProgramFolder;          // where res120.pak is looked for, ending in '/'
    std::string Archive;                // the archive when found elsewhere; "" for ProgramFolder's
    std::function<void()> CloseStartDialog;  // run before the display opens
    std::function<void()> UnloadForms;       // run by the shutdown before its message
};

// One game on screen, frame by frame: the start routine, then one pass of the
// main loop per Frame(), then the ending. RunGame drives it; tests drive it
// themselves to look at chosen moments.
class Game {
public:
    explicit Game(GameOptions options);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Unpacks the resources, opens display, input, sound and pictures, deals
    // the first deal and draws the background. False when start-up failed
    // (the message has been shown; ExitStatus() says how to end).
    bool Start();
    // One pass of the main loop: window messages, input, the frame routine.
    // False when the game is to end (Escape, close box, frame limit, failure).
    bool Frame();
    // Writes the screenshot if asked, releases everything; the exit status.
    int Finish();

    TableState& State() { return table_; }
    GameScreen& Screen();
    std::int64_t FramesRun() const { return frames_; }
    int ExitStatus() const { return status_; }

private:
    // After SIGTERM, SIGINT or SIGHUP: removes the unpacked resources, closes
    // the display and sets the exit status to 128 + the signal. False when no
    // such signal has come.
    bool EndOnStopSignal();

    struct Parts;
    GameOptions options_;
    TableState table_;
    std::unique_ptr<Parts> parts_;
    std::int64_t frames_ = 0;
    std::int64_t waitFrames_ = 0;  // frames the autopilot has been kept waiting
    std::string waitState_;
    int status_ = 0;
    bool finished_ = false;
};

// Runs the game from start to end; returns the process exit status.
int RunGame(const GameOptions& options);

// The folder of the running program, ending in '/': the archive lies beside it.
std::string ProgramFolder(const char* argv0);

}  // namespace tenfold
