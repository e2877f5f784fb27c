// What the table aids draw, on pictures small enough to tell apart by colour.
#include <gtest/gtest.h>

#include "core/dealing.h"
#include "core/layout.h"
#include "core/table_aids.h"
#include "present/table_aids_drawing.h"
#include "present/table_drawing.h"
#include "support/cards.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

constexpr std::uint16_t kCloth = 5;
constexpr std::uint16_t CardColour(int code) { return static_cast<std::uint16_t>(1000 + code); }
constexpr std::uint16_t ContractColour(int index) { return static_cast<std::uint16_t>(2000 + index * 64); }

Surface Solid(int w, int h, std::uint16_t colour) {
    Surface s(w, h);
    s.Fill(Rect{0, 0, w, h}, colour);
    SetColorKeyMode(s, 2);
    return s;
}

class TableAidsDrawing : public ::testing::Test {
protected:
    TableAidsDrawing() {
        d.backBuffer = Surface(800, 600);
        d.ClipToTable();
        Surface cloth(800, 600);
        cloth.Fill(Rect{0, 0, 800, 600}, kCloth);
        art.background = std::move(cloth);
        art.cardBack = Solid(99, 153, 7);
        for (int i = 0; i < kDeckSize; ++i) art.cards[i] = Solid(99, 153, CardColour(i));
        for (int i = 0; i < kContractCount; ++i) art.contracts[i] = Solid(40, 10, ContractColour(i));
        art.scorePage = Solid(50, 50, 9);
        art.scoreRule = Solid(30, 2, 11);
        const Surface glyphs = Solid(19 * 20, 27 * 5, 0xF81F);  // fonts without ink
        for (BitmapFont* f : {&art.clockFont, &art.scoreFont}) {
            f->Use(glyphs, 19, 27, 20);
            f->SetColorKeyMode(2);
        }
        MakeAidPictures(art);
        t = test::TableUnder(Contract::NoTricks);
    }

    void Draw() {
        d.Draw(art.background, kWholePicture, 0, 0, false);
        DrawTable(t, d, art, "");
        d.Render();
    }
    std::uint16_t At(int x, int y) const { return d.backBuffer.Pixel(x, y); }

    Display d;
    TableArt art;
    TableState t;
};

TEST_F(TableAidsDrawing, DimmingGreysOnlyTheCardsHeMayNotPlayAndOnlyWhenChosen) {
    // Hearts led: the club may not be played, the heart may.
    t.flow.state = GameState::Playing;
    t.human.waiting = true;
    test::Deal(t, kHumanSeat, {"2C"_card, "4H"_card});
    t.seats[0].hand[0].x = 100;
    t.seats[0].hand[1].x = 400;
    test::Lay(t, {"9H"_card});
    struct Case {
        bool classic, dim;
        bool clubGreyed;
    };
    for (const Case c : {Case{false, true, true}, Case{false, false, false}, Case{true, true, false}}) {
        SCOPED_TRACE(testing::Message() << "classic " << c.classic << ", dim " << c.dim);
        t.options.classicTable = c.classic;
        t.options.dimUnplayable = c.dim;
        Draw();
        EXPECT_EQ(At(150, 500) != CardColour("2C"_card), c.clubGreyed);
        EXPECT_EQ(At(450, 500), CardColour("4H"_card));
    }
}

TEST_F(TableAidsDrawing, TheSheetAfterTheLastDealListsAllTwentyDealsInOrder) {
    t.flow.state = GameState::DealOver;
    t.match.over = true;
    t.match.dealsPlayed = kDealsPerMatch;
    t.match.historyRows = kHistoryRows;
    for (int deal = 0; deal < kDealsPerMatch; ++deal)
        t.match.log[deal].contract = ContractNumbered(deal % 10 + 1);
    Draw();
    // Down the column of the rows' contract pictures: twenty pictures, in the
    // deals' order, each apart from the next.
    std::vector<std::uint16_t> seen;
    std::uint16_t previous = kCloth;
    for (int y = 0; y < 600; ++y) {
        const std::uint16_t p = At(260, y);
        if (p != previous && p >= ContractColour(0) && p <= ContractColour(kContractCount - 1))
            seen.push_back(p);
        previous = p;
    }
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kDealsPerMatch));
    for (int deal = 0; deal < kDealsPerMatch; ++deal)
        EXPECT_EQ(seen[deal], ContractColour(deal % 10)) << deal;
}

