// A whole game driven headless through the real start-up, frame routine and
// drawing, with the autopilot in seat 0: at chosen moments the picture on the
// back buffer must show what the table holds.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/game_main.h"
#include "core/movement.h"
#include "present/game_screen.h"

namespace tenfold {
namespace {

// Every pixel of `picture` inside `part` that is not its colour key appears
// unchanged on the back buffer with the picture at (x, y), except under the
// mouse pointer (`pointer`, back-buffer pixels), which is drawn over everything.
::testing::AssertionResult ShownAt(const Surface& backBuffer, const Surface& picture, int x, int y,
                                   const Rect& part, const Rect& pointer) {
    int compared = 0;
    for (int py = part.top; py < part.bottom; ++py) {
        for (int px = part.left; px < part.right; ++px) {
            const std::uint16_t want = picture.Pixel(px, py);
            if (picture.HasColorKey() && want == picture.ColorKey()) continue;
            const int bx = x + px, by = y + py;
            if (bx >= pointer.left && bx < pointer.right && by >= pointer.top && by < pointer.bottom)
                continue;
            ++compared;
            const std::uint16_t got = backBuffer.Pixel(bx, by);
            if (got != want) {
                return ::testing::AssertionFailure() << "picture pixel (" << px << ", " << py << ") shows "
                                                     << got << " instead of " << want;
            }
        }
    }
    if (compared < 20) return ::testing::AssertionFailure() << "only " << compared << " pixels to compare";
    return ::testing::AssertionSuccess();
}

class HeadlessGame : public ::testing::Test {
protected:
    void SetUp() override {
        GameOptions options;
        options.seed = 7;
        options.autoplay = true;
        options.uncapped = true;
        options.programFolder = TENFOLD_BUILD_DIR;
        // The classic table, whose places these tests know; the aids draw over it.
        options.table.classicTable = true;
        game = std::make_unique<Game>(options);
        ASSERT_TRUE(game->Start());
    }
    void TearDown() override { EXPECT_EQ(game->Finish(), 0); }

    // Runs frames until `moment` holds after a frame; false when the budget ran out.
    bool RunUntil(const std::function<bool(const TableState&)>& moment, int budget) {
        for (int i = 0; i < budget; ++i) {
            if (!game->Frame()) return false;
            if (moment(game->State())) return true;
        }
        return false;
    }
    const Surface& Picture() { return game->Screen().display.backBuffer; }
    TableArt& Art() { return game->Screen().art; }
    Rect Pointer() {
        const InputDevices& in = game->Screen().input;
        return Rect{in.mouseX - 16, in.mouseY - 16, in.mouseX + 16, in.mouseY + 16};
    }

