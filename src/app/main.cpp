// The tenfold program: parses the command line and starts the chosen mode.

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <string>

#include "app/simulator.h"
#include "app/tournament.h"
#if TENFOLD_WITH_GAME || TENFOLD_WITH_DIALOGS
#include "resources/stop_signals.h"
#endif
#if TENFOLD_WITH_GAME
#include "app/game_main.h"
#include "app/monkey.h"
#include "core/random.h"
#include "resources/file_path.h"
#include "resources/match_save.h"
#include "resources/settings.h"
#include "resources/statistics.h"
#endif
#if TENFOLD_WITH_DIALOGS
#include "resources/start_road.h"
#endif

namespace {

// A whole number from `least` up to what its variable holds, written in
// digits only: a sign or a value too large would otherwise wrap round or be
// cut to the largest number without a word.
template <class T>
CLI::Validator WholeNumber(T least, const std::string& what) {
    return CLI::Validator(
        [least, what](const std::string& text) {
            T value{};
            const char* end = text.data() + text.size();
            const auto [stop, ec] = std::from_chars(text.data(), end, value);
            const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
            if (digits && ec == std::errc::result_out_of_range) {
                return "must be at most " + std::to_string(std::numeric_limits<T>::max()) + " (got " + text +
                       ")";
            }
            const bool ok = digits && ec == std::errc() && stop == end && value >= least;
            return ok ? std::string()
                      : "must be " + what + ", " + std::to_string(least) + " or more (got " + text + ")";
        },
        "N");
}

// Exit statuses: 0 done, 1 the run failed, 2 the command line was wrong.
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Runs a headless mode: a bad option's reason is a usage error (status 2),
// any other failure status 1, each with one line.
template <class Mode>
int RunReporting(Mode&& mode) {
    try {
        mode();
        return EXIT_SUCCESS;
    } catch (const std::invalid_argument& e) {
        std::cerr << "tenfold: " << e.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "tenfold: " << e.what() << "\n";
        return kExitFailure;
    }
}

int RunSimulateMode(const tenfold::SimOptions& options) {
    return RunReporting([&] { tenfold::PrintSummary(std::cout, tenfold::RunSimulation(options)); });
}

int RunTournamentMode(const tenfold::TournamentOptions& options) {
    return RunReporting([&] {
        const tenfold::TournamentReport report = tenfold::RunTournament(options);
        tenfold::PrintReport(std::cout, report);
        if (options.reportPath.empty()) return;
        const std::string temp = options.reportPath + ".tmp";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << tenfold::ReportJson(report, options.commandLine);
            if (!out.flush()) throw std::runtime_error("cannot write report file " + options.reportPath);
        }
        std::filesystem::rename(temp, options.reportPath);
    });
}

// "classic" or "expert", as the command line names a player.
CLI::Validator PlayerName() {
    return CLI::Validator(
        [](const std::string& text) {
            return tenfold::PlayerKindNamed(text) ? std::string()
                                                  : "must be classic or expert (got " + text + ")";
        },
        "classic|expert");
}

#if TENFOLD_WITH_GAME
int RunMonkeyMode(const tenfold::MonkeyOptions& options) {
    try {
        return tenfold::RunMonkey(options, std::cout, std::cerr);
    } catch (const std::invalid_argument& e) {
        std::cerr << "tenfold: " << e.what() << "\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "tenfold: " << e.what() << "\n";
        return kExitFailure;
    }
}

