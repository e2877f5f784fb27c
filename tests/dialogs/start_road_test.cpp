#include "resources/start_road.h"

#include <filesystem>
#include <string>

#include "dialog_test_support.h"
#include "resources/pak_browser.h"
#include "resources/start_dialog.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

namespace fs = std::filesystem;
using test::DialogTest;
using test::ShownWindow;
using test::WhenShown;

TEST(StartRoadPaths, TheProgramsFolderIsTheFolderOfTheRunningExecutable) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(fs::path(folder) / "dialogs_tests"));
}

TEST(StartRoadPaths, TheArchiveIsFoundBesideTheProgramThenInTheDataFolder) {
    // The installed layout, as the install rules lay it out below a prefix.
    test::ScratchDir root;
    const std::string bin = root / TENFOLD_INSTALL_GAMESDIR "/";
    const std::string data = root / TENFOLD_INSTALL_GAMEDATADIR "/";
    fs::create_directories(bin);
    fs::create_directories(data);
    EXPECT_EQ(FindArchive(bin), "");

    test::WriteBytes(data + "res120.pak", {1});
    EXPECT_EQ(FindArchive(bin), data + "res120.pak");
    test::WriteBytes(bin + "res120.pak", {1});
    EXPECT_EQ(FindArchive(bin), bin + "res120.pak");
}

TEST(StartRoadPaths, TheCreditsAreBuiltInWhole) {
    const test::Bytes file = test::ReadBytes(TENFOLD_CREDITS_FILE);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(std::string(CreditsText()), std::string(file.begin(), file.end()));
}

TEST_F(DialogTest, StartRunsTheGameWhichClosesTheDialogWithoutEndingTheRoad) {
    Options t;
    bool shownDuringUnpack = false;
    bool hiddenAfterClose = false;
    StartRoad road;
    road.runGame = [&](Options& chosen) {
        auto* dialog = ShownWindow<StartDialog>();
        shownDuringUnpack = dialog != nullptr;
        CloseStartDialog();
        hiddenAfterClose = ShownWindow<StartDialog>() == nullptr;
        EXPECT_EQ(chosen.deckName, "Royal");
        return 7;
    };
    WhenShown<StartDialog>([](StartDialog& dialog) {
        dialog.deckOption[2].set_active(true);
        dialog.startButton.clicked();
    });
    EXPECT_EQ(RunStartDialog(t, road), 7);
    EXPECT_TRUE(shownDuringUnpack);
    EXPECT_TRUE(hiddenAfterClose);
}

TEST_F(DialogTest, ExitAndTheCloseBoxEndTheRoadWithoutAGame) {
    for (bool useCloseBox : {false, true}) {
        SCOPED_TRACE(useCloseBox ? "close box" : "Exit");
        Options t;
        bool played = false;
        StartRoad road;
        road.runGame = [&](Options&) {
            played = true;
            return 3;
        };
        WhenShown<StartDialog>([useCloseBox](StartDialog& dialog) {
            if (useCloseBox) {
                dialog.close();
            } else {
                dialog.exitButton.clicked();
            }
        });
        EXPECT_EQ(RunStartDialog(t, road), 0);
        EXPECT_FALSE(played);
        EXPECT_EQ(ShownWindow<StartDialog>(), nullptr);
    }
}

TEST_F(DialogTest, TheBrowserOnItsOwnOpensTheGivenArchiveAndEndsWithExit) {
    test::ScratchDir dir;
    const test::FixtureArchive archive = test::MakeFixtureArchive(dir / "given.pak");
    int lines = -1;
    std::string title;
    WhenShown<PakBrowser>([&](PakBrowser& dialog) {
        lines = dialog.LineCount();
        title = dialog.titleLabel.get_text();
        dialog.exitButton.clicked();
    });
    EXPECT_EQ(RunPakBrowser(dir.str(), archive.path), 0);
    EXPECT_EQ(lines, 5);
    EXPECT_EQ(title, "Files in given.pak");
}

TEST_F(DialogTest, ClosingEveryWindowClosesTheOpenWindowsWithoutEndingTheGame) {
    Options t;
    StartRoad road;
    bool stillShown = true;
    road.runGame = [&](Options&) {
        CloseEveryWindow();
        stillShown = ShownWindow<StartDialog>() != nullptr;
        return 0;
    };
    WhenShown<StartDialog>([](StartDialog& dialog) { dialog.startButton.clicked(); });
    EXPECT_EQ(RunStartDialog(t, road), 0);
    EXPECT_FALSE(stillShown);
}

}  // namespace
}  // namespace tenfold
