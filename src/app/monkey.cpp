#include "app/monkey.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/table_checks.h"
#include "core/cards.h"
#include "core/dealing.h"
#include "core/layout.h"
#include "core/random.h"
#include "core/services.h"
#include "core/state_machine.h"
#include "present/game_screen.h"
#include "present/synthetic_input.h"
#include "present/table_drawing.h"
#include "resources/stop_signals.h"
#include "resources/unpack.h"

namespace tenfold {

namespace {

// The soak's own chance (pointer, keys, clock) is drawn from another stream
// of the same seed, so the game's generator is drawn from only as in play.
constexpr std::uint64_t kMonkeyStream = 0x6d6f6e6b;

// Chance, time and sound of the soaked game. The clock is the soak's: a
// frame's worth of milliseconds each frame (1000/60), and now and then a
// frame that took long, as when the machine stalls; so the waits after each
// card end sooner than at 60 frames a second, but always through the game's
// own delay test. It may start just short of the 32-bit wrap.
class SoakServices : public Services {
public:
    SoakServices(std::uint64_t seed, std::uint32_t clockStart, GameScreen* sound)
        : rng_(seed), now_(clockStart), sound_(sound) {}
    float Rnd() override { return rng_.NextFloat(); }
    std::uint32_t TickCount() override { return now_; }
    void PlaySound(std::string_view fileName) override {
        if (sound_ != nullptr) sound_->sound.PlayByName(fileName);
    }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }

    void Advance(std::uint32_t ms) { now_ += ms; }
    std::vector<std::string> messages;

private:
    Pcg32 rng_;
    std::uint32_t now_;
    GameScreen* sound_;
};

// The display's part of each frame, as the game's main loop calls it.
class DrawHooks : public FrameHooks {
public:
    explicit DrawHooks(GameScreen& screen) : screen_(screen) {}
    void BeginDrawing(TableState& t) override { closed_ = !screen_.BeginDrawing(t) || closed_; }
    void DrawTable(TableState& t) override { screen_.DrawTableLayer(t, ClockNow()); }
    void FinishDrawing(TableState&) override { screen_.FinishFrame(); }
    bool Closed() const { return closed_; }

private:
    GameScreen& screen_;
    bool closed_ = false;
};

struct Point {
    int x = 0;
    int y = 0;
};

// What the game waits for from seat 0, as a player would see it.
enum class Wanted { Nothing, Card, Contract, NextDeal };

Wanted WhatIsWanted(const TableState& t) {
    if (t.GameState == "END OF MATCH") return Wanted::NextDeal;
    if (t.GameState == "SELECT TRUMPS" && t.ContractMenuShown && t.WaitingForHuman) return Wanted::Contract;
    if (t.GameState == "NORMAL PLAY" && t.WaitingForHuman && t.CurrentSeat == 0 && !t.HumanHasPlayed) {
        return Wanted::Card;
    }
    return Wanted::Nothing;
}

// Keys a player might touch besides R and P; never Escape.
constexpr std::array<std::uint8_t, 12> kOtherKeys = {
    57 /*space*/,      28 /*enter*/,     16 /*Q*/,  30 /*A*/,   44 /*Z*/, 15 /*tab*/,
    42 /*left shift*/, 29 /*left ctrl*/, 59 /*F1*/, 200 /*up*/, 2 /*1*/,  14 /*backspace*/};

// Seat 0's random player: every frame it may click (a tap, a held button,
// a double click in one frame or over two), aiming mostly where the game
// waits for it (the hand, the contract menu, the score page) and otherwise
// anywhere; it presses R and P and other keys now and then, and lets the
// pause go on only briefly.
class Monkey {
public:
    Monkey(std::uint64_t seed, SyntheticDevices& devices, bool loseDisplay)
        : rng_(seed, kMonkeyStream), devices_(devices), loseDisplay_(loseDisplay) {
        keyFrames_.fill(-1);
    }

    float U() { return rng_.NextFloat(); }
    bool Chance(double p) { return U() < p; }
    int Between(int low, int high) {
        return low + static_cast<int>(U() * static_cast<float>(high - low + 1));
    }