// tenfold --stats [--json]: the record of finished matches.
int RunStatsMode(bool json) {
    std::string warning;
    const std::vector<tenfold::MatchRecord> matches =
        tenfold::LoadStatistics(tenfold::StatisticsPath(), warning);
    if (!warning.empty()) std::cerr << warning << "\n";
    const tenfold::StatisticsSummary summary = tenfold::Summarize(matches);
    std::cout << (json ? tenfold::SummaryJson(summary) : tenfold::SummaryText(summary));
    return EXIT_SUCCESS;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Tenfold: a trick-taking card game for one player against three computer players."};
    app.set_version_flag("--version", "Tenfold 1.0.0");

    tenfold::SimOptions sim;
    int packets = 1;
    auto* simulate = app.add_option("--simulate", sim.matches,
                                    "Play N whole matches headless (no display, no sound), "
                                    "seat 0 played by the autopilot, and print statistics")
                         ->check(WholeNumber<int>(0, "a number of matches"));
    // A negative seed would wrap round into some other number: refused.
    app.add_option("--seed", sim.seed,
                   "Seed of the random generator (default: time of day; 1 for --simulate)")
        ->check(WholeNumber<std::uint64_t>(0, "a whole number"));
    [[maybe_unused]] auto* trace =
        app.add_option("--trace", sim.tracePath,
                       "Write one JSON line per scored deal to FILE (--simulate, or the game: "
                       "the same lines for the same seed)")
            ->type_name("FILE");
    // Each remembered choice can be switched either way for one run, so a
    // choice kept in settings.ini never locks the command line out.
    auto* sevenLead = app.add_flag("--seven-of-hearts-lead", sim.sevenOfHeartsLead,
                                   "The holder of the seven of hearts chooses the first contract of a match");
    bool noSevenLead = false;
    app.add_flag("--no-seven-of-hearts-lead", noSevenLead,
                 "The first contract of a match goes by the usual turn (overrides a remembered choice)")
        ->excludes(sevenLead);
    app.add_option("--deal-packets", packets, "Cards a seat receives in a row while dealing: 1 or 13")
        ->check(CLI::IsMember({1, 13}));
    auto* slow = app.add_flag("--slow", sim.slow, "Slow card animation");
    bool normalSpeed = false;
    app.add_flag("--normal-speed", normalSpeed,
                 "Card animation at its usual speed (overrides a remembered choice)")
        ->excludes(slow);
    std::string opponents = "classic";
    auto* opponentsOption =
        app.add_option("--opponents", opponents, "The computer players at seats 1 to 3: classic or expert")
            ->check(PlayerName())
            ->capture_default_str();

    // Duplicate tournaments between two players.
    tenfold::TournamentOptions tour;
    auto* tournament =
        app.add_option("--tournament", tour.sets,
                       "Play N duplicate sets of --players A,B (A in each seat against three B, and four "
                       "B, on the same cards) and print each player's advantage")
            ->check(WholeNumber<int>(1, "a number of sets"))
            ->excludes(simulate)
            ->excludes(opponentsOption)
            ->excludes(trace);
    std::vector<std::string> pair = {"expert", "classic"};
    app.add_option("--players", pair, "With --tournament: the two players A,B (classic or expert)")
        ->delimiter(',')
        ->expected(2)
        ->check(PlayerName())
        ->needs(tournament);
    app.add_option("--jobs", tour.jobs, "With --tournament: sets played at once, on that many threads")
        ->check(WholeNumber<int>(1, "a number of threads"))
        ->needs(tournament);
    app.add_option("--report", tour.reportPath, "With --tournament: also write the figures as JSON to FILE")
        ->type_name("FILE")
        ->needs(tournament);

#if TENFOLD_WITH_GAME
    // The game on screen: the mode without --simulate.
    tenfold::GameOptions game;
    std::string deck = "Roya2";
    app.add_option("--deck", deck, "Card deck: Roya2 (standard pattern) or Royal (Genoese pattern)")
        ->check(CLI::IsMember({"Royal", "Roya2"}))
        ->capture_default_str();
    bool classic = false;
    auto* classicFlag =
        app.add_flag("--classic", classic,
                     "The classic table: no contract badge, seat names, hints, last trick, keyboard play, "
                     "Leave question or full score sheet; only the mouse, Escape, P and R");
    bool aids = false;
    app.add_flag("--table-aids", aids, "The table with its aids (overrides a remembered Classic table)")
        ->excludes(classicFlag);
    bool dim = false;
    auto* dimFlag =
        app.add_flag("--dim-unplayable", dim, "Dim the cards you may not play while it is your turn");
    bool noDim = false;
    app.add_flag("--no-dim-unplayable", noDim, "Never dim cards (overrides a remembered choice)")
        ->excludes(dimFlag);
    bool windowed = false;
    auto* windowedFlag =
        app.add_flag("--windowed", windowed,
                     "Play in an 800 x 600 window that can be resized, instead of the whole screen");
    bool fullScreen = false;
    auto* fullScreenFlag = app.add_flag("--full-screen", fullScreen,
                                        "Play on the whole screen (overrides a remembered Windowed)")
                               ->excludes(windowedFlag);
    auto* autoplay =
        app.add_flag("--autoplay", game.autoplay,
                     "Let the autopilot play your seat too, for demonstrations (Escape still ends it)");
    auto* frames =
        app.add_option("--frames", game.frames, "End the game after N frames (0: play until Escape)")
            ->check(CLI::NonNegativeNumber);
    auto* screenshot = app.add_option("--screenshot", game.screenshot,
                                      "Write the last frame to this PNG file when the game ends");
    std::string size;
    auto* sizeOption =
        app.add_option("--size", size,
                       "Window size WxH in pixels (headless: the picture's size), e.g. 1920x1080; the "
                       "table keeps its shape and is drawn crisp at that resolution")
            ->check(CLI::Validator(
                [](const std::string& text) {
                    int w = 0, h = 0;
                    char x = 0, extra = 0;
                    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) == 3 && x == 'x' &&
                        w >= 200 && h >= 150 && w <= 16384 && h <= 16384)
                        return std::string();
                    return "must be WIDTHxHEIGHT, from 200x150 up to 16384x16384 (got " + text + ")";
                },
                "WxH"));
    app.add_option("--scale", game.scale,
                   "Draw the table at this scale of its 800 x 600 pixels and enlarge that picture to the "
                   "window (1: the classic table); without it the table is drawn at the window's resolution")
        ->check(CLI::Range(0.25, 4.0));
    auto* uncapped =
        app.add_flag("--uncapped", game.uncapped,
                     "No frame pacing; the game clock moves 1000/60 ms a frame, so the game plays as at "
                     "60 frames a second, only faster (for tests and benchmarks)");

    // The random-input soak of the whole game.
    tenfold::MonkeyOptions monkey;
    auto* monkeyMode =
        app.add_option("--monkey", monkey.deals,
                       "Soak test: play N deals headless with random keys and clicks in your seat (Escape "
                       "only to be asked \"Leave this match?\" and answer No), checking the table after "
                       "every frame; exit status 1 on the first fault")
            ->check(WholeNumber<std::int64_t>(1, "a number of deals"))
            ->excludes(simulate)
            ->excludes(windowedFlag)
            ->excludes(fullScreenFlag)
            ->excludes(autoplay)
            ->excludes(frames)
            ->excludes(screenshot)
            ->excludes(uncapped)
            ->excludes(trace)
            ->excludes(tournament);
    sizeOption->excludes(simulate)->excludes(tournament);
    // Saved matches and the record of finished ones.
    bool resume = false;
    bool newMatch = false;
    auto* resumeFlag =
        app.add_flag("--resume", resume,
                     "Take up the saved match where it was left (exit status 2 when there is none)")
            ->excludes(monkeyMode);
    app.add_flag("--new-match", newMatch,
                 "Start a new match without asking, even when one is saved (its save is replaced at the "
                 "first deal); the game does this whenever options are given without --resume")
        ->excludes(resumeFlag)
        ->excludes(monkeyMode);
    app.add_option("--matches", game.matches, "End the game after N finished matches (0: no limit)")
        ->check(CLI::NonNegativeNumber)
        ->excludes(monkeyMode);
    bool stats = false;
    bool statsJson = false;
    auto* statsFlag = app.add_flag("--stats", stats, "Print the statistics of your finished matches and end")
                          ->excludes(simulate)
                          ->excludes(monkeyMode)
                          ->excludes(resumeFlag)
                          ->excludes(autoplay);
    app.add_flag("--json", statsJson, "With --stats: print them as JSON")->needs(statsFlag);

    app.add_flag("--draw", monkey.draw,
                 "With --monkey: also draw every frame into the headless back buffer, and lose and "
                 "restore the display at random")
        ->needs(monkeyMode);
