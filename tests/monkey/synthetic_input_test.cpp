// The soak's keyboard and mouse reach the game through the same input layer
// as a player's: scan codes, presses shorter than a frame, held keys and
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
        display.BackBufferRect = Rect{0, 0, 800, 600};
        input.GiveMeInput();
        input.KeyBoard();
        input.Mouse(display);
        input.UseDevices(&devices);
        // Nothing left over from an earlier test in the window system's queue.
        display.DoEvents();
        display.TakeKeyTaps();
        display.TakeButtonTaps();
    }
    void TearDown() override { input.Release(); }

    // One poll as the game's main loop makes it: window events, keys, mouse.
    InputSnapshot Poll() {
        display.DoEvents();
        input.PollKeyboard(display);
        input.PollMouse(display);
        return input.Snapshot();
    }

    Display display;
    Input input;
    SyntheticDevices devices{display};
};

TEST_F(SyntheticInput, KeysArriveByScanCodeHeldOrTappedWithinAFrame) {
    devices.PressKey(kScanP);
    devices.ReleaseKey(kScanP);  // up again before the game looked
    devices.PressKey(kScanR);
    devices.PressKey(57);  // space
    InputSnapshot in = Poll();
    EXPECT_NE(in.KeyState[kScanP], 0) << "a tap is seen in the frame after it";
    EXPECT_NE(in.KeyState[kScanR], 0);
    EXPECT_NE(in.KeyState[57], 0);
    EXPECT_EQ(in.KeyState[kScanEscape], 0);

    in = Poll();
    EXPECT_EQ(in.KeyState[kScanP], 0) << "and only then";
    EXPECT_NE(in.KeyState[kScanR], 0) << "a held key stays down";

    devices.ReleaseKey(kScanR);
    devices.ReleaseKey(57);
    in = Poll();
    EXPECT_EQ(in.KeyState[kScanR], 0);
    EXPECT_EQ(in.KeyState[57], 0);
    EXPECT_EQ(devices.Events(), 6u);
}

TEST_F(SyntheticInput, ButtonsArriveHeldTappedAndDoubleClicked) {
    devices.PressButton(0);
    devices.ReleaseButton(0);
    EXPECT_TRUE(Poll().LeftButton) << "a tap";
    EXPECT_FALSE(Poll().LeftButton);

    for (int i = 0; i < 2; ++i) {  // a double click within one frame
        devices.PressButton(0);
        devices.ReleaseButton(0);
    }
    EXPECT_TRUE(Poll().LeftButton);
    EXPECT_FALSE(Poll().LeftButton);

    devices.PressButton(0);
    EXPECT_TRUE(Poll().LeftButton) << "held";
    EXPECT_TRUE(Poll().LeftButton) << "still held";
    devices.ReleaseButton(0);
    EXPECT_FALSE(Poll().LeftButton);

    devices.PressButton(1);
    devices.ReleaseButton(1);
    const InputSnapshot in = Poll();
    EXPECT_FALSE(in.LeftButton) << "the right button is not the left";
    EXPECT_TRUE(input.MouseButton(1));
}

TEST_F(SyntheticInput, ThePointerLandsOnTablePixelsWithinTheLimits) {
    struct Case {
        int x, y;          // where the pointer goes
        int wantX, wantY;  // where the game sees it
    };
    for (const Case& c : {Case{123, 456, 123, 456}, Case{0, 0, 0, 0}, Case{800, 600, 800, 600},
                          Case{-40, -40, 0, 0}, Case{840, 640, 800, 600}, Case{799, -1, 799, 0}}) {
        devices.MovePointer(c.x, c.y);
        const InputSnapshot in = Poll();
        EXPECT_EQ(in.MouseX, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(in.MouseY, c.wantY) << c.x << "," << c.y;
    }
}

TEST(SyntheticDisplay, ALostDisplayComesBackAndEveryPictureIsReloaded) {
    Display display;
    display.DirectX(DisplayOptions{false, true});
    SyntheticDevices devices(display);
    display.DoEvents();  // the window's own first events
    int reloads = 0;
    ASSERT_TRUE(display.CheckLostSurfaces([&] { ++reloads; }));
    ASSERT_EQ(reloads, 0);

    // Given back well after the game has seen it go.
    devices.LoseDisplay(200);
    display.DoEvents();
    EXPECT_FALSE(display.ExclusiveModeActive());
    EXPECT_TRUE(display.CheckLostSurfaces([&] { ++reloads; }));
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(display.ExclusiveModeActive());
    EXPECT_EQ(devices.Events(), 0u) << "a lost display is no input";
}

}  // namespace
}  // namespace tenfold