    // This frame's presses, releases and moves, before the game polls.
    void Act(const TableState& t) {
        LetGo();
        if (secondClick_) {
            secondClick_ = false;
            Tap();
        }
        const Wanted wanted = WhatIsWanted(t);
        if (!devices_.ButtonHeld(0) && Chance(wanted == Wanted::Nothing ? 1.0 / 25 : 1.0 / 6)) {
            const Point at = Aim(t, wanted);
            devices_.MovePointer(at.x, at.y);
            Click();
        } else if (Chance(0.05)) {
            // Hovering, or dragging with the button held.
            const Point at = Chance(0.5) ? AimAtHand(t) : AimAnywhere();
            devices_.MovePointer(at.x, at.y);
        }

        // P: now and then; while paused, soon again, so no pause lasts long.
        if (Chance(t.Paused ? 0.2 : 1.0 / 2500)) Key(kScanP);
        const bool maySort = (t.GameState == "SELECT TRUMPS" || t.GameState == "NORMAL PLAY");
        if (Chance(maySort ? 1.0 / 40 : 1.0 / 500)) Key(kScanR);
        if (Chance(1.0 / 300))
            Key(kOtherKeys[static_cast<std::size_t>(Between(0, static_cast<int>(kOtherKeys.size()) - 1))]);
        if (Chance(1.0 / 400)) {
            // The other buttons do nothing in this game.
            const int button = Between(1, 2);
            devices_.PressButton(button);
            devices_.ReleaseButton(button);
        }
        if (loseDisplay_ && Chance(1.0 / 1500))
            devices_.LoseDisplay(static_cast<std::uint32_t>(Between(1, 5)));
    }

    // The clock's step for this frame: mostly 16 or 17 ms, sometimes a stall.
    std::uint32_t FrameMs() {
        static constexpr std::array<std::uint32_t, 3> kSteps = {17, 17, 16};
        step_ = (step_ + 1) % 3;
        std::uint32_t ms = kSteps[static_cast<std::size_t>(step_)];
        if (Chance(0.1)) ms += static_cast<std::uint32_t>(Between(0, 1500));
        return ms;
    }
    // Where the clock starts: half the runs just short of the 32-bit wrap.
    std::uint32_t ClockStart() {
        return Chance(0.5) ? 0xFFFFFFFFu - static_cast<std::uint32_t>(Between(0, 600000)) : rng_.NextU32();
    }

private:
    void LetGo() {
        for (std::size_t code = 0; code < keyFrames_.size(); ++code) {
            if (keyFrames_[code] >= 0 && keyFrames_[code]-- == 0)
                devices_.ReleaseKey(static_cast<std::uint8_t>(code));
        }
        if (buttonFrames_ >= 0 && buttonFrames_-- == 0) devices_.ReleaseButton(0);
    }

    void Tap() {
        devices_.PressButton(0);
        devices_.ReleaseButton(0);
    }

    // A tap within the frame, a button held for a few frames or long, or a
    // double click within one frame or over two.
    void Click() {
        const float r = U();
        if (r < 0.35f) {
            Tap();
        } else if (r < 0.75f) {
            devices_.PressButton(0);
            buttonFrames_ = Between(0, 4);
        } else if (r < 0.85f) {
            devices_.PressButton(0);
            buttonFrames_ = Between(5, 90);
        } else if (r < 0.92f) {
            Tap();
            Tap();
        } else {
            Tap();
            secondClick_ = true;
        }
    }

    // A key tapped within the frame, or held for up to half a second.
    void Key(std::uint8_t code) {
        if (devices_.KeyHeld(code)) return;
        devices_.PressKey(code);
        if (Chance(0.5)) {
            devices_.ReleaseKey(code);
        } else {
            keyFrames_[code] = Between(0, 29);
        }
    }