#endif

#if TENFOLD_WITH_DIALOGS
    std::string browseFile;
    auto* browse = app.add_option("--pak-browser", browseFile,
                                  "Browse a PAK archive (FILE, if given) and save its entries to files")
                       ->expected(0, 1)
                       ->type_name("[FILE]");
#if TENFOLD_WITH_GAME
    browse->excludes(monkeyMode);
#endif
#endif

    // One line per error on stderr: the caller's scripts read it.
    app.failure_message(
        [](const CLI::App*, const CLI::Error& e) { return "tenfold: " + std::string(e.what()) + "\n"; });
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }
    sim.dealPacketSize = packets;
    sim.opponents = *tenfold::PlayerKindNamed(opponents);

    if (*simulate) return RunSimulateMode(sim);
    if (*tournament) {
        tour.seed = sim.seed;
        tour.players = {*tenfold::PlayerKindNamed(pair[0]), *tenfold::PlayerKindNamed(pair[1])};
        for (int i = 0; i < argc; ++i) tour.commandLine += (i > 0 ? " " : "") + std::string(argv[i]);
        return RunTournamentMode(tour);
    }
#if TENFOLD_WITH_GAME || TENFOLD_WITH_DIALOGS
    // On screen, TERM, INT and HUP end the program by its orderly road, which
    // removes whatever it has unpacked and closes its windows.
    tenfold::InstallStopHandlers();
#endif
#if TENFOLD_WITH_DIALOGS
    if (*browse) return tenfold::RunPakBrowser(tenfold::ProgramFolder(), browseFile);
#endif

