// The saved match and the statistics met damaged in every way a disk, a
// crash or another program can leave them: each is refused as a whole, set
// aside under its .bad name with its bytes intact, reported in one line, and
// a good file is never lost on the way.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "resources/match_save.h"
#include "resources/statistics.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

namespace fs = std::filesystem;

MatchSave SampleSave() {
    MatchSave s;
    s.deck = "Royal";
    s.sevenOfHeartsLead = true;
    s.dealPackets = 13;
    s.start = {0x0123456789abcdefULL, 0x6d};
    s.firstSeat = 2;
    s.firstSeatChosen = true;
    s.startedAt = 1796895243;
    s.deal = 3;
    s.dealStart = {0xfedcba9876543210ULL, 0x6d};
    s.totalsAtDealStart = {-150, 300, -20, 0};
    s.journal = {{0x1111, HumanAct::Contract, 6},
                 {0x2222, HumanAct::Sort, 0},
                 {0x3333, HumanAct::Card, 51},
                 {0x4444, HumanAct::NextDeal, 0}};
    s.autopilot = GeneratorPosition{0xabc, 0xbddb};
    return s;
}

MatchRecord SampleRecord(const std::string& id) {
    MatchRecord m;
    m.id = id;
    m.date = "2026-12-10T09:30:00Z";
    m.deck = "Roya2";
    m.dealPackets = 1;
    m.totals = {-1130, -190, 310, -1090};
    m.won = true;
    m.deals = {{6, 0}, {2, -150}};
    return m;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `check` as a user who is not the file's owner when the test runs as
// root (root reads any file, so "no permission" needs another user).
bool AsUnprivileged(const std::string& folder, const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    constexpr uid_t kNobody = 65534;
    if (::chown(folder.c_str(), kNobody, kNobody) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && check();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(MatchSaveFile, WhatIsWrittenIsReadBackWhole) {
    const MatchSave s = SampleSave();
    std::string why;
    const auto back = DecodeMatchSave(EncodeMatchSave(s), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(*back, s);
    MatchSave plain = s;
    plain.autopilot.reset();
    plain.journal.clear();
    const auto back2 = DecodeMatchSave(EncodeMatchSave(plain), why);
    ASSERT_TRUE(back2) << why;
    EXPECT_EQ(*back2, plain);
    MatchSave expert = plain;  // begun against the expert players: resumed against them
    expert.expertOpponents = true;
    const auto back3 = DecodeMatchSave(EncodeMatchSave(expert), why);
    ASSERT_TRUE(back3) << why;
    EXPECT_EQ(*back3, expert);
}

TEST(MatchSaveFile, EveryFlippedByteIsFoundOut) {
    const std::string good = EncodeMatchSave(SampleSave());
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const unsigned char mask : {0x01, 0x20, 0x80}) {
            std::string bad = good;
            bad[at] = static_cast<char>(bad[at] ^ mask);
            std::string why;
            EXPECT_FALSE(DecodeMatchSave(bad, why)) << "byte " << at << " ^ " << int(mask);
        }
    }
}

TEST(MatchSaveFile, TruncatedAtEverySectionIsRefused) {
    const std::string good = EncodeMatchSave(SampleSave());
    // Cut after each line (header, version, rules, start, deal, autopilot,
    // journal count, each entry), inside a line, and inside the check.
    for (std::size_t at = 0; at < good.size() - 1; ++at) {
        std::string why;
        EXPECT_FALSE(DecodeMatchSave(good.substr(0, at), why)) << "cut at " << at;
    }
}

TEST(MatchSaveFile, RecheckedContentThatMakesNoSenseIsRefused) {
    // A file whose check was made to fit but whose content the game never writes.
    const std::string good = EncodeMatchSave(SampleSave());
    const std::string body = good.substr(0, good.rfind("check "));
    const struct {
        const char* name;
        std::string from, to;
    } cases[] = {
        {"unknown deck", "deck=Royal", "deck=Royax"},
        {"packets of 7", "deal-packets=13", "deal-packets=7"},
        {"seat 4", "first-seat=2", "first-seat=4"},
        {"deal 21", "deal 3 ", "deal 21 "},
        {"contract 11", " C 6", " C 11"},
        {"card 52", " P 51", " P 52"},
        {"unknown act", " S 0", " X 0"},
        {"short journal", "journal 4", "journal 5"},
        {"long journal", "journal 4", "journal 3"},
    };
    for (const auto& c : cases) {
        std::string changed = body;
        const std::size_t at = changed.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.name;
        changed.replace(at, c.from.size(), c.to);
        std::string why;
        EXPECT_FALSE(DecodeMatchSave(changed + "check " + Sha256Hex(changed) + "\n", why)) << c.name;
    }
}

// The damaged files the game may meet where its save should be.
struct Damage {
    const char* name;
    std::function<void(const std::string& path, const std::string& good)> make;
    bool unprivileged = false;  // read as a user who may not read it
};

std::vector<Damage> DamageCases(const std::string& versionFrom, const std::string& versionTo) {
    return {
        {"empty", [](const std::string& p, const std::string&) { Write(p, ""); }},
        {"truncated",
         [](const std::string& p, const std::string& g) { Write(p, g.substr(0, g.size() / 2)); }},
        {"wrong version",
         [versionFrom, versionTo](const std::string& p, const std::string& g) {
             std::string v = g;
             v.replace(v.find(versionFrom), versionFrom.size(), versionTo);
             Write(p, v);
         }},
        {"flipped byte",
         [](const std::string& p, const std::string& g) {
             std::string v = g;
             v[v.size() / 3] = static_cast<char>(v[v.size() / 3] ^ 0x04);
             Write(p, v);
         }},
        {"foreign file", [](const std::string& p, const std::string&) { Write(p, "\x89PNG\r\n\x1a\n...."); }},
        {"a folder", [](const std::string& p, const std::string&) { fs::create_directory(p); }},
        {"no permission",
         [](const std::string& p, const std::string& g) {
             Write(p, g);
             ::chmod(p.c_str(), 0);
         },
         true},
    };
}

TEST(MatchSaveFile, DamagedSavesAreSetAsideWithOneLine) {
    const std::string good = EncodeMatchSave(SampleSave());
    for (const Damage& d : DamageCases("version 1", "version 2")) {
        SCOPED_TRACE(d.name);
        test::ScratchDir dir;
        const std::string path = dir / "match.sav";
        d.make(path, good);
        const std::string before = fs::is_regular_file(path) ? Read(path) : std::string();
        const bool ok = AsUnprivileged(dir.str(), [&] {
            const LoadedMatch loaded = LoadMatchSave(path);
            return loaded.status == LoadedMatch::Status::Damaged &&
                   loaded.message.find(path) != std::string::npos &&
                   loaded.message.find('\n') == std::string::npos && !fs::exists(path) &&
                   fs::exists(path + ".bad");
        });
        EXPECT_TRUE(ok);
        // What was there is kept, byte for byte, for the player to look at.
        if (fs::is_regular_file(path + ".bad") && !d.unprivileged) {
            EXPECT_EQ(Read(path + ".bad"), before);
        }
    }
}

TEST(MatchSaveFile, MissingIsNoErrorAndAGoodSaveSurvivesAFailedWrite) {
    test::ScratchDir dir;
    const std::string path = dir / "state/tenfold/match.sav";
    EXPECT_EQ(LoadMatchSave(path).status, LoadedMatch::Status::Missing);
    ASSERT_EQ(StoreMatchSave(path, SampleSave()), "");
    const std::string good = Read(path);
    // A folder the writer may not write into: the write fails, the old save stays.
    const std::string folder = dir / "state/tenfold";
    const bool refused = AsUnprivileged(dir.str(), [&] {
        ::chmod(folder.c_str(), 0555);
        MatchSave other = SampleSave();
        other.deal = 4;
        return !StoreMatchSave(path, other).empty();
    });
    ::chmod(folder.c_str(), 0700);
    EXPECT_TRUE(refused);
    EXPECT_EQ(Read(path), good);
    EXPECT_EQ(LoadMatchSave(path).status, LoadedMatch::Status::Loaded);
    EXPECT_EQ(RemoveMatchSave(path), "");
    EXPECT_EQ(RemoveMatchSave(path), "");  // already gone: no error
}

TEST(StatisticsFile, RecordsEachMatchOnceAndSummarizes) {
    test::ScratchDir dir;
    const std::string path = dir / "data/tenfold/statistics.json";
    std::string warning;
    EXPECT_TRUE(LoadStatistics(path, warning).empty());
    ASSERT_EQ(RecordMatch(path, SampleRecord("a"), warning), "");
    MatchRecord lost = SampleRecord("b");
    lost.won = false;
    lost.totals = {400, -300, 0, -100};
    lost.deals = {{6, 200}};
    ASSERT_EQ(RecordMatch(path, lost, warning), "");
    ASSERT_EQ(RecordMatch(path, SampleRecord("a"), warning), "");  // a resumed match finishing twice
    const auto matches = LoadStatistics(path, warning);
    EXPECT_EQ(warning, "");
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[1], lost);

    const StatisticsSummary s = Summarize(matches);
    EXPECT_EQ(s.played, 2);
    EXPECT_EQ(s.won, 1);
    EXPECT_DOUBLE_EQ(s.winRate, 0.5);
    EXPECT_EQ(s.bestTotal, -1130);
    EXPECT_DOUBLE_EQ(s.averageTotal, (-1130 + 400) / 2.0);
    EXPECT_EQ(s.contracts[5].played, 2);                 // No hearts
    EXPECT_DOUBLE_EQ(s.contracts[5].humanAverage, 100);  // (0 + 200) / 2
    EXPECT_EQ(s.contracts[1].played, 1);
    EXPECT_EQ(s.contracts[0].played, 0);
    const std::string text = SummaryText(s);
    EXPECT_NE(text.find("Win rate: 50.0%"), std::string::npos) << text;
    EXPECT_NE(text.find("No hearts                2         100.0"), std::string::npos) << text;
    EXPECT_NE(SummaryJson(s).find("\"win_rate\": 0.5"), std::string::npos);
}

TEST(StatisticsFile, DamagedFilesAreSetAsideAndTheRecordStartsAfresh) {
    const std::string good = EncodeStatistics({SampleRecord("a"), SampleRecord("b")});
    for (const Damage& d : DamageCases("\"version\":1", "\"version\":2")) {
        SCOPED_TRACE(d.name);
        test::ScratchDir dir;
        const std::string path = dir / "statistics.json";
        d.make(path, good);
        const std::string before = fs::is_regular_file(path) ? Read(path) : std::string();
        const bool ok = AsUnprivileged(dir.str(), [&] {
            std::string warning;
            const bool refused = LoadStatistics(path, warning).empty() &&
                                 warning.find(path) != std::string::npos &&
                                 warning.find('\n') == std::string::npos && fs::exists(path + ".bad");
            // The next finished match starts a new record beside the damaged one.
            const bool recorded = RecordMatch(path, SampleRecord("c"), warning).empty();
            return refused && recorded && LoadStatistics(path, warning).size() == 1 && warning.empty();
        });
        EXPECT_TRUE(ok);
        if (fs::is_regular_file(path + ".bad") && !d.unprivileged) {
            EXPECT_EQ(Read(path + ".bad"), before);
        }
    }
}

TEST(StatisticsFile, EveryFlippedByteIsFoundOut) {
    const std::string good = EncodeStatistics({SampleRecord("a")});
    for (std::size_t at = 0; at + 1 < good.size(); ++at) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x01);
        std::string why;
        const auto back = DecodeStatistics(bad, why);
        // A flip inside the JSON layout that still reads the same (a space) is harmless.
        if (back) {
            EXPECT_EQ(*back, std::vector<MatchRecord>{SampleRecord("a")}) << "byte " << at;
        }
    }
}

TEST(StatisticsFile, AFileThatCannotBeMovedAsideIsNotWrittenOver) {
    test::ScratchDir dir;
    const std::string path = dir / "statistics.json";
    // Damaged, and its .bad name is taken by a folder with something in it: it must stay.
    Write(path, "{ half a file");
    fs::create_directories(path + ".bad/x");
    std::string warning;
    EXPECT_NE(RecordMatch(path, SampleRecord("a"), warning), "");
    EXPECT_NE(warning.find("could not be moved aside"), std::string::npos) << warning;
    EXPECT_EQ(Read(path), "{ half a file");
}

}  // namespace
}  // namespace tenfold
