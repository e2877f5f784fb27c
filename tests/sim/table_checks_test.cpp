// The checks the soak test runs after every frame: quiet over whole games
// played by the rules, and each one raised by the fault it is there to see.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ai/headless_game.h"
#include "app/table_checks.h"
#include "core/cards.h"
#include "core/layout.h"
#include "core/state_machine.h"
#include "support/cards.h"

namespace tenfold {
namespace {

using test::operator""_card;

// A headless game, seat 0 played by the autopilot, every delay over at once,
// watched after every frame. Dealt in packets of 13 unless a test says otherwise.
class WatchedGame {
public:
    explicit WatchedGame(std::uint64_t seed, TableWatch::Limits limits = {})
        : game(std::make_unique<HeadlessGame>(seed)), watch(limits) {
        table().options.dealPacketSize = 13;
    }

    void Start(bool fewestFrames = false) {
        game->Start();
        if (fewestFrames) UseFewestAnimationFrames(table());
        watch.Begin(table());
    }

    // One frame with seat 0's click (none when `idle`), then the checks.
    std::optional<TableFault> Frame(bool idle = false, PlayerInput input = {}) {
        TableState& t = table();
        if (t.flow.state == GameState::Waiting)
            game->services.clock.now = std::max(game->services.clock.now, DelayEndTick(t));
        if (!idle) {
            if (auto click = game->pilot.Decide(t)) input = *click;
        }
        RunFrame(t, game->services, game->players, input);
        game->services.clock.Advance(1);
        return watch.AfterFrame(t);
    }

    // Frames until `moment` holds after one; false when a check failed first
    // (the fault is kept) or the budget ran out.
    bool RunUntil(const std::function<bool(const TableState&)>& moment, int budget = 200000) {
        for (int i = 0; i < budget; ++i) {
            fault = Frame();
            if (fault) return false;
            if (moment(table())) return true;
        }
        return false;
    }

    TableState& table() { return game->table; }

