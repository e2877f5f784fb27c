#include <gtest/gtest.h>

#include "core/contract_choice.h"
#include "core/layout.h"
#include "present/table_drawing.h"
#include "support/cards.h"
#include "support/tables.h"

namespace tenfold {
namespace {

constexpr std::uint16_t kCloth = 5;
constexpr std::uint16_t kBack = 7;
constexpr std::uint16_t CardColour(int code) { return static_cast<std::uint16_t>(1000 + code); }
constexpr std::uint16_t ContractColour(int index) { return static_cast<std::uint16_t>(2000 + index); }
constexpr std::uint16_t kSheet = 9;
constexpr std::uint16_t kRule = 11;

Surface Solid(int w, int h, std::uint16_t colour) {
    Surface s(w, h);
    s.Fill(Rect{0, 0, w, h}, colour);
    SetColorKeyMode(s, 2);
    return s;
}

// The table at 800 x 600 with pictures small enough to tell apart by colour:
// cards 10 x 10 in their own colours, contract pictures 20 x 10.
class TableDrawing : public ::testing::Test {
protected:
    TableDrawing() {
        d.backBuffer = Surface(800, 600);
        d.ClipToTable();
        Surface cloth(800, 600);
        cloth.Fill(Rect{0, 0, 800, 600}, kCloth);
        art.background = std::move(cloth);
        art.cardBack = Solid(10, 10, kBack);
        for (int i = 0; i < kDeckSize; ++i) art.cards[i] = Solid(10, 10, CardColour(i));
        for (int i = 0; i < kContractCount; ++i) art.contracts[i] = Solid(20, 10, ContractColour(i));
        art.scorePage = Solid(50, 50, kSheet);
        art.scoreRule = Solid(30, 2, kRule);
        const Surface glyphs = Solid(19 * 20, 27 * 5, 0xF81F);  // fonts without ink
        art.clockFont.Use(glyphs, 19, 27, 20);
        art.clockFont.SetColorKeyMode(2);
        art.scoreFont.Use(glyphs, 19, 27, 20);
        art.scoreFont.SetColorKeyMode(2);
        ComputeLayout(t);
        t.flow.state = GameState::Playing;
        t.options.classicTable = true;  // the aids draw over it; they have their own tests
    }

    void Draw(std::string_view clock = "") {
        d.Draw(art.background, kWholePicture, 0, 0, false);
        DrawTable(t, d, art, clock);
        d.Render();
    }
    std::uint16_t At(int x, int y) const { return d.backBuffer.Pixel(x, y); }

    static void Place(CardSprite& c, int code, float x, float y, bool faceUp, bool active = true) {
        c.card = static_cast<Card>(code);
        c.x = x;
        c.y = y;
        c.faceUp = faceUp;
        c.active = active;
    }

