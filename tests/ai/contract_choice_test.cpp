#include <gtest/gtest.h>

#include <vector>

#include "ai/classic_contract.h"
#include "ai/classic_player.h"
#include "core/contract_choice.h"
#include "support/cards.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;
using test::Hand;

TEST(ContractChoice, SuitHonourScoreRoundsTheRunningSum) {
    struct Case {
        const char* what;
        CardList hand;
        float score;
    };
    const Case cases[] = {
        {"queen, jack, nine", Hand({"QS"_card, "JS"_card, "9S"_card}), 250},
        {"lone ace: only crumbs are left for it", Hand({"AS"_card}), 0},
        {"lone king: never looked for", Hand({"KS"_card}), 0},
        {"lone queen", Hand({"QS"_card}), 100},
        {"jack and ten", Hand({"JS"_card, "10S"_card}), 100},
        {"lone nine: 12.5 to the even 12", Hand({"9S"_card}), 12},
        {"ten and eight: 25 + 12.5 = 37.5 to 38", Hand({"10S"_card, "8S"_card}), 38},
        {"other suits do not count", Hand({"QH"_card, "JC"_card, "2D"_card}), 0},
        {"a long low suit gathers the crumbs", Hand({"5S"_card, "4S"_card, "3S"_card, "2S"_card}), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SuitHonourScore(c.hand, Suit::Spades), c.score);
    }
}

TEST(ContractChoice, HandScores) {
    const CardList hand =
        Hand({"KH"_card, "AH"_card, "QH"_card, "QC"_card, "KS"_card, "JD"_card, "10D"_card, "2C"_card});
    EXPECT_EQ(HeartKingAceScore(hand), 320);
    EXPECT_EQ(QueenScore(hand), 2 * 35 + 3 * 15);  // two queens; two kings and an ace
    EXPECT_EQ(HighCardScore(hand), 6 * 30);
    EXPECT_EQ(HonourScore(hand), 100 + 100 + 100 + 0);  // H, C, D (jack 50 + ten 50), S
    EXPECT_EQ(FindCard(hand, 11, Suit::Diamonds), 5);
    EXPECT_EQ(FindCard(hand, 11, Suit::Hearts), -1);
}