TEST_F(TableAidsDrawing, TheWholeMatchSheetCoversThePagesOwnRulesButKeepsItsMargin) {
    // A page ruled every 31 rows, wider apart than the sheet's rows, with a
    // red margin down its left.
    constexpr std::uint16_t kPaper = Rgb565(250, 246, 232), kRule = Rgb565(150, 180, 230);
    constexpr std::uint16_t kMargin = Rgb565(230, 40, 40);
    constexpr int kPageW = 488, kPageH = 560, kMarginX = 44;
    Surface page(kPageW, kPageH);
    page.Fill(Rect{0, 0, kPageW, kPageH}, kPaper);
    for (int y = 100; y < 500; y += 31) page.Fill(Rect{0, y, kPageW, y + 1}, kRule);
    page.Fill(Rect{kMarginX, 0, kMarginX + 2, kPageH}, kMargin);
    art.scorePage = std::move(page);
    t.flow.state = GameState::DealOver;
    t.match.historyRows = 1;
    t.match.dealsPlayed = 1;
    t.layout.scorePage = Point{156, 4};  // where the table of 800 x 600 lays it
    const Point at = t.layout.scorePage;
    const auto rulePixels = [&] {
        int n = 0;
        for (int y = 0; y < kPageH; ++y)
            for (int x = 0; x < kPageW; ++x) n += At(at.x + x, at.y + y) == kRule ? 1 : 0;
        return n;
    };
    Draw();
    EXPECT_GT(rulePixels(), 0) << "the sheet of one deal keeps the page as it is";

    t.match.over = true;
    t.match.dealsPlayed = kDealsPerMatch;
    t.match.historyRows = kHistoryRows;
    Draw();
    EXPECT_EQ(rulePixels(), 0);
    // The margin runs on (under the sheet's own rules where they cross it).
    for (int y = 0; y < kPageH; ++y) {
        const std::uint16_t p = At(at.x + kMarginX, at.y + y);
        ASSERT_TRUE(p != kPaper && p != kRule) << "margin lost at row " << y;
    }
}

TEST_F(TableAidsDrawing, EveryContractsNameStaysInsideTheBadge) {
    // Fonts with ink, so the text shows where it lands.
    constexpr std::uint16_t kInk = 13;
    const Surface inked = Solid(19 * 20, 27 * 5, kInk);
    art.scoreFont.Use(inked, 19, 27, 20);
    MakeAidPictures(art);
    t.flow.state = GameState::Playing;
    for (int i = 0; i < kContractCount; ++i) {
        t.contract = ContractNumbered(i + 1);
        SCOPED_TRACE(ContractName(t.contract));
        Draw();
        // The badge's paper, along its top, just inside its edge.
        const std::uint16_t paper = At(210, 6);
        int left = 210, right = 210;
        while (left > 0 && At(left - 1, 6) == paper) --left;
        while (right < 799 && At(right + 1, 6) == paper) ++right;
        // Text inside the paper, with paper at both ends of its rows.
        int inkRows = 0, outside = 0;
        for (int y = 0; y < 150; ++y) {
            bool inked = false;
            for (int x = 0; x < 420; ++x) {
                if (At(x, y) != kInk) continue;
                inked = true;
                if (x <= left || x >= right || At(left, y) != paper || At(right, y) != paper) ++outside;
            }
            inkRows += inked ? 1 : 0;
        }
        EXPECT_EQ(outside, 0) << "text pixels off the badge's paper";
        EXPECT_GT(inkRows, 0) << "no text drawn";
    }
}

TEST_F(TableAidsDrawing, WhileTheTopSeatDealsTheBadgeMovesOffItsPile) {
    // The undealt pile stands beside the dealer's hand; the top seat's lies
    // where the badge stands, and the badge must not hide under it.
    const auto dealFrom = [this](int dealer) {
        t.flow.state = GameState::Dealing;
        t.contract = Contract::None;
        for (Seat& seat : t.seats) {
            seat.wonCount = 0;
            for (CardSprite& card : seat.hand) card.active = false;
        }
        t.deck.nextCard = 20;
        t.deck.pile = t.seats[dealer].pileSpot;
        LayOutDeckPile(t);
        Draw();
    };
    // Another seat deals: the badge keeps its place, left of the top hand.
    dealFrom(kHumanSeat);
    const std::uint16_t paper = At(170, 10);
    ASSERT_NE(paper, kCloth);
    EXPECT_EQ(At(10, 10), kCloth);
    dealFrom(kLeftSeat);
    EXPECT_EQ(At(170, 10), paper);
    // The top seat deals: the badge stands at the table's left edge instead.
    dealFrom(kTopSeat);
    EXPECT_EQ(At(10, 10), paper);
    EXPECT_NE(At(170, 10), paper);
}

TEST_F(TableAidsDrawing, TheMenusKeyboardFrameKeepsOffTheNextRowAndColumn) {
    t.flow.state = GameState::ChoosingContract;
    t.human.waiting = true;
    t.menu.shown = true;
    // Rows as the menu lays them out, 42 pixels apart and the columns at 100
    // and 380; the pictures 268 x 38, smaller than the rows' click areas.
    for (int i = 0; i < kContractCount; ++i) art.contracts[i] = Solid(268, 38, ContractColour(i));
    t.menu.rows[0] = MenuRow{100, 193, true};
    t.menu.rows[1] = MenuRow{100, 235, true};
    t.menu.rows[5] = MenuRow{380, 193, true};
    t.aids.menuFocus = 0;
    Draw();
    EXPECT_NE(At(99, 210), ContractColour(0)) << "the frame shows left of the focused row";
    // The rows beside it keep every pixel of their pictures.
    const auto covered = [this](int left, int top, int colour) {
        int n = 0;
        for (int y = top; y < top + 38; ++y)
            for (int x = left; x < left + 268; ++x) n += At(x, y) != ContractColour(colour) ? 1 : 0;
        return n;
    };
    EXPECT_EQ(covered(100, 235, 1), 0) << "pixels of the row below";
    EXPECT_EQ(covered(380, 193, 5), 0) << "pixels of the row right of it";
}

}  // namespace
}  // namespace tenfold
