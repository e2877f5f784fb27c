#include <gtest/gtest.h>

#include <vector>

#include "ai/computer_players.h"
#include "ai/contract_choice_ai.h"
#include "ai_fixture.h"
#include "../core/scripted_services.h"

namespace tenfold {
namespace {

using test::Card;
using test::Hand;

TEST(ContractChoice, SuitHonourScoreRoundsTheRunningSum) {
    const TableState t = test::FreshTable();
    struct Case { const char* what; HandList hand; float score; };
    const Case cases[] = {
        {"queen, jack, nine", Hand({Card(12, 'S'), Card(11, 'S'), Card(9, 'S')}), 250},
        {"lone ace: only crumbs are left for it", Hand({Card(1, 'S')}), 0},
        {"lone king: never looked for", Hand({Card(13, 'S')}), 0},
        {"lone queen", Hand({Card(12, 'S')}), 100},
        {"jack and ten", Hand({Card(11, 'S'), Card(10, 'S')}), 100},
        {"lone nine: 12.5 to the even 12", Hand({Card(9, 'S')}), 12},
        {"ten and eight: 25 + 12.5 = 37.5 to 38", Hand({Card(10, 'S'), Card(8, 'S')}), 38},
        {"other suits do not count", Hand({Card(12, 'H'), Card(11, 'C'), Card(2, 'D')}), 0},
        {"a long low suit gathers the crumbs", Hand({Card(5, 'S'), Card(4, 'S'), Card(3, 'S'),
                                                     Card(2, 'S')}), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SuitHonourScore(t, c.hand, kSuitSpades), c.score);
    }
}

TEST(ContractChoice, HandScores) {
    const TableState t = test::FreshTable();
    const HandList hand = Hand({Card(13, 'H'), Card(1, 'H'), Card(12, 'H'), Card(12, 'C'),
                                Card(13, 'S'), Card(11, 'D'), Card(10, 'D'), Card(2, 'C')});
    EXPECT_EQ(HeartKingAceScore(t, hand), 320);
    EXPECT_EQ(QueenScore(t, hand), 2 * 35 + 3 * 15);  // two queens; two kings and an ace
    EXPECT_EQ(HighCardScore(t, hand), 6 * 30);
    EXPECT_EQ(HonourScore(t, hand), 100 + 100 + 100 + 0);  // H, C, D (jack 50 + ten 50), S
    EXPECT_EQ(FindCard(t, 11, kSuitDiamonds, hand), 5);
    EXPECT_EQ(FindCard(t, 11, kSuitHearts, hand), -1);
}

TEST(ContractChoice, AvailabilityMarks) {
    struct Case {
        const char* what;
        int trumps, negatives, queensUsed;
        std::vector<int> open;
    };
    const Case cases[] = {
        {"fresh", 0, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"no queens used twice", 0, 0, 2, {1, 2, 3, 4, 5, 6, 7, 8, 10}},
        {"three negatives: hearts trumps closes, no king of hearts stays", 0, 3, 0,
         {1, 2, 3, 10}},
        {"two trumps: hearts trumps stays open", 2, 0, 0, {4, 5, 6, 7, 8, 9, 10}},
        {"both quotas used", 2, 3, 0, {10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = test::FreshTable();
        t.SeatRecords[2].TrumpContractsChosen = static_cast<std::int16_t>(c.trumps);
        t.SeatRecords[2].NegativeContractsChosen = static_cast<std::int16_t>(c.negatives);
        t.ContractUseCount[9] = static_cast<std::int16_t>(c.queensUsed);
        const Array<bool, 12> marks = ContractMarks(t, 2);
        std::vector<int> open;
        for (int k = 0; k < 12; ++k) {
            if (marks[k]) open.push_back(k);
        }
        EXPECT_EQ(open, c.open);
    }
}

// Seat 2's thirteen cards, with the hand scores the rules compare.
struct Scores { float kh, q, h, sum, kj; };
Scores ScoresOf(const TableState& t, int seat) {
    const HandList hand = HandListOf(t, seat);
    return {HeartKingAceScore(t, hand), QueenScore(t, hand), SuitHonourScore(t, hand, kSuitHearts),
            HonourScore(t, hand), HighCardScore(t, hand)};
}

// Hands built to reach one rule each; the ASSERTs pin the scores they rely on.
const std::initializer_list<int> kNoHearts = {  // H = 0, SUM 158, KJ 120, Q 65
    Card(12, 'C'), Card(13, 'S'), Card(1, 'S'), Card(11, 'D'), Card(2, 'D'), Card(3, 'D'),
    Card(4, 'D'), Card(5, 'D'), Card(2, 'S'), Card(3, 'S'), Card(4, 'S'), Card(2, 'C'),
    Card(3, 'C')};
const std::initializer_list<int> kHeartsAndSpades = {  // H = S = 200, no king or ace of hearts
    Card(12, 'H'), Card(11, 'H'), Card(12, 'S'), Card(11, 'S'), Card(2, 'C'), Card(3, 'C'),
    Card(4, 'C'), Card(5, 'C'), Card(2, 'D'), Card(3, 'D'), Card(4, 'D'), Card(5, 'D'),
    Card(6, 'D')};
const std::initializer_list<int> kSmallHeart = {  // H = 12, SUM in [136, 177), KH 160
    Card(13, 'H'), Card(9, 'H'), Card(12, 'C'), Card(11, 'D'), Card(2, 'S'), Card(3, 'S'),
    Card(4, 'S'), Card(5, 'S'), Card(6, 'S'), Card(2, 'C'), Card(3, 'C'), Card(4, 'C'),
    Card(2, 'D')};
const std::initializer_list<int> kStrong = {  // every threshold passed, KH 160
    Card(13, 'H'), Card(12, 'H'), Card(11, 'H'), Card(12, 'C'), Card(11, 'C'), Card(12, 'D'),
    Card(11, 'D'), Card(2, 'S'), Card(3, 'S'), Card(4, 'S'), Card(2, 'C'), Card(3, 'C'),
    Card(2, 'D')};

TEST(ContractChoice, RulesInOrder) {
    struct Case {
        const char* what;
        std::initializer_list<int> hand;
        int trumps, negatives;
        std::vector<int> closed;  // negative contracts used twice already
        int contract;
    };
    const Case cases[] = {
        {"no hearts picks 6, the second pass turns it into 5", kNoHearts, 0, 0, {}, 5},
        {"no hearts picks 6, the second pass may give 10", kNoHearts, 0, 0, {5}, 10},
        {"no hearts picks 6, kept when no second rule holds", kNoHearts, 0, 0, {5, 10}, 6},
        {"trump comparison: hearts first, spades must be strictly greater", kHeartsAndSpades, 0,
         0, {}, 4},
        {"trump comparison ignores the trump quota", kHeartsAndSpades, 2, 0, {}, 4},
        {"below 15 hearts picks 6 and no second pass follows", kSmallHeart, 0, 0, {}, 6},
        {"three negatives: the comparison still gives hearts trumps", kHeartsAndSpades, 0, 3, {},
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = test::FreshTable();
        test::Deal(t, 2, c.hand);
        t.SeatRecords[2].TrumpContractsChosen = static_cast<std::int16_t>(c.trumps);
        t.SeatRecords[2].NegativeContractsChosen = static_cast<std::int16_t>(c.negatives);
        for (int k : c.closed) t.ContractUseCount[k] = 2;
        test::ScriptedServices s;  // a draw would read 0.0 and give clubs
        EXPECT_EQ(ChooseContract(t, s, 2), c.contract);
        EXPECT_EQ(s.next, 0u);  // no rule here draws
    }
    const TableState t = [] {
        TableState t = test::FreshTable();
        test::Deal(t, 2, kNoHearts);
        test::Deal(t, 1, kHeartsAndSpades);
        test::Deal(t, 3, kSmallHeart);
        return t;
    }();
    const Scores noHearts = ScoresOf(t, 2), both = ScoresOf(t, 1), small = ScoresOf(t, 3);
    ASSERT_EQ(noHearts.h, 0);
    ASSERT_GE(noHearts.sum, 136);
    ASSERT_LT(noHearts.sum, 177);
    ASSERT_GE(noHearts.kj, 88);
    ASSERT_GE(noHearts.q, 42);
    ASSERT_EQ(both.h, 200);
    ASSERT_EQ(SuitHonourScore(t, HandListOf(t, 1), kSuitSpades), 200);
    ASSERT_EQ(both.kh, 0);
    ASSERT_GE(both.sum, 177);
    ASSERT_GE(both.kj, 88);
    ASSERT_GE(both.q, 42);
    ASSERT_EQ(small.h, 12);
    ASSERT_GE(small.sum, 136);
    ASSERT_LT(small.sum, 177);  // a second pass would have picked 5
    ASSERT_GE(small.kj, 74);
    ASSERT_GE(small.q, 32);
    ASSERT_NE(small.kh, 0);
}

TEST(ContractChoice, TrumpComparisonPicksTheStrictlyStrongestSuit) {
    // Hearts/spades hand with a ten of spades swapped in: spades 300 beat hearts
    // 200, even for a seat whose two trump contracts are used.
    TableState t = test::FreshTable();
    t.SeatRecords[2].TrumpContractsChosen = 2;
    test::Deal(t, 2, {Card(12, 'H'), Card(11, 'H'), Card(12, 'S'), Card(11, 'S'), Card(10, 'S'),
                      Card(2, 'C'), Card(3, 'C'), Card(4, 'C'), Card(5, 'C'), Card(2, 'D'),
                      Card(3, 'D'), Card(4, 'D'), Card(5, 'D')});
    test::ScriptedServices s;
    EXPECT_EQ(ChooseContract(t, s, 2), 3);
    EXPECT_EQ(t.SeatRecords[2].TrumpContractsChosen, 3);
    // No suit above 110 (hearts only 12): no king of hearts, even for a seat
    // that has used its three negative contracts.
    t = test::FreshTable();
    test::Deal(t, 2, {Card(9, 'H'), Card(11, 'C'), Card(1, 'C'), Card(13, 'C'), Card(11, 'D'),
                      Card(1, 'D'), Card(13, 'D'), Card(12, 'S'), Card(2, 'S'), Card(3, 'S'),
                      Card(2, 'C'), Card(2, 'D'), Card(4, 'S')});
    t.SeatRecords[2].NegativeContractsChosen = 3;
    EXPECT_EQ(ChooseContract(t, s, 2), 10);
    EXPECT_EQ(t.SeatRecords[2].NegativeContractsChosen, 4);
    EXPECT_TRUE(t.SeatRecords[2].ContractChosen[10]);
}

TEST(ContractChoice, DrawsOnlyWhenNoRuleDecides) {
    struct Case {
        const char* what;
        int trumps, negatives;
        std::vector<float> script;
        int contract;
        std::size_t draws;
    };
    const Case cases[] = {
        {"open draw", 0, 0, {0.5f}, 5, 1},
        {"top of the range is 9, never 10", 0, 0, {0.999f}, 9, 1},
        {"three negatives: hearts trumps is redrawn", 0, 3, {0.34f, 0.7f, 0.1f}, 1, 3},
        {"two trumps: clubs is redrawn, hearts is open", 2, 0, {0.0f, 0.34f}, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = test::FreshTable();
        test::Deal(t, 3, kStrong);
        t.SeatRecords[3].TrumpContractsChosen = static_cast<std::int16_t>(c.trumps);
        t.SeatRecords[3].NegativeContractsChosen = static_cast<std::int16_t>(c.negatives);
        test::ScriptedServices s;
        s.script = c.script;
        EXPECT_EQ(ChooseContract(t, s, 3), c.contract);
        EXPECT_EQ(s.next, c.draws);
    }
    TableState t = test::FreshTable();
    test::Deal(t, 3, kStrong);
    const Scores strong = ScoresOf(t, 3);
    ASSERT_GE(strong.h, 15);
    ASSERT_GE(strong.sum, 177);
    ASSERT_GE(strong.kj, 88);
    ASSERT_GE(strong.q, 42);
    ASSERT_NE(strong.kh, 0);
}

TEST(ContractChoice, BookingAndThePureQuestion) {
    TableState t = test::FreshTable();
    test::Deal(t, 1, kNoHearts);
    test::Deal(t, 0, kHeartsAndSpades);
    const TableState before = t;
    int draws = 0;
    const auto rnd = [&draws] { ++draws; return 0.0f; };
    // The question books nothing and answers for the human's seat as well.
    EXPECT_EQ(ChooseContractFor(t, rnd, 1), 5);
    EXPECT_EQ(ChooseContractFor(t, rnd, 0), 4);
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(t.ContractUseCount, before.ContractUseCount);
    EXPECT_EQ(t.SeatRecords[1].NegativeContractsChosen, 0);

    test::ScriptedServices s;
    EXPECT_EQ(ChooseContract(t, s, 1), 5);
    EXPECT_EQ(t.SeatRecords[1].NegativeContractsChosen, 1);
    EXPECT_EQ(t.SeatRecords[1].TrumpContractsChosen, 0);
    EXPECT_TRUE(t.SeatRecords[1].ContractChosen[5]);
    EXPECT_EQ(t.ContractUseCount[5], 1);
    // Trump contracts are counted in ContractUseCount too.
    BookContract(t, 1, 2);
    EXPECT_EQ(t.SeatRecords[1].TrumpContractsChosen, 1);
    EXPECT_EQ(t.ContractUseCount[2], 1);
    EXPECT_THROW(BookContract(t, 1, 11), std::out_of_range);
}

}  // namespace
}  // namespace tenfold
