// The tenfold program: parses the command line and starts the chosen mode.

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>

#include "app/simulator.h"
#if TENFOLD_WITH_GAME || TENFOLD_WITH_DIALOGS
#include "resources/stop_signals.h"
#endif
#if TENFOLD_WITH_GAME
#include "app/game_main.h"
#endif
#if TENFOLD_WITH_DIALOGS
#include "core/layout.h"
#include "resources/start_road.h"
#endif

namespace {

// Exit statuses: 0 done, 1 the run failed, 2 the command line was wrong.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int RunSimulateMode(const tenfold::SimOptions& options) {
    try {
        const tenfold::SimSummary summary = tenfold::RunSimulation(options);
        tenfold::PrintSummary(std::cout, summary);
        return EXIT_SUCCESS;
    } catch (const std::invalid_argument& e) {
        std::cerr << "tenfold: " << e.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "tenfold: " << e.what() << "\n";
        return kExitFailure;
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Tenfold: a trick-taking card game for one player against three computer players."};
    app.set_version_flag("--version", "Tenfold 1.0.0");

    tenfold::SimOptions sim;
    int packets = 1;
    auto* simulate =
        app.add_option("--simulate", sim.matches,
                       "Play N whole matches headless (no display, no sound), "
                       "seat 0 played by the autopilot, and print statistics")
            ->check(CLI::Validator(
                [](const std::string& text) {
                    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos
                               ? std::string()
                               : "must be a number of matches, 0 or more (got " + text + ")";
                },
                "N"));
    app.add_option("--seed", sim.seed,
                   "Seed of the random generator (default: time of day; 1 for --simulate)");
    app.add_option("--trace", sim.tracePath,
                   "Write one JSON line per scored deal to FILE (--simulate, or the game: the same "
                   "lines for the same seed)")
        ->type_name("FILE");
    app.add_flag("--seven-of-hearts-lead", sim.sevenOfHeartsLead,
                 "The holder of the seven of hearts chooses the first contract of a match");
    app.add_option("--deal-packets", packets, "Cards a seat receives in a row while dealing: 1 or 13")
        ->check(CLI::IsMember({1, 13}));
    app.add_flag("--slow", sim.slow, "Slow card animation");

#if TENFOLD_WITH_GAME
    // The game on screen: the mode without --simulate.
    tenfold::GameOptions game;
    app.add_option("--deck", game.Deck, "Card deck: Roya2 (standard pattern) or Royal (Genoese pattern)")
        ->check(CLI::IsMember({"Royal", "Roya2"}))
        ->capture_default_str();
    app.add_flag("--windowed", game.Windowed,
                 "Play in an 800 x 600 window that can be resized, instead of the whole screen");
    app.add_flag("--autoplay", game.Autoplay,
                 "Let the autopilot play your seat too, for demonstrations (Escape still ends it)");
    app.add_option("--frames", game.Frames, "End the game after N frames (0: play until Escape)")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--screenshot", game.Screenshot,
                   "Write the last frame to this PNG file when the game ends");
    app.add_flag("--uncapped", game.Uncapped,
                 "No frame pacing; the game clock moves 1000/60 ms a frame, so the game plays as at "
                 "60 frames a second, only faster (for tests and benchmarks)");
#endif

#if TENFOLD_WITH_DIALOGS
    std::string browseFile;
    auto* browse = app.add_option("--pak-browser", browseFile,
                                  "Browse a PAK archive (FILE, if given) and save its entries to files")
                       ->expected(0, 1)
                       ->type_name("[FILE]");
#endif

    // One line per error on stderr: the caller's scripts read it.
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "tenfold: " + std::string(e.what()) + "\n";
    });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }
    sim.dealPacketSize = packets;

    if (*simulate) return RunSimulateMode(sim);
#if TENFOLD_WITH_GAME || TENFOLD_WITH_DIALOGS
    // On screen, TERM, INT and HUP end the program by its orderly road, which
    // removes whatever it has unpacked and closes its windows.
    tenfold::InstallStopHandlers();
#endif
#if TENFOLD_WITH_DIALOGS
    if (*browse) return tenfold::RunPakBrowser(tenfold::ProgramFolder(), browseFile);
#endif

#if TENFOLD_WITH_GAME
    // Without a mode, the game starts on screen.
    game.Slow = sim.slow;
    game.SevenOfHeartsLead = sim.sevenOfHeartsLead;
    game.DealPackets = packets;
    if (app.get_option("--seed")->count() > 0) game.Seed = sim.seed;
    game.Trace = sim.tracePath;
    game.ProgramFolder = tenfold::ProgramFolder(argv[0]);
#if TENFOLD_WITH_DIALOGS
    // Installed, the archive lies in the data folder rather than beside the program.
    game.Archive = tenfold::FindArchive(game.ProgramFolder);
    game.UnloadForms = tenfold::UnloadEveryForm;
    if (argc == 1) {
        // No options: the start dialog chooses, and its start button runs the game.
        tenfold::TableState choices;
        tenfold::StartRoad road;
        road.ProgramFolder = game.ProgramFolder;
        road.ArchivePath = game.Archive;
        road.ComputeLayout = [](tenfold::TableState& t) { tenfold::ComputeLayout(t); };
        road.RunGame = [&game](tenfold::TableState& t) {
            game.Deck = t.DeckName;
            game.Windowed = !t.FullScreen;
            game.Slow = t.SlowAnimation;
            game.SevenOfHeartsLead = t.SevenOfHeartsLead;
            game.DealPackets = t.DealPacketSize;
            game.CloseStartDialog = tenfold::CloseStartDialog;
            return tenfold::RunGame(game);
        };
        return tenfold::RunStartDialog(choices, road);
    }
#endif
    return tenfold::RunGame(game);
#else
    // A rules-only build has no display: play one match headless and report it.
    sim.matches = 1;
    return RunSimulateMode(sim);
#endif
}
