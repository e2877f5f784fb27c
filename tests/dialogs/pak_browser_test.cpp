#include "resources/pak_browser.h"

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "dialog_test_support.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::DialogTest;
using test::WhenShown;

class PakBrowserTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        archive = test::MakeFixtureArchive(dir / "fixture.pak");
        test::WriteBytes(dir / "notes.pak",
                         {'N', 'O', 'T', ' ', 'A', ' ', 'P', 'A', 'K', 0, 0, 0, 0, 0, 0, 0, 0});
    }

    // Hooks whose file dialog answers with the next queued name.
    PakBrowserHooks Hooks() {
        return {
            [this](const FileRequest& r) {
                requests.push_back(r);
                std::string answer = answers.empty() ? "" : answers.front();
                if (!answers.empty()) answers.erase(answers.begin());
                return answer;
            },
            [this](const std::string& m) { messages.push_back(m); },
            [this] { ended = true; },
        };
    }

    std::vector<std::string> Lines(const PakBrowser& browser) {
        std::vector<std::string> out;
        for (int i = 0; i < browser.LineCount(); ++i) out.push_back(browser.LineText(i));
        return out;
    }

    test::ScratchDir dir;
    test::FixtureArchive archive;
    std::vector<FileRequest> requests;
    std::vector<std::string> answers;
    std::vector<std::string> messages;
    bool ended = false;
    const std::vector<std::string> fixtureLines = {"dumm120", "Xoya2_KH.BMP", "Xoyal_KH.BMP",
                                                   "Xounds_CARD_FLIP.WAV", "Xitmaps_mouse.bmp"};
};

TEST_F(PakBrowserTest, OpensAnArchiveAndShowsTheSelectedEntry) {
    PakBrowser browser(dir.str(), Hooks());
    EXPECT_EQ(browser.openButton.get_label(), "Open .pak-file");
    EXPECT_EQ(browser.saveButton.get_label(), "Extract file to folder");
    EXPECT_EQ(browser.exitButton.get_label(), "Exit");
    EXPECT_FALSE(browser.saveButton.get_sensitive());
    EXPECT_EQ(browser.offsetLabel.get_text(), "---");
    EXPECT_EQ(browser.sizeLabel.get_text(), "---");

    answers = {archive.path};
    browser.openButton.clicked();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(requests[0].title, "Open .pak-file");
    EXPECT_EQ(requests[0].filterName, "QuakeII PAK-Files (*.pak)");
    EXPECT_EQ(requests[0].pattern, "*.pak");
    EXPECT_EQ(requests[0].folder, dir.str());

    EXPECT_EQ(browser.titleLabel.get_text(), "Files in fixture.pak");
    EXPECT_EQ(Lines(browser), fixtureLines);
    EXPECT_TRUE(browser.saveButton.get_sensitive());

    browser.SelectLine(0);
    EXPECT_EQ(browser.nameLabel.get_text(), "dumm120");
    EXPECT_EQ(browser.offsetLabel.get_text(), "12 Bytes");
    EXPECT_EQ(browser.sizeLabel.get_text(), "4 Bytes");
    browser.SelectLine(3);
    EXPECT_EQ(browser.nameLabel.get_text(), "Xounds_CARD_FLIP.WAV");
    EXPECT_EQ(browser.sizeLabel.get_text(), "5 Bytes");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PakBrowserTest, AFileThatIsNoArchiveIsReportedAndKeepsTheEarlierArchive) {
    PakBrowser browser(dir.str(), Hooks());
    browser.OpenArchive(dir / "notes.pak");
    EXPECT_EQ(browser.LineCount(), 0);
    EXPECT_FALSE(browser.saveButton.get_sensitive());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_NE(messages[0].find("notes.pak"), std::string::npos) << messages[0];

    browser.OpenArchive(archive.path);
    browser.OpenArchive(dir / "notes.pak");
    browser.OpenArchive(dir / "missing.pak");
    EXPECT_EQ(messages.size(), 3U);
    EXPECT_EQ(Lines(browser), fixtureLines);
    EXPECT_EQ(browser.titleLabel.get_text(), "Files in fixture.pak");
    EXPECT_TRUE(browser.saveButton.get_sensitive());

    answers = {""};  // a cancelled open dialog changes nothing
    browser.openButton.clicked();
    EXPECT_EQ(Lines(browser), fixtureLines);
}

