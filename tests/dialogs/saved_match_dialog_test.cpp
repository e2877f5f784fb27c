// The start dialog's part in saved matches and statistics: the Resume button
// beside Start, the one question before Start replaces a saved match, and the
// Statistics tab.

#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "resources/start_dialog.h"

namespace tenfold {
namespace {

using test::DialogTest;

struct Road {
    std::vector<std::string> calls;
    std::vector<std::string> questions;
    bool answer = false;

    StartDialogHooks Hooks() {
        StartDialogHooks h;
        h.startMatch = [this] { calls.push_back("start"); };
        h.endProgram = [this] { calls.push_back("end"); };
        h.showMessage = [this](const std::string& m) { calls.push_back("message " + m); };
        h.resumeMatch = [this] { calls.push_back("resume"); };
        h.confirm = [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
        return h;
    }
};

using SavedMatchDialogTest = DialogTest;

TEST_F(SavedMatchDialogTest, ResumeSitsBesideStartAndTakesUpTheMatchWithTheWindowChosen) {
    Options o;
    Road road;
    StartDialog dialog(o, road.Hooks(), {}, "");
    EXPECT_EQ(dialog.resumeButton.get_parent(), nullptr) << "no save, no Resume button";
    dialog.OfferResume(3);
    EXPECT_EQ(dialog.resumeButton.get_label(), "Resume match (deal 3 of 20)");
    EXPECT_EQ(dialog.resumeButton.get_parent(), dialog.startButton.get_parent());
    EXPECT_TRUE(dialog.resumeButton.get_visible());
    dialog.windowed.set_active(true);
    dialog.resumeButton.clicked();
    EXPECT_EQ(road.calls, std::vector<std::string>{"resume"});
    EXPECT_TRUE(road.questions.empty());
    EXPECT_FALSE(dialog.EndsProgramOnClose());
    EXPECT_FALSE(o.fullScreen);
}

TEST_F(SavedMatchDialogTest, StartAsksOnceBeforeItReplacesASavedMatch) {
    for (const bool answer : {false, true}) {
        SCOPED_TRACE(answer ? "yes" : "no");
        Options o;
        Road road;
        road.answer = answer;
        StartDialog dialog(o, road.Hooks(), {}, "");
        dialog.OfferResume(7);
        dialog.startButton.clicked();
        ASSERT_EQ(road.questions.size(), 1u);
        EXPECT_NE(road.questions[0].find("deal 7 of 20"), std::string::npos) << road.questions[0];
        EXPECT_EQ(road.calls, answer ? std::vector<std::string>{"start"} : std::vector<std::string>{});
        EXPECT_EQ(dialog.EndsProgramOnClose(), !answer);
    }
    // Without a saved match there is nothing to ask.
    Options o;
    Road road;
    StartDialog dialog(o, road.Hooks(), {}, "");
    dialog.startButton.clicked();
    EXPECT_TRUE(road.questions.empty());
    EXPECT_EQ(road.calls, std::vector<std::string>{"start"});
}

TEST_F(SavedMatchDialogTest, TheStatisticsTabShowsTheFiguresAndEachContract) {
    Options o;
    Road road;
    StartDialog dialog(o, road.Hooks(), {}, "");
    StatisticsSummary s;
    s.played = 4;
    s.won = 1;
    s.winRate = 0.25;
    s.bestTotal = -1130;
    s.averageTotal = 212.5;
    s.contracts[0] = {3, -116.7};
    s.contracts[9] = {2, 80};
    dialog.ShowStatistics(s);
    ASSERT_EQ(dialog.tabs.get_n_pages(), 6);
    EXPECT_EQ(dialog.tabs.get_tab_label_text(*dialog.tabs.get_nth_page(5)), "Statistics");
    const std::string figures = dialog.statisticsFigures.get_text();
    for (const char* part :
         {"Matches played: 4", "Won: 1", "Win rate: 25.0%", "Best total: -1130", "Average total: 212.5"}) {
        EXPECT_NE(figures.find(part), std::string::npos) << part << " in " << figures;
    }
    EXPECT_EQ(dialog.contractPlayed[0].get_text(), "3");
    EXPECT_EQ(dialog.contractAverage[0].get_text(), "-116.7");
    EXPECT_EQ(dialog.contractAverage[9].get_text(), "80.0");
    EXPECT_EQ(dialog.contractAverage[4].get_text(), "-");

    StartDialog empty(o, road.Hooks(), {}, "");
    empty.ShowStatistics(StatisticsSummary{});
    const std::string none = empty.statisticsFigures.get_text();
    EXPECT_NE(none.find("No finished matches yet"), std::string::npos) << none;
}

}  // namespace
}  // namespace tenfold
