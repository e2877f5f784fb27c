#include "app/monkey.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ai/classic_player.h"
#include "app/match_keeper.h"
#include "app/match_replay.h"
#include "app/table_checks.h"
#include "core/layout.h"
#include "core/random.h"
#include "core/services.h"
#include "core/state_machine.h"
#include "core/table_aids.h"
#include "present/game_screen.h"
#include "present/synthetic_input.h"
#include "present/table_drawing.h"
#include "resources/resource_layout.h"
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
    void PlaySound(Sound sound) override {
        if (sound_ != nullptr) sound_->sound.Play(sound);
    }

    void Advance(std::uint32_t ms) { now_ += ms; }
    Pcg32& Rng() { return rng_; }

private:
    Pcg32 rng_;
    std::uint32_t now_;
    GameScreen* sound_;
};

// The display's part of each frame, as the game's main loop calls it.
class DrawHooks : public FrameHooks {
public:
    explicit DrawHooks(GameScreen& screen) : screen_(screen) {}
    void BeginDrawing(const TableState&) override { closed_ = !screen_.BeginDrawing() || closed_; }
    void DrawTable(const TableState& t) override { screen_.DrawTable(t, ClockNow()); }
    void FinishDrawing(const TableState&) override { screen_.FinishFrame(); }
    bool Closed() const { return closed_; }

private:
    GameScreen& screen_;
    bool closed_ = false;
};

struct Spot {
    int x = 0;
    int y = 0;
};

// What the game waits for from seat 0, as a player would see it.
enum class Wanted { Nothing, Card, Contract, NextDeal };

Wanted WhatIsWanted(const TableState& t) {
    const GameState state = t.flow.state;
    if (state == GameState::DealOver) return Wanted::NextDeal;
    if (state == GameState::ChoosingContract && t.menu.shown && t.human.waiting) return Wanted::Contract;
    if (state == GameState::Playing && t.human.waiting && t.currentSeat == kHumanSeat && !t.human.hasPlayed) {
        return Wanted::Card;
    }
    return Wanted::Nothing;
}

