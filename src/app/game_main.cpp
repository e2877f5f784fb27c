#include "app/game_main.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include "app/autopilot.h"
#include "app/deal_trace.h"
#include "core/cards.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/random.h"
#include "core/services.h"
#include "core/state_machine.h"
#include "present/game_screen.h"
#include "present/table_drawing.h"
#include "resources/stop_signals.h"
#include "resources/unpack.h"

namespace tenfold {

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;
// With --autoplay the autopilot's clicks are held back so a watcher can see
// the contract menu and the score page: frames at 60 a second.
constexpr std::int64_t kAutoplayMenuFrames = 45;
constexpr std::int64_t kAutoplayScoreFrames = 150;

// Chance, time, sound and messages of a real game: the seeded generator, the
// millisecond clock (or, uncapped, a clock that moves 1000/60 ms a frame), the
// mixer, and message boxes.
class GameServices : public Services {
public:
    GameServices(std::uint64_t seed, GameScreen& screen, bool frameClock)
        : rng_(seed), screen_(screen), frameClock_(frameClock), start_(Display::Ticks()) {}
    float Rnd() override { return rng_.NextFloat(); }
    std::uint32_t TickCount() override {
        if (frameClock_) {
            return static_cast<std::uint32_t>(std::floor(static_cast<double>(frames_) * kFrameMs));
        }
        return Display::Ticks() - start_;
    }
    void PlaySound(std::string_view fileName) override { screen_.sound.PlayByName(fileName); }
    void ShowMessage(std::string_view text) override { screen_.display.ShowMessage(std::string(text)); }
    void FrameDone() { ++frames_; }

private:
    Pcg32 rng_;
    GameScreen& screen_;
    bool frameClock_;
    std::uint32_t start_;
    std::uint64_t frames_ = 0;
};

// The display's part of each frame, as the frame routine calls it.
class ScreenHooks : public FrameHooks {
public:
    explicit ScreenHooks(GameScreen& screen) : screen_(screen) {}
    void BeginDrawing(TableState& t) override { windowClosed_ = !screen_.BeginDrawing(t) || windowClosed_; }
    void DrawTable(TableState& t) override { screen_.DrawTableLayer(t, ClockNow()); }
    void FinishDrawing(TableState&) override { screen_.FinishFrame(); }
    bool WindowClosed() const { return windowClosed_; }

private:
    GameScreen& screen_;
    bool windowClosed_ = false;
};

}  // namespace

struct Game::Parts {
    explicit Parts(std::uint64_t seed, bool frameClock)
        : services(seed, screen, frameClock), hooks(screen), autopilot(seed) {}
    GameScreen screen;
    ResourceUnpacker resources;
    GameServices services;
    ScreenHooks hooks;
    Autopilot autopilot;
    std::unique_ptr<TraceFile> trace;
    std::optional<DealRecorder> recorder;
};

Game::Game(GameOptions options) : options_(std::move(options)) {}

Game::~Game() {
    if (parts_ && !finished_) Finish();
}

GameScreen& Game::Screen() { return parts_->screen; }

bool Game::Start() {
    parts_ = std::make_unique<Parts>(options_.Seed.value_or(TimeOfDaySeed()), options_.Uncapped);
    TableState& t = table_;
    t.DeckName = options_.Deck;
    t.Resolution = "800x600";
    t.ScreenWidth = 800;
    t.ScreenHeight = 600;
    t.FullScreen = !options_.Windowed;
    t.SlowAnimation = options_.Slow;
    t.SevenOfHeartsLead = options_.SevenOfHeartsLead;
    t.DealSingly = options_.DealPackets == 1;
    t.DealPacketSize = static_cast<std::int16_t>(options_.DealPackets);
    ComputeLayout(t);
    GameScreen& screen = parts_->screen;
    screen.UnloadForms = options_.UnloadForms;
    try {
        if (!options_.Trace.empty()) parts_->trace = std::make_unique<TraceFile>(options_.Trace);
        const std::string pak =
            options_.Archive.empty() ? options_.ProgramFolder + "res120.pak" : options_.Archive;
        if (!parts_->resources.UnpackResources(pak)) {
            if (StopSignal() != 0) return !EndOnStopSignal();
            throw std::runtime_error("Cannot unpack the game's resources from " + pak + ": " +
                                     parts_->resources.LastError());
        }
        BuildCardFiles(t);
        InitMatchTables(t, parts_->services);
        if (options_.CloseStartDialog) options_.CloseStartDialog();
        screen.Open(DisplayOptions{options_.Windowed, options_.Uncapped}, t, parts_->resources.BaseFolder());
        NewDeal(t, parts_->services);
        if (parts_->trace) parts_->recorder.emplace(t);
        t.Running = true;
        screen.input.ShowSystemCursor(false);
        screen.BeginDrawing(t);
        parts_->resources.DeleteResources();
        return !EndOnStopSignal();
    } catch (const PresentError& e) {
        status_ = 1;
        parts_->resources.DeleteResources();
        screen.EndIt(e.Message());
    } catch (const std::exception& e) {
        status_ = 1;
        parts_->resources.DeleteResources();
        screen.EndIt(e.what());
    }
    finished_ = true;
    return false;
}