    Point Aim(const TableState& t, Wanted wanted) {
        const float r = U();
        switch (wanted) {
            case Wanted::Card:
                return r < 0.70f   ? AimAtHand(t)
                       : r < 0.75f ? AimAtMenu(t)
                       : r < 0.80f ? AimAtScorePage(t)
                                   : AimAnywhere();
            case Wanted::Contract: return r < 0.70f ? AimAtMenu(t) : r < 0.80f ? AimAtHand(t) : AimAnywhere();
            case Wanted::NextDeal:
                return r < 0.60f ? AimAtScorePage(t) : r < 0.70f ? AimAtHand(t) : AimAnywhere();
            case Wanted::Nothing:
            default:
                return r < 0.40f   ? AimAtHand(t)
                       : r < 0.55f ? AimAtMenu(t)
                       : r < 0.60f ? AimAtScorePage(t)
                                   : AimAnywhere();
        }
    }

    // Any point of any card of the hand, its hidden part too, and a little
    // around its edges.
    Point AimAtHand(const TableState& t) {
        std::array<int, 13> live{};
        int n = 0;
        for (int slot = 0; slot <= 12; ++slot)
            if (t.Hand0[slot].Active) live[static_cast<std::size_t>(n++)] = slot;
        if (n == 0) return AimAnywhere();
        const CardSprite& card = t.Hand0[live[static_cast<std::size_t>(Between(0, n - 1))]];
        return Point{static_cast<int>(std::floor(card.X)) + Between(-2, card.Width + 2),
                     static_cast<int>(std::floor(card.Y)) + Between(-2, card.Height + 2)};
    }

    // A row of the contract menu, mostly an enabled one, with the few pixels
    // where rows overlap.
    Point AimAtMenu(const TableState& t) {
        std::array<int, 10> enabled{};
        int n = 0;
        for (int row = 0; row <= 9; ++row)
            if (t.ContractButtons[row].Enabled) enabled[static_cast<std::size_t>(n++)] = row;
        const int row =
            (n > 0 && Chance(0.6)) ? enabled[static_cast<std::size_t>(Between(0, n - 1))] : Between(0, 9);
        const ContractButton& b = t.ContractButtons[row];
        return Point{b.X + Between(-3, b.Width + 3), b.Y + Between(-3, b.Height + 3)};
    }

    Point AimAtScorePage(const TableState& t) {
        return Point{t.ScorePageX + Between(0, 480), t.ScorePageY + Between(0, 560)};
    }

    // Anywhere on the table and a little beyond its edges.
    Point AimAnywhere() { return Point{Between(-40, 840), Between(-40, 640)}; }

    Pcg32 rng_;
    SyntheticDevices& devices_;
    bool loseDisplay_;
    std::array<int, 256> keyFrames_{};  // frames until a held key is let go; -1 not held
    int buttonFrames_ = -1;             // the same for the left button
    bool secondClick_ = false;          // the second click of a slow double click is due
    int step_ = 0;
};

void ApplyOptions(const MonkeyOptions& o, TableState& t) {
    t.DeckName = o.deck;
    t.Resolution = "800x600";
    t.ScreenWidth = 800;
    t.ScreenHeight = 600;
    t.SlowAnimation = o.slow;
    t.SevenOfHeartsLead = o.sevenOfHeartsLead;
    t.DealSingly = o.dealPackets == 1;
    t.DealPacketSize = static_cast<std::int16_t>(o.dealPackets);
}

}  // namespace

