#include <gtest/gtest.h>

#include <vector>

#include "core/contract_choice.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

TableState MenuTable(int humanTrumps, int humanNegatives, std::vector<Contract> usedTwice = {}) {
    TableState t = test::TableUnder();
    t.seats[0].trumpContractsChosen = static_cast<std::int16_t>(humanTrumps);
    t.seats[0].negativeContractsChosen = static_cast<std::int16_t>(humanNegatives);
    for (Contract c : usedTwice) t.contractUses[Index(c)] = 2;
    t.flow.state = GameState::ChoosingContract;
    t.human.waiting = true;
    t.menu.shown = true;
    OpenContractMenu(t);
    return t;
}

std::vector<int> EnabledRows(const TableState& t) {
    std::vector<int> rows;
    for (int row = 0; row < kContractCount; ++row)
        if (t.menu.rows[row].enabled) rows.push_back(row);
    return rows;
}

TEST(ContractChoice, MenuOffersWhatTheQuotasLeave) {
    using C = Contract;
    const std::vector<Contract> allNegative = {C::NoTricks,        C::NoHearts, C::NoLastTwoTricks,
                                               C::NoKingsAndJacks, C::NoQueens, C::NoKingOfHearts};
    struct Case {
        const char* why;
        int trumps;
        int negatives;
        std::vector<Contract> usedTwice;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"fresh match", 0, 0, {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"two trumps chosen", 2, 0, {}, {4, 5, 6, 7, 8, 9}},
        {"no queens used up by anyone", 2, 1, {C::NoQueens}, {4, 5, 6, 7, 9}},
        {"three negatives chosen", 1, 3, {}, {0, 1, 2, 3}},
        {"every negative used up", 0, 0, allNegative, {0, 1, 2, 3}},
        // Nothing would be left: the trump rows are offered so the deal goes on.
        {"quotas exhausted", 2, 3, {}, {0, 1, 2, 3}},
        {"trumps done, negatives used up", 2, 1, allNegative, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        const TableState t = MenuTable(c.trumps, c.negatives, c.usedTwice);
        EXPECT_EQ(EnabledRows(t), c.rows) << c.why;
    }
}

TEST(ContractChoice, EnabledRowsStackUpwardInTwoColumns) {
    // Three negatives chosen: the left column holds the four trump rows.
    const TableState opened = MenuTable(0, 3);
    EXPECT_EQ(opened.menu.rows[0].x, 100);
    EXPECT_EQ(opened.menu.rows[0].y, 420 - 60);
    EXPECT_EQ(opened.menu.rows[3].y, 420 - 60 - 3 * 42);
    // Two trumps chosen, no tricks and no hearts used up: the right column
    // holds rows 6..9 and stacks them without a gap for row 5.
    const TableState right = MenuTable(2, 0, {Contract::NoTricks, Contract::NoHearts});
    EXPECT_EQ(EnabledRows(right), (std::vector<int>{6, 7, 8, 9}));
    EXPECT_EQ(right.menu.rows[6].x, 380);
    EXPECT_EQ(right.menu.rows[6].y, 420 - 60) << "the first open row of the right column";
    EXPECT_EQ(right.menu.rows[9].y, 420 - 60 - 3 * 42);
}

TEST(ContractChoice, AClickBooksOnlyTheFirstRowItHits) {
    // (381, 362) lies in rows 0 and 1 of the left column and rows 5 and 6 of the
    // right one: rows are 46 high but 42 apart, columns 283 wide but 280 apart.
    TableState t = MenuTable(0, 0);
    EXPECT_TRUE(MenuHitTest(t, 381, 362));
    EXPECT_EQ(t.contract, Contract::NoLastTwoTricks);
    EXPECT_FALSE(t.trump.has_value());
    EXPECT_EQ(t.seats[0].negativeContractsChosen, 1);
    EXPECT_EQ(t.seats[0].trumpContractsChosen, 0);
    std::vector<int> uses;
    for (int c = 0; c < kContractCount; ++c) uses.push_back(t.contractUses[c]);
    EXPECT_EQ(uses, (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_TRUE(t.human.acted);
    EXPECT_FALSE(t.human.waiting);
    EXPECT_TRUE(t.flow.stepPhase);
    EXPECT_FALSE(t.menu.shown);

    // A trump row: the trump suit follows the row; the trump quota counts it.
    TableState u = MenuTable(0, 0);
    const MenuRow spades = u.menu.rows[Index(Contract::Spades)];
    EXPECT_TRUE(MenuHitTest(u, spades.x + 5, spades.y + 20));
    EXPECT_EQ(u.contract, Contract::Spades);
    EXPECT_EQ(u.trump, Suit::Spades);
    EXPECT_EQ(u.seats[0].trumpContractsChosen, 1);
    EXPECT_EQ(u.contractUses[Index(Contract::Spades)], 1);
}

TEST(ContractChoice, ClicksBesideTheEnabledRowsDoNothing) {
    TableState t = MenuTable(2, 0);  // the left column holds no tricks alone
    const MenuRow noTricks = t.menu.rows[Index(Contract::NoTricks)];
    EXPECT_FALSE(MenuHitTest(t, 50, 300));
    EXPECT_FALSE(MenuHitTest(t, noTricks.x + 10, noTricks.y - 30));  // where a trump row would be
    EXPECT_FALSE(MenuHitTest(t, noTricks.x, noTricks.y + 10));       // the open left edge
    EXPECT_TRUE(t.human.waiting);
    EXPECT_EQ(t.contractUses[Index(Contract::NoTricks)], 0);
    EXPECT_EQ(t.seats[0].negativeContractsChosen, 0);
}

TEST(ContractChoice, BookingCountsTrumpContractsAmongTheUses) {
    TableState t;
    BookContract(t, 1, Contract::Diamonds);
    BookContract(t, 1, Contract::NoQueens);
    EXPECT_EQ(t.seats[1].trumpContractsChosen, 1);
    EXPECT_EQ(t.seats[1].negativeContractsChosen, 1);
    EXPECT_EQ(t.contractUses[Index(Contract::Diamonds)], 1);
    EXPECT_TRUE(IsOpenTo(t, 1, Contract::NoQueens));
    BookContract(t, 2, Contract::NoQueens);
    EXPECT_FALSE(IsOpenTo(t, 3, Contract::NoQueens)) << "twice by the table closes it";
    EXPECT_THROW(BookContract(t, 1, Contract::None), std::out_of_range);
}

TEST(ContractChoice, SevenOfHeartsHolderChoosesTheFirstDealOfAMatch) {
    struct Case {
        int holder;
        int currentSeat;
    };
    for (const Case c : {Case{0, 3}, Case{1, 0}, Case{2, 1}, Case{3, 2}}) {
        SCOPED_TRACE(c.holder);
        TableState t = test::TableUnder();
        for (int seat = 0; seat < kSeatCount; ++seat) {
            test::Deal(t, seat,
                       {CardCode(static_cast<Rank>(2 + seat), Suit::Spades),
                        seat == c.holder ? "7H"_card : "8H"_card});
        }
        t.firstSeat = 2;
        t.currentSeat = 1;
        EXPECT_EQ(SevenOfHeartsHolder(t), c.holder);
        SetFirstChooser(t);
        EXPECT_EQ(t.firstSeat, c.holder);
        EXPECT_EQ(t.currentSeat, c.currentSeat);
    }
    // Later deals of the match keep the rotation.
    TableState t = test::TableUnder();
    test::Deal(t, 3, {"7H"_card});
    t.match.dealsPlayed = 1;
    t.firstSeat = 2;
    t.currentSeat = 1;
    SetFirstChooser(t);
    EXPECT_EQ(t.firstSeat, 2);
    EXPECT_EQ(t.currentSeat, 1);
}

}  // namespace
}  // namespace tenfold
