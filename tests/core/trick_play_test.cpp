#include <gtest/gtest.h>

#include <initializer_list>

#include "core/cards.h"
#include "core/layout.h"
#include "core/trick_play.h"

namespace tenfold {
namespace {

// Card codes by face and suit letter (C, D, H, S).
constexpr int C(int face, char letter) {
    return 4 * (face - 1) + (letter == 'C' ? 0 : letter == 'D' ? 1 : letter == 'H' ? 2 : 3);
}

// A table with the human to play: his hand in slots 0.., at their home
// positions, and the cards already on the table.
TableState HumanToPlay(int contract, std::initializer_list<int> hand,
                       std::initializer_list<int> table = {}, bool heartsBroken = false) {
    TableState t;
    BuildCardFiles(t);
    ComputeLayout(t);
    t.Contract = static_cast<std::int16_t>(contract);
    t.TrumpSuit = contract <= 4 ? contract - 1 : kNoTrump;
    t.HeartsBroken = heartsBroken;
    t.GameState = "NORMAL PLAY";
    t.WaitingForHuman = true;
    int i = 0;
    for (int code : hand) {
        CardSprite& card = t.Hand0[i];
        card.Code = static_cast<std::int16_t>(code);
        card.Active = true;
        card.FaceUp = true;
        card.X = static_cast<float>(t.Hand0X + i * t.Hand0StepX);
        card.Y = t.Hand0Y;
        card.Width = t.CardWidth;
        card.Height = t.CardPictureHeight;
        t.HandCodes0[i] = static_cast<std::int16_t>(code);
        ++i;
    }
    t.HandSize0 = static_cast<std::int16_t>(i);
    for (int code : table) {
        t.TableCards[t.TableCount].Code = static_cast<std::int16_t>(code);
        t.TableCards[t.TableCount].Active = true;
        ++t.TableCount;
    }
    return t;
}

TEST(TrickPlay, LegalityRulesInTheirOrder) {
    struct Case {
        const char* why;
        int contract;
        std::initializer_list<int> hand;
        std::initializer_list<int> table;
        bool heartsBroken;
        int card;
        bool legal;
    };
    const Case cases[] = {
        {"must follow suit", 5, {C(2, 'C'), C(5, 'D')}, {C(9, 'C')}, false, C(5, 'D'), false},
        {"following is fine", 5, {C(2, 'C'), C(5, 'D')}, {C(9, 'C')}, false, C(2, 'C'), true},
        {"void: any discard", 5, {C(2, 'H'), C(5, 'D')}, {C(9, 'C')}, false, C(5, 'D'), true},
        {"no heart lead before hearts break", 6, {C(2, 'H'), C(3, 'C')}, {}, false, C(2, 'H'), false},
        {"heart lead once broken", 6, {C(2, 'H'), C(3, 'C')}, {}, true, C(2, 'H'), true},
        {"only hearts left: lead one", 6, {C(2, 'H'), C(3, 'H')}, {}, false, C(2, 'H'), true},
        {"no hearts, void: must discard the heart", 6, {C(2, 'H'), C(3, 'D')}, {C(9, 'C')}, false,
         C(3, 'D'), false},
        {"no hearts, void: the heart discard", 6, {C(2, 'H'), C(3, 'D')}, {C(9, 'C')}, false,
         C(2, 'H'), true},
        {"king of hearts, void: only the king", 10, {C(13, 'H'), C(3, 'D'), C(4, 'H')}, {C(9, 'C')},
         false, C(4, 'H'), false},
        {"king of hearts, void: the king", 10, {C(13, 'H'), C(3, 'D'), C(4, 'H')}, {C(9, 'C')},
         false, C(13, 'H'), true},
        {"king of hearts: no heart lead", 10, {C(13, 'H'), C(3, 'D')}, {}, false, C(13, 'H'), false},
        {"queens, void: the queen", 9, {C(12, 'S'), C(3, 'D')}, {C(9, 'C')}, false, C(12, 'S'), true},
        {"queens, void: not another card", 9, {C(12, 'S'), C(3, 'D')}, {C(9, 'C')}, false, C(3, 'D'),
         false},
        {"queens, following: any of the suit", 9, {C(12, 'C'), C(3, 'C')}, {C(9, 'C')}, false,
         C(3, 'C'), true},
        {"kings and jacks, void: a jack", 8, {C(11, 'D'), C(13, 'S'), C(3, 'D')}, {C(9, 'C')}, false,
         C(11, 'D'), true},
        {"kings and jacks, void: a king", 8, {C(11, 'D'), C(13, 'S'), C(3, 'D')}, {C(9, 'C')}, false,
         C(13, 'S'), true},
        {"kings and jacks, void: not a plain card", 8, {C(11, 'D'), C(13, 'S'), C(3, 'D')},
         {C(9, 'C')}, false, C(3, 'D'), false},
        {"spades trump, void: must trump", 3, {C(2, 'S'), C(3, 'D')}, {C(9, 'C')}, false, C(3, 'D'),
         false},
        {"spades trump, void: the trump", 3, {C(2, 'S'), C(3, 'D')}, {C(9, 'C')}, false, C(2, 'S'),
         true},
        {"spades trump, void, no trump: any card", 3, {C(3, 'D'), C(4, 'H')}, {C(9, 'C')}, false,
         C(4, 'H'), true},
        {"following beats trumping", 3, {C(2, 'C'), C(2, 'S')}, {C(9, 'C')}, false, C(2, 'S'), false},
        {"no need to beat the trick", 1, {C(2, 'D'), C(1, 'D')}, {C(9, 'D'), C(5, 'C')}, false,
         C(2, 'D'), true},
    };
    for (const Case& c : cases) {
        TableState t = HumanToPlay(c.contract, c.hand, c.table, c.heartsBroken);
        EXPECT_EQ(WouldBeLegalForHuman(t, c.card), c.legal) << c.why;
        EXPECT_EQ(IsLegalForHuman(t, c.card), c.legal) << c.why;
    }
}

TEST(TrickPlay, DiscardingAHeartBreaksHearts) {
    TableState t = HumanToPlay(6, {C(2, 'H'), C(3, 'D')}, {C(9, 'C')});
    EXPECT_TRUE(WouldBeLegalForHuman(t, C(2, 'H')));
    EXPECT_FALSE(t.HeartsBroken);  // looking changes nothing
    EXPECT_TRUE(IsLegalForHuman(t, C(2, 'H')));
    EXPECT_TRUE(t.HeartsBroken);
}

TEST(TrickPlay, ClickFallsThroughIllegalCardsToALegalOneBeneath) {
    // Clubs led. Slots 1..3 overlap at x = 271: slot 3 (diamond) lies on top of
    // slot 2 (heart), which lies on slot 1 (club), the only legal one there.
    TableState t = HumanToPlay(5, {C(5, 'S'), C(7, 'C'), C(4, 'H'), C(8, 'D'), C(6, 'C')},
                               {C(9, 'C')});
    const int x = 271, y = 500;
    ASSERT_LT(t.Hand0[3].X, x);
    ASSERT_GT(t.Hand0[0].X + t.Hand0[0].Width, 250);
    EXPECT_EQ(CardHitTest(t, x, y), 1);
    EXPECT_TRUE(t.HumanHasPlayed);
    EXPECT_TRUE(t.HumanActed);
    EXPECT_EQ(CardHitTest(t, x, y), -1);  // one card per turn

    // A point covered only by illegal cards plays nothing and changes nothing.
    TableState u = HumanToPlay(5, {C(7, 'C'), C(5, 'S'), C(4, 'H'), C(8, 'D'), C(2, 'D'), C(6, 'C')},
                               {C(9, 'C')});
    EXPECT_EQ(CardHitTest(u, 300, 500), -1);  // slots 2, 3 and 4 only
    EXPECT_FALSE(u.HumanHasPlayed);
    EXPECT_FALSE(u.HumanActed);
    // The rectangle is open: its very edge is not the card.
    EXPECT_EQ(CardHitTest(u, static_cast<int>(u.Hand0[5].X + u.Hand0[5].Width), 500), -1);
    EXPECT_EQ(CardHitTest(u, static_cast<int>(u.Hand0[5].X + u.Hand0[5].Width) - 1, 500), 5);
}

TEST(TrickPlay, ShowingOutIsRememberedForTheComputerPlayers) {
    TableState t = HumanToPlay(5, {C(5, 'S'), C(8, 'D')}, {C(9, 'C')});
    t.SeatRecords[0].MayHoldSuit.fill(true);
    EXPECT_EQ(CardHitTest(t, static_cast<int>(t.Hand0[1].X) + 2, 500), 1);
    EXPECT_FALSE(t.SeatRecords[0].MayHoldSuit[kSuitClubs]);
    EXPECT_TRUE(t.SeatRecords[0].MayHoldSuit[kSuitDiamonds]);
}

}  // namespace
}  // namespace tenfold