bool Game::EndOnStopSignal() {
    if (StopSignal() == 0) return false;
    // The orderly end: nothing unpacked stays, the display closes, no message.
    status_ = StopExitStatus();
    parts_->resources.DeleteResources();
    parts_->screen.EndIt("");
    finished_ = true;
    return true;
}

bool Game::Frame() {
    if (finished_ || EndOnStopSignal()) return false;
    GameScreen& screen = parts_->screen;
    TableState& t = table_;
    try {
        screen.display.DoEvents();
        if (screen.display.QuitRequested()) return false;
        screen.PollInput();
        InputSnapshot input = screen.input.Snapshot();
        if (options_.Autoplay) {
            // Hold the autopilot's click until the menu or the score page has been seen.
            const std::string waiting = t.GameState == "END OF MATCH" ? t.GameState
                                        : (t.GameState == "SELECT TRUMPS" && t.WaitingForHuman) ? t.GameState
                                                                                               : "";
            if (waiting != waitState_) {
                waitState_ = waiting;
                waitFrames_ = 0;
            }
            const std::int64_t hold = waiting == "END OF MATCH" ? kAutoplayScoreFrames : kAutoplayMenuFrames;
            if (waiting.empty() || ++waitFrames_ > hold) {
                if (waiting == "END OF MATCH") {
                    input.LeftButton = true;  // the score page has been seen: next deal
                } else if (const auto click = parts_->autopilot.Decide(t)) {
                    input.MouseX = click->MouseX;
                    input.MouseY = click->MouseY;
                    input.LeftButton = click->LeftButton;
                }
            }
        }
        const FrameOutcome outcome = RunFrame(t, parts_->services, input, &parts_->hooks);
        if (parts_->recorder && parts_->recorder->AfterFrame(t)) {
            parts_->trace->Write(
                parts_->recorder->Line(t, {options_.SevenOfHeartsLead, options_.DealPackets}));
        }
        if (outcome == FrameOutcome::Quit || parts_->hooks.WindowClosed()) return false;
        if (t.Paused && !options_.Uncapped) screen.display.WaitFrame();
        parts_->services.FrameDone();
        ++frames_;
        return !(options_.Frames > 0 && frames_ >= options_.Frames);
    } catch (const PresentError& e) {
        status_ = 1;
        finished_ = true;
        screen.EndIt(e.Message());
    } catch (const std::exception& e) {
        status_ = 1;
        finished_ = true;
        screen.EndIt(std::string("Run-time error: ") + e.what());
    }
    return false;
}

int Game::Finish() {
    if (finished_) return status_;
    finished_ = true;
    GameScreen& screen = parts_->screen;
    if (!options_.Screenshot.empty() && !screen.display.SaveScreenshot(options_.Screenshot)) {
        std::fprintf(stderr, "tenfold: cannot write the screenshot %s\n", options_.Screenshot.c_str());
        status_ = 1;
    }
    if (parts_->trace) {
        // The deals played so far, also when the game ended early.
        try {
            parts_->trace->Commit();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tenfold: %s\n", e.what());
            status_ = 1;
        }
    }
    const int quit = screen.QuitGame();
    return status_ != 0 ? status_ : quit;
}

std::string ProgramFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    std::string folder = self.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

int RunGame(const GameOptions& options) {
    Game game(options);
    if (!game.Start()) return game.ExitStatus();
    while (game.Frame()) {
    }
    return game.Finish();
}

}  // namespace tenfold
