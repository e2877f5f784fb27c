#pragma once
// The game mode of the `tenfold` executable: opens the table on screen and
// runs matches until Escape, the close box, or the frame limit.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ai/seated_players.h"
#include "core/fatal.h"
#include "core/table_state.h"
#include "resources/match_save.h"

namespace tenfold {

class GameScreen;

struct GameOptions {
    Options table;                      // the start dialog's choices
    std::optional<std::uint64_t> seed;  // fixed deals; else from the time of day
    bool autoplay = false;              // seat 0 played by the autopilot
    std::int64_t frames = 0;            // end after this many frames (0: no limit)
    std::string screenshot;             // PNG of the last frame
    std::string trace;                  // one JSON line per scored deal, as --simulate writes
    bool uncapped = false;              // no pacing; the clock moves 1000/60 ms a frame
    int width = 0;                      // window (headless: back buffer) size; 0: the default
    int height = 0;
    double scale = 0;                            // the table drawn at this scale and enlarged; 0: crisp
    std::string programFolder;                   // where res120.pak is looked for, ending in '/'
    std::string archive;                         // the archive when found elsewhere; "" for programFolder's
    std::function<void()> closeStartDialog;      // run before the display opens
    std::function<void()> closeWindows;          // run when the game ends, also on the fatal road
    PlayerKind opponents = PlayerKind::Classic;  // the computer players at seats 1..3
    // The H key shows the expert's choice for the human. Off for a table
    // without aids (the "Classic table" setting drives this flag).
    bool hints = true;
    // The player's files: where the match is kept and the finished ones
    // recorded ("" keeps nothing, as in the tests that drive a Game).
    std::string savePath;
    std::string statisticsPath;
    std::optional<MatchSave> resume;  // take up this saved match instead of dealing a new one
    std::int64_t matches = 0;         // end after this many finished matches (0: no limit)
};

// One game on screen, frame by frame: the start routine, then one pass of the
// main loop per Frame(), then the ending. RunGame drives it; tests drive it
// themselves to look at chosen moments. A failure of the display or of the
// resources ends the program on the fatal road.
class Game {
public:
    explicit Game(GameOptions options);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Unpacks the resources, opens display, input, sound and pictures, deals
    // the first deal and draws the background. False when a stop signal
    // ended the game meanwhile (ExitStatus() says how to end).
    bool Start();
    // One pass of the main loop: window messages, input, the frame routine.
    // False when the game is to end (Escape, close box, frame limit, a stop signal).
    bool Frame();
    // Writes the screenshot if asked, releases everything; the exit status.
    int Finish();
    int ExitStatus() const { return status_; }

    const TableState& State() const { return table_; }
    GameScreen& Screen();
    // The expert's hint for the human as the table shows it now, if any.
    bool HintShown() const;
    std::int64_t FramesRun() const { return frames_; }

private:
    struct Parts;
    // The saved match taken up, or a new one dealt, with its keeper.
    void StartMatch();
    // Everything the game opened, closed again; run by Finish, after a stop
    // signal, and by the fatal road.
    void ShutDown();
    // After SIGTERM, SIGINT or SIGHUP: the orderly end (ShutDown) with the exit
    // status 128 + the signal. False when no such signal has come.
    bool EndOnStopSignal();
    // The hint key's press: asks the expert and shows its choice.
    void UpdateHint(bool keyHeld);

    GameOptions options_;
    TableState table_;
    std::unique_ptr<Parts> parts_;
    std::int64_t frames_ = 0;
    std::int64_t waitFrames_ = 0;  // frames the autopilot has been kept waiting
    GameState waitState_ = GameState::NotStarted;
    bool hintKeyHeld_ = false;
    std::int16_t hintCardsPlayed_ = -1;  // the moment the hint was asked at
    GameState hintState_ = GameState::NotStarted;
    std::uint64_t changedFrames_ = 0;  // the display's count after the last frame
    CleanUpId cleanUp_ = 0;
    int status_ = 0;
    bool finished_ = false;
};

// Longest sleep of a still table: a safety net, should some state ever go on
// without input or a timer while showing nothing new.
inline constexpr int kLongestStillWaitMs = 1000;
// Milliseconds a table that drew nothing new may sleep (input wakes it at
// once in any case): 0 while the game goes on by itself; else until the
// running delay ends (`now` on the game's clock), the clock's minute turns
// (`msToMinute`), or kLongestStillWaitMs.
int StillTableWaitMs(const TableState& t, std::uint32_t now, int msToMinute);

// Runs the game from start to end; returns the process exit status.
int RunGame(const GameOptions& options);

}  // namespace tenfold
