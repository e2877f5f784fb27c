// A saved match taken up anywhere comes back to the table the game would
// have come to, and a journal that does not fit its match is found out.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ai/headless_game.h"
#include "app/match_keeper.h"
#include "app/match_replay.h"
#include "core/state_machine.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

struct Variant {
    std::uint64_t seed;
    bool seven;
    std::int16_t packets;
    bool slow;
};

// The game played headless by the autopilot, with the sort key pressed now
// and then (the sort draws sounds, so it moves the generator), the keeper
// watching as it watches the game.
class KeptGame {
public:
    KeptGame(const Variant& v, const std::string& savePath)
        : game(v.seed), keeper(KeeperFiles{savePath, ""}, err), presses(v.seed, 0x5047) {
        game.table.options.sevenOfHeartsLead = v.seven;
        game.table.options.dealPacketSize = v.packets;
        game.table.options.slowAnimation = v.slow;
        keeper.StartNew(game.table, game.services.rng, game.services, game.players);
    }
    void Frame() {
        TableState& t = game.table;
        if (t.flow.state == GameState::Waiting) {
            game.services.clock.now = std::max(game.services.clock.now, DelayEndTick(t));
        }
        PlayerInput in;
        if (MaySortHand(t) && presses.NextFloat() < 0.05f) {
            in.sort = true;
        } else if (const auto click = game.pilot.Decide(t)) {
            in = *click;
        }
        keeper.BeforeFrame(t, game.services.rng);
        RunFrame(t, game.services, game.players, in);
        keeper.AfterFrame(t, game.services.rng);
        game.services.clock.Advance(1);
    }

    HeadlessGame game;
    std::ostringstream err;
    MatchKeeper keeper;
    Pcg32 presses;
};

// Where the game comes to from here when the human does nothing more: the
// table that waits for his next decision.
struct LeftAlone {
    TableState table;
    Pcg32::Position rng;
};
LeftAlone RunUntilTheHumanIsWanted(const HeadlessGame& g) {
    TableState t = g.table;
    HeadlessServices s(0);
    s.rng = g.services.rng;
    s.clock = g.services.clock;
    ClassicPlayer players = g.players;
    for (int frame = 0; frame < 100000 && WhatHumanIsWanted(t) == HumanWanted::Nothing; ++frame) {
        if (t.flow.state == GameState::Waiting) s.clock.now = std::max(s.clock.now, DelayEndTick(t));
        RunFrame(t, s, players, PlayerInput{});
        s.clock.Advance(1);
    }
    return {t, s.rng.Where()};
}

TEST(MatchReplay, ASaveTakenAtAnyFrameComesBackToTheSameTable) {
    const Variant variants[] = {{1, false, 1, false}, {2, true, 13, false}, {3, false, 1, true}};
    for (const Variant& v : variants) {
        SCOPED_TRACE("seed " + std::to_string(v.seed));
        test::ScratchDir dir;
        const std::string path = dir / "match.sav";
        KeptGame kept(v, path);
        Pcg32 when(v.seed, 0x7768);
        int checks = 0;
        int sorts = 0;
        while (!kept.game.table.match.over) {
            kept.Frame();
            if (kept.game.table.flow.state == GameState::GatheringHand) ++sorts;
            if (when.NextFloat() >= 1.0f / 400 || kept.game.table.match.over) continue;
            const LeftAlone expected = RunUntilTheHumanIsWanted(kept.game);
            const LoadedMatch loaded = LoadMatchSave(path);
            ASSERT_EQ(loaded.status, LoadedMatch::Status::Loaded) << loaded.message;
            TableState t;
            Pcg32 rng(0);
            ClassicPlayer players;
            std::string why;
            ASSERT_TRUE(ReplayMatch(loaded.save, kept.game.table.options.fullScreen, t, rng, players, why))
                << why;
            ASSERT_EQ(TableFingerprint(t), TableFingerprint(expected.table))
                << "deal " << kept.game.table.match.dealsPlayed + 1 << ", state "
                << StateName(kept.game.table.flow.state);
            ASSERT_EQ(rng.Where(), expected.rng);
            ++checks;
        }
        EXPECT_GT(checks, 20);
        EXPECT_GT(sorts, 0);
        EXPECT_FALSE(std::filesystem::exists(path)) << "a finished match keeps no save";
        EXPECT_EQ(kept.err.str(), "");
    }
}

