// The checks the soak test runs after every frame: quiet over whole games
// played by the rules, and each one raised by the fault it is there to see.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/autopilot.h"
#include "app/table_checks.h"
#include "core/cards.h"
#include "core/layout.h"
#include "core/random.h"
#include "core/state_machine.h"

namespace tenfold {
namespace {

// A headless game, seat 0 played by the autopilot, every delay over at once,
// watched after every frame.
class WatchedGame {
public:
    explicit WatchedGame(std::uint64_t seed, TableWatch::Limits limits = {})
        : table(std::make_unique<TableState>()), services(seed), pilot(seed), watch(limits) {}

    void Start(bool fewestFrames = false) {
        StartHeadlessGame(*table, services);
        if (fewestFrames) UseFewestAnimationFrames(*table);
        watch.Begin(*table);
    }

    // One frame with seat 0's click (none when `idle`), then the checks.
    std::optional<TableFault> Frame(bool idle = false, InputSnapshot input = {}) {
        TableState& t = *table;
        if (t.GameState == "PAUSED") services.clock.now = std::max(services.clock.now, DelayEndTick(t));
        if (!idle) {
            if (t.GameState == "END OF MATCH") {
                input.LeftButton = true;
            } else if (auto click = pilot.Decide(t)) {
                input = *click;
            }
        }
        RunFrame(t, services, input);
        services.clock.Advance(1);
        return watch.AfterFrame(t);
    }

    // Frames until `moment` holds after one; false when a check failed first
    // (the fault is kept) or the budget ran out.
    bool RunUntil(const std::function<bool(const TableState&)>& moment, int budget = 200000) {
        for (int i = 0; i < budget; ++i) {
            fault = Frame();
            if (fault) return false;
            if (moment(*table)) return true;
        }
        return false;
    }

