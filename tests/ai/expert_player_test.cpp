#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "ai/expert_player.h"
#include "ai/headless_game.h"
#include "core/contract_choice.h"
#include "core/layout.h"
#include "core/random.h"
#include "core/trick_play.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

// A lighter effort: the tests ask for many decisions, and what they check
// does not depend on how many layouts are played.
constexpr ExpertEffort kQuick = {200, 10, 40};

// The table's own answer to "who holds what" after a random deal: seat s gets
// deck cards 13s .. 13s + 12.
std::array<std::vector<Card>, kSeatCount> RandomHands(std::uint64_t seed) {
    std::array<Card, kDeckSize> deck{};
    for (int i = 0; i < kDeckSize; ++i) deck[static_cast<std::size_t>(i)] = static_cast<Card>(i);
    Pcg32 rng(seed);
    for (int i = kDeckSize - 1; i > 0; --i)
        std::swap(deck[static_cast<std::size_t>(i)], deck[rng.NextU32() % (i + 1)]);
    std::array<std::vector<Card>, kSeatCount> hands;
    for (int i = 0; i < kDeckSize; ++i)
        hands[static_cast<std::size_t>(i / kHandSize)].push_back(deck[static_cast<std::size_t>(i)]);
    return hands;
}

void Give(TableState& t, int seat, const std::vector<Card>& cards) {
    auto& hand = t.seats[seat].hand;
    for (CardSprite& slot : hand) slot.active = false;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        hand[static_cast<int>(i)].card = cards[i];
        hand[static_cast<int>(i)].active = true;
    }
}

// Two tables that agree on everything seat 1 can see (its hand, the trick,
// the won piles, the contract) and differ in every other hand: the cards seat 1
// cannot see are dealt out again among seats 0, 2 and 3.
TEST(ExpertPlayer, ChoosesFromWhatItsSeatSeesOnly) {
    for (const Contract contract :
         {Contract::Spades, Contract::NoTricks, Contract::NoQueens, Contract::NoLastTwoTricks}) {
        SCOPED_TRACE(Number(contract));
        const auto hands = RandomHands(Number(contract));
        TableState a = test::TableUnder(contract);
        for (int s = 0; s < kSeatCount; ++s) Give(a, s, hands[static_cast<std::size_t>(s)]);
        // Seat 0 led its first card; seat 1 is to follow.
        const Card led = hands[0][0];
        std::vector<Card> rest0(hands[0].begin() + 1, hands[0].end());
        Give(a, 0, rest0);
        a.currentSeat = 0;
        test::Lay(a, {led});
        a.currentSeat = 1;
        a.trick.cardsPlayed = 1;

        std::vector<Card> hidden = rest0;
        hidden.insert(hidden.end(), hands[2].begin(), hands[2].end());
        hidden.insert(hidden.end(), hands[3].begin(), hands[3].end());
        std::reverse(hidden.begin(), hidden.end());
        TableState b = a;
        Give(b, 0, std::vector<Card>(hidden.begin(), hidden.begin() + 12));
        Give(b, 2, std::vector<Card>(hidden.begin() + 12, hidden.begin() + 25));
        Give(b, 3, std::vector<Card>(hidden.begin() + 25, hidden.end()));

        ExpertPlayer expert(7, kQuick);
        EXPECT_EQ(expert.ChooseCard(a, 1), expert.ChooseCard(b, 1));
        // Before any play, the contract too.
        TableState fa = test::TableUnder(Contract::None), fb = fa;
        for (int s = 0; s < kSeatCount; ++s) Give(fa, s, hands[static_cast<std::size_t>(s)]);
        std::vector<Card> unseen;
        for (const int s : {3, 2, 0})
            unseen.insert(unseen.end(), hands[static_cast<std::size_t>(s)].rbegin(),
                          hands[static_cast<std::size_t>(s)].rend());
        Give(fb, 1, hands[1]);
        Give(fb, 0, std::vector<Card>(unseen.begin(), unseen.begin() + 13));
        Give(fb, 2, std::vector<Card>(unseen.begin() + 13, unseen.begin() + 26));
        Give(fb, 3, std::vector<Card>(unseen.begin() + 26, unseen.end()));
        SeededRandom chance(1);
        EXPECT_EQ(expert.ChooseContract(fa, 1, chance), expert.ChooseContract(fb, 1, chance));
    }
}