// The classic players read the quotas their own way; the table's reading is
// IsOpenTo (core).
TEST(ContractChoice, TheClassicReadingOfTheQuotas) {
    struct Case {
        const char* what;
        int trumps, negatives, queensUsed;
        std::vector<int> open;
    };
    const Case cases[] = {
        {"fresh", 0, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"no queens used twice", 0, 0, 2, {1, 2, 3, 4, 5, 6, 7, 8, 10}},
        {"three negatives: hearts trumps closes, no king of hearts stays", 0, 3, 0, {1, 2, 3, 10}},
        {"two trumps: hearts trumps stays open", 2, 0, 0, {4, 5, 6, 7, 8, 9, 10}},
        {"both quotas used", 2, 3, 0, {10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t;
        t.seats[2].trumpContractsChosen = static_cast<std::int16_t>(c.trumps);
        t.seats[2].negativeContractsChosen = static_cast<std::int16_t>(c.negatives);
        t.contractUses[Index(Contract::NoQueens)] = static_cast<std::int16_t>(c.queensUsed);
        std::vector<int> open;
        for (int n = 1; n <= kContractCount; ++n) {
            if (ClassicMayChoose(t, 2, ContractNumbered(n))) open.push_back(n);
        }
        EXPECT_EQ(open, c.open);
    }
}

// Hands built to reach one rule each; the ASSERTs pin the scores they rely on.
const std::initializer_list<Card> kNoHearts = {  // H = 0, SUM 158, KJ 120, Q 65
    "QC"_card, "KS"_card, "AS"_card, "JD"_card, "2D"_card, "3D"_card, "4D"_card,
    "5D"_card, "2S"_card, "3S"_card, "4S"_card, "2C"_card, "3C"_card};
const std::initializer_list<Card> kHeartsAndSpades = {  // H = S = 200, no king or ace of hearts
    "QH"_card, "JH"_card, "QS"_card, "JS"_card, "2C"_card, "3C"_card, "4C"_card,
    "5C"_card, "2D"_card, "3D"_card, "4D"_card, "5D"_card, "6D"_card};
const std::initializer_list<Card> kSmallHeart = {  // H = 12, SUM in [136, 177), KH 160
    "KH"_card, "9H"_card, "QC"_card, "JD"_card, "2S"_card, "3S"_card, "4S"_card,
    "5S"_card, "6S"_card, "2C"_card, "3C"_card, "4C"_card, "2D"_card};
const std::initializer_list<Card> kStrong = {  // every threshold passed, KH 160
    "KH"_card, "QH"_card, "JH"_card, "QC"_card, "JC"_card, "QD"_card, "JD"_card,
    "2S"_card, "3S"_card, "4S"_card, "2C"_card, "3C"_card, "2D"_card};

TEST(ContractChoice, RulesInOrder) {
    using C = Contract;
    struct Case {
        const char* what;
        std::initializer_list<Card> hand;
        int trumps, negatives;
        std::vector<Contract> closed;  // negative contracts used twice already
        Contract contract;
    };
    const Case cases[] = {
        {"no hearts picks 6, the second pass turns it into 5", kNoHearts, 0, 0, {}, C::NoTricks},
        {"no hearts picks 6, the second pass may give 10", kNoHearts, 0, 0, {C::NoTricks}, C::NoKingOfHearts},
        {"no hearts picks 6, kept when no second rule holds",
         kNoHearts,
         0,
         0,
         {C::NoTricks, C::NoKingOfHearts},
         C::NoHearts},
        {"trump comparison: hearts first, spades must be strictly greater",
         kHeartsAndSpades,
         0,
         0,
         {},
         C::Hearts},
        {"trump comparison ignores the trump quota", kHeartsAndSpades, 2, 0, {}, C::Hearts},
        {"below 15 hearts picks 6 and no second pass follows", kSmallHeart, 0, 0, {}, C::NoHearts},
        {"three negatives: the comparison still gives hearts trumps", kHeartsAndSpades, 0, 3, {}, C::Hearts},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = test::TableUnder();
        test::Deal(t, 2, c.hand);
        t.seats[2].trumpContractsChosen = static_cast<std::int16_t>(c.trumps);
        t.seats[2].negativeContractsChosen = static_cast<std::int16_t>(c.negatives);
        for (Contract k : c.closed) t.contractUses[Index(k)] = 2;
        test::ScriptedServices s;  // a draw would read 0.0 and give clubs
        EXPECT_EQ(ChooseClassicContract(t, 2, s), c.contract);
        EXPECT_EQ(s.next, 0u) << "no rule here draws";
    }
    const CardList noHearts = Hand(kNoHearts), both = Hand(kHeartsAndSpades), small = Hand(kSmallHeart);
    ASSERT_EQ(SuitHonourScore(noHearts, Suit::Hearts), 0);
    ASSERT_GE(HonourScore(noHearts), 136);
    ASSERT_LT(HonourScore(noHearts), 177);
    ASSERT_GE(HighCardScore(noHearts), 88);
    ASSERT_GE(QueenScore(noHearts), 42);
    ASSERT_EQ(SuitHonourScore(both, Suit::Hearts), 200);
    ASSERT_EQ(SuitHonourScore(both, Suit::Spades), 200);
    ASSERT_EQ(HeartKingAceScore(both), 0);
    ASSERT_GE(HonourScore(both), 177);
    ASSERT_GE(HighCardScore(both), 88);
    ASSERT_GE(QueenScore(both), 42);
    ASSERT_EQ(SuitHonourScore(small, Suit::Hearts), 12);
    ASSERT_GE(HonourScore(small), 136);
    ASSERT_LT(HonourScore(small), 177);  // a second pass would have picked 5
    ASSERT_GE(HighCardScore(small), 74);
    ASSERT_GE(QueenScore(small), 32);
    ASSERT_NE(HeartKingAceScore(small), 0);
}

TEST(ContractChoice, TrumpComparisonPicksTheStrictlyStrongestSuit) {
    // Hearts/spades hand with a ten of spades swapped in: spades 300 beat hearts
    // 200, even for a seat whose two trump contracts are used.
    TableState t = test::TableUnder();
    t.seats[2].trumpContractsChosen = 2;
    test::Deal(t, 2,
               {"QH"_card, "JH"_card, "QS"_card, "JS"_card, "10S"_card, "2C"_card, "3C"_card, "4C"_card,
                "5C"_card, "2D"_card, "3D"_card, "4D"_card, "5D"_card});
    test::ScriptedServices s;
    EXPECT_EQ(ChooseClassicContract(t, 2, s), Contract::Spades);
    // No suit above 110 (hearts only 12): no king of hearts, even for a seat
    // that has used its three negative contracts.
    t = test::TableUnder();
    test::Deal(t, 2,
               {"9H"_card, "JC"_card, "AC"_card, "KC"_card, "JD"_card, "AD"_card, "KD"_card, "QS"_card,
                "2S"_card, "3S"_card, "2C"_card, "2D"_card, "4S"_card});
    t.seats[2].negativeContractsChosen = 3;
    EXPECT_EQ(ChooseClassicContract(t, 2, s), Contract::NoKingOfHearts);
}

TEST(ContractChoice, DrawsOnlyWhenNoRuleDecides) {
    using C = Contract;
    struct Case {
        const char* what;
        int trumps, negatives;
        std::vector<float> script;
        Contract contract;
        std::size_t draws;
    };
    const Case cases[] = {
        {"open draw", 0, 0, {0.5f}, C::NoTricks, 1},
        {"top of the range is 9, never 10", 0, 0, {0.999f}, C::NoQueens, 1},
        {"three negatives: hearts trumps is redrawn", 0, 3, {0.34f, 0.7f, 0.1f}, C::Clubs, 3},
        {"two trumps: clubs is redrawn, hearts is open", 2, 0, {0.0f, 0.34f}, C::Hearts, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TableState t = test::TableUnder();
        test::Deal(t, 3, kStrong);
        t.seats[3].trumpContractsChosen = static_cast<std::int16_t>(c.trumps);
        t.seats[3].negativeContractsChosen = static_cast<std::int16_t>(c.negatives);
        test::ScriptedServices s;
        s.script = c.script;
        EXPECT_EQ(ChooseClassicContract(t, 3, s), c.contract);
        EXPECT_EQ(s.next, c.draws);
    }
    const CardList strong = Hand(kStrong);
    ASSERT_GE(SuitHonourScore(strong, Suit::Hearts), 15);
    ASSERT_GE(HonourScore(strong), 177);
    ASSERT_GE(HighCardScore(strong), 88);
    ASSERT_GE(QueenScore(strong), 42);
    ASSERT_NE(HeartKingAceScore(strong), 0);
}

}  // namespace
}  // namespace tenfold
