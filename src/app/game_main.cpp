#include "app/game_main.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "ai/autopilot.h"
#include "ai/classic_player.h"
#include "app/deal_trace.h"
#include "app/expert_ahead.h"
#include "app/match_keeper.h"
#include "core/random.h"
#include "core/services.h"
#include "core/state_machine.h"
#include "present/game_screen.h"
#include "present/table_drawing.h"
#include "resources/resource_layout.h"
#include "resources/stop_signals.h"
#include "resources/unpack.h"

namespace tenfold {

namespace {

constexpr double kFrameMs = 1000.0 / 60.0;
// With autoplay the autopilot's clicks are held back so a watcher can see
// the contract menu and the score page: frames at 60 a second.
constexpr std::int64_t kAutoplayMenuFrames = 45;
constexpr std::int64_t kAutoplayScoreFrames = 150;

// Chance, time and sound of a real game: the seeded generator, the
// millisecond clock (or, uncapped, a clock that moves 1000/60 ms a frame)
// and the mixer.
class GameServices : public Services {
public:
    GameServices(std::uint64_t seed, GameScreen& screen, bool frameClock)
        : rng_(seed), screen_(screen), frameClock_(frameClock), start_(Display::Ticks()) {}
    float Rnd() override { return rng_.NextFloat(); }
    std::uint32_t TickCount() override {
        if (frameClock_)
            return static_cast<std::uint32_t>(std::floor(static_cast<double>(frames_) * kFrameMs));
        return Display::Ticks() - start_;
    }
    void PlaySound(Sound sound) override { screen_.sound.Play(sound); }
    void FrameDone() { ++frames_; }
    Pcg32& Rng() { return rng_; }

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
    void BeginDrawing(const TableState&) override {
        windowClosed_ = !screen_.BeginDrawing() || windowClosed_;
    }
    void DrawTable(const TableState& t) override { screen_.DrawTable(t, ClockNow()); }
    void FinishDrawing(const TableState&) override { screen_.FinishFrame(); }
    bool WindowClosed() const { return windowClosed_; }

private:
    GameScreen& screen_;
    bool windowClosed_ = false;
};

// Tests only: TENFOLD_TEST_KILL_AT="<moment>:<n>" ends the program with
// SIGKILL at the n-th frame spent in that moment of the match (dealing,
// trick, menu, scores), as a crash or a power cut would, at a point a test
// can choose without racing the clock.
class KillSwitch {
public:
    KillSwitch() {
        const char* killAt = std::getenv("TENFOLD_TEST_KILL_AT");
        if (killAt == nullptr) return;
        const std::string text(killAt);
        const std::size_t colon = text.find(':');
        if (colon == std::string::npos) return;
        moment_ = text.substr(0, colon);
        left_ = std::atol(text.c_str() + colon + 1);
    }
    void AfterFrame(const TableState& t) {
        if (left_ <= 0 || Moment(t) != moment_) return;
        if (--left_ == 0) {
            std::fflush(nullptr);
            std::raise(SIGKILL);
        }
    }

private:
    static const char* Moment(const TableState& t) {
        switch (t.flow.state) {
            case GameState::Dealing: return "dealing";
            case GameState::ChoosingContract: return t.menu.shown ? "menu" : "";
            case GameState::DealOver: return "scores";
            case GameState::Playing:
            case GameState::GatheringTrick:
            case GameState::CarryingTrick: return "trick";
            default: return "";
        }
    }
    std::string moment_;
    long left_ = 0;
};

int MsToNextMinute() {
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    return (60 - local.tm_sec) * 1000;
}

}  // namespace

int StillTableWaitMs(const TableState& t, std::uint32_t now, int msToMinute) {
    // A key or button still counted as held is let go within a frame or two
    // of its press; a sleep before the game sees it let go would take the
    // next press for the same one (a second P that does not resume).
    if (t.flow.pauseKeyHeld || t.aids.escapeHeld || t.aids.clickHeld) return 0;
    // A refused card shakes frame by frame, unless the table stands still.
    const bool frozen = t.flow.paused || t.aids.lastTrickShown || t.aids.leaveAsked;
    if (t.aids.refusalFrames > 0 && !frozen) return 0;
    const bool waitsForPlayer = t.flow.paused || t.flow.state == GameState::DealOver ||
                                (t.human.waiting && (t.flow.state == GameState::Playing ||
                                                     t.flow.state == GameState::ChoosingContract));
    std::int64_t wait = std::min(kLongestStillWaitMs, msToMinute);
    if (!waitsForPlayer) {
        if (t.flow.state != GameState::Waiting) return 0;
        wait = std::min<std::int64_t>(wait, static_cast<std::int32_t>(DelayEndTick(t) - now));
    }
    return static_cast<int>(std::max<std::int64_t>(wait, 0));
}

struct Game::Parts {
    Parts(std::uint64_t seed, bool frameClock, PlayerKind opponents)
        : services(seed, screen, frameClock),
          expert(ExpertSeed(seed)),
          seated(Seating(opponents)),
          hooks(screen),
          autopilot(players, seed) {
        seated.AlsoTell(expert);
        for (int s = 1; s < kSeatCount; ++s)
            expertSeats[static_cast<std::size_t>(s)] = opponents == PlayerKind::Expert;
    }
    std::array<ComputerPlayer*, kSeatCount> Seating(PlayerKind opponents) {
        ComputerPlayer* other =
            opponents == PlayerKind::Expert ? static_cast<ComputerPlayer*>(&expert) : &players;
        return {&players, other, other, other};
    }
    GameScreen screen;
    ResourceUnpacker resources;
    GameServices services;
    ClassicPlayer players;
    // The expert seats' player, which also follows every deal for the hint.
    // The table talks to the seated players: the classic player's answers
    // are its own whether or not the expert listens.
    ExpertAhead expert;
    SeatedPlayers seated;
    std::array<bool, kSeatCount> expertSeats{};  // seat 0: the hint, when on
    ScreenHooks hooks;
    Autopilot autopilot;
    std::unique_ptr<TraceFile> trace;
    std::optional<DealRecorder> recorder;
    std::unique_ptr<MatchKeeper> keeper;
    KillSwitch killSwitch;
};

Game::Game(GameOptions options) : options_(std::move(options)) {}

Game::~Game() {
    if (parts_ && !finished_) Finish();
}

GameScreen& Game::Screen() { return parts_->screen; }

void Game::ShutDown() {
    parts_->screen.Close();
    parts_->resources.DeleteResources();
    if (options_.closeWindows) options_.closeWindows();
}

bool Game::Start() {
    // A saved match is taken up against the players it was begun with.
    if (options_.resume) {
        options_.opponents = options_.resume->expertOpponents ? PlayerKind::Expert : PlayerKind::Classic;
        options_.table.expertOpponents = options_.resume->expertOpponents;
    }
    parts_ = std::make_unique<Parts>(options_.seed.value_or(TimeOfDaySeed()), options_.uncapped,
                                     options_.opponents);
    parts_->expertSeats[kHumanSeat] = options_.hints && !options_.table.classicTable;
    cleanUp_ = RegisterCleanUp([this] { ShutDown(); });
    SetMessageShower(Display::ShowMessageBox);
    TableState& t = table_;
    t.options = options_.table;
    GameScreen& screen = parts_->screen;
    try {
        if (!options_.trace.empty()) parts_->trace = std::make_unique<TraceFile>(options_.trace);
        const std::string pak = options_.archive.empty()
                                    ? options_.programFolder + std::string(layout::kPakFile)
                                    : options_.archive;
        // Only the art this run can show leaves the archive: the 1x files and
        // the larger art of the one scale it needs, of the one deck it plays.
        const DisplayOptions display{!t.options.fullScreen, options_.uncapped, options_.width,
                                     options_.height, options_.scale};
        const int artScale = Display::ArtScaleFor(Display::LargestScale(display));
        const std::string deck = t.options.deckName;
        parts_->resources.UnpackOnly([artScale, deck](std::string_view folder, std::string_view file) {
            const auto same = [](std::string_view a, std::string_view b) {
                return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                    return std::tolower(static_cast<unsigned char>(x)) ==
                           std::tolower(static_cast<unsigned char>(y));
                });
            };
            const bool otherDeck = std::any_of(layout::kDecks.begin(), layout::kDecks.end(),
                                               [&](std::string_view d) { return same(d, folder); }) &&
                                   !same(folder, deck);
            const int scale = layout::ScaleOfFileName(file);
            return !otherDeck && (scale == 1 || scale == artScale);
        });
        // Read into memory and decoded from there: nothing is written to disk only to be read back.
        parts_->resources.UnpackIntoMemory();
        if (const Result unpacked = parts_->resources.Unpack(pak); !unpacked) {
            if (StopSignal() != 0) return !EndOnStopSignal();
            throw std::runtime_error("Cannot unpack the game's resources from " + pak + ": " +
                                     unpacked.Reason());
        }
        if (options_.closeStartDialog) options_.closeStartDialog();
        screen.Open(display, t.options.deckName, parts_->resources.ResourceRoot(), parts_->resources.Files());
        StartMatch();
        if (parts_->trace) parts_->recorder.emplace(t);
        screen.input.ShowSystemCursor(false);
        screen.BeginDrawing();
        parts_->resources.DeleteResources();
        return !EndOnStopSignal();
    } catch (const PresentError& e) {
        Fatal(e.Message());
    } catch (const std::exception& e) {
        Fatal(e.what());
    }
}