// Stands between the rules and the expert at every seat: checks each answer
// against the table's rules, and replays every deal on an OpenDeal, whose
// legal cards and scores must be the table's.
class Referee : public ComputerPlayer {
public:
    explicit Referee(ExpertPlayer& expert) : expert_(expert) {}
    void DealStarted(const TableState& t) override {
        expert_.DealStarted(t);
        started_ = false;
    }
    Contract ChooseContract(const TableState& t, int seat, RandomSource& chance) override {
        const Contract c = expert_.ChooseContract(t, seat, chance);
        bool anyOpen = false;
        for (int k = 1; k <= kContractCount; ++k) anyOpen = anyOpen || IsOpenTo(t, seat, ContractNumbered(k));
        if (anyOpen) {
            EXPECT_TRUE(IsOpenTo(t, seat, c)) << "seat " << seat << " chose closed contract " << Number(c);
        } else {
            EXPECT_TRUE(IsTrumpContract(c));
        }
        ++contracts;
        return c;
    }
    Card ChooseCard(const TableState& t, int seat) override {
        const Card c = expert_.ChooseCard(t, seat);
        EXPECT_TRUE(PlayRules(t, HandCards(t, seat)).Allows(c)) << "seat " << seat << " card " << c;
        ++cards;
        return c;
    }
    void HearPlay(const TableState& t, int seat, Card card) override {
        expert_.HearPlay(t, seat, card);
        if (!started_) {
            std::array<CardSet, kSeatCount> hands{};
            for (int s = 0; s < kSeatCount; ++s) {
                const CardList h = HandCards(t, s);
                for (int i = 0; i < h.count; ++i) hands[static_cast<std::size_t>(s)] |= CardBit(h.cards[i]);
            }
            open = OpenDeal::Fresh(hands, t.contract, seat);
            started_ = true;
        }
        // The open deal's rules of play are the table's, card for card.
        const CardList hand = HandCards(t, seat);
        const PlayRules rules(t, hand);
        CardSet allowed = 0;
        for (int i = 0; i < hand.count; ++i) {
            if (rules.Allows(hand.cards[i])) allowed |= CardBit(hand.cards[i]);
        }
        EXPECT_EQ(open.toPlay, seat);
        EXPECT_EQ(open.Legal(), allowed);
        open.Play(card);
    }

    OpenDeal open;
    int contracts = 0;
    int cards = 0;

private:
    ExpertPlayer& expert_;
    bool started_ = false;
};

TEST(ExpertPlayer, PlaysOnlyLegalCardsAndKnowsTheScores) {
    HeadlessGame game(11);
    ExpertPlayer expert(ExpertSeed(11), kQuick);
    Referee referee(expert);
    game.pilot.JudgeWith(referee);
    TableState& t = game.table;
    StartRun(t, game.services, referee);
    UseFewestAnimationFrames(t);
    int deals = 0;
    std::array<bool, kContractCount> seen{};
    GameState last = t.flow.state;
    for (int frame = 0; frame < 2'000'000 && deals < 40; ++frame) {
        if (t.flow.state == GameState::Waiting)
            game.services.clock.now = std::max(game.services.clock.now, DelayEndTick(t));
        PlayerInput input;
        if (const auto click = game.pilot.Decide(t)) input = *click;
        RunFrame(t, game.services, referee, input);
        game.services.clock.Advance(1);
        if (t.flow.state == GameState::DealOver && last != GameState::DealOver) {
            ++deals;
            seen[static_cast<std::size_t>(Index(t.contract))] = true;
            ASSERT_TRUE(referee.open.over) << "deal " << deals;
            for (int s = 0; s < kSeatCount; ++s)
                EXPECT_EQ(referee.open.score[static_cast<std::size_t>(s)], t.seats[s].dealScore)
                    << "deal " << deals << " seat " << s;
        }
        last = t.flow.state;
    }
    EXPECT_EQ(deals, 40);
    EXPECT_GT(referee.contracts, 30);  // seat 0's come through the menu
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), kContractCount);
}

TEST(ExpertPlayer, SameSeedSameChoices) {
    const auto hands = RandomHands(5);
    TableState t = test::TableUnder(Contract::NoHearts);
    for (int s = 0; s < kSeatCount; ++s) Give(t, s, hands[static_cast<std::size_t>(s)]);
    t.currentSeat = 2;
    std::vector<Card> a, b;
    ExpertPlayer one(3, kQuick), again(3, kQuick);
    // A hint asked in between (the same player, the same table) changes nothing.
    for (int seat = 0; seat < kSeatCount; ++seat) {
        a.push_back(one.ChooseCard(t, seat));
        a.push_back(one.ChooseCard(t, seat));
        b.push_back(again.ChooseCard(t, seat));
        b.push_back(again.ChooseCard(t, seat));
    }
    EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace tenfold