    std::unique_ptr<Game> game;
};

TEST_F(HeadlessGame, ShowsTheHandTheContractMenuAndTheScoreSheet) {
    // 1. Dealt and announced: the human's first card lies face up at its slot.
    ASSERT_TRUE(
        RunUntil([](const TableState& t) { return t.flow.state == GameState::ShowingContract; }, 20000));
    {
        const TableState& t = game->State();
        const CardSprite& first = t.seats[0].hand[0];
        ASSERT_TRUE(first.active && first.faceUp && !first.moving);
        // Drawn where its record stands, rounded; a dealt card stops within the
        // arrival tolerance of its slot.
        const int x = static_cast<int>(std::nearbyint(first.x));
        const int y = static_cast<int>(std::nearbyint(first.y));
        EXPECT_NEAR(x, first.home.x, t.layout.arriveToleranceX);
        EXPECT_NEAR(y, first.home.y, t.layout.arriveToleranceY);
        // Slot 1 covers all but the first columns.
        EXPECT_TRUE(ShownAt(Picture(), Art().cards[first.card].OneX(), x, y, Rect{0, 0, 20, 153}, Pointer()));
    }

    // 2. The human's contract menu, within the first four deals.
    bool menuSeen = false;
    int dealsEnded = 0;
    while (!menuSeen && dealsEnded < 5) {
        ASSERT_TRUE(RunUntil(
            [](const TableState& t) { return t.menu.shown || t.flow.state == GameState::DealOver; }, 20000));
        const TableState& t = game->State();
        if (t.menu.shown) {
            int rows = 0;
            for (int row = 0; row < kContractCount; ++row) {
                const MenuRow& r = t.menu.rows[row];
                if (!r.enabled) continue;
                ++rows;
                const Surface& button = Art().contracts[row].OneX();
                EXPECT_TRUE(ShownAt(Picture(), button, r.x, r.y, Rect{0, 0, button.Width(), button.Height()},
                                    Pointer()))
                    << "row " << row;
            }
            EXPECT_GT(rows, 0);
            menuSeen = true;
        } else {
            // 3. The deal's end: the score sheet with the header's ink on it.
            ++dealsEnded;
            ASSERT_TRUE(game->Frame());
            ASSERT_EQ(t.flow.state, GameState::DealOver);
            const BitmapFont& font = Art().scoreFont;
            Rect m;
            ASSERT_TRUE(font.CellRect('M' - 32, m));
            // " Me ..." at the score table's place less 65: 'M' is the second cell;
            // its last two columns lie under the next letter.
            const Point table = t.layout.scoreTable;
            EXPECT_TRUE(ShownAt(Picture(), font.Glyphs().OneX(), table.x - 65 + 17 - m.left, table.y - m.top,
                                Rect{m.left, m.top, m.right - 2, m.bottom}, Pointer()));
            ASSERT_TRUE(
                RunUntil([](const TableState& s) { return s.flow.state != GameState::DealOver; }, 1000));
        }
    }
    EXPECT_TRUE(menuSeen);
    EXPECT_GE(dealsEnded, 1) << "no deal ended before the human chose";
}

// A click or a key tap that goes down and up while a frame is drawn (the
// drawing looks at the window's messages too) reaches the next frame's input:
// only the frame's own input poll may take the taps.
TEST_F(HeadlessGame, ATapWithinOneFrameReachesTheNextFrame) {
    struct Tap {
        const char* name;
        Uint32 down, up;
        std::function<bool(const PlayerInput&)> seen;
    };
    const Tap taps[] = {
        {"left button", SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP,
         [](const PlayerInput& in) { return in.click; }},
        {"R key", SDL_KEYDOWN, SDL_KEYUP, [](const PlayerInput& in) { return in.sort; }},
    };
    GameScreen& screen = game->Screen();
    const TableState& t = game->State();
    for (const Tap& tap : taps) {
        SCOPED_TRACE(tap.name);
        // The frame's start, as the main loop runs it: window messages, then input.
        screen.display.PumpEvents();
        screen.input.Poll(screen.display);
        ASSERT_FALSE(tap.seen(screen.input.Read()));

        for (const Uint32 type : {tap.down, tap.up}) {
            SDL_Event e{};
            e.type = type;
            if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP) {
                e.button.button = SDL_BUTTON_LEFT;
                e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            } else {
                e.key.keysym.scancode = SDL_SCANCODE_R;
                e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            }
            ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
        }
        // The rest of the frame: the drawing, the pointer, the flip.
        ASSERT_TRUE(screen.BeginDrawing());
        screen.DrawTable(t, "");
        screen.FinishFrame();

        screen.display.PumpEvents();
        screen.input.Poll(screen.display);
        EXPECT_TRUE(tap.seen(screen.input.Read()));
    }
}

// The window's close box during a match asks first, as Escape does, and the
// autopilot does not answer for the player; a classic table closes at once.
TEST(CloseBox, AsksDuringAMatchAndASecondPressLeaves) {
    for (const bool classic : {false, true}) {
        SCOPED_TRACE(classic ? "classic" : "aids");
        GameOptions options;
        options.seed = 7;
        options.autoplay = true;
        options.uncapped = true;
        options.programFolder = TENFOLD_BUILD_DIR;
        options.table.classicTable = classic;
        Game game(options);
        ASSERT_TRUE(game.Start());
        for (int frame = 0; frame < 600; ++frame) ASSERT_TRUE(game.Frame());
        SDL_Event close{};
        close.type = SDL_QUIT;
        ASSERT_EQ(SDL_PushEvent(&close), 1) << SDL_GetError();
        if (classic) {
            EXPECT_FALSE(game.Frame());
        } else {
            EXPECT_TRUE(game.Frame());
            EXPECT_TRUE(game.State().aids.leaveAsked);
            const TableState asked = game.State();
            for (int frame = 0; frame < 300; ++frame) ASSERT_TRUE(game.Frame());
            EXPECT_TRUE(game.State() == asked) << "the table stood still while the question was asked";
            ASSERT_EQ(SDL_PushEvent(&close), 1) << SDL_GetError();
            EXPECT_FALSE(game.Frame());
        }
        EXPECT_EQ(game.Finish(), 0);
    }
}

}  // namespace
}  // namespace tenfold