int RunMonkey(const MonkeyOptions& o, std::ostream& out, std::ostream& err) {
    if (o.deals < 1) throw std::invalid_argument("the number of deals must be 1 or more");
    if (o.dealPackets != 1 && o.dealPackets != 13)
        throw std::invalid_argument("the deal packet size must be 1 or 13");
    // Headless whatever the desktop: nobody watches, and nothing of the
    // player's own keyboard or mouse may reach the game.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const auto started = std::chrono::steady_clock::now();
    auto table = std::make_unique<TableState>();
    TableState& t = *table;
    ApplyOptions(o, t);
    GameScreen screen;
    ResourceUnpacker resources;
    SyntheticDevices devices(screen.display);
    Monkey monkey(o.seed, devices, o.draw);
    SoakServices services(o.seed, monkey.ClockStart(), o.draw ? &screen : nullptr);
    DrawHooks hooks(screen);

    // The game start routine, as the game runs it (with the display only when drawing).
    try {
        if (o.draw) {
            ComputeLayout(t);
            const std::string pak = o.archive.empty() ? o.programFolder + "res120.pak" : o.archive;
            if (!resources.UnpackResources(pak)) {
                if (StopSignal() != 0) return StopExitStatus();
                throw std::runtime_error("Cannot unpack the game's resources from " + pak + ": " +
                                         resources.LastError());
            }
            BuildCardFiles(t);
            InitMatchTables(t, services);
            screen.Open(DisplayOptions{false, true}, t, resources.BaseFolder());
            NewDeal(t, services);
            t.Running = true;
            screen.input.ShowSystemCursor(false);
            screen.BeginDrawing(t);
            resources.DeleteResources();
        } else {
            StartHeadlessGame(t, services);
            screen.display.BackBufferRect = Rect{0, 0, t.ScreenWidth, t.ScreenHeight};
            screen.input.GiveMeInput();
            screen.input.KeyBoard();
            screen.input.Mouse(screen.display);
        }
    } catch (const std::exception& e) {
        resources.DeleteResources();
        const auto* present = dynamic_cast<const PresentError*>(&e);
        err << "tenfold: the game did not start: " << (present ? present->Message() : std::string(e.what()))
            << "\n";
        screen.EndIt("");
        return 1;
    }
    screen.input.UseDevices(&devices);

    TableWatch watch;
    watch.Begin(t);
    std::int64_t frame = 0;
    std::optional<TableFault> fault;
    try {
        // TERM, INT and HUP end the soak between two frames, by the road below.
        while (watch.DealsEnded() < o.deals && StopSignal() == 0) {
            // One pass of the main loop: the devices act, window messages run,
            // input is polled, then the frame routine.
            monkey.Act(t);
            screen.display.DoEvents();
            screen.PollInput();
            const FrameOutcome outcome =
                RunFrame(t, services, screen.input.Snapshot(), o.draw ? &hooks : nullptr);
            ++frame;
            services.Advance(monkey.FrameMs());
            if (o.afterFrame) o.afterFrame(t, frame);
            if (outcome == FrameOutcome::Quit) {
                fault = TableFault{"input", "the game quit, though Escape was never pressed"};
            } else if (hooks.Closed() || screen.display.QuitRequested()) {
                fault = TableFault{"display", "the window closed itself"};
            } else if (!services.messages.empty()) {
                fault = TableFault{"message", "the game said \"" + services.messages.front() + "\""};
            } else {
                fault = watch.AfterFrame(t);
            }
            if (fault) break;
        }
    } catch (const std::exception& e) {
        ++frame;
        fault = TableFault{"run-time error", e.what()};
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (o.draw) {
        screen.QuitGame();
    } else {
        screen.EndIt("");
    }
    if (fault) {
        // The deal at fault: the running one, or the one that has just ended.
        const std::int64_t deal = watch.DealsEnded() + (t.GameState == "END OF MATCH" ? 0 : 1);
        err << "tenfold: monkey fault in check \"" << fault->check << "\": " << fault->detail << " (seed "
            << o.seed << ", frame " << frame << ", deal " << deal << ", state \"" << t.GameState << "\")\n";
    } else if (StopSignal() != 0) {
        err << "tenfold: the soak was stopped by signal " << StopSignal() << " after " << frame
            << " frames (seed " << o.seed << ")\n";
    } else {
        out << "seed " << o.seed << ": " << frame << " frames in " << std::round(seconds * 10) / 10 << " s\n";
    }
    out << watch.DealsEnded() << " deals, " << devices.Events() << " inputs, " << (fault ? 1 : 0)
        << " faults\n";
    if (fault) return 1;
    return StopSignal() != 0 ? StopExitStatus() : 0;
}

}  // namespace tenfold
