#include "resources/start_road.h"

#include <gtkmm.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "resources/message_box.h"
#include "resources/pak_browser.h"
#include "resources/resource_layout.h"
#include "resources/start_dialog.h"
#include "resources/statistics.h"
#include "resources/stop_signals.h"

namespace tenfold {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Every window of the program that is open, in the order they were opened,
// with the routine that closes it.
struct OpenWindow {
    Gtk::Window* window;
    std::function<void()> close;
};
std::vector<OpenWindow>& OpenWindows() {
    static std::vector<OpenWindow> windows;
    return windows;
}

// Keeps a window in the list of open windows for as long as it exists.
class WindowRegistration {
public:
    WindowRegistration(Gtk::Window* window, std::function<void()> close) : window_(window) {
        OpenWindows().push_back({window, std::move(close)});
    }
    ~WindowRegistration() {
        std::erase_if(OpenWindows(), [this](const OpenWindow& f) { return f.window == window_; });
    }
    WindowRegistration(const WindowRegistration&) = delete;
    WindowRegistration& operator=(const WindowRegistration&) = delete;

private:
    Gtk::Window* window_;
};

StartDialog* g_startDialog = nullptr;

// The player's question before a saved match is replaced.
bool AskYesNo(const std::string& question) {
    Gtk::MessageDialog ask(question, false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO, true);
    ask.set_title("Tenfold");
    if (g_startDialog != nullptr) ask.set_transient_for(*g_startDialog);
    return ask.run() == Gtk::RESPONSE_YES;
}

struct SavedMatchOffer {
    std::optional<MatchSave> save;
};

// Offers the saved match beside Start and adds the statistics tab. A damaged
// save or statistics file has been set aside on the way: said once, after the
// dialog has opened.
SavedMatchOffer OfferSavedMatch(StartDialog& dialog, const StartRoad& road) {
    SavedMatchOffer offer;
    std::string problems;
    LoadedMatch loaded = LoadMatchSave(road.savePath);
    if (loaded.status == LoadedMatch::Status::Loaded) {
        dialog.OfferResume(loaded.save.deal);
        offer.save = std::move(loaded.save);
    } else if (loaded.status == LoadedMatch::Status::Damaged) {
        problems = loaded.message;
    }
    std::string warning;
    dialog.ShowStatistics(Summarize(LoadStatistics(road.statisticsPath, warning)));
    if (!warning.empty()) problems += (problems.empty() ? "" : "\n") + warning;
    if (!problems.empty()) {
        std::cerr << problems << "\n";
        Glib::signal_idle().connect_once([problems] { ShowInfoBox(problems); });
    }
    return offer;
}

// Ends `loop` (after `then`) once a stop signal has come; a signal that came
// before the loop runs ends it at once.
sigc::connection QuitOnStopSignal(const Glib::RefPtr<Glib::MainLoop>& loop, std::function<void()> then) {
    if (StopSignalFd() < 0) return {};
    return Glib::signal_io().connect(
        [loop, then](Glib::IOCondition) {
            then();
            loop->quit();
            return false;
        },
        StopSignalFd(), Glib::IO_IN);
}

}  // namespace

std::string FindArchive(const std::string& programFolder) {
    const std::string name(layout::kPakFile);
    const std::vector<fs::path> candidates = {
        fs::path(programFolder) / name,
        fs::path(programFolder) / TENFOLD_DATA_FROM_BIN / name,
    };
    for (const fs::path& p : candidates) {
        if (IsFile(p)) return p.lexically_normal().string();
    }
    return "";
}

int RunStartDialog(Options& options, const StartRoad& road) {
    if (!InitDialogs()) {
        std::cerr << "tenfold: no display to show the start dialog on\n";
        return 1;
    }
    enum class Outcome { Waiting, Start, Resume, End };
    Outcome outcome = Outcome::Waiting;
    auto loop = Glib::MainLoop::create();
    StartDialogHooks hooks;
    hooks.startMatch = [&] {
        outcome = Outcome::Start;
        loop->quit();
    };
    hooks.endProgram = [&] {
        outcome = Outcome::End;
        loop->quit();
    };
    hooks.showMessage = [](const std::string& text) { ShowInfoBox(text); };
    hooks.resumeMatch = [&] {
        outcome = Outcome::Resume;
        loop->quit();
    };
    hooks.confirm = [](const std::string& question) { return AskYesNo(question); };

    StartDialog dialog(options, hooks, LoadDeckPreviews(road.archivePath), CreditsText());
    const SavedMatchOffer saved = OfferSavedMatch(dialog, road);
    const WindowRegistration registration(&dialog, [&dialog] { dialog.Dismiss(); });
    g_startDialog = &dialog;
    sigc::connection stop = QuitOnStopSignal(loop, [&] { outcome = Outcome::End; });
    dialog.show();
    loop->run();
    stop.disconnect();

    int status = StopSignal() != 0 ? StopExitStatus() : 0;
    if (outcome == Outcome::Start && road.runGame) status = road.runGame(options);
    if (outcome == Outcome::Resume && road.resumeGame && saved.save)
        status = road.resumeGame(options, *saved.save);
    CloseStartDialog();
    g_startDialog = nullptr;
    return status;
}

void CloseStartDialog() {
    if (g_startDialog == nullptr) return;
    g_startDialog->Dismiss();
    // The dialog must have left the screen before the game's window opens.
    RunPendingDialogEvents();
}

void CloseEveryWindow() {
    const std::vector<OpenWindow> windows = OpenWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) it->close();
    if (!windows.empty()) RunPendingDialogEvents();
}

int RunPakBrowser(const std::string& programFolder, const std::string& file) {
    if (!InitDialogs()) {
        std::cerr << "tenfold: no display to show the archive browser on\n";
        return 1;
    }
    auto loop = Glib::MainLoop::create();
    PakBrowserHooks hooks;
    hooks.showMessage = [](const std::string& text) { ShowMessageBox(text); };
    hooks.endProgram = [&] { loop->quit(); };
    PakBrowser dialog(programFolder, hooks);
    const WindowRegistration registration(&dialog, [&dialog] { dialog.hide(); });
    sigc::connection stop = QuitOnStopSignal(loop, [] {});
    dialog.show();
    if (!file.empty()) dialog.OpenArchive(file);
    loop->run();
    stop.disconnect();
    dialog.hide();
    RunPendingDialogEvents();
    return StopSignal() != 0 ? StopExitStatus() : 0;
}

}  // namespace tenfold
