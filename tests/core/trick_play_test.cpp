#include <gtest/gtest.h>

#include <initializer_list>

#include "ai/classic_player.h"
#include "core/trick_play.h"
#include "support/cards.h"
#include "support/printers.h"
#include "support/scripted_services.h"
#include "support/tables.h"

namespace tenfold {
namespace {

using test::operator""_card;

// A table with the human to play: his hand in slots 0.., at their home
// places, and the cards already on the table.
TableState HumanToPlay(Contract contract, std::initializer_list<Card> hand,
                       std::initializer_list<Card> table = {}, bool heartsBroken = false) {
    TableState t = test::TableUnder(contract);
    t.trick.heartsBroken = heartsBroken;
    t.flow.state = GameState::Playing;
    t.human.waiting = true;
    test::Deal(t, kHumanSeat, hand);
    test::Lay(t, table);
    return t;
}

// Records the plays the players hear.
struct Listener : ClassicPlayer {
    std::vector<std::pair<int, Card>> heard;
    void HearPlay(const TableState& t, int seat, Card card) override {
        heard.emplace_back(seat, card);
        ClassicPlayer::HearPlay(t, seat, card);
    }
};

TEST(TrickPlay, LegalityRulesInTheirOrder) {
    struct Case {
        const char* why;
        Contract contract;
        std::initializer_list<Card> hand;
        std::initializer_list<Card> table;
        bool heartsBroken;
        Card card;
        bool legal;
    };
    using C = Contract;
    const Case cases[] = {
        {"must follow suit", C::NoTricks, {"2C"_card, "5D"_card}, {"9C"_card}, false, "5D"_card, false},
        {"following is fine", C::NoTricks, {"2C"_card, "5D"_card}, {"9C"_card}, false, "2C"_card, true},
        {"void: any discard", C::NoTricks, {"2H"_card, "5D"_card}, {"9C"_card}, false, "5D"_card, true},
        {"no heart lead before hearts break",
         C::NoHearts,
         {"2H"_card, "3C"_card},
         {},
         false,
         "2H"_card,
         false},
        {"heart lead once broken", C::NoHearts, {"2H"_card, "3C"_card}, {}, true, "2H"_card, true},
        {"only hearts left: lead one", C::NoHearts, {"2H"_card, "3H"_card}, {}, false, "2H"_card, true},
        {"no hearts, void: must discard the heart",
         C::NoHearts,
         {"2H"_card, "3D"_card},
         {"9C"_card},
         false,
         "3D"_card,
         false},
        {"no hearts, void: the heart discard",
         C::NoHearts,
         {"2H"_card, "3D"_card},
         {"9C"_card},
         false,
         "2H"_card,
         true},
        {"king of hearts, void: only the king",
         C::NoKingOfHearts,
         {"KH"_card, "3D"_card, "4H"_card},
         {"9C"_card},
         false,
         "4H"_card,
         false},
        {"king of hearts, void: the king",
         C::NoKingOfHearts,
         {"KH"_card, "3D"_card, "4H"_card},
         {"9C"_card},
         false,
         "KH"_card,
         true},
        {"king of hearts: no heart lead",
         C::NoKingOfHearts,
         {"KH"_card, "3D"_card},
         {},
         false,
         "KH"_card,
         false},
        {"queens, void: the queen", C::NoQueens, {"QS"_card, "3D"_card}, {"9C"_card}, false, "QS"_card, true},
        {"queens, void: not another card",
         C::NoQueens,
         {"QS"_card, "3D"_card},
         {"9C"_card},
         false,
         "3D"_card,
         false},
        {"queens, following: any of the suit",
         C::NoQueens,
         {"QC"_card, "3C"_card},
         {"9C"_card},
         false,
         "3C"_card,
         true},
        {"kings and jacks, void: a jack",
         C::NoKingsAndJacks,
         {"JD"_card, "KS"_card, "3D"_card},
         {"9C"_card},
         false,
         "JD"_card,
         true},
        {"kings and jacks, void: a king",
         C::NoKingsAndJacks,
         {"JD"_card, "KS"_card, "3D"_card},
         {"9C"_card},
         false,
         "KS"_card,
         true},
        {"kings and jacks, void: not a plain card",
         C::NoKingsAndJacks,
         {"JD"_card, "KS"_card, "3D"_card},
         {"9C"_card},
         false,
         "3D"_card,
         false},
        {"spades trump, void: must trump",
         C::Spades,
         {"2S"_card, "3D"_card},
         {"9C"_card},
         false,
         "3D"_card,
         false},
        {"spades trump, void: the trump",
         C::Spades,
         {"2S"_card, "3D"_card},
         {"9C"_card},
         false,
         "2S"_card,
         true},
        {"spades trump, void, no trump: any card",
         C::Spades,
         {"3D"_card, "4H"_card},
         {"9C"_card},
         false,
         "4H"_card,
         true},
        {"following beats trumping", C::Spades, {"2C"_card, "2S"_card}, {"9C"_card}, false, "2S"_card, false},
        {"no need to beat the trick",
         C::Clubs,
         {"2D"_card, "AD"_card},
         {"9D"_card, "5C"_card},
         false,
         "2D"_card,
         true},
    };
    for (const Case& c : cases) {
        const TableState t = HumanToPlay(c.contract, c.hand, c.table, c.heartsBroken);
        EXPECT_EQ(IsLegalForHuman(t, c.card), c.legal) << c.why;
    }
}

TEST(TrickPlay, ClickFallsThroughIllegalCardsToALegalOneBeneath) {
    // Clubs led. Slots 1..3 overlap at x = 271: slot 3 (diamond) lies on top of
    // slot 2 (heart), which lies on slot 1 (club), the only legal one there.
    Listener players;
    TableState t =
        HumanToPlay(Contract::NoTricks, {"5S"_card, "7C"_card, "4H"_card, "8D"_card, "6C"_card}, {"9C"_card});
    const int x = 271, y = 500;
    ASSERT_LT(t.seats[0].hand[3].x, x);
    ASSERT_GT(t.seats[0].hand[0].x + kCardWidth, 250);
    EXPECT_EQ(CardHitTest(t, players, x, y), 1);
    EXPECT_TRUE(t.human.hasPlayed);
    EXPECT_TRUE(t.human.acted);
    EXPECT_EQ(players.heard, (std::vector<std::pair<int, Card>>{{0, "7C"_card}}));
    EXPECT_EQ(CardHitTest(t, players, x, y), -1);  // one card per turn

    // A point covered only by illegal cards plays nothing and changes nothing.
    TableState u = HumanToPlay(
        Contract::NoTricks, {"7C"_card, "5S"_card, "4H"_card, "8D"_card, "2D"_card, "6C"_card}, {"9C"_card});
    EXPECT_EQ(CardHitTest(u, players, 300, 500), -1);  // slots 2, 3 and 4 only
    EXPECT_FALSE(u.human.hasPlayed);
    EXPECT_FALSE(u.human.acted);
    // The rectangle is open: its very edge is not the card.
    const CardSprite& last = u.seats[0].hand[5];
    EXPECT_EQ(CardHitTest(u, players, static_cast<int>(last.x + kCardWidth), 500), -1);
    EXPECT_EQ(CardHitTest(u, players, static_cast<int>(last.x + kCardWidth) - 1, 500), 5);
}

TEST(TrickPlay, ShowingOutIsHeardByThePlayers) {
    ClassicPlayer players;
    TableState t = HumanToPlay(Contract::NoTricks, {"5S"_card, "8D"_card}, {"9C"_card});
    EXPECT_EQ(CardHitTest(t, players, static_cast<int>(t.seats[0].hand[1].x) + 2, 500), 1);
    EXPECT_FALSE(players.Memory().MayHoldSuit(0, Suit::Clubs));
    EXPECT_TRUE(players.Memory().MayHoldSuit(0, Suit::Diamonds));
}

TEST(TrickPlay, ThrownCardLandsAndTheFourthDecidesTheTrick) {
    // Seat 3 plays the last card of a trick led by seat 0 under clubs trumps.
    TableState t = test::TableUnder(Contract::Clubs);
    test::ScriptedServices s;
    t.currentSeat = 2;
    test::Lay(t, {"5D"_card, "9D"_card, "AD"_card});
    t.trick.cardsPlayed = 3;
    t.flow.state = GameState::Playing;
    t.currentSeat = 3;
    test::Deal(t, 3, {"2C"_card, "KD"_card});
    CardSprite& ruff = t.seats[3].hand[0];
    ThrowCard(t, s, ruff);
    EXPECT_TRUE(ruff.moving);
    EXPECT_EQ(ruff.seat, 3);
    ruff.moving = false;
    CardLanded(t, s, ruff);
    EXPECT_FALSE(ruff.active);
    EXPECT_EQ(HandSize(t, 3), 1);
    EXPECT_EQ(t.trick.count, 4);
    EXPECT_EQ(t.trick.winner, 3) << "the two of trumps takes the ace of the led suit";
    EXPECT_EQ(t.trick.winnerCard, 3);
    EXPECT_EQ(t.flow.state, GameState::Waiting);
    EXPECT_EQ(t.flow.stateAfterDelay, GameState::GatheringTrick);
    EXPECT_EQ(t.flow.delayLength, 1250);
}

}  // namespace
}  // namespace tenfold