void Game::StartMatch() {
    TableState& t = table_;
    parts_->keeper =
        std::make_unique<MatchKeeper>(KeeperFiles{options_.savePath, options_.statisticsPath}, std::cerr);
    MatchKeeper& keeper = *parts_->keeper;
    if (options_.autoplay) {
        keeper.KeepAutopilot(&parts_->autopilot.Chance());
        keeper.PrintMatches(&std::cout);
    }
    if (const char* log = std::getenv("TENFOLD_TEST_FINGERPRINTS")) keeper.LogFingerprints(log);
    Pcg32& rng = parts_->services.Rng();
    if (options_.resume &&
        keeper.Resume(*options_.resume, options_.table.fullScreen, t, rng, parts_->players)) {
        return;
    }
    // A new match: the saved one did not fit (said and set aside), or none was asked for.
    const Pcg32::Position fresh = Pcg32(options_.seed.value_or(TimeOfDaySeed())).Where();
    if (options_.resume) rng.GoTo(fresh);
    t = TableState{};
    t.options = options_.table;
    keeper.StartNew(t, rng, parts_->services, parts_->players);
}

bool Game::EndOnStopSignal() {
    if (StopSignal() == 0) return false;
    // The orderly end: nothing unpacked stays, the display closes, no message.
    status_ = StopExitStatus();
    finished_ = true;
    WithdrawCleanUp(cleanUp_);
    ShutDown();
    return true;
}

