#include <gtest/gtest.h>

#include "present/table_drawing.h"

namespace tenfold {
namespace {

constexpr std::uint16_t kCloth = 5;
constexpr std::uint16_t kBack = 7;
constexpr std::uint16_t CardColour(int code) { return static_cast<std::uint16_t>(1000 + code); }
constexpr std::uint16_t MenuColour(int row) { return static_cast<std::uint16_t>(2000 + row); }
constexpr std::uint16_t kAnnounced = 3000;
constexpr std::uint16_t kSheet = 9;

Surface Solid(int w, int h, std::uint16_t colour) {
    Surface s(w, h);
    s.Fill(Rect{0, 0, w, h}, colour);
    SetSurfaceTransColor(s, 2);
    return s;
}

// The table at 800 x 600 with pictures small enough to tell apart by colour:
// cards 10 x 10 in their own colours, menu buttons 20 x 10.
class TableDrawing : public ::testing::Test {
protected:
    TableDrawing() {
        d.BackBuffer = Surface(800, 600);
        d.SetClipRect();
        art.Background = Surface(800, 600);
        art.Background.Fill(Rect{0, 0, 800, 600}, kCloth);
        art.CardBack = Solid(10, 10, kBack);
        for (int i = 0; i <= 51; ++i) art.CardSurface[i] = Solid(10, 10, CardColour(i));
        for (int i = 0; i <= 9; ++i) {
            art.ContractSurface[i] = Solid(20, 10, kAnnounced);
            art.ContractSurface2[i] = Solid(20, 10, MenuColour(i));
        }
        art.ScorePage = Solid(50, 50, kSheet);
        art.LineHorz1 = Solid(30, 2, 11);
        art.LineHorz2 = Solid(30, 2, 12);
        const Surface glyphs = Solid(19 * 20, 27 * 5, 0xF81F);  // fonts without ink
        art.FontDigit.CreateFromSurface(glyphs, 19, 27, 20);
        art.FontDigit.SetTransColor(2);
        for (auto& f : art.RowFont) {
            f.CreateFromSurface(glyphs, 19, 27, 20);
            f.SetTransColor(2);
        }
        t.MenuBaseY = 420;
        t.ScorePageX = 156;
        t.ScorePageY = 4;
        t.ScoreTableX = 273;
        t.ScoreTableY = 94;
        t.ScoreRowHeight = 31;
        t.TotalsX = 273;
        t.TotalsY = 438;
        t.ResultX = 273;
        t.ResultY = 469;
        t.ClockX = 700;
        t.ClockY = 572;
        t.GameState = "NORMAL PLAY";
    }

    void Draw() {
        d.ClipBltFast(art.Background, d.BackBuffer, EmptyRect, 0, 0, false);
        DrawTable(t, d, art, "");
    }
    std::uint16_t At(int x, int y) const { return d.BackBuffer.Pixel(x, y); }

    static void Place(CardSprite& c, int code, float x, float y, bool faceUp, bool active = true) {
        c.Code = static_cast<std::int16_t>(code);
        c.X = x;
        c.Y = y;
        c.FaceUp = faceUp;
        c.Active = active;
    }