namespace tenfold {
namespace {

// A table that drew nothing new sleeps only while it waits for the player or
// a timer, and never past the delay's end or the clock's next minute; nor
// while a press is not yet seen let go or a refused card shakes.
TEST(StillTable, SleepsOnlyWhileItWaitsForThePlayerOrATimer) {
    struct Case {
        const char* what;
        GameState state;
        bool humanWaiting;
        bool paused;
        std::uint32_t now;
        int msToMinute;
        int want;
        void (*also)(TableState&) = nullptr;
    };
    const Case cases[] = {
        {"dealing", GameState::Dealing, false, false, 0, 60000, 0},
        {"a computer seat plays", GameState::Playing, false, false, 0, 60000, 0},
        {"cards fly to the winner", GameState::CarryingTrick, true, false, 0, 60000, 0},
        {"the human's card", GameState::Playing, true, false, 0, 60000, kLongestStillWaitMs},
        {"the human's contract", GameState::ChoosingContract, true, false, 0, 60000, kLongestStillWaitMs},
        {"the score page", GameState::DealOver, false, false, 0, 60000, kLongestStillWaitMs},
        {"paused while dealing", GameState::Dealing, false, true, 0, 60000, kLongestStillWaitMs},
        {"the minute turns first", GameState::DealOver, false, false, 0, 200, 200},
        {"a delay with 351 ms left", GameState::Waiting, false, false, 1000, 60000, 351},
        {"a delay that has ended", GameState::Waiting, false, false, 2000, 60000, 0},
        // A press seen a frame late (the event after the held state) must be
        // seen let go before a sleep, or the next press is taken for it.
        {"P not yet seen let go", GameState::Playing, true, true, 0, 60000, 0,
         [](TableState& t) { t.flow.pauseKeyHeld = true; }},
        {"Escape not yet seen let go", GameState::Playing, true, false, 0, 60000, 0,
         [](TableState& t) {
             t.aids.leaveAsked = true;
             t.aids.escapeHeld = true;
         }},
        {"a click on the question not yet seen let go", GameState::Playing, true, false, 0, 60000, 0,
         [](TableState& t) {
             t.aids.leaveAsked = true;
             t.aids.clickHeld = true;
         }},
        {"a refused card shakes", GameState::Playing, true, false, 0, 60000, 0,
         [](TableState& t) { t.aids.refusalFrames = 5; }},
        {"a refused card held still by the pause", GameState::Playing, true, true, 0, 60000,
         kLongestStillWaitMs, [](TableState& t) { t.aids.refusalFrames = 5; }},
        {"a refused card held still by the last trick", GameState::Playing, true, false, 0, 60000,
         kLongestStillWaitMs,
         [](TableState& t) {
             t.aids.refusalFrames = 5;
             t.aids.lastTrickShown = true;
         }},
    };
    for (const Case& c : cases) {
        TableState t;
        t.flow.state = c.state;
        t.flow.paused = c.paused;
        t.human.waiting = c.humanWaiting;
        t.flow.delayStart = 100;
        t.flow.delayLength = 1250;  // ends at tick 1351
        if (c.also != nullptr) c.also(t);
        EXPECT_EQ(StillTableWaitMs(t, c.now, c.msToMinute), c.want) << c.what;
    }
}

}  // namespace
}  // namespace tenfold

namespace tenfold {
namespace {

// A window given a new size shows the last frame drawn anew at the new
// table scale, at once (no frame of the game needed): nothing left where the
// pictures stood at the old size.
TEST(DisplayResize, ANewWindowSizeDrawsTheLastFrameAnewAtItsScale) {
    Display d;
    d.Open(DisplayOptions{true, true});
    d.ClipToTable();
    const std::uint16_t green = Rgb565(0, 128, 0);
    d.Fill(Rect{0, 0, 800, 600}, green);
    d.Fill(Rect{100, 100, 200, 253}, 0xFFFF);
    d.Present();
    SDL_Window* window = nullptr;
    for (Uint32 id = 1; id < 64 && window == nullptr; ++id) window = SDL_GetWindowFromID(id);
    ASSERT_NE(window, nullptr);
    SDL_SetWindowSize(window, 1000, 750);
    d.PumpEvents();
    ASSERT_EQ(d.backBuffer.Width(), 1000);
    ASSERT_DOUBLE_EQ(d.Mapping().scale, 1.25);
    std::vector<std::uint32_t> shown;
    int w = 0, h = 0;
    ASSERT_TRUE(d.ReadWindow(shown, w, h));
    ASSERT_EQ(w, 1000);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool card = x >= 125 && x < 250 && y >= 125 && y < 316;
            ASSERT_EQ(shown[static_cast<std::size_t>(y) * w + x], Xrgb8888From565(card ? 0xFFFF : green))
                << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace tenfold