#if TENFOLD_WITH_GAME
    if (*sizeOption) std::sscanf(size.c_str(), "%dx%d", &game.width, &game.height);
    if (*statsFlag) return RunStatsMode(statsJson);
    if (*monkeyMode) {
        monkey.width = game.width;
        monkey.height = game.height;
        monkey.seed = app.get_option("--seed")->count() > 0 ? sim.seed : tenfold::TimeOfDaySeed();
        monkey.deck = deck;
        monkey.classic = classic;
        monkey.dimUnplayable = dim;
        monkey.slow = sim.slow;
        monkey.sevenOfHeartsLead = sim.sevenOfHeartsLead;
        monkey.dealPackets = packets;
        monkey.programFolder = tenfold::ProgramFolder();
#if TENFOLD_WITH_DIALOGS
        monkey.archive = tenfold::FindArchive(monkey.programFolder);
#endif
        return RunMonkeyMode(monkey);
    }

    // Without a mode, the game starts on screen with the remembered choices;
    // what the command line gives overrides them for this run only.
    std::string warning;
    tenfold::ApplySettings(tenfold::LoadSettings(tenfold::SettingsPath(), warning), game.table);
    if (!warning.empty()) std::cerr << "tenfold: " << warning << "\n";
    const auto given = [&app](const char* option) { return app.get_option(option)->count() > 0; };
    if (given("--deck")) game.table.deckName = deck;
    // A choice and its opposite option (they exclude each other): either
    // one decides; neither leaves the remembered choice.
    const auto choose = [](bool& choice, bool yes, bool no) {
        if (yes) choice = true;
        if (no) choice = false;
    };
    choose(game.table.fullScreen, fullScreen, windowed);
    choose(game.table.slowAnimation, sim.slow, normalSpeed);
    choose(game.table.sevenOfHeartsLead, sim.sevenOfHeartsLead, noSevenLead);
    choose(game.table.classicTable, classic, aids);
    choose(game.table.dimUnplayable, dim, noDim);
    if (given("--deal-packets")) game.table.dealPacketSize = static_cast<std::int16_t>(packets);
    if (app.get_option("--seed")->count() > 0) game.seed = sim.seed;
    game.trace = sim.tracePath;
    if (given("--opponents")) game.table.expertOpponents = sim.opponents == tenfold::PlayerKind::Expert;
    game.opponents = game.table.expertOpponents ? tenfold::PlayerKind::Expert : tenfold::PlayerKind::Classic;
    game.programFolder = tenfold::ProgramFolder();
    game.savePath = tenfold::MatchSavePath();
    game.statisticsPath = tenfold::StatisticsPath();
    if (resume) {
        tenfold::LoadedMatch saved = tenfold::LoadMatchSave(game.savePath);
        if (saved.status == tenfold::LoadedMatch::Status::Missing) {
            std::cerr << "tenfold: there is no saved match to resume"
                      << (game.savePath.empty() ? std::string() : " (" + game.savePath + ")") << "\n";
            return kExitUsage;
        }
        if (saved.status == tenfold::LoadedMatch::Status::Damaged) std::cerr << saved.message << "\n";
        if (saved.status == tenfold::LoadedMatch::Status::Loaded) game.resume = std::move(saved.save);
    }
#if TENFOLD_WITH_DIALOGS
    // Installed, the archive lies in the data folder rather than beside the program.
    game.archive = tenfold::FindArchive(game.programFolder);
    game.closeWindows = tenfold::CloseEveryWindow;
    if (argc == 1) {
        // No options: the start dialog chooses, starting from the remembered
        // choices, and its start button keeps them and runs the game.
        tenfold::Options choices = game.table;
        tenfold::StartRoad road;
        road.archivePath = game.archive;
        road.runGame = [&game](tenfold::Options& chosen) {
            const std::string failed =
                tenfold::SaveSettings(tenfold::SettingsPath(), tenfold::SettingsOf(chosen));
            if (!failed.empty()) std::cerr << "tenfold: " << failed << "\n";
            game.table = chosen;
            game.opponents =
                chosen.expertOpponents ? tenfold::PlayerKind::Expert : tenfold::PlayerKind::Classic;
            game.closeStartDialog = tenfold::CloseStartDialog;
            return tenfold::RunGame(game);
        };
        road.resumeGame = [&game](tenfold::Options& chosen, const tenfold::MatchSave& save) {
            // The dialog's choices are kept as Start keeps them; the match keeps its own rules.
            const std::string failed =
                tenfold::SaveSettings(tenfold::SettingsPath(), tenfold::SettingsOf(chosen));
            if (!failed.empty()) std::cerr << "tenfold: " << failed << "\n";
            game.table = chosen;
            game.resume = save;
            game.closeStartDialog = tenfold::CloseStartDialog;
            return tenfold::RunGame(game);
        };
        road.savePath = game.savePath;
        road.statisticsPath = game.statisticsPath;
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
