// The tenfold-pak tool, run as a separate program the way a user runs it.

#include <gtest/gtest.h>

#include <functional>
#include <sys/wait.h>

#include "resources/pak.h"
#include "resources/resource_layout.h"
#include "test_util.h"

namespace tenfold {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out, err;
};

ToolRun Tool(const test::ScratchDir& scratch, const std::string& args) {
    const std::string out = scratch / ".out", err = scratch / ".err";
    const std::string cmd = std::string("'") + TENFOLD_PAK_TOOL + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(cmd.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const Bytes o = test::ReadFile(out), e = test::ReadFile(err);
    r.out.assign(o.begin(), o.end());
    r.err.assign(e.begin(), e.end());
    fs::remove(out);
    fs::remove(err);
    return r;
}

std::size_t Lines(const std::string& s) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n')); }

TEST(PakTool, CreateListExtractRoundTripIsByteIdentical) {
    test::ScratchDir s;
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    fs::create_directories(s / "src/Royal");
    fs::create_directories(s / "src/sounds");  // folders match in any case
    fs::create_directories(s / "src/Bitmaps");
    test::WriteFile(s / "src/Royal/AC.BMP", all);
    test::WriteFile(s / "src/Royal/10H.BMP", test::Text("ten"));
    test::WriteFile(s / "src/sounds/CARD_FLIP.WAV", test::MakeWav());
    test::WriteFile(s / "src/Bitmaps/empty.bin", {});

    ASSERT_EQ(Tool(s, "create " + (s / "a.pak") + " " + (s / "src")).status, 0);
    ASSERT_EQ(Tool(s, "create " + (s / "b.pak") + " " + (s / "src")).status, 0);
    EXPECT_EQ(test::ReadFile(s / "a.pak"), test::ReadFile(s / "b.pak"));  // same input, same bytes

    const ToolRun list = Tool(s, "list " + (s / "a.pak"));
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "dumm120\t16\t0\n"
              "Xounds_CARD_FLIP.WAV\t16\t48\n"
              "Xitmaps_empty.bin\t64\t0\n"
              "Xoyal_10H.BMP\t64\t3\n"
              "Xoyal_AC.BMP\t67\t256\n");

    const ToolRun extract = Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "out"));
    ASSERT_EQ(extract.status, 0) << extract.err;
    EXPECT_EQ(test::ListTree(s / "out"),
              (std::set<std::string>{"Bitmaps/", "Bitmaps/empty.bin", "Royal/", "Royal/10H.BMP", "Royal/AC.BMP",
                                     "Sounds/", "Sounds/CARD_FLIP.WAV"}));
    EXPECT_EQ(test::ReadFile(s / "out/Royal/AC.BMP"), all);
    EXPECT_EQ(test::ReadFile(s / "out/Sounds/CARD_FLIP.WAV"), test::MakeWav());

    // Existing files are kept unless replacing is asked for; the files this
    // run wrote before it met one are taken back.
    test::WriteFile(s / "out/Royal/AC.BMP", test::Text("changed"));
    fs::remove(s / "out/Sounds/CARD_FLIP.WAV");
    fs::remove(s / "out/Royal/10H.BMP");
    fs::remove(s / "out/Bitmaps/empty.bin");
    const ToolRun again = Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "out"));
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "tenfold-pak: " + (s / "out/Royal/AC.BMP") + ": already exists, not overwritten\n");
    EXPECT_EQ(test::ReadFile(s / "out/Royal/AC.BMP"), test::Text("changed"));
    EXPECT_FALSE(fs::exists(s / "out/Sounds/CARD_FLIP.WAV"));
    EXPECT_FALSE(fs::exists(s / "out/Royal/10H.BMP"));
    EXPECT_FALSE(fs::exists(s / "out/Bitmaps/empty.bin"));
    EXPECT_EQ(Tool(s, "extract -f " + (s / "a.pak") + " -C " + (s / "out")).status, 0);
    EXPECT_EQ(test::ReadFile(s / "out/Royal/AC.BMP"), all);

    // Only the entries named.
    ASSERT_EQ(Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "one") + " Xoyal_10H.BMP").status, 0);
    EXPECT_EQ(test::ListTree(s / "one"), (std::set<std::string>{"Royal/", "Royal/10H.BMP"}));
    const ToolRun none = Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "two") + " nothing.bmp");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no resource entry named \"nothing.bmp\""), std::string::npos) << none.err;

    // A file outside the resource folders is refused rather than dropped.
    test::WriteFile(s / "src/stray.txt", {});
    const ToolRun stray = Tool(s, "create " + (s / "c.pak") + " " + (s / "src"));
    EXPECT_EQ(stray.status, 1);
    EXPECT_NE(stray.err.find("stray.txt: not one of the resource folders"), std::string::npos) << stray.err;
    EXPECT_FALSE(fs::exists(s / "c.pak"));
}