TEST_F(PakBrowserTest, SavesTheSelectedEntryOnlyWhenOneIsSelectedAndANameChosen) {
    PakBrowser browser(dir.str(), Hooks());
    browser.OpenArchive(archive.path);
    const std::string target = dir / "out.wav";

    answers = {target};
    browser.saveButton.clicked();  // no line selected
    EXPECT_TRUE(requests.empty());

    browser.SelectLine(3);
    answers = {""};  // cancelled
    browser.saveButton.clicked();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].title, "Save recource-file");
    EXPECT_EQ(requests[0].filterName, "Recource-file (*.WAV)");
    EXPECT_EQ(requests[0].pattern, "*.WAV");
    EXPECT_EQ(requests[0].fileName, "Xounds_CARD_FLIP.WAV");
    EXPECT_EQ(requests[0].folder, dir.str());
    EXPECT_FALSE(std::filesystem::exists(target));

    answers = {target};
    browser.saveButton.clicked();
    EXPECT_EQ(test::ReadBytes(target), archive.entries[3].bytes);

    answers = {dir / "no-such-folder/out.wav"};
    browser.saveButton.clicked();
    EXPECT_EQ(messages.size(), 1U);
}

TEST_F(PakBrowserTest, ASavePastTheFileSizeLimitIsReportedAndLeavesTheOldFile) {
    PakBrowser browser(dir.str(), Hooks());
    browser.OpenArchive(archive.path);
    const std::string target = dir / "card.bmp";
    test::WriteBytes(target, {'o', 'l', 'd'});
    const auto before = test::ListFolder(dir.str());

    // Default disposition first: the program must protect itself from the signal.
    std::signal(SIGXFSZ, SIG_DFL);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 100;  // the card picture has 270 bytes
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    browser.SelectLine(1);
    answers = {target};
    browser.saveButton.clicked();
    ::setrlimit(RLIMIT_FSIZE, &old);

    ASSERT_EQ(messages.size(), 1U);
    EXPECT_NE(messages[0].find("File too large"), std::string::npos) << messages[0];
    EXPECT_EQ(test::ReadBytes(target), (test::Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(test::ListFolder(dir.str()), before);  // no temporary file either
}

TEST_F(PakBrowserTest, ExitAndTheCloseBoxEndTheProgram) {
    PakBrowser browser(dir.str(), Hooks());
    browser.exitButton.clicked();
    EXPECT_TRUE(ended);
    ended = false;
    browser.show();
    browser.close();
    EXPECT_TRUE(test::PumpUntil([&] { return ended; }));
}

TEST_F(DialogTest, TheWindowSystemsFileDialogCarriesTitleFilterAndSuggestedName) {
    test::ScratchDir dir;
    struct Seen {
        std::string title;
        std::string filter;
        std::string name;
    } seen;
    auto answerCancel = [&seen](Gtk::FileChooserDialog& chooser) {
        seen.title = chooser.get_title();
        seen.filter = chooser.get_filter() ? chooser.get_filter()->get_name() : "";
        seen.name = chooser.get_action() == Gtk::FILE_CHOOSER_ACTION_SAVE ? chooser.get_current_name() : "";
        chooser.response(Gtk::RESPONSE_CANCEL);
    };

    WhenShown<Gtk::FileChooserDialog>(answerCancel);
    EXPECT_EQ(ChooseFileWithGtk(
                  {false, "Open .pak-file", "QuakeII PAK-Files (*.pak)", "*.pak", dir.str(), ""}, nullptr),
              "");
    EXPECT_EQ(seen.title, "Open .pak-file");
    EXPECT_EQ(seen.filter, "QuakeII PAK-Files (*.pak)");

    WhenShown<Gtk::FileChooserDialog>(answerCancel);
    EXPECT_EQ(ChooseFileWithGtk(
                  {true, "Save recource-file", "Recource-file (*.BMP)", "*.BMP", dir.str(), "Xoyal_KH.BMP"},
                  nullptr),
              "");
    EXPECT_EQ(seen.title, "Save recource-file");
    EXPECT_EQ(seen.filter, "Recource-file (*.BMP)");
    EXPECT_EQ(seen.name, "Xoyal_KH.BMP");
}

}  // namespace
}  // namespace tenfold