    std::unique_ptr<TableState> table;
    HeadlessServices services;
    Autopilot pilot;
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
        game.table->DealPacketSize = static_cast<std::int16_t>(v.packet);
        game.table->SevenOfHeartsLead = v.sevenOfHearts;
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
    if (t.GameState != "NORMAL PLAY" || t.TableCount != 2 || t.CardsPlayed < 6 || t.WaitingForHuman)
        return false;
    const int seat = t.TableCards[1].TableSlot;
    const int led = t.CardSuit[t.TableCards[0].Code];
    bool ledSuit = false, other = false;
    for (int i = 0; i < HandSizeOf(t, seat); ++i) {
        const int suit = t.CardSuit[HandCodesOf(t, seat)[i]];
        ledSuit = ledSuit || suit == led;
        other = other || suit != led;
    }
    return ledSuit && other && t.CardSuit[t.TableCards[1].Code] == led;
}

struct Mutation {
    const char* name;
    std::function<void(TableState&)> apply;
    const char* check;
    const char* says;  // part of the detail
};

int FirstLiveSlot(const TableState& t, int seat) {
    for (int i = 0; i <= 12; ++i)
        if (HandOf(t, seat)[i].Active) return i;
    return -1;
}

TEST(TableChecks, EachFaultOfATableIsReportedByItsCheck) {
    WatchedGame game(3);
    game.Start();
    ASSERT_TRUE(game.RunUntil(MidTrick)) << Show(game.fault);
    const TableState& clean = *game.table;
    ASSERT_FALSE(CheckTable(clean)) << Show(CheckTable(clean));

    const std::vector<Mutation> mutations = {
        {"duplicated card",
         [](TableState& t) {
             // Seat 1's first card becomes a card already won.
             for (int seat = 0; seat < 4; ++seat)
                 if (WonCountOf(t, seat) > 0) {
                     HandOf(t, 1)[FirstLiveSlot(t, 1)].Code = WonPileOf(t, seat)[0].Code;
                     return;
                 }
         },
         "card places", "is in 2 places"},
        {"missing card",
         [](TableState& t) {
             for (int seat = 0; seat < 4; ++seat)
                 if (WonCountOf(t, seat) > 0) {
                     --WonCountOf(t, seat);
                     return;
                 }
         },
         "card places", "is nowhere"},
        {"hand count", [](TableState& t) { --t.HandSize2; }, "hands", "counts"},
        {"code list",
         [](TableState& t) {
             // A code of another hand in seat 3's list.
             t.HandCodes3[0] = HandOf(t, 1)[FirstLiveSlot(t, 1)].Code;
         },
         "hands", "code list of seat 3"},
        {"seat out of turn",
         [](TableState& t) { std::swap(t.TableCards[0].TableSlot, t.TableCards[1].TableSlot); }, "trick",
         "played after"},
        {"wrong leader",
         [](TableState& t) {
             t.TrickWinner = static_cast<std::int16_t>((t.TableCards[0].TableSlot + 1) % 4);
         },
         "trick", "was to lead"},
        {"table list", [](TableState& t) { t.TableCodes[0] = t.TableCodes[1]; }, "trick", "lists"},
        {"revoke",
         [](TableState& t) {
             // The second card swaps places with one of another suit from the same hand.
             const int seat = t.TableCards[1].TableSlot;
             const int led = t.CardSuit[t.TableCards[0].Code];
             for (int i = 0; i <= 12; ++i) {
                 CardSprite& card = HandOf(t, seat)[i];
                 if (!card.Active || t.CardSuit[card.Code] == led) continue;
                 std::swap(card.Code, t.TableCards[1].Code);
                 t.TableCodes[1] = t.TableCards[1].Code;
                 for (int k = 0; k < HandSizeOf(t, seat); ++k)
                     if (HandCodesOf(t, seat)[k] == t.TableCards[1].Code) HandCodesOf(t, seat)[k] = card.Code;
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
    ASSERT_TRUE(game.RunUntil([](const TableState& t) { return t.TableCount == 4; })) << Show(game.fault);
    auto t = std::make_unique<TableState>(*game.table);
    t->TrickWinner = static_cast<std::int16_t>((t->TrickWinner + 1) % 4);
    const auto fault = CheckTrick(*t);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->check, "trick");
    EXPECT_NE(fault->detail.find("takes it"), std::string::npos) << Show(fault);
}

TEST(TableChecks, SeatZerosCardMustBeLegalByTheRulesOfTheHumansHand) {
    auto C = [](int face) { return CardCode(face, 0); };
    auto D = [](int face) { return CardCode(face, 1); };
    auto H = [](int face) { return CardCode(face, 2); };
    auto S = [](int face) { return CardCode(face, 3); };
    struct Case {
        const char* name;
        int contract;
        int led;  // by seat 3; -1: seat 0 leads
        int played;
        std::vector<int> rest;  // seat 0's hand after the card
        bool heartsBroken;
        bool legal;
    };
    const std::vector<Case> cases = {
        {"follows suit", 5, D(5), D(9), {S(7)}, false, true},
        {"does not follow", 5, D(5), S(7), {D(9)}, false, false},
        {"trumps when void", 1, D(5), C(2), {S(7)}, false, true},
        {"does not trump", 1, D(5), S(7), {C(2), H(9)}, false, false},
        {"has no trump", 1, D(5), S(7), {H(9)}, false, true},
        {"keeps the king of hearts", 10, D(5), S(7), {H(13)}, false, false},
        {"keeps a queen", 9, D(5), S(7), {C(12)}, false, false},
        {"gives a queen", 9, D(5), C(12), {S(7)}, false, true},
        {"keeps a jack", 8, D(5), S(7), {C(11)}, false, false},
        {"keeps a heart", 6, D(5), S(7), {H(2)}, false, false},
        {"discards a heart before hearts are broken", 6, D(5), H(2), {S(7)}, false, true},
        {"leads a heart before hearts are broken", 6, -1, H(2), {S(7)}, false, false},
        {"leads a heart once broken", 6, -1, H(2), {S(7)}, true, true},
        {"leads a heart from hearts alone", 10, -1, H(2), {H(3)}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto t = std::make_unique<TableState>();
        t->Contract = static_cast<std::int16_t>(c.contract);
        int n = 0;
        if (c.led >= 0) {
            t->TableCards[n].Code = static_cast<std::int16_t>(c.led);
            t->TableCards[n++].TableSlot = 3;
        }
        t->TableCards[n].Code = static_cast<std::int16_t>(c.played);
        t->TableCards[n++].TableSlot = 0;
        t->TableCount = static_cast<std::int16_t>(n);
        for (std::size_t i = 0; i < c.rest.size(); ++i) {
            t->Hand0[i].Code = static_cast<std::int16_t>(c.rest[i]);
            t->Hand0[i].Active = true;
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
        return t.GameState == "END OF MATCH" && t.CardsPlayed == 52;
    })) << Show(game.fault);
    const TableState& clean = *game.table;
    const DealLog log = game.watch.Log();
    ASSERT_FALSE(CheckDealEnd(clean, log)) << Show(CheckDealEnd(clean, log));

    const std::vector<Mutation> mutations = {
        {"deal score", [](TableState& t) { t.DealScore1 = static_cast<std::int16_t>(t.DealScore1 + 50); },
         "deal points", "seat 1 scored"},
        {"match total", [](TableState& t) { t.MatchTotal2 = static_cast<std::int16_t>(t.MatchTotal2 - 50); },
         "match totals", "seat 2 totals"},
        {"history row", [](TableState& t) { t.DealHistory3[t.DealIndex - 1] += 10; }, "match totals",
         "history row"},
        {"deal count", [](TableState& t) { ++t.DealsPlayed; }, "match totals", "counted as"},
        {"contract booked twice", [](TableState& t) { ++t.ContractUseCount[t.Contract]; }, "contract uses",
         "booked"},
        {"result too soon", [](TableState& t) { t.MatchResult = "We Won!"; }, "match totals",
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
    t->Contract = 7;
    std::array<std::int16_t*, 4> scores = {&t->DealScore0, &t->DealScore1, &t->DealScore2, &t->DealScore3};
    for (auto* s : scores) *s = 0;
    *scores[static_cast<std::size_t>(log.trickWinners[10])] -= 180;
    *scores[static_cast<std::size_t>(log.trickWinners[11])] -= 180;
    for (int seat = 0; seat < 4; ++seat)
        MatchTotalOf(*t, seat) = static_cast<std::int16_t>(log.totalsBefore[static_cast<std::size_t>(seat)] -
                                                           *scores[static_cast<std::size_t>(seat)]);
    for (int seat = 0; seat < 4; ++seat)
        DealHistoryOf(*t, seat)[t->DealIndex - 1] =
            static_cast<std::int16_t>(-*scores[static_cast<std::size_t>(seat)]);
    t->ContractUseCount.fill(0);
    t->ContractUseCount[7] = 1;
    EXPECT_FALSE(CheckDealEnd(*t, log)) << Show(CheckDealEnd(*t, log));
    DealLog other = log;
    other.trickWinners[11] = (other.trickWinners[11] + 1) % 4;
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
    InputSnapshot p;
    p.KeyState[kScanP] = 0x80;
    fault = paused.Frame(/*idle=*/true, p);
    for (int i = 0; i < 20000 && !fault; ++i) fault = paused.Frame(/*idle=*/true);
    ASSERT_TRUE(fault) << "no fault";
    EXPECT_EQ(fault->check, "pause") << Show(fault);
}

}  // namespace
}  // namespace tenfold
