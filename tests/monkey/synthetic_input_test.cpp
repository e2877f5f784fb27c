// The soak's keyboard and mouse reach the game through the same input layer
// as a player's: the game's keys, presses shorter than a frame, held keys and
// buttons, the pointer in table pixels within its limits, and a display
// taken away and given back.
#include <gtest/gtest.h>

#include "present/display.h"
#include "present/input.h"
#include "present/synthetic_input.h"

namespace tenfold {
namespace {

class SyntheticInput : public ::testing::Test {
protected:
    void SetUp() override {
        input.Open();
        input.UseSource(&devices);
        // Nothing left over from an earlier test in the window system's queue.
        display.PumpEvents();
        display.TakeKeyTaps();
        display.TakeButtonTaps();
    }
    void TearDown() override { input.Release(); }

    // One poll as the game's main loop makes it: window events, keys, mouse.
    PlayerInput Poll() {
        display.PumpEvents();
        input.Poll(display);
        return input.Read();
    }

    Display display;
    InputDevices input;
    SyntheticDevices devices{display};
};

TEST_F(SyntheticInput, KeysArriveHeldOrTappedWithinAFrame) {
    devices.PressKey(keys::kP);
    devices.ReleaseKey(keys::kP);  // up again before the game looked
    devices.PressKey(keys::kR);
    devices.PressKey(keys::kSpace);
    PlayerInput in = Poll();
    EXPECT_TRUE(in.pause) << "a tap is seen in the frame after it";
    EXPECT_TRUE(in.sort);
    EXPECT_FALSE(in.quit) << "space means nothing to the game";

    in = Poll();
    EXPECT_FALSE(in.pause) << "and only then";
    EXPECT_TRUE(in.sort) << "a held key stays down";

    devices.ReleaseKey(keys::kR);
    devices.ReleaseKey(keys::kSpace);
    in = Poll();
    EXPECT_FALSE(in.sort);
    EXPECT_EQ(devices.Events(), 6u);

    devices.PressKey(keys::kEscape);
    EXPECT_TRUE(Poll().quit);
    devices.ReleaseKey(keys::kEscape);
}

TEST_F(SyntheticInput, ButtonsArriveHeldTappedAndDoubleClicked) {
    devices.PressButton(0);
    devices.ReleaseButton(0);
    EXPECT_TRUE(Poll().click) << "a tap";
    EXPECT_FALSE(Poll().click);

    for (int i = 0; i < 2; ++i) {  // a double click within one frame
        devices.PressButton(0);
        devices.ReleaseButton(0);
    }
    EXPECT_TRUE(Poll().click);
    EXPECT_FALSE(Poll().click);

    devices.PressButton(0);
    EXPECT_TRUE(Poll().click) << "held";
    EXPECT_TRUE(Poll().click) << "still held";
    devices.ReleaseButton(0);
    EXPECT_FALSE(Poll().click);

    devices.PressButton(1);
    devices.ReleaseButton(1);
    EXPECT_FALSE(Poll().click) << "the right button is not the left";
}

TEST_F(SyntheticInput, ThePointerLandsOnTablePixelsWithinTheLimits) {
    struct Case {
        int x, y;          // where the pointer goes
        int wantX, wantY;  // where the game sees it
    };
    for (const Case& c : {Case{123, 456, 123, 456}, Case{0, 0, 0, 0}, Case{800, 600, 800, 600},
                          Case{-40, -40, 0, 0}, Case{840, 640, 800, 600}, Case{799, -1, 799, 0}}) {
        devices.MovePointer(c.x, c.y);
        const PlayerInput in = Poll();
        EXPECT_EQ(in.x, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(in.y, c.wantY) << c.x << "," << c.y;
    }
}

// On a window wider than the table the felt lies left and right of it: a
// click there is no click, one just inside the table's edge is.
TEST(SyntheticDisplay, ClicksOnTheFeltAroundTheTableDoNothing) {
    Display display;
    display.Open(DisplayOptions{true, true, 1000, 600});
    InputDevices input;
    input.Open();
    SyntheticDevices devices(display);
    input.UseSource(&devices);
    display.PumpEvents();
    display.TakeButtonTaps();
    struct Case {
        int x, y;
        bool click;
    };
    for (const Case& c : {Case{-60, 300, false}, Case{-1, 10, false}, Case{0, 10, true}, Case{799, 599, true},
                          Case{800, 300, false}, Case{880, 20, false}}) {
        devices.MovePointer(c.x, c.y);
        devices.PressButton(0);
        devices.ReleaseButton(0);
        display.PumpEvents();
        input.Poll(display);
        EXPECT_EQ(input.Read().click, c.click) << c.x << "," << c.y;
    }
    input.Release();
}

TEST(SyntheticDisplay, ALostDisplayComesBackAndEveryPictureIsReloaded) {
    Display display;
    display.Open(DisplayOptions{false, true});
    SyntheticDevices devices(display);
    display.PumpEvents();  // the window's own first events
    int reloads = 0;
    ASSERT_TRUE(display.WaitUntilShown([&] { ++reloads; }));
    ASSERT_EQ(reloads, 0);

    // Given back well after the game has seen it go.
    devices.LoseDisplay(200);
    display.PumpEvents();
    EXPECT_FALSE(display.IsShown());
    EXPECT_TRUE(display.WaitUntilShown([&] { ++reloads; }));
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(display.IsShown());
    EXPECT_EQ(devices.Events(), 0u) << "a lost display is no input";
}

}  // namespace
}  // namespace tenfold