// Keys a player might touch besides the game's own; never Escape (which is
// pressed on its own, and answered) nor Y (which would confirm leaving).
constexpr std::array<int, 12> kOtherKeys = {keys::kSpace, keys::kEnter, keys::kQ,         keys::kA,
                                            keys::kZ,     keys::kTab,   keys::kLeftShift, keys::kLeftCtrl,
                                            keys::kF1,    keys::kN,     keys::kOne,       keys::kBackspace};

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
        if (t.aids.leaveAsked) {
            // Asked whether to leave: stay, by N or the No button, soon.
            if (Chance(0.3)) {
                if (Chance(0.5)) {
                    Key(keys::kN);
                } else {
                    devices_.MovePointer(kLeaveNo.x + Between(1, kLeaveNo.width - 2),
                                         kLeaveNo.y + Between(1, kLeaveNo.height - 2));
                    if (!devices_.ButtonHeld(0)) Tap();
                }
            }
            return;
        }
        if (secondClick_) {
            secondClick_ = false;
            Tap();
        }
        const Wanted wanted = WhatIsWanted(t);
        if (!devices_.ButtonHeld(0) && Chance(wanted == Wanted::Nothing ? 1.0 / 25 : 1.0 / 6)) {
            const Spot at = Aim(t, wanted);
            devices_.MovePointer(at.x, at.y);
            Click();
        } else if (Chance(0.05)) {
            // Hovering, or dragging with the button held.
            const Spot at = Chance(0.5) ? AimAtHand(t) : AimAnywhere();
            devices_.MovePointer(at.x, at.y);
        }
        // The keyboard's play: the arrows and Enter or Space where the game
        // waits for the player, now and then anywhere.
        if (Chance(wanted == Wanted::Nothing ? 1.0 / 200 : 1.0 / 8)) {
            static constexpr std::array<int, 6> kPlayKeys = {keys::kLeft, keys::kRight, keys::kUp,
                                                             keys::kDown, keys::kEnter, keys::kSpace};
            Key(kPlayKeys[static_cast<std::size_t>(Between(0, static_cast<int>(kPlayKeys.size()) - 1))]);
        }

        // P: now and then; while paused, soon again, so no pause lasts long.
        if (Chance(t.flow.paused ? 0.2 : 1.0 / 2500)) Key(keys::kP);
        const bool maySort =
            t.flow.state == GameState::ChoosingContract || t.flow.state == GameState::Playing;
        if (Chance(maySort ? 1.0 / 40 : 1.0 / 500)) Key(keys::kR);
        if (Chance(1.0 / 300))
            Key(kOtherKeys[static_cast<std::size_t>(Between(0, static_cast<int>(kOtherKeys.size()) - 1))]);
        // The last trick, held up by L or the right button for a moment.
        if (Chance(1.0 / 150)) Key(keys::kL);
        if (!devices_.ButtonHeld(1) && Chance(1.0 / 150)) {
            devices_.PressButton(1);
            rightFrames_ = Between(0, 40);
        }
        if (Chance(1.0 / 400)) {
            // The middle button does nothing in this game.
            devices_.PressButton(2);
            devices_.ReleaseButton(2);
        }
        // Escape during a match asks first (and is answered No above); a
        // classic table, or the end of a match, would leave at once.
        if (!t.options.classicTable && MatchInProgress(t) && Chance(1.0 / 3000)) Key(keys::kEscape);
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
            if (keyFrames_[code] >= 0 && keyFrames_[code]-- == 0) devices_.ReleaseKey(static_cast<int>(code));
        }
        if (buttonFrames_ >= 0 && buttonFrames_-- == 0) devices_.ReleaseButton(0);
        if (rightFrames_ >= 0 && rightFrames_-- == 0) devices_.ReleaseButton(1);
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
    void Key(int code) {
        if (devices_.KeyHeld(code)) return;
        devices_.PressKey(code);
        if (Chance(0.5)) {
            devices_.ReleaseKey(code);
        } else {
            keyFrames_[static_cast<std::size_t>(code)] = Between(0, 29);
        }
    }

    Spot Aim(const TableState& t, Wanted wanted) {
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
    Spot AimAtHand(const TableState& t) {
        const auto& hand = t.seats[kHumanSeat].hand;
        std::array<int, kHandSize> live{};
        int n = 0;
        for (int slot = 0; slot < kHandSize; ++slot)
            if (hand[slot].active) live[static_cast<std::size_t>(n++)] = slot;
        if (n == 0) return AimAnywhere();
        const CardSprite& card = hand[live[static_cast<std::size_t>(Between(0, n - 1))]];
        return Spot{static_cast<int>(std::floor(card.x)) + Between(-2, kCardWidth + 2),
                    static_cast<int>(std::floor(card.y)) + Between(-2, kCardHeight + 2)};
    }

    // A row of the contract menu, mostly an enabled one, with the few pixels
    // where rows overlap.
    Spot AimAtMenu(const TableState& t) {
        std::array<int, kContractCount> enabled{};
        int n = 0;
        for (int row = 0; row < kContractCount; ++row)
            if (t.menu.rows[row].enabled) enabled[static_cast<std::size_t>(n++)] = row;
        const int row = (n > 0 && Chance(0.6)) ? enabled[static_cast<std::size_t>(Between(0, n - 1))]
                                               : Between(0, kContractCount - 1);
        const MenuRow& r = t.menu.rows[row];
        return Spot{r.x + Between(-3, kMenuRowWidth + 3), r.y + Between(-3, kMenuRowHeight + 3)};
    }

    Spot AimAtScorePage(const TableState& t) {
        return Spot{t.layout.scorePage.x + Between(0, 480), t.layout.scorePage.y + Between(0, 560)};
    }

    // Anywhere on the table and a little beyond its edges.
    Spot AimAnywhere() { return Spot{Between(-40, 840), Between(-40, 640)}; }

    Pcg32 rng_;
    SyntheticDevices& devices_;
    bool loseDisplay_;
    std::array<int, 256> keyFrames_{};  // by scancode: frames until a held key is let go; -1 not held
    int buttonFrames_ = -1;             // the same for the left button
    int rightFrames_ = -1;              // and the right one
    bool secondClick_ = false;          // the second click of a slow double click is due
    int step_ = 0;
};

