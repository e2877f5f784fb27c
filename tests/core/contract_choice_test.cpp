#include <gtest/gtest.h>

#include <vector>

#include "core/cards.h"
#include "core/contract_choice.h"
#include "core/layout.h"

namespace tenfold {
namespace {

TableState MenuTable(int humanTrumps, int humanNegatives, std::vector<int> usedTwice = {}) {
    TableState t;
    BuildCardFiles(t);
    ComputeLayout(t);
    for (int row = 0; row <= 9; ++row) {
        t.ContractButtons[row].Width = 283;
        t.ContractButtons[row].Height = 46;
    }
    t.SeatRecords[0].TrumpContractsChosen = static_cast<std::int16_t>(humanTrumps);
    t.SeatRecords[0].NegativeContractsChosen = static_cast<std::int16_t>(humanNegatives);
    for (int contract : usedTwice) t.ContractUseCount[contract] = 2;
    t.GameState = "SELECT TRUMPS";
    t.WaitingForHuman = true;
    t.ContractMenuShown = true;
    MenuAvailability(t);
    return t;
}

std::vector<int> EnabledRows(const TableState& t) {
    std::vector<int> rows;
    for (int row = 0; row <= 9; ++row)
        if (t.ContractButtons[row].Enabled) rows.push_back(row);
    return rows;
}

TEST(ContractChoice, MenuOffersWhatTheQuotasLeave) {
    struct Case { const char* why; int trumps; int negatives; std::vector<int> usedTwice; std::vector<int> rows; };
    const Case cases[] = {
        {"fresh match", 0, 0, {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"two trumps chosen", 2, 0, {}, {4, 5, 6, 7, 8, 9}},
        {"no queens used up by anyone", 2, 1, {9}, {4, 5, 6, 7, 9}},
        {"three negatives chosen", 1, 3, {}, {0, 1, 2, 3}},
        {"every negative used up", 0, 0, {5, 6, 7, 8, 9, 10}, {0, 1, 2, 3}},
        // Nothing would be left: the trump rows are offered so the deal goes on.
        {"quotas exhausted", 2, 3, {}, {0, 1, 2, 3}},
        {"trumps done, negatives used up", 2, 1, {5, 6, 7, 8, 9, 10}, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        const TableState t = MenuTable(c.trumps, c.negatives, c.usedTwice);
        EXPECT_EQ(EnabledRows(t), c.rows) << c.why;
    }
}

TEST(ContractChoice, EnabledRowsStackUpwardInTwoColumns) {
    TableState t = MenuTable(0, 0);
    for (int row : {0, 2, 4, 5, 6, 7, 8}) t.ContractButtons[row].Enabled = false;
    LayOutContractMenu(t);
    EXPECT_EQ(t.ContractButtons[1].X, 100);
    EXPECT_EQ(t.ContractButtons[1].Y, 420 - 60);
    EXPECT_EQ(t.ContractButtons[3].Y, 420 - 102);
    EXPECT_EQ(t.ContractButtons[9].X, 380);
    EXPECT_EQ(t.ContractButtons[9].Y, 420 - 60);
}

TEST(ContractChoice, AClickBooksOnlyTheFirstRowItHits) {
    // (381, 362) lies in rows 0 and 1 of the left column and rows 5 and 6 of the
    // right one: rows are 46 high but 42 apart, columns 283 wide but 280 apart.
    TableState t = MenuTable(0, 0);
    EXPECT_TRUE(MenuHitTest(t, 381, 362));
    EXPECT_EQ(t.Contract, 7);
    EXPECT_EQ(t.TrumpSuit, kNoTrump);
    EXPECT_EQ(t.SeatRecords[0].NegativeContractsChosen, 1);
    EXPECT_EQ(t.SeatRecords[0].TrumpContractsChosen, 0);
    std::vector<int> uses;
    for (int c = 1; c <= 10; ++c) uses.push_back(t.ContractUseCount[c]);
    EXPECT_EQ(uses, (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_TRUE(t.HumanActed);
    EXPECT_FALSE(t.WaitingForHuman);
    EXPECT_TRUE(t.StepPhase);
    EXPECT_FALSE(t.ContractMenuShown);

    // A trump row: the trump suit follows the row; the trump quota counts it.
    TableState u = MenuTable(0, 0);
    const ContractButton spades = u.ContractButtons[2];
    EXPECT_TRUE(MenuHitTest(u, spades.X + 5, spades.Y + 20));
    EXPECT_EQ(u.Contract, 3);
    EXPECT_EQ(u.TrumpSuit, kSuitSpades);
    EXPECT_EQ(u.SeatRecords[0].TrumpContractsChosen, 1);
    EXPECT_EQ(u.ContractUseCount[3], 1);
}

TEST(ContractChoice, ClicksBesideTheEnabledRowsDoNothing) {
    TableState t = MenuTable(2, 0);  // left column holds row 4 alone
    const ContractButton noTricks = t.ContractButtons[4];
    EXPECT_FALSE(MenuHitTest(t, 50, 300));
    EXPECT_FALSE(MenuHitTest(t, noTricks.X + 10, noTricks.Y - 30));  // where row 3 would be
    EXPECT_FALSE(MenuHitTest(t, noTricks.X, noTricks.Y + 10));       // the open left edge
    EXPECT_TRUE(t.WaitingForHuman);
    EXPECT_EQ(t.ContractUseCount[5], 0);
    EXPECT_EQ(t.SeatRecords[0].NegativeContractsChosen, 0);
}

}  // namespace
}  // namespace tenfold