    std::unique_ptr<HeadlessGame> game;
    TableWatch watch;
    std::optional<TableFault> fault;
};

std::string Show(const std::optional<TableFault>& f) { return f ? f->check + ": " + f->detail : "no fault"; }

TEST(TableWatch, GamesPlayedByTheRulesPassEveryCheckAcrossAMatchEnd) {
    struct Variant {
        std::uint64_t seed;
        int packet;
        bool sevenOfHearts;
    };
    for (const Variant& v : {Variant{1, 1, false}, Variant{2, 13, true}}) {
        SCOPED_TRACE("seed " + std::to_string(v.seed));
        WatchedGame game(v.seed);
        game.table().options.dealPacketSize = static_cast<std::int16_t>(v.packet);
        game.table().options.sevenOfHeartsLead = v.sevenOfHearts;
        game.Start(/*fewestFrames=*/true);
        // Twenty-one deals: one whole match and the first deal of the next.
        EXPECT_TRUE(game.RunUntil([&](const TableState&) { return game.watch.DealsEnded() == 21; }))
            << Show(game.fault);
    }
}

// A table in the middle of a deal where the mutations below mean something:
// a trick under way after at least one finished trick, nothing in flight,
// and the second seat of the trick holding the suit led and another.
bool MidTrick(const TableState& t) {
    if (t.flow.state != GameState::Playing || t.trick.count != 2 || t.trick.cardsPlayed < 6 ||
        t.human.waiting)
        return false;
    const Suit led = SuitOf(t.trick.cards[0].card);
    const CardList hand = HandCards(t, t.trick.cards[1].seat);
    bool ledSuit = false, other = false;
    for (int i = 0; i < hand.count; ++i) {
        ledSuit = ledSuit || SuitOf(hand.cards[i]) == led;
        other = other || SuitOf(hand.cards[i]) != led;
    }
    return ledSuit && other && SuitOf(t.trick.cards[1].card) == led;
}

struct Mutation {
    const char* name;
    std::function<void(TableState&)> apply;
    const char* check;
    const char* says;  // part of the detail
};

CardSprite& FirstLiveCard(TableState& t, int seat) {
    for (CardSprite& card : t.seats[seat].hand)
        if (card.active) return card;
    throw std::logic_error("an empty hand");
}

TEST(TableChecks, EachFaultOfATableIsReportedByItsCheck) {
    WatchedGame game(3);
    game.Start();
    ASSERT_TRUE(game.RunUntil(MidTrick)) << Show(game.fault);
    const TableState& clean = game.table();
    ASSERT_FALSE(CheckTable(clean)) << Show(CheckTable(clean));

    const std::vector<Mutation> mutations = {
        {"duplicated card",
         [](TableState& t) {
             // Seat 1's first card becomes a card already won.
             for (const Seat& s : t.seats)
                 if (s.wonCount > 0) {
                     FirstLiveCard(t, 1).card = s.wonPile[0].card;
                     return;
                 }
         },
         "card places", "is in 2 places"},
        {"missing card",
         [](TableState& t) {
             for (Seat& s : t.seats)
                 if (s.wonCount > 0) {
                     --s.wonCount;
                     return;
                 }
         },
         "card places", "is nowhere"},
        {"seat out of turn", [](TableState& t) { std::swap(t.trick.cards[0].seat, t.trick.cards[1].seat); },
         "trick", "played after"},
        {"wrong leader",
         [](TableState& t) { t.trick.winner = static_cast<std::int16_t>(NextSeat(t.trick.cards[0].seat)); },
         "trick", "was to lead"},
        {"revoke",
         [](TableState& t) {
             // The second card swaps places with one of another suit from the same hand.
             const Suit led = SuitOf(t.trick.cards[0].card);
             for (CardSprite& card : t.seats[t.trick.cards[1].seat].hand) {
                 if (!card.active || SuitOf(card.card) == led) continue;
                 std::swap(card.card, t.trick.cards[1].card);
                 return;
             }
         },
         "trick", "though it holds that suit"},
    };
    for (const Mutation& m : mutations) {
        SCOPED_TRACE(m.name);
        auto t = std::make_unique<TableState>(clean);
        m.apply(*t);
        const auto fault = CheckTable(*t);
        ASSERT_TRUE(fault) << "not seen";
        EXPECT_EQ(fault->check, m.check) << Show(fault);
        EXPECT_NE(fault->detail.find(m.says), std::string::npos) << Show(fault);
    }
}

TEST(TableChecks, AFinishedTrickMustGoToItsHighestCard) {
    WatchedGame game(4);
    game.Start();
    ASSERT_TRUE(game.RunUntil([](const TableState& t) { return t.trick.count == 4; })) << Show(game.fault);
    auto t = std::make_unique<TableState>(game.table());
    t->trick.winner = static_cast<std::int16_t>(NextSeat(t->trick.winner));
    const auto fault = CheckTrick(*t);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->check, "trick");
    EXPECT_NE(fault->detail.find("takes it"), std::string::npos) << Show(fault);
}

TEST(TableChecks, SeatZerosCardMustBeLegalByTheRulesOfTheHumansHand) {
    struct Case {
        const char* name;
        Contract contract;
        std::optional<Card> led;  // by seat 3; none: seat 0 leads
        Card played;
        std::vector<Card> rest;  // seat 0's hand after the card
        bool heartsBroken;
        bool legal;
    };
    const std::vector<Case> cases = {
        {"follows suit", Contract::NoTricks, "5D"_card, "9D"_card, {"7S"_card}, false, true},
        {"does not follow", Contract::NoTricks, "5D"_card, "7S"_card, {"9D"_card}, false, false},
        {"trumps when void", Contract::Clubs, "5D"_card, "2C"_card, {"7S"_card}, false, true},
        {"does not trump", Contract::Clubs, "5D"_card, "7S"_card, {"2C"_card, "9H"_card}, false, false},
        {"has no trump", Contract::Clubs, "5D"_card, "7S"_card, {"9H"_card}, false, true},
        {"keeps the king of hearts",
         Contract::NoKingOfHearts,
         "5D"_card,
         "7S"_card,
         {"KH"_card},
         false,
         false},
        {"keeps a queen", Contract::NoQueens, "5D"_card, "7S"_card, {"QC"_card}, false, false},
        {"gives a queen", Contract::NoQueens, "5D"_card, "QC"_card, {"7S"_card}, false, true},
        {"keeps a jack", Contract::NoKingsAndJacks, "5D"_card, "7S"_card, {"JC"_card}, false, false},
        {"keeps a heart", Contract::NoHearts, "5D"_card, "7S"_card, {"2H"_card}, false, false},
        {"discards a heart before hearts are broken",
         Contract::NoHearts,
         "5D"_card,
         "2H"_card,
         {"7S"_card},
         false,
         true},
        {"leads a heart before hearts are broken",
         Contract::NoHearts,
         std::nullopt,
         "2H"_card,
         {"7S"_card},
         false,
         false},
        {"leads a heart once broken", Contract::NoHearts, std::nullopt, "2H"_card, {"7S"_card}, true, true},
        {"leads a heart from hearts alone",
         Contract::NoKingOfHearts,
         std::nullopt,
         "2H"_card,
         {"3H"_card},
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = std::make_unique<TableState>();
        t->contract = c.contract;
        int n = 0;
        if (c.led) {
            t->trick.cards[n].card = *c.led;
            t->trick.cards[n++].seat = kLeftSeat;
        }
        t->trick.cards[n].card = c.played;
        t->trick.cards[n++].seat = kHumanSeat;
        t->trick.count = static_cast<std::int16_t>(n);
        for (std::size_t i = 0; i < c.rest.size(); ++i) {
            t->seats[kHumanSeat].hand[static_cast<int>(i)].card = c.rest[i];
            t->seats[kHumanSeat].hand[static_cast<int>(i)].active = true;
        }
        const auto fault = CheckHumanCard(*t, c.heartsBroken);
        EXPECT_EQ(!fault, c.legal) << Show(fault);
        if (fault) {
            EXPECT_EQ(fault->check, "legal play");
        }
    }
}

TEST(TableChecks, EachFaultOfADealsEndIsReportedByItsCheck) {
    WatchedGame game(5);
    game.Start();
    // A deal played to its 52nd card, so that it can stand for any contract.
    ASSERT_TRUE(game.RunUntil([](const TableState& t) {
        return t.flow.state == GameState::DealOver && t.trick.cardsPlayed == 52;
    })) << Show(game.fault);
    const TableState& clean = game.table();
    const DealLog log = game.watch.Log();
    ASSERT_FALSE(CheckDealEnd(clean, log)) << Show(CheckDealEnd(clean, log));

    const std::vector<Mutation> mutations = {
        {"deal score",
         [](TableState& t) { t.seats[1].dealScore = static_cast<std::int16_t>(t.seats[1].dealScore + 50); },
         "deal points", "seat 1 scored"},
        {"match total",
         [](TableState& t) { t.seats[2].matchTotal = static_cast<std::int16_t>(t.seats[2].matchTotal - 50); },
         "match totals", "seat 2 totals"},
        {"history row", [](TableState& t) { t.seats[3].history[t.match.historyRows - 1] += 10; },
         "match totals", "history row"},
        {"deal count", [](TableState& t) { ++t.match.dealsPlayed; }, "match totals", "counted as"},
        {"contract booked twice", [](TableState& t) { ++t.contractUses[Index(t.contract)]; }, "contract uses",
         "booked"},
        {"result too soon", [](TableState& t) { t.match.result = MatchResult::Won; }, "match totals",
         "the match ended after"},
    };
    for (const Mutation& m : mutations) {
        SCOPED_TRACE(m.name);
        auto t = std::make_unique<TableState>(clean);
        m.apply(*t);
        const auto fault = CheckDealEnd(*t, log);
        ASSERT_TRUE(fault) << "not seen";
        EXPECT_EQ(fault->check, m.check) << Show(fault);
        EXPECT_NE(fault->detail.find(m.says), std::string::npos) << Show(fault);
    }

    // The penalty of the last two tricks belongs to the winners of the
    // eleventh and twelfth tricks as they were seen handed over.
    auto t = std::make_unique<TableState>(clean);
    t->contract = Contract::NoLastTwoTricks;
    for (Seat& s : t->seats) s.dealScore = 0;
    t->seats[log.trickWinners[10]].dealScore -= 180;
    t->seats[log.trickWinners[11]].dealScore -= 180;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        Seat& s = t->seats[seat];
        s.matchTotal =
            static_cast<std::int16_t>(log.totalsBefore[static_cast<std::size_t>(seat)] - s.dealScore);
        s.history[t->match.historyRows - 1] = static_cast<std::int16_t>(-s.dealScore);
    }
    t->contractUses.fill(0);
    t->contractUses[Index(Contract::NoLastTwoTricks)] = 1;
    EXPECT_FALSE(CheckDealEnd(*t, log)) << Show(CheckDealEnd(*t, log));
    DealLog other = log;
    other.trickWinners[11] = NextSeat(other.trickWinners[11]);
    const auto fault = CheckDealEnd(*t, other);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->check, "deal points") << Show(fault);
}

TEST(TableWatch, AGameThatStopsMovingIsAFault) {
    // Seat 0 never clicks: the deal waits for it for ever.
    WatchedGame idle(6, TableWatch::Limits{3000, 100});
    idle.Start();
    std::optional<TableFault> fault;
    for (int i = 0; i < 20000 && !fault; ++i) fault = idle.Frame(/*idle=*/true);
    ASSERT_TRUE(fault) << "no fault";
    EXPECT_EQ(fault->check, "progress") << Show(fault);

    // Paused and never resumed: the pause is the fault, not the deal.
    WatchedGame paused(6, TableWatch::Limits{3000, 100});
    paused.Start();
    PlayerInput p;
    p.pause = true;
    fault = paused.Frame(/*idle=*/true, p);
    for (int i = 0; i < 20000 && !fault; ++i) fault = paused.Frame(/*idle=*/true);
    ASSERT_TRUE(fault) << "no fault";
    EXPECT_EQ(fault->check, "pause") << Show(fault);
}

}  // namespace
}  // namespace tenfold