// A folder of the soak's own for its saved match, removed at the end: the
// player's own save is never touched.
class SaveFolder {
public:
    SaveFolder() {
        std::string templ = (std::filesystem::temp_directory_path() / "tenfold-monkey-XXXXXX").string();
        if (::mkdtemp(templ.data()) != nullptr) path_ = templ;
    }
    ~SaveFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;
    std::string SavePath() const { return path_.empty() ? std::string() : path_ + "/match.sav"; }

private:
    std::string path_;
};

// About once in this many frames the soak saves, throws the running game
// away and takes it up again from the file.
constexpr double kRoundTripChance = 1.0 / 2500;

void ApplyOptions(const MonkeyOptions& o, TableState& t) {
    t.options.deckName = o.deck;
    t.options.slowAnimation = o.slow;
    t.options.sevenOfHeartsLead = o.sevenOfHeartsLead;
    t.options.dealPacketSize = static_cast<std::int16_t>(o.dealPackets);
    t.options.classicTable = o.classic;
    t.options.dimUnplayable = o.dimUnplayable;
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
    ClassicPlayer players;
    Monkey monkey(o.seed, devices, o.draw);
    SoakServices services(o.seed, monkey.ClockStart(), o.draw ? &screen : nullptr);
    DrawHooks hooks(screen);
    SaveFolder saves;
    const KeeperFiles files{saves.SavePath(), ""};
    auto keeper = std::make_unique<MatchKeeper>(files, err);

    // The game start routine, as the game runs it (with the display only when drawing).
    try {
        if (o.draw) {
            const std::string pak =
                o.archive.empty() ? o.programFolder + std::string(layout::kPakFile) : o.archive;
            resources.UnpackIntoMemory();
            if (const Result unpacked = resources.Unpack(pak); !unpacked) {
                if (StopSignal() != 0) return StopExitStatus();
                throw std::runtime_error("Cannot unpack the game's resources from " + pak + ": " +
                                         unpacked.Reason());
            }
            screen.Open(DisplayOptions{false, true, o.width, o.height}, t.options.deckName,
                        resources.ResourceRoot(), resources.Files());
            keeper->StartNew(t, services.Rng(), services, players);
            screen.input.ShowSystemCursor(false);
            screen.BeginDrawing();
            resources.DeleteResources();
        } else {
            keeper->StartNew(t, services.Rng(), services, players);
            screen.input.Open();
        }
    } catch (const std::exception& e) {
        resources.DeleteResources();
        const auto* present = dynamic_cast<const PresentError*>(&e);
        err << "tenfold: the game did not start: " << (present ? present->Message() : std::string(e.what()))
            << "\n";
        screen.Close();
        return 1;
    }
    screen.input.UseSource(&devices);

    TableWatch watch;
    watch.Begin(t);
    std::int64_t frame = 0;
    std::optional<TableFault> fault;
    // The save is taken up at the human's next decision, as a resumed game
    // is: until then the game runs on untouched, and there the table taken up
    // from the file must be the one the game came to.
    bool catchingUp = false;
    std::int64_t roundTrips = 0;
    const auto takeUpTheSave = [&]() -> std::optional<TableFault> {
        LoadedMatch saved = LoadMatchSave(files.save);
        if (saved.status != LoadedMatch::Status::Loaded) {
            return TableFault{"save", saved.status == LoadedMatch::Status::Missing
                                          ? "the running match has no save"
                                          : saved.message};
        }
        auto fresh = std::make_unique<TableState>();
        ClassicPlayer freshPlayers;
        Pcg32 freshRng(0);
        auto freshKeeper = std::make_unique<MatchKeeper>(files, err);
        if (!freshKeeper->Resume(saved.save, t.options.fullScreen, *fresh, freshRng, freshPlayers)) {
            return TableFault{"save", "the save of the running match does not replay"};
        }
        if (TableFingerprint(*fresh) != TableFingerprint(t) ||
            !(freshRng.Where() == services.Rng().Where())) {
            return TableFault{"save", "the match taken up from its save is not the running one"};
        }
        // The running game is thrown away: table, players, generator and keeper.
        t = *fresh;
        players = freshPlayers;
        services.Rng().GoTo(freshRng.Where());
        keeper = std::move(freshKeeper);
        ++roundTrips;
        return std::nullopt;
    };
    try {
        // TERM, INT and HUP end the soak between two frames, by the road below.
        while (watch.DealsEnded() < o.deals && StopSignal() == 0) {
            // One pass of the main loop: the devices act, window messages run,
            // input is polled, then the frame routine.
            if (!catchingUp) monkey.Act(t);
            screen.display.PumpEvents();
            screen.input.Poll(screen.display);
            const PlayerInput input = catchingUp ? PlayerInput{} : screen.input.Read();
            keeper->BeforeFrame(t, services.Rng());
            const FrameOutcome outcome = RunFrame(t, services, players, input, o.draw ? &hooks : nullptr);
            keeper->AfterFrame(t, services.Rng());
            ++frame;
            services.Advance(monkey.FrameMs());
            if (o.afterFrame) o.afterFrame(t, frame);
            if (outcome == FrameOutcome::Quit) {
                fault = TableFault{"input", "the game quit, though leaving was never confirmed"};
            } else if (hooks.Closed() || screen.display.QuitRequested()) {
                fault = TableFault{"display", "the window closed itself"};
            } else {
                fault = watch.AfterFrame(t);
            }
            if (!fault && catchingUp && WhatHumanIsWanted(t) != HumanWanted::Nothing) {
                catchingUp = false;
                // A match that ended meanwhile has no save left to take up.
                if (!t.match.over) fault = takeUpTheSave();
            } else if (!fault && !catchingUp && !t.flow.paused && !t.aids.leaveAsked && !t.match.over &&
                       monkey.Chance(kRoundTripChance)) {
                // Not while paused or asked whether to leave: the game stands
                // still until the player answers, which he does not while the
                // soak catches up, so the next decision would never come.
                catchingUp = true;
            }
            if (fault) break;
        }
    } catch (const std::exception& e) {
        ++frame;
        fault = TableFault{"run-time error", e.what()};
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    screen.Close();
    if (fault) {
        // The deal at fault: the running one, or the one that has just ended.
        const std::int64_t deal = watch.DealsEnded() + (t.flow.state == GameState::DealOver ? 0 : 1);
        err << "tenfold: monkey fault in check \"" << fault->check << "\": " << fault->detail << " (seed "
            << o.seed << ", frame " << frame << ", deal " << deal << ", state \"" << StateName(t.flow.state)
            << "\")\n";
    } else if (StopSignal() != 0) {
        err << "tenfold: the soak was stopped by signal " << StopSignal() << " after " << frame
            << " frames (seed " << o.seed << ")\n";
    } else {
        out << "seed " << o.seed << ": " << frame << " frames in " << std::round(seconds * 10) / 10
            << " s; the match saved, thrown away and resumed " << roundTrips << " times\n";
    }
    out << watch.DealsEnded() << " deals, " << devices.Events() << " inputs, " << (fault ? 1 : 0)
        << " faults\n";
    if (fault) return 1;
    return StopSignal() != 0 ? StopExitStatus() : 0;
}

}  // namespace tenfold
