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
    for (int py = part.Top; py < part.Bottom; ++py) {
        for (int px = part.Left; px < part.Right; ++px) {
            const std::uint16_t want = picture.Pixel(px, py);
            if (picture.HasColorKey() && want == picture.ColorKey()) continue;
            const int bx = x + px, by = y + py;
            if (bx >= pointer.Left && bx < pointer.Right && by >= pointer.Top && by < pointer.Bottom) continue;
            ++compared;
            const std::uint16_t got = backBuffer.Pixel(bx, by);
            if (got != want) {
                return ::testing::AssertionFailure()
                       << "picture pixel (" << px << ", " << py << ") shows " << got << " instead of " << want;
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
        options.Seed = 7;
        options.Autoplay = true;
        options.Uncapped = true;
        options.ProgramFolder = TENFOLD_BUILD_DIR;
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
    const Surface& Picture() { return game->Screen().display.BackBuffer; }
    TableArt& Art() { return game->Screen().art; }
    Rect Pointer() {
        const Input& in = game->Screen().input;
        return Rect{in.MouseX - 16, in.MouseY - 16, in.MouseX + 16, in.MouseY + 16};
    }

    std::unique_ptr<Game> game;
};

TEST_F(HeadlessGame, ShowsTheHandTheContractMenuAndTheScoreSheet) {
    // 1. Dealt and announced: the human's first card lies face up at its slot.
    ASSERT_TRUE(RunUntil([](const TableState& t) { return t.GameState == "SHOW CONTRACT"; }, 20000));
    {
        const TableState& t = game->State();
        const CardSprite& first = t.Hand0[0];
        ASSERT_TRUE(first.Active && first.FaceUp && !first.Moving);
        // Drawn where its record stands, rounded; a dealt card stops within the
        // arrival tolerance of its slot.
        const int x = static_cast<int>(std::nearbyint(first.X));
        const int y = static_cast<int>(std::nearbyint(first.Y));
        EXPECT_NEAR(x, t.Hand0X, t.ArriveToleranceX);
        EXPECT_NEAR(y, t.Hand0Y, t.ArriveToleranceY);
        // Slot 1 covers all but the first columns.
        EXPECT_TRUE(ShownAt(Picture(), Art().CardSurface[first.Code], x, y, Rect{0, 0, 20, 153}, Pointer()));
    }

    // 2. The human's contract menu, within the first four deals.
    bool menuSeen = false;
    int dealsEnded = 0;
    while (!menuSeen && dealsEnded < 5) {
        ASSERT_TRUE(RunUntil([](const TableState& t) {
            return t.ContractMenuShown || t.GameState == "END OF MATCH";
        }, 20000));
        TableState& t = game->State();
        if (t.ContractMenuShown) {
            ASSERT_TRUE(game->Frame());  // the menu rows take their places when drawn
            int rows = 0;
            for (int row = 0; row <= 9; ++row) {
                const ContractButton& b = t.ContractButtons[row];
                if (!b.Enabled) continue;
                ++rows;
                const Surface& button = Art().ContractSurface2[row];
                EXPECT_TRUE(ShownAt(Picture(), button, b.X, b.Y, Rect{0, 0, button.Width(), button.Height()},
                                    Pointer()))
                    << "row " << row;
            }
            EXPECT_GT(rows, 0);
            menuSeen = true;
        } else {
            // 3. The deal's end: the score sheet with the header's ink on it.
            ++dealsEnded;
            ASSERT_TRUE(game->Frame());
            ASSERT_EQ(t.GameState, "END OF MATCH");
            const clsDXBitmapFont& font = Art().RowFont[0];
            Rect m;
            ASSERT_TRUE(font.CellRect('M' - 32, m));
            // " Me ..." at (ScoreTableX - 65, ScoreTableY): 'M' is the second cell;
            // its last two columns lie under the next letter.
            EXPECT_TRUE(ShownAt(Picture(), font.Picture(), t.ScoreTableX - 65 + 17 - m.Left,
                                t.ScoreTableY - m.Top, Rect{m.Left, m.Top, m.Right - 2, m.Bottom}, Pointer()));
            ASSERT_TRUE(RunUntil([](const TableState& s) { return s.GameState != "END OF MATCH"; }, 1000));
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
        std::function<bool(const Input&)> seen;
    };
    const Tap taps[] = {
        {"left button", SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP,
         [](const Input& in) { return in.MouseButton(0); }},
        {"R key", SDL_KEYDOWN, SDL_KEYUP, [](const Input& in) { return in.KeyDown(19); }},
    };
    GameScreen& screen = game->Screen();
    TableState& t = game->State();
    for (const Tap& tap : taps) {
        SCOPED_TRACE(tap.name);
        // The frame's start, as the main loop runs it: window messages, then input.
        screen.display.DoEvents();
        screen.PollInput();
        ASSERT_FALSE(tap.seen(screen.input));

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
        ASSERT_TRUE(screen.BeginDrawing(t));
        screen.DrawTableLayer(t, "");
        screen.FinishFrame();

        screen.display.DoEvents();
        screen.PollInput();
        EXPECT_TRUE(tap.seen(screen.input));
    }
}

}  // namespace
}  // namespace tenfold