    Display d;
    TableArt art;
    TableState t;
};

TEST_F(TableDrawing, MenuRowsAreDrawnWhereTheRulesLaidThemOut) {
    t.seats[0].trumpContractsChosen = 2;  // the trump rows stay closed
    t.menu.shown = true;
    OpenContractMenu(t);
    const TableState before = t;
    Draw();
    for (int row = 0; row < kContractCount; ++row) {
        const MenuRow& r = t.menu.rows[row];
        if (!r.enabled) continue;
        EXPECT_EQ(At(r.x + 1, r.y + 1), ContractColour(row)) << row;
    }
    EXPECT_EQ(At(101, 276), kCloth) << "no trump rows in the left column";
    for (int row = 0; row < kContractCount; ++row) {
        EXPECT_EQ(t.menu.rows[row].x, before.menu.rows[row].x);
        EXPECT_EQ(t.menu.rows[row].y, before.menu.rows[row].y);
    }
}

TEST_F(TableDrawing, CardsShowTheirFaceOnlyWhenActiveAndWhollyOnTheTable) {
    Place(t.seats[0].hand[0], 4, 100, 500, true);
    Place(t.seats[0].hand[1], 5, 120, 500, false);
    Place(t.seats[0].hand[2], 6, 140, 500, true, false);  // played: not drawn
    Place(t.seats[1].hand[0], 7, 790, 100, true);         // fits exactly
    Place(t.seats[1].hand[1], 8, 791, 200, true);         // one pixel past the right edge
    Place(t.seats[2].hand[0], 9, 300, 590.5f, true);      // rounds to 590: fits
    Place(t.seats[3].hand[0], 10, 20, 591, true);         // one pixel past the bottom
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
    Place(t.seats[2].wonPile[0], 1, 400, 300, false);
    t.seats[2].wonCount = 1;
    Place(t.trick.cards[0], 2, 402, 300, true);
    t.trick.count = 1;
    Place(t.seats[2].hand[0], 3, 404, 300, true);
    Place(t.seats[1].hand[0], 12, 406, 300, true);
    Place(t.seats[3].hand[0], 13, 408, 300, true);
    Place(t.seats[0].hand[0], 14, 410, 300, true);
    Draw();
    EXPECT_EQ(At(401, 305), kBack);
    EXPECT_EQ(At(403, 305), CardColour(2));
    EXPECT_EQ(At(405, 305), CardColour(3));
    EXPECT_EQ(At(407, 305), CardColour(12));
    EXPECT_EQ(At(409, 305), CardColour(13));
    EXPECT_EQ(At(419, 305), CardColour(14));

    t.contractAnnounced = true;
    t.contract = Contract::Spades;
    Place(t.seats[0].hand[1], 15, 300, 255, true);
    Draw();
    EXPECT_EQ(At(301, 256), ContractColour(Index(Contract::Spades)))
        << "the contract at (294, 250) over the hands";
}

TEST_F(TableDrawing, PileShowsAtMostEightCardsWithTheNextToDealOnTop) {
    for (int i = 0; i < kDeckSize; ++i) Place(t.deck.cards[i], i, 500, 100, false);
    t.deck.cards[8].x = 600;  // the ninth card of a full pile is not drawn
    t.deck.cards[0].faceUp = true;
    t.deck.nextCard = 0;
    Draw();
    EXPECT_EQ(At(505, 105), CardColour(0));
    EXPECT_EQ(At(605, 105), kCloth);

    t.deck.cards[47].faceUp = true;
    t.deck.cards[46].x = 600;
    t.deck.cards[51].active = false;
    t.deck.nextCard = 48;
    Draw();
    EXPECT_EQ(At(505, 105), CardColour(47)) << "the card most recently taken lies on top";
    EXPECT_EQ(At(605, 105), kCloth);
}

TEST_F(TableDrawing, LastDeckCardInFlightShowsItsFaceOnlyToTheHuman) {
    Place(t.deck.cards[51], 51, 200, 200, false, false);
    t.deck.cards[51].moving = true;
    t.deck.nextCard = 52;
    t.currentSeat = 1;
    Draw();
    EXPECT_EQ(At(205, 205), kBack);
    t.currentSeat = 0;
    Draw();
    EXPECT_EQ(At(205, 205), CardColour(51));
}

TEST_F(TableDrawing, ScorePageHidesEveryCard) {
    Place(t.seats[0].hand[0], 4, 160, 10, true);
    Place(t.seats[0].hand[1], 5, 600, 500, true);
    t.flow.state = GameState::DealOver;
    Draw();
    EXPECT_EQ(At(165, 15), kSheet);
    EXPECT_EQ(At(605, 505), kCloth);
    EXPECT_EQ(At(224, 118), kRule) << "first rule under the header";
    EXPECT_EQ(At(224, 431), kRule) << "second rule at the table's x + 157";
}

// The clock "hh:mm AM" is eight glyphs, 138 pixels: all of them must show,
// at its place when there is room, else ending just inside the right edge.
TEST_F(TableDrawing, ClockShowsAllEightGlyphsOnTheTable) {
    // Every cell of the digit font inked in its own colour.
    Surface sheet(19 * 20, 27 * 5);
    for (int cell = 0; cell < 100; ++cell) {
        sheet.Fill(Rect{cell % 20 * 19, cell / 20 * 27, cell % 20 * 19 + 19, cell / 20 * 27 + 27},
                   static_cast<std::uint16_t>(4000 + cell));
    }
    art.clockFont.Use(sheet, 19, 27, 20);
    const std::string text = "11:59 PM";
    auto glyphColour = [](char c) { return static_cast<std::uint16_t>(4000 + c - 32); };
    for (int clockX : {700, 600}) {
        SCOPED_TRACE(clockX);
        t.layout.clock.x = static_cast<std::int16_t>(clockX);
        Draw(text);
        // Glyph i shows its first 17 columns from left + 17 i; the last shows all 19.
        const int left = std::min(clockX, 800 - 8 - 138);
        const int y = t.layout.clock.y;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int x = left + 17 * static_cast<int>(i);
            EXPECT_EQ(At(x, y + 5), glyphColour(text[i])) << "glyph " << i;
            EXPECT_EQ(At(x + 16, y + 26), glyphColour(text[i])) << "glyph " << i;
        }
        EXPECT_EQ(At(left + 7 * 17 + 18, y), glyphColour('M'));
        EXPECT_EQ(At(left - 1, y + 5), kCloth);
        EXPECT_EQ(At(left + 138, y + 5), kCloth);
    }
}

// The hint: the card lifted out of the hand and framed (kCardWidth x
// kCardHeight, whatever its picture's size), the menu row framed; nothing for
// a card the hand does not hold, a row the menu does not offer, or the score page.
TEST_F(TableDrawing, HintLiftsTheCardOrFramesTheRowAndNothingElse) {
    constexpr std::uint16_t kYellow = 0xFFE0;
    // One frame: the table, then the hint over it.
    const auto drawWithHint = [this](const TableHint& hint) {
        d.Draw(art.background, kWholePicture, 0, 0, false);
        DrawTable(t, d, art, "");
        DrawHint(t, d, art, hint);
        d.Render();
    };
    Place(t.seats[0].hand[0], 4, 100, 500, true);
    Place(t.seats[0].hand[1], 5, 120, 500, true);
    drawWithHint(TableHint{false, 4});
    EXPECT_EQ(At(100, 500 - 28), CardColour(4));    // lifted 28 pixels
    EXPECT_EQ(At(99, 500 - 28), kYellow);           // the frame's left side
    EXPECT_EQ(At(100 + kCardWidth, 480), kYellow);  // and its right side
    EXPECT_EQ(At(120, 500), CardColour(5));         // the other card stays

    Draw();
    const Surface before = d.backBuffer;
    drawWithHint(TableHint{false, 6});  // not in the hand
    EXPECT_TRUE(d.backBuffer.Pixels() == before.Pixels());
    drawWithHint(TableHint{true, 3});  // the menu is not open
    EXPECT_TRUE(d.backBuffer.Pixels() == before.Pixels());

    t.menu.shown = true;
    OpenContractMenu(t);
    t.menu.rows[2].enabled = false;
    Draw();
    const Surface menu = d.backBuffer;
    drawWithHint(TableHint{true, 3});  // row 3 is not offered
    EXPECT_TRUE(d.backBuffer.Pixels() == menu.Pixels());
    drawWithHint(TableHint{true, 2});
    const MenuRow& r = t.menu.rows[1];
    EXPECT_EQ(At(r.x - 1, r.y + 5), kYellow);
    EXPECT_EQ(At(r.x + 1, r.y + 1), ContractColour(1));  // the row itself shows through

    t.flow.state = GameState::DealOver;
    Draw();
    const Surface page = d.backBuffer;
    drawWithHint(TableHint{true, 2});
    EXPECT_TRUE(d.backBuffer.Pixels() == page.Pixels());
}

}  // namespace
}  // namespace tenfold