bool Game::Frame() {
    if (finished_ || !parts_ || EndOnStopSignal()) return false;
    GameScreen& screen = parts_->screen;
    TableState& t = table_;
    try {
        screen.display.PumpEvents();
        // A classic table closes at once; one with aids asks during a match.
        const bool classic = t.options.classicTable;
        if (classic && screen.display.QuitRequested()) return false;
        const bool closeBox = !classic && screen.display.TakeQuitRequest();
        screen.input.Poll(screen.display);
        PlayerInput input = screen.input.Read();
        input.closeBox = closeBox;
        // While "Leave this match?" is asked, only the player answers.
        if (options_.autoplay && !t.aids.leaveAsked) {
            // Hold the autopilot's click until the menu or the score page has been seen.
            const bool menu = t.flow.state == GameState::ChoosingContract && t.human.waiting;
            const bool scores = t.flow.state == GameState::DealOver;
            const GameState waiting = menu || scores ? t.flow.state : GameState::NotStarted;
            if (waiting != waitState_) {
                waitState_ = waiting;
                waitFrames_ = 0;
            }
            const std::int64_t hold = scores ? kAutoplayScoreFrames : kAutoplayMenuFrames;
            if (waiting == GameState::NotStarted || ++waitFrames_ > hold) {
                if (const auto click = parts_->autopilot.Decide(t)) {
                    input.x = click->x;
                    input.y = click->y;
                    input.click = click->click;
                }
            }
        }
        MatchKeeper& keeper = *parts_->keeper;
        UpdateHint(input.hint);
        keeper.BeforeFrame(t, parts_->services.Rng());
        const FrameOutcome outcome = RunFrame(t, parts_->services, parts_->seated, input, &parts_->hooks);
        keeper.AfterFrame(t, parts_->services.Rng());
        parts_->killSwitch.AfterFrame(t);
        if (!HintShown()) screen.hint.reset();
        parts_->expert.Foresee(t, parts_->expertSeats);
        if (parts_->recorder && parts_->recorder->AfterFrame(t)) {
            const std::string_view opponent = PlayerKindName(options_.opponents);
            parts_->trace->Write(parts_->recorder->Line(t, {t.options.sevenOfHeartsLead,
                                                            static_cast<int>(t.options.dealPacketSize),
                                                            {"classic", opponent, opponent, opponent}}));
        }
        if (outcome == FrameOutcome::Quit || parts_->hooks.WindowClosed()) return false;
        const std::uint64_t changed = screen.display.ChangedFrames();
        const bool drewNothing = changed == changedFrames_;
        changedFrames_ = changed;
        // A still table that waits for the player or a timer sleeps until an
        // input event comes, the timer runs out or the clock's minute turns.
        const bool still = !options_.uncapped && !options_.autoplay && drewNothing;
        const int wait = still ? StillTableWaitMs(t, parts_->services.TickCount(), MsToNextMinute()) : 0;
        if (wait > 0) {
            screen.display.WaitForEvent(wait);
        } else if (t.flow.paused && classic && !options_.uncapped) {
            // A classic table draws nothing while paused, so the frame waits here.
            screen.display.WaitFrame();
        }
        parts_->services.FrameDone();
        ++frames_;
        if (options_.matches > 0 && keeper.MatchesFinished() >= options_.matches) return false;
        return !(options_.frames > 0 && frames_ >= options_.frames);
    } catch (const PresentError& e) {
        Fatal(e.Message());
    } catch (const std::exception& e) {
        Fatal(e.what());
    }
}

