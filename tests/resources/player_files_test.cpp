// The files a player keeps: where they live, that a save is all or nothing,
// and that a damaged or strange settings file never costs more than defaults.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "resources/player_files.h"
#include "resources/settings.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::ScratchDir;

// Sets (or with nullopt removes) an environment variable for one scope.
class EnvVar {
public:
    EnvVar(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvVar() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string Slurp(const std::string& path) {
    const test::Bytes b = test::ReadBytes(path);
    return std::string(b.begin(), b.end());
}

TEST(PlayerFolders, FollowTheXdgVariablesAndFallBackToHome) {
    struct Case {
        PlayerFolder kind;
        const char* variable;
        std::optional<std::string> value;
        std::optional<std::string> home;
        std::string expected;
    };
    const Case cases[] = {
        {PlayerFolder::Config, "XDG_CONFIG_HOME", "/x/conf", "/home/p", "/x/conf/tenfold"},
        {PlayerFolder::Config, "XDG_CONFIG_HOME", "/x/conf/", "/home/p", "/x/conf/tenfold"},
        {PlayerFolder::Config, "XDG_CONFIG_HOME", std::nullopt, "/home/p", "/home/p/.config/tenfold"},
        // Relative and empty values are to be ignored.
        {PlayerFolder::Config, "XDG_CONFIG_HOME", "conf", "/home/p", "/home/p/.config/tenfold"},
        {PlayerFolder::State, "XDG_STATE_HOME", "", "/home/p", "/home/p/.local/state/tenfold"},
        {PlayerFolder::State, "XDG_STATE_HOME", "/s", "/home/p", "/s/tenfold"},
        {PlayerFolder::Data, "XDG_DATA_HOME", std::nullopt, "/home/p/", "/home/p/.local/share/tenfold"},
        {PlayerFolder::Data, "XDG_DATA_HOME", "/d", std::nullopt, "/d/tenfold"},
        // Nowhere to keep anything.
        {PlayerFolder::Data, "XDG_DATA_HOME", std::nullopt, std::nullopt, ""},
        {PlayerFolder::Config, "XDG_CONFIG_HOME", "rel", "also-rel", ""},
    };
    for (const Case& c : cases) {
        EnvVar var(c.variable, c.value);
        EnvVar home("HOME", c.home);
        EXPECT_EQ(PlayerFolderPath(c.kind), c.expected)
            << c.variable << "=" << c.value.value_or("(unset)") << " HOME=" << c.home.value_or("(unset)");
    }
}

TEST(SaveDurably, CreatesPrivateFoldersReplacesWholeAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    const std::string path = dir / "a/b/tenfold/match.sav";
    ASSERT_TRUE(SaveDurably(path, "a long first content\n").Ok());
    ASSERT_TRUE(SaveDurably(path, "short\n").Ok());
    EXPECT_EQ(Slurp(path), "short\n");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "a/b/tenfold").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(test::ListTree(dir / "a/b/tenfold"), (std::set<std::string>{"match.sav"}));
}

TEST(SaveDurably, AFailedSaveKeepsTheOldFileAndLeavesNothingElse) {
    ScratchDir dir;
    // A folder in the file's place cannot be replaced by a file.
    std::filesystem::create_directories(dir / "t/match.sav/inside");
    const Result r = SaveDurably(dir / "t/match.sav", "new");
    ASSERT_FALSE(r.Ok());
    EXPECT_NE(r.Reason().find("match.sav"), std::string::npos) << r.Reason();
    EXPECT_EQ(test::ListTree(dir / "t"), (std::set<std::string>{"match.sav/", "match.sav/inside/"}));
    // A file where a folder is needed.
    test::WriteBytes(dir / "blocker", test::Text("x"));
    EXPECT_FALSE(SaveDurably(dir / "blocker/tenfold/settings.ini", "x").Ok());
    EXPECT_EQ(Slurp(dir / "blocker"), "x");
    EXPECT_FALSE(SaveDurably("relative/settings.ini", "x").Ok());
}

TEST(Settings, RoundTripKeepsEveryChoice) {
    ScratchDir dir;
    const std::string path = dir / "tenfold/settings.ini";
    Settings chosen;
    chosen.deck = "Royal";
    chosen.windowed = true;
    chosen.slowAnimation = true;
    chosen.sevenOfHeartsLead = true;
    chosen.dealPackets = 13;
    chosen.classicTable = true;
    chosen.dimUnplayable = true;
    chosen.opponents = "expert";
    ASSERT_NE(chosen, Settings{});
    ASSERT_EQ(SaveSettings(path, chosen), "");
    std::string warning;
    EXPECT_EQ(LoadSettings(path, warning), chosen);
    EXPECT_EQ(warning, "");
    // And through the game's options, as the start dialog gets and gives them.
    Options options;
    ApplySettings(chosen, options);
    EXPECT_EQ(options.deckName, "Royal");
    EXPECT_FALSE(options.fullScreen);
    EXPECT_EQ(options.dealPacketSize, 13);
    EXPECT_TRUE(options.classicTable && options.dimUnplayable && options.slowAnimation &&
                options.expertOpponents);
    EXPECT_EQ(SettingsOf(options), chosen);
    EXPECT_EQ(SettingsOf(Options{}), Settings{}) << "the game's defaults are the settings' defaults";
    // Saving the defaults again really writes them (no stale values survive).
    ASSERT_EQ(SaveSettings(path, Settings{}), "");
    EXPECT_EQ(LoadSettings(path, warning), Settings{});
}

TEST(Settings, MissingFileGivesTheDefaultsSilently) {
    ScratchDir dir;
    std::string warning = "stale";
    EXPECT_EQ(LoadSettings(dir / "none/settings.ini", warning), Settings{});
    EXPECT_EQ(warning, "");
    EXPECT_EQ(LoadSettings("", warning), Settings{});
    EXPECT_NE(SaveSettings("", Settings{}), "");
}

TEST(Settings, DamagedFileGivesDefaultsAndIsKeptAsideOnce) {
    const std::string damaged[] = {
        std::string("\xff\xfe\x00\x01 binary", 10),  // not text
        "[Table\ndeck=Royal\n",                      // group header cut off
        "deck=Royal\n",                              // a key outside any group
        "[Table]\nthis line is no key\n",
    };
    for (const std::string& content : damaged) {
        ScratchDir dir;
        const std::string path = dir / "settings.ini";
        test::WriteBytes(path, test::Bytes(content.begin(), content.end()));
        std::string warning;
        EXPECT_EQ(LoadSettings(path, warning), Settings{}) << content;
        EXPECT_NE(warning.find(path), std::string::npos) << warning;
        EXPECT_NE(warning.find("settings.ini.bad"), std::string::npos) << warning;
        EXPECT_EQ(Slurp(path + ".bad"), content);
        EXPECT_FALSE(std::filesystem::exists(path));
        // The next load is quiet: the damage was reported once.
        EXPECT_EQ(LoadSettings(path, warning), Settings{});
        EXPECT_EQ(warning, "");
    }
}

TEST(Settings, UnknownValuesKeepTheirDefaultsAndTheRestIsRead) {
    ScratchDir dir;
    const std::string path = dir / "settings.ini";
    test::WriteBytes(path, test::Text("[Table]\ndeck=Tarot\nwindowed=true\nslow_animation=sometimes\n"
                                      "classic_table=perhaps\ndim_unplayable=true\n"
                                      "[Rules]\ndeal_packets=7\nseven_of_hearts_lead=true\nopponents=wise\n"
                                      "[Future]\nsomething=1\n"));
    std::string warning;
    const Settings s = LoadSettings(path, warning);
    EXPECT_EQ(s.deck, "Roya2");
    EXPECT_TRUE(s.windowed);
    EXPECT_FALSE(s.slowAnimation);
    EXPECT_EQ(s.dealPackets, 1);
    EXPECT_TRUE(s.sevenOfHeartsLead);
    EXPECT_FALSE(s.classicTable);
    EXPECT_TRUE(s.dimUnplayable);
    EXPECT_EQ(s.opponents, "classic");
    for (const char* key : {"Table/deck", "Table/slow_animation", "Rules/deal_packets", "Table/classic_table",
                            "Rules/opponents"}) {
        EXPECT_NE(warning.find(key), std::string::npos) << warning;
    }
    EXPECT_TRUE(std::filesystem::exists(path)) << "a readable file is not set aside";
}

TEST(Settings, SomethingElseInThePlaceOfTheFileIsNeitherFatalNorMoved) {
    ScratchDir dir;
    std::filesystem::create_directories(dir / "folder.ini");
    ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
    for (const char* name : {"folder.ini", "pipe.ini"}) {
        std::string warning;
        EXPECT_EQ(LoadSettings(dir / name, warning), Settings{}) << name;
        EXPECT_NE(warning.find(name), std::string::npos) << warning;
        EXPECT_TRUE(std::filesystem::exists(dir / name));
    }
}

}  // namespace
}  // namespace tenfold
