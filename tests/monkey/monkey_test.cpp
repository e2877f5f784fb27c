// The soak itself: it plays deals to their end with every kind of input,
// the same seed gives the same run, and a fault stops it with the check, the
// seed and the frame.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "app/monkey.h"
#include "core/table_aids.h"

namespace tenfold {
namespace {

std::string LastLine(const std::string& text) {
    std::string s = text;
    while (!s.empty() && s.back() == '\n') s.pop_back();
    const auto cut = s.rfind('\n');
    return cut == std::string::npos ? s : s.substr(cut + 1);
}

struct SoakRun {
    int status = 0;
    std::string out;
    std::string err;
};

SoakRun Soak(const MonkeyOptions& options) {
    std::ostringstream out, err;
    SoakRun r;
    r.status = RunMonkey(options, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(Monkey, PlaysItsDealsWithEveryKindOfInput) {
    // What the random player got done, as the table shows it.
    int sorts = 0, pausedFrames = 0, menuChoices = 0, matches = 0;
    // ...and with the aids' keys and the right button.
    int lastTrickFrames = 0, questions = 0, cardFocusFrames = 0, menuFocusFrames = 0, refusals = 0;
    bool asked = false;
    GameState last = GameState::NotStarted;
    MonkeyOptions options;
    options.deals = 24;
    options.seed = 11;
    options.afterFrame = [&](TableState& t, std::int64_t) {
        if (t.flow.state != last) {
            if (t.flow.state == GameState::GatheringHand) ++sorts;
            if (t.flow.state == GameState::ShowingContract && t.human.acted) ++menuChoices;
            if (t.flow.state == GameState::DealOver && t.match.over) ++matches;
            last = t.flow.state;
        }
        if (t.flow.paused) ++pausedFrames;
        if (t.aids.lastTrickShown) ++lastTrickFrames;
        if (t.aids.leaveAsked && !asked) ++questions;
        asked = t.aids.leaveAsked;
        if (t.aids.focusSlot >= 0) ++cardFocusFrames;
        if (t.menu.shown && t.aids.menuFocus >= 0) ++menuFocusFrames;
        if (t.aids.refusalFrames == kRefusalShakeFrames) ++refusals;
    };
    const SoakRun r = Soak(options);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::regex_match(LastLine(r.out), std::regex("24 deals, [1-9][0-9]* inputs, 0 faults")))
        << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_GT(sorts, 0);
    EXPECT_GT(pausedFrames, 0);
    EXPECT_GT(menuChoices, 0);
    EXPECT_EQ(matches, 1);
    EXPECT_GT(lastTrickFrames, 0);
    EXPECT_GT(questions, 0) << "Escape was never asked about (and answered No)";
    EXPECT_GT(cardFocusFrames, 0);
    EXPECT_GT(menuFocusFrames, 0);
    EXPECT_GT(refusals, 0);
}

TEST(Monkey, TheSameSeedGivesTheSameRun) {
    MonkeyOptions options;
    options.deals = 3;
    options.seed = 12;
    const SoakRun a = Soak(options);
    const SoakRun b = Soak(options);
    ASSERT_EQ(a.status, 0) << a.err;
    // The first line ends with the wall time; the frames before it must agree.
    EXPECT_EQ(a.out.substr(0, a.out.find(" in ")), b.out.substr(0, b.out.find(" in ")));
    EXPECT_EQ(LastLine(a.out), LastLine(b.out));
    options.seed = 13;
    EXPECT_NE(LastLine(Soak(options).out), LastLine(a.out));
}

TEST(Monkey, AFaultStopsTheSoakWithItsCheckSeedAndFrame) {
    MonkeyOptions options;
    options.deals = 5;
    options.seed = 14;
    options.afterFrame = [](TableState& t, std::int64_t frame) {
        if (frame != 2000) return;
        // A card of the hands copied over another: one card twice, another gone.
        Card* first = nullptr;
        for (Seat& seat : t.seats) {
            for (CardSprite& card : seat.hand) {
                if (!card.active) continue;
                if (first == nullptr) {
                    first = &card.card;
                } else {
                    card.card = *first;
                    return;
                }
            }
        }
    };
    const SoakRun r = Soak(options);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("check \"card places\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("seed 14, frame 2000"), std::string::npos) << r.err;
    EXPECT_TRUE(std::regex_match(LastLine(r.out), std::regex("0 deals, [0-9]+ inputs, 1 faults"))) << r.out;
}

}  // namespace
}  // namespace tenfold