TEST(PakTool, UsageAndArchiveErrorsGiveOneLineAndTheirStatus) {
    test::ScratchDir s;
    for (const std::string args : {"", "frobnicate x", "list", "list a b", "extract --bogus x"}) {
        const ToolRun r = Tool(s, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(Lines(r.err), 1u) << args << ": " << r.err;
    }
    EXPECT_EQ(Tool(s, "--help").status, 0);

    test::WriteFile(s / "bad.pak", test::Text("PACKxxxxyyyyzzzz"));
    for (const std::string cmd : {"list", "extract", "verify"}) {
        const ToolRun r = Tool(s, cmd + " " + (s / "bad.pak") + (cmd == "extract" ? " -C " + (s / "out") : ""));
        EXPECT_EQ(r.status, 1) << cmd;
        EXPECT_EQ(Lines(r.err), 1u) << r.err;
        EXPECT_EQ(r.err.rfind("tenfold-pak: " + (s / "bad.pak") + ": directory length at offset 8 is ", 0), 0u)
            << r.err;
    }
}

// An archive whose one entry has the name field `field` (56 bytes, padded here).
void WriteRawArchive(const std::string& path, std::vector<std::string> fields) {
    std::vector<PakEntry> entries;
    for (std::size_t i = 0; i < fields.size(); ++i)
        entries.push_back({std::string("E") + std::to_string(i), test::Text("data")});
    Bytes image;
    ASSERT_TRUE(BuildPak(entries, image));
    const std::size_t dir = image.size() - 64 * fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string f = fields[i];
        f.resize(56, '\0');
        std::copy(f.begin(), f.end(), image.begin() + static_cast<std::ptrdiff_t>(dir + 64 * i));
    }
    test::WriteFile(path, image);
}

TEST(PakTool, UnsafeNamesAndPlantedLinksWriteNothingOutsideTheTarget) {
    struct Case {
        const char* what;
        std::vector<std::string> fields;
        const char* reason;
        std::function<void(const test::ScratchDir&)> plant = nullptr;
    };
    const std::vector<Case> cases = {
        {"dot-dot", {"Xoyal_../../outside/evil"}, "holds \"/\""},
        {"parent only", {"Xoyal_.."}, "holds \"..\""},
        {"absolute", {"/tmp/evil"}, "absolute path"},
        {"backslash", {"Xounds_..\\evil"}, "holds \"\\\""},
        {"drive letter", {"Xoyal_C:evil"}, "drive letter"},
        {"control character", {"Xoyal_ev\til"}, "control character 0x09"},
        {"embedded NUL", {std::string("Xoyal_AC\0/../x", 15)}, "NUL byte"},
        {"empty after prefix", {"Xoyal_   "}, "empty"},
        {"duplicate output", {"Xoyal_AC.BMP", "Xoyal_ac.bmp"}, "would write the same file as entry 0"},
        {"linked folder", {"Xoyal_AC.BMP"}, "Royal: not a folder",
         [](const test::ScratchDir& s) {
             fs::create_directories(s / "target");
             fs::create_directory_symlink(s / "outside", s / "target/Royal");
         }},
        {"linked file", {"Xoyal_AC.BMP"}, "AC.BMP: already exists",
         [](const test::ScratchDir& s) {
             fs::create_directories(s / "target/Royal");
             fs::create_symlink(s / "outside/victim", s / "target/Royal/AC.BMP");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir s;
        fs::create_directories(s / "outside");
        test::WriteFile(s / "outside/victim", test::Text("keep"));
        if (c.plant) c.plant(s);
        WriteRawArchive(s / "x.pak", c.fields);
        const auto before = test::ListTree(s.path());
        const ToolRun r = Tool(s, "extract " + (s / "x.pak") + " -C " + (s / "target"));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(Lines(r.err), 1u) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        auto after = test::ListTree(s.path());
        after.erase("target/");  // the target folder itself may be made
        after.erase("target/Royal/");
        auto expected = before;
        expected.erase("target/");
        expected.erase("target/Royal/");
        EXPECT_EQ(after, expected);
        EXPECT_EQ(test::ReadFile(s / "outside/victim"), test::Text("keep"));
    }
}

TEST(PakTool, VerifyListsWhatTheGameWouldMiss) {
    test::ScratchDir s;
    for (const layout::ResourceFile& f : layout::ArchiveFiles()) {
        fs::create_directories(s / ("src/" + f.folder));
        const std::string ext = f.file.substr(f.file.size() - 3);
        const Bytes content = ext == "WAV" ? test::MakeWav() : ext == "jpg" ? test::MakeJpeg(8, 8) : test::MakeBmp(2, 2);
        test::WriteFile(s / ("src/" + f.folder + "/" + f.file), content);
    }
    ASSERT_EQ(Tool(s, "create " + (s / "full.pak") + " " + (s / "src")).status, 0);
    const ToolRun ok = Tool(s, "verify " + (s / "full.pak"));
    EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
    EXPECT_NE(ok.out.find("135 entries, every resource present"), std::string::npos) << ok.out;

    fs::remove(s / "src/Roya2/KS.BMP");
    fs::remove(s / "src/Sounds/INTRO.WAV");
    test::WriteFile(s / "src/Numbers/clubs.BMP", test::Text("BMnot really"));
    ASSERT_EQ(Tool(s, "create " + (s / "part.pak") + " " + (s / "src")).status, 0);
    const ToolRun bad = Tool(s, "verify " + (s / "part.pak"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("missing: Roya2/KS.BMP\n"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("missing: Sounds/INTRO.WAV\n"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("damaged: Numbers/clubs.BMP: "), std::string::npos) << bad.out;
    EXPECT_EQ(bad.err, "tenfold-pak: " + (s / "part.pak") + ": 2 missing and 1 damaged or foreign entries\n");

    WriteRawArchive(s / "foreign.pak", {"dummX", "README"});
    const ToolRun foreign = Tool(s, "verify " + (s / "foreign.pak"));
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.out.find("foreign marker: entry 0 \"dummX\""), std::string::npos) << foreign.out;
    EXPECT_NE(foreign.out.find("unknown entry (skipped when unpacking): entry 1 \"README\""), std::string::npos);
}

}  // namespace
}  // namespace tenfold