    Display d;
    TableArt art;
    TableState t;
};

TEST_F(TableDrawing, MenuStacksEnabledRowsUpwardsAndWritesTheirPlaceBack) {
    t.ContractMenuShown = true;
    for (int row : {1, 3, 5, 9}) t.ContractButtons[row].Enabled = true;
    t.ContractButtons[0].X = 11;  // disabled rows keep whatever they held
    Draw();
    const struct {
        int row, x, y;
    } expected[] = {{1, 100, 360}, {3, 100, 318}, {5, 380, 360}, {9, 380, 318}};
    for (const auto& e : expected) {
        EXPECT_EQ(t.ContractButtons[e.row].X, e.x) << e.row;
        EXPECT_EQ(t.ContractButtons[e.row].Y, e.y) << e.row;
        EXPECT_EQ(At(e.x + 1, e.y + 1), MenuColour(e.row)) << e.row;
    }
    EXPECT_EQ(t.ContractButtons[0].X, 11);
    EXPECT_EQ(At(101, 276), kCloth) << "no third button in the left column";
}

TEST_F(TableDrawing, CardsShowTheirFaceOnlyWhenActiveAndWhollyOnTheTable) {
    Place(t.Hand0[0], 4, 100, 500, true);
    Place(t.Hand0[1], 5, 120, 500, false);
    Place(t.Hand0[2], 6, 140, 500, true, false);  // played: not drawn
    Place(t.Hand1[0], 7, 790, 100, true);         // fits exactly
    Place(t.Hand1[1], 8, 791, 200, true);         // one pixel past the right edge
    Place(t.Hand2[0], 9, 300, 590.5f, true);      // rounds to 590: fits
    Place(t.Hand3[0], 10, 20, 591, true);         // one pixel past the bottom
    Draw();
    EXPECT_EQ(At(105, 505), CardColour(4));
    EXPECT_EQ(At(125, 505), kBack);
    EXPECT_EQ(At(145, 505), kCloth);
    EXPECT_EQ(At(799, 109), CardColour(7));
    EXPECT_EQ(At(795, 205), kCloth) << "a card that does not fit is not drawn at all";
    EXPECT_EQ(At(305, 599), CardColour(9));
    EXPECT_EQ(At(25, 595), kCloth);
}

TEST_F(TableDrawing, LaterLayersCoverEarlierOnes) {
    // Won pile < trick < hands (top, right, left, bottom) < announced contract.
    Place(t.WonPile2[0], 1, 400, 300, false);
    t.WonCount2 = 1;
    Place(t.TableCards[0], 2, 402, 300, true);
    t.TableCount = 1;
    Place(t.Hand2[0], 3, 404, 300, true);
    Place(t.Hand1[0], 12, 406, 300, true);
    Place(t.Hand3[0], 13, 408, 300, true);
    Place(t.Hand0[0], 14, 410, 300, true);
    Draw();
    EXPECT_EQ(At(401, 305), kBack);
    EXPECT_EQ(At(403, 305), CardColour(2));
    EXPECT_EQ(At(405, 305), CardColour(3));
    EXPECT_EQ(At(407, 305), CardColour(12));
    EXPECT_EQ(At(409, 305), CardColour(13));
    EXPECT_EQ(At(419, 305), CardColour(14));

    t.ContractAnnounced = true;
    t.Contract = 3;
    Place(t.Hand0[1], 15, 300, 255, true);
    Draw();
    EXPECT_EQ(At(301, 256), kAnnounced) << "contract picture at (294, 250) over the hands";
}

TEST_F(TableDrawing, PileShowsAtMostEightCardsWithTheNextToDealOnTop) {
    for (int i = 0; i <= 51; ++i) Place(t.Deck[i], i, 500, 100, false);
    t.Deck[8].X = 600;  // the ninth card of a full pile is not drawn
    t.Deck[0].FaceUp = true;
    t.NextDeckCard = 0;
    Draw();
    EXPECT_EQ(At(505, 105), CardColour(0));
    EXPECT_EQ(At(605, 105), kCloth);

    t.Deck[47].FaceUp = true;
    t.Deck[46].X = 600;
    t.Deck[51].Active = false;
    t.NextDeckCard = 48;
    Draw();
    EXPECT_EQ(At(505, 105), CardColour(47)) << "the card most recently taken lies on top";
    EXPECT_EQ(At(605, 105), kCloth);
}

TEST_F(TableDrawing, LastDeckCardInFlightShowsItsFaceOnlyToTheHuman) {
    Place(t.Deck[51], 51, 200, 200, false, false);
    t.Deck[51].Moving = true;
    t.NextDeckCard = 52;
    t.CurrentSeat = 1;
    Draw();
    EXPECT_EQ(At(205, 205), kBack);
    t.CurrentSeat = 0;
    Draw();
    EXPECT_EQ(At(205, 205), CardColour(51));
}

TEST_F(TableDrawing, DealEndScreenHidesEveryCard) {
    Place(t.Hand0[0], 4, 160, 10, true);
    Place(t.Hand0[1], 5, 600, 500, true);
    t.GameState = "END OF MATCH";
    Draw();
    EXPECT_EQ(At(165, 15), kSheet);
    EXPECT_EQ(At(605, 505), kCloth);
    EXPECT_EQ(At(224, 118), 11) << "first rule under the header";
    EXPECT_EQ(At(224, 431), 12) << "second rule at ScoreTableX + 157";
}

// The clock "hh:mm AM" is eight glyphs, 138 pixels: all of them must show,
// at ClockX when there is room, else ending just inside the right edge.
TEST_F(TableDrawing, ClockShowsAllEightGlyphsOnTheTable) {
    // Every cell of the digit font inked in its own colour.
    Surface sheet(19 * 20, 27 * 5);
    for (int cell = 0; cell < 100; ++cell) {
        sheet.Fill(Rect{cell % 20 * 19, cell / 20 * 27, cell % 20 * 19 + 19, cell / 20 * 27 + 27},
                   static_cast<std::uint16_t>(4000 + cell));
    }
    art.FontDigit.CreateFromSurface(sheet, 19, 27, 20);
    const std::string text = "11:59 PM";
    auto glyphColour = [](char c) { return static_cast<std::uint16_t>(4000 + c - 32); };
    for (int clockX : {700, 600}) {
        SCOPED_TRACE(clockX);
        t.ClockX = static_cast<std::int16_t>(clockX);
        d.ClipBltFast(art.Background, d.BackBuffer, EmptyRect, 0, 0, false);
        DrawTable(t, d, art, text);
        // Glyph i shows its first 17 columns from left + 17 i; the last shows all 19.
        const int left = std::min(clockX, 800 - 8 - 138);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int x = left + 17 * static_cast<int>(i);
            EXPECT_EQ(At(x, t.ClockY + 5), glyphColour(text[i])) << "glyph " << i;
            EXPECT_EQ(At(x + 16, t.ClockY + 26), glyphColour(text[i])) << "glyph " << i;
        }
        EXPECT_EQ(At(left + 7 * 17 + 18, t.ClockY), glyphColour('M'));
        EXPECT_EQ(At(left - 1, t.ClockY + 5), kCloth);
        EXPECT_EQ(At(left + 138, t.ClockY + 5), kCloth);
    }
}

}  // namespace
}  // namespace tenfold