void Game::UpdateHint(bool keyHeld) {
    const bool pressed = keyHeld && !hintKeyHeld_;
    hintKeyHeld_ = keyHeld;
    // A classic table has no aids, the hint included.
    if (!pressed || !options_.hints || table_.options.classicTable || parts_->screen.hint) return;
    const TableState& t = table_;
    if (const std::optional<int> choice = parts_->expert.HintNow(t)) {
        parts_->screen.hint = TableHint{t.flow.state == GameState::ChoosingContract, *choice};
        hintCardsPlayed_ = t.trick.cardsPlayed;
        hintState_ = t.flow.state;
    }
}

bool Game::HintShown() const {
    // Shown until the human has chosen: then the table has moved on.
    const TableState& t = table_;
    return parts_ && parts_->screen.hint && t.human.waiting && !t.human.hasPlayed &&
           t.flow.state == hintState_ && t.trick.cardsPlayed == hintCardsPlayed_;
}

int Game::Finish() {
    if (finished_ || !parts_) return status_;
    finished_ = true;
    GameScreen& screen = parts_->screen;
    if (!options_.screenshot.empty() && !screen.display.SaveScreenshot(options_.screenshot)) {
        std::fprintf(stderr, "tenfold: cannot write the screenshot %s\n", options_.screenshot.c_str());
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
    WithdrawCleanUp(cleanUp_);
    ShutDown();
    return status_;
}

int RunGame(const GameOptions& options) {
    Game game(options);
    if (!game.Start()) return game.ExitStatus();
    while (game.Frame()) {
    }
    return game.Finish();
}

}  // namespace tenfold