// A save of a match left in its third deal, its check made to fit again
// after each change: only a journal that leads to the table it names passes.
TEST(MatchReplay, AJournalThatDoesNotFitItsMatchIsRefused) {
    test::ScratchDir dir;
    const std::string path = dir / "match.sav";
    KeptGame kept({4, false, 1, false}, path);
    const TableState& t = kept.game.table;
    while (t.match.dealsPlayed < 2 || t.flow.state == GameState::DealOver || t.trick.cardsPlayed < 20)
        kept.Frame();
    const MatchSave good = LoadMatchSave(path).save;
    ASSERT_EQ(good.deal, 3);
    {
        TableState t;
        Pcg32 rng(0);
        ClassicPlayer players;
        std::string why;
        ASSERT_TRUE(ReplayMatch(good, true, t, rng, players, why)) << why;
    }
    // The index of a card in the journal's second deal.
    std::size_t card = 0;
    for (int deals = 0; card < good.journal.size(); ++card) {
        if (good.journal[card].act == HumanAct::NextDeal) ++deals;
        if (deals == 1 && good.journal[card].act == HumanAct::Card) break;
    }
    const struct {
        const char* name;
        std::function<void(MatchSave&)> change;
    } cases[] = {
        {"another start", [](MatchSave& s) { s.start.state ^= 1; }},
        {"the first seat taken as known", [](MatchSave& s) { s.firstSeatChosen = !s.firstSeatChosen; }},
        {"a decision moved", [card](MatchSave& s) { s.journal[card].at ^= 0x10; }},
        {"a card not in the hand",
         [card](MatchSave& s) {
             s.journal[card].value = static_cast<std::int16_t>((s.journal[card].value + 1) % 52);
         }},
        {"a decision left out", [card](MatchSave& s) { s.journal.erase(s.journal.begin() + card); }},
        {"a decision twice",
         [card](MatchSave& s) { s.journal.insert(s.journal.begin() + card, s.journal[card]); }},
        {"a deal left out",
         [](MatchSave& s) {
             for (auto it = s.journal.begin(); it != s.journal.end(); ++it) {
                 if (it->act == HumanAct::NextDeal) {
                     s.journal.erase(it);
                     break;
                 }
             }
         }},
        {"another deal named", [](MatchSave& s) { s.deal = 4; }},
        {"other totals", [](MatchSave& s) { s.totalsAtDealStart[1] += 10; }},
        {"another deal start", [](MatchSave& s) { s.dealStart.state ^= 2; }},
        {"other rules", [](MatchSave& s) { s.dealPackets = 13; }},
    };
    for (const auto& c : cases) {
        MatchSave changed = good;
        c.change(changed);
        std::string why;
        const auto decoded = DecodeMatchSave(EncodeMatchSave(changed), why);
        ASSERT_TRUE(decoded) << c.name << ": " << why;
        TableState t;
        Pcg32 rng(0);
        ClassicPlayer players;
        EXPECT_FALSE(ReplayMatch(*decoded, true, t, rng, players, why)) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
    }
}

// The keeper of a resumed match refuses a save that does not fit: one line,
// the file set aside, and the caller deals a new match.
TEST(MatchReplay, TheKeeperSetsAsideASaveThatDoesNotFit) {
    test::ScratchDir dir;
    const std::string path = dir / "match.sav";
    {
        KeptGame kept({5, false, 1, false}, path);
        while (kept.game.table.match.dealsPlayed < 1) kept.Frame();
    }
    MatchSave save = LoadMatchSave(path).save;
    save.totalsAtDealStart[0] += 50;
    ASSERT_EQ(StoreMatchSave(path, save), "");
    std::ostringstream err;
    MatchKeeper keeper(KeeperFiles{path, ""}, err);
    TableState t;
    Pcg32 rng(0);
    ClassicPlayer players;
    EXPECT_FALSE(keeper.Resume(save, true, t, rng, players));
    const std::string said = err.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(path + ".bad"), std::string::npos) << said;
    EXPECT_TRUE(std::filesystem::exists(path + ".bad"));
}

}  // namespace
}  // namespace tenfold
