// The tenfold-pak tool, run as a separate program the way a user runs it.

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "resources/pak_writer.h"
#include "resources/resource_layout.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out, err;
};

// Runs the tool with `args`; a `fileSizeLimit` in bytes stands in for a full disk
// (the tool starts with the default disposition of SIGXFSZ, as from a shell).
ToolRun Tool(const test::ScratchDir& scratch, const std::string& args, rlim_t fileSizeLimit = RLIM_INFINITY) {
    const std::string out = scratch / ".out", err = scratch / ".err";
    const std::string cmd =
        std::string("'") + TENFOLD_PAK_TOOL + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{fileSizeLimit, RLIM_INFINITY};
        if (fileSizeLimit != RLIM_INFINITY && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int raw = 0;
    ::waitpid(child, &raw, 0);
    ToolRun r;
    // A death by signal shows as 128 + the signal, as a shell reports it.
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    const Bytes o = test::ReadBytes(out), e = test::ReadBytes(err);
    r.out.assign(o.begin(), o.end());
    r.err.assign(e.begin(), e.end());
    fs::remove(out);
    fs::remove(err);
    return r;
}

std::size_t Lines(const std::string& s) {
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n'));
}

TEST(PakTool, CreateListExtractRoundTripIsByteIdentical) {
    test::ScratchDir s;
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    fs::create_directories(s / "src/Royal");
    fs::create_directories(s / "src/sounds");  // folders match in any case
    fs::create_directories(s / "src/Bitmaps");
    test::WriteBytes(s / "src/Royal/AC.BMP", all);
    test::WriteBytes(s / "src/Royal/10H.BMP", test::Text("ten"));
    test::WriteBytes(s / "src/sounds/CARD_FLIP.WAV", test::MakeWav());
    test::WriteBytes(s / "src/Bitmaps/empty.bin", {});

    ASSERT_EQ(Tool(s, "create " + (s / "a.pak") + " " + (s / "src")).status, 0);
    ASSERT_EQ(Tool(s, "create " + (s / "b.pak") + " " + (s / "src")).status, 0);
    EXPECT_EQ(test::ReadBytes(s / "a.pak"), test::ReadBytes(s / "b.pak"));  // same input, same bytes

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
              (std::set<std::string>{"Bitmaps/", "Bitmaps/empty.bin", "Royal/", "Royal/10H.BMP",
                                     "Royal/AC.BMP", "Sounds/", "Sounds/CARD_FLIP.WAV"}));
    EXPECT_EQ(test::ReadBytes(s / "out/Royal/AC.BMP"), all);
    EXPECT_EQ(test::ReadBytes(s / "out/Sounds/CARD_FLIP.WAV"), test::MakeWav());

    // Existing files are kept unless replacing is asked for; the files this
    // run wrote before it met one are taken back.
    test::WriteBytes(s / "out/Royal/AC.BMP", test::Text("changed"));
    fs::remove(s / "out/Sounds/CARD_FLIP.WAV");
    fs::remove(s / "out/Royal/10H.BMP");
    fs::remove(s / "out/Bitmaps/empty.bin");
    const ToolRun again = Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "out"));
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "tenfold-pak: " + (s / "out/Royal/AC.BMP") + ": already exists, not overwritten\n");
    EXPECT_EQ(test::ReadBytes(s / "out/Royal/AC.BMP"), test::Text("changed"));
    EXPECT_FALSE(fs::exists(s / "out/Sounds/CARD_FLIP.WAV"));
    EXPECT_FALSE(fs::exists(s / "out/Royal/10H.BMP"));
    EXPECT_FALSE(fs::exists(s / "out/Bitmaps/empty.bin"));
    EXPECT_EQ(Tool(s, "extract -f " + (s / "a.pak") + " -C " + (s / "out")).status, 0);
    EXPECT_EQ(test::ReadBytes(s / "out/Royal/AC.BMP"), all);

    // Only the entries named.
    ASSERT_EQ(Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "one") + " Xoyal_10H.BMP").status, 0);
    EXPECT_EQ(test::ListTree(s / "one"), (std::set<std::string>{"Royal/", "Royal/10H.BMP"}));
    const ToolRun none = Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "two") + " nothing.bmp");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no resource entry named \"nothing.bmp\""), std::string::npos) << none.err;

    // A file outside the resource folders is refused rather than dropped.
    test::WriteBytes(s / "src/stray.txt", {});
    const ToolRun stray = Tool(s, "create " + (s / "c.pak") + " " + (s / "src"));
    EXPECT_EQ(stray.status, 1);
    EXPECT_NE(stray.err.find("stray.txt: not one of the resource folders"), std::string::npos) << stray.err;
    EXPECT_FALSE(fs::exists(s / "c.pak"));
}

TEST(PakTool, CreateRefusesSymbolicLinksWithOneLine) {
    struct Case {
        const char* what;
        const char* link;    // below src/
        std::string target;  // "" : points at itself
    };
    test::ScratchDir s;
    fs::create_directories(s / "outside/Royal");
    test::WriteBytes(s / "outside/secret", test::Text("secret"));
    test::WriteBytes(s / "outside/Royal/AC.BMP", test::Text("ace"));
    const std::vector<Case> cases = {
        {"a loop", "Royal/loop.BMP", ""},
        {"a file outside the tree", "Royal/passwd.BMP", s / "outside/secret"},
        {"a dangling link", "Royal/gone.BMP", s / "outside/nothing"},
        {"a resource folder", "Royal", s / "outside/Royal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(s / "src");
        fs::create_directories(s / "src/Sounds");
        test::WriteBytes(s / "src/Sounds/CARD_FLIP.WAV", test::MakeWav());
        if (std::string(c.link) != "Royal") fs::create_directories(s / "src/Royal");
        const std::string link = s / ("src/" + std::string(c.link));
        fs::create_symlink(c.target.empty() ? link : c.target, link);
        const ToolRun r = Tool(s, "create " + (s / "x.pak") + " " + (s / "src"));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "tenfold-pak: " + link + ": a symbolic link, not packed\n");
        EXPECT_FALSE(fs::exists(s / "x.pak"));
    }
}

TEST(PakTool, WritesPastTheFileSizeLimitFailWithoutLeavingShortOrTemporaryFiles) {
    test::ScratchDir s;
    const Bytes big(300000, 0x5A);
    fs::create_directories(s / "src/Royal");
    fs::create_directories(s / "src/Sounds");
    test::WriteBytes(s / "src/Royal/AC.BMP", test::Text("ace"));
    test::WriteBytes(s / "src/Sounds/SHUFFLE.WAV", big);
    ASSERT_EQ(Tool(s, "create " + (s / "a.pak") + " " + (s / "src")).status, 0);
    const rlim_t limit = 100000;

    // extract into an empty folder, and with -f over an older copy of the big file.
    fs::create_directories(s / "fresh");
    fs::create_directories(s / "old/Sounds");
    test::WriteBytes(s / "old/Sounds/SHUFFLE.WAV", test::Text("old"));
    for (const std::string target : {"fresh", "old"}) {
        SCOPED_TRACE(target);
        const auto before = test::ListTree(s / target);
        const ToolRun r = Tool(s, "extract -f " + (s / "a.pak") + " -C " + (s / target), limit);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(Lines(r.err), 1u) << r.err;
        EXPECT_NE(r.err.find("SHUFFLE.WAV: write failed: File too large"), std::string::npos) << r.err;
        EXPECT_EQ(test::ListTree(s / target), before);
    }
    EXPECT_EQ(test::ReadBytes(s / "old/Sounds/SHUFFLE.WAV"), test::Text("old"));
    // A target folder the run made goes too.
    EXPECT_EQ(Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "new"), limit).status, 1);
    EXPECT_FALSE(fs::exists(s / "new"));

    // create: no archive, and nothing hidden beside it.
    const auto before = test::ListTree(s.path());
    const ToolRun r = Tool(s, "create " + (s / "b.pak") + " " + (s / "src"), limit);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tenfold-pak: " + (s / "b.pak") + ": write failed: File too large\n");
    EXPECT_EQ(test::ListTree(s.path()), before);
}

TEST(PakTool, ExtractTakesBackWhatItWroteWhenALaterFolderCannotBeUsed) {
    test::ScratchDir s;
    fs::create_directories(s / "src/Royal");
    fs::create_directories(s / "src/Sounds");
    test::WriteBytes(s / "src/Royal/AC.BMP", test::Text("ace"));
    test::WriteBytes(s / "src/Sounds/SIGN1.WAV", test::MakeWav());
    ASSERT_EQ(Tool(s, "create " + (s / "a.pak") + " " + (s / "src")).status, 0);
    fs::create_directories(s / "out");
    test::WriteBytes(s / "out/Royal", test::Text("a file where a folder should be"));  // Royal comes last
    const auto before = test::ListTree(s / "out");

    const ToolRun r = Tool(s, "extract " + (s / "a.pak") + " -C " + (s / "out"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tenfold-pak: " + (s / "out/Royal") +
                         ": not a folder (a symbolic link or a file is in its place)\n");
    EXPECT_EQ(test::ListTree(s / "out"), before);
}

TEST(PakTool, UsageAndArchiveErrorsGiveOneLineAndTheirStatus) {
    test::ScratchDir s;
    for (const std::string args : {"", "frobnicate x", "list", "list a b", "extract --bogus x"}) {
        const ToolRun r = Tool(s, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(Lines(r.err), 1u) << args << ": " << r.err;
    }
    EXPECT_EQ(Tool(s, "--help").status, 0);

    test::WriteBytes(s / "bad.pak", test::Text("PACKxxxxyyyyzzzz"));
    for (const std::string cmd : {"list", "extract", "verify"}) {
        const ToolRun r =
            Tool(s, cmd + " " + (s / "bad.pak") + (cmd == "extract" ? " -C " + (s / "out") : ""));
        EXPECT_EQ(r.status, 1) << cmd;
        EXPECT_EQ(Lines(r.err), 1u) << r.err;
        EXPECT_EQ(r.err.rfind("tenfold-pak: " + (s / "bad.pak") + ": directory length at offset 8 is ", 0),
                  0u)
            << r.err;
    }

    // A directory that is a 512 MB sparse run of empty records is refused
    // outright, not read into memory.
    Bytes sparse = test::Text("PACK");
    sparse.resize(16 + 64, 0);
    test::PutLe32(sparse, 4, 16);
    test::PutLe32(sparse, 8, 512u << 20);
    std::copy_n("Xoyal_AC.BMP", 12, sparse.begin() + 16);
    test::PutLe32(sparse, 16 + 56, 16);
    test::WriteBytes(s / "sparse.pak", sparse);
    fs::resize_file(s / "sparse.pak", 16 + (512u << 20));
    const ToolRun r = Tool(s, "list " + (s / "sparse.pak"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        "tenfold-pak: " + (s / "sparse.pak") +
            ": directory length at offset 8 is 536870912, more than the 65536 records an archive may hold\n");
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
    test::WriteBytes(path, image);
}

TEST(PakTool, ListingTellsEveryNameApartAndExtractTakesNamesAsListed) {
    test::ScratchDir s;
    WriteRawArchive(s / "odd.pak",
                    {"Xoyal_a\x01", "Xoyal_a\\x01", "Xoyal_caf\xE9.BMP", "Xoyal_caf\\xE9.BMP"});
    const ToolRun list = Tool(s, "list " + (s / "odd.pak"));
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "Xoyal_a\\x01\t16\t4\n"
              "Xoyal_a\\\\x01\t20\t4\n"
              "Xoyal_caf\\xE9.BMP\t24\t4\n"
              "Xoyal_caf\\\\xE9.BMP\t28\t4\n");

    // Names that are safe file names can be picked by their listed form.
    WriteRawArchive(s / "latin.pak", {"Xoyal_caf\xE9.BMP", "Xoyal_cafe.BMP"});
    const ToolRun one =
        Tool(s, "extract " + (s / "latin.pak") + " -C " + (s / "out") + " 'Xoyal_caf\\xE9.BMP'");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(test::ListTree(s / "out"), (std::set<std::string>{"Royal/", "Royal/caf\xE9.BMP"}));
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
        {"linked folder",
         {"Xoyal_AC.BMP"},
         "Royal: not a folder",
         [](const test::ScratchDir& s) {
             fs::create_directories(s / "target");
             fs::create_directory_symlink(s / "outside", s / "target/Royal");
         }},
        {"linked file",
         {"Xoyal_AC.BMP"},
         "AC.BMP: already exists",
         [](const test::ScratchDir& s) {
             fs::create_directories(s / "target/Royal");
             fs::create_symlink(s / "outside/victim", s / "target/Royal/AC.BMP");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir s;
        fs::create_directories(s / "outside");
        test::WriteBytes(s / "outside/victim", test::Text("keep"));
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
        EXPECT_EQ(test::ReadBytes(s / "outside/victim"), test::Text("keep"));
    }
}

TEST(PakTool, VerifyListsWhatTheGameWouldMiss) {
    test::ScratchDir s;
    for (const layout::ResourceFile& f : layout::ArchiveFiles()) {
        fs::create_directories(s / ("src/" + f.folder));
        const std::string ext = f.file.substr(f.file.size() - 3);
        const Bytes content = ext == "WAV"   ? test::MakeWav()
                              : ext == "jpg" ? test::MakeJpeg(8, 8)
                                             : test::MakeBmp(2, 2);
        test::WriteBytes(s / ("src/" + f.folder + "/" + f.file), content);
    }
    ASSERT_EQ(Tool(s, "create " + (s / "full.pak") + " " + (s / "src")).status, 0);
    const ToolRun ok = Tool(s, "verify " + (s / "full.pak"));
    EXPECT_EQ(ok.status, 0) << ok.out << ok.err;
    EXPECT_NE(ok.out.find("135 entries, every resource present"), std::string::npos) << ok.out;

    fs::remove(s / "src/Roya2/KS.BMP");
    fs::remove(s / "src/Sounds/INTRO.WAV");
    test::WriteBytes(s / "src/Numbers/clubs.BMP", test::Text("BMnot really"));
    ASSERT_EQ(Tool(s, "create " + (s / "part.pak") + " " + (s / "src")).status, 0);
    const ToolRun bad = Tool(s, "verify " + (s / "part.pak"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("missing: Roya2/KS.BMP\n"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("missing: Sounds/INTRO.WAV\n"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("damaged: Numbers/clubs.BMP: "), std::string::npos) << bad.out;
    EXPECT_EQ(bad.err,
              "tenfold-pak: " + (s / "part.pak") +
                  ": entry 16 \"Xumbers_clubs.BMP\": the file has 12 bytes, too few for a bitmap header"
                  " (2 missing and 1 damaged or foreign entries in all)\n");

    WriteRawArchive(s / "foreign.pak", {"dummX", "README"});
    const ToolRun foreign = Tool(s, "verify " + (s / "foreign.pak"));
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.out.find("foreign marker: entry 0 \"dummX\""), std::string::npos) << foreign.out;
    EXPECT_NE(foreign.out.find("unknown entry (skipped when unpacking): entry 1 \"README\""),
              std::string::npos);
}

TEST(PakTool, VerifyRefusesWhatTheGameRefusesAtStartNamingTheFirstEntry) {
    // A complete archive, then one entry changed the way the game would refuse it.
    std::vector<PakEntry> full{{"dumm120", {}}};
    for (const layout::ResourceFile& f : layout::ArchiveFiles()) {
        const std::string ext = f.file.substr(f.file.size() - 3);
        full.push_back({std::string(layout::PrefixOf(f.folder)) + f.file, ext == "WAV" ? test::MakeWav()
                                                                          : ext == "jpg"
                                                                              ? test::MakeJpeg(8, 8)
                                                                              : test::MakeBmp(2, 2)});
    }
    Bytes fields = test::MakeBmp(2, 2, 16);  // bit fields whose masks are no channel layout
    test::PutLe32(fields, 30, 3);
    test::PutLe32(fields, 10, 66);
    fields.resize(66 + 8);
    std::fill(fields.begin() + 54, fields.end(), 0x5A);
    Bytes mpeg = test::MakeWav();
    test::Put16(mpeg, 20, 0x55);
    Bytes rleBomb = test::MakeBmp(1, 1, 8);
    test::PutLe32(rleBomb, 18, 4096);
    test::PutLe32(rleBomb, 22, 4096);
    test::PutLe32(rleBomb, 30, 1);

    struct Case {
        const char* what;
        const char* entry;
        Bytes bytes;
        std::string newName;  // renames the entry instead
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"damaged bitmap header", "Xoyal_7H.BMP", fields, "",
         "bit-field masks at offset 54 (5A5A5A5A 5A5A5A5A 5A5A5A5A)"},
        {"MPEG wave", "Xounds_SIGN2.WAV", mpeg, "", "format tag at offset 20 is 0x0055"},
        {"RLE card claiming 4096 x 4096", "Xoya2_KH.BMP", rleBomb, "",
         "width at offset 18 is 4096, outside 1..396"},
        {"foreign marker", "dumm120", {}, "dummy3", "a marker of another archive"},
    };
    test::ScratchDir s;
    const auto change = [](std::vector<PakEntry>& entries, const Case& c) {
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const PakEntry& e) { return e.name == c.entry; });
        if (c.newName.empty())
            it->bytes = c.bytes;
        else
            it->name = c.newName;
        return std::to_string(it - entries.begin()) + " \"" + it->name + "\"";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PakEntry> entries = full;
        const std::string changed = change(entries, c);
        ASSERT_TRUE(WritePak(s / "x.pak", entries));
        const ToolRun r = Tool(s, "verify " + (s / "x.pak"));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("tenfold-pak: " + (s / "x.pak") + ": entry " + changed + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("(0 missing and 1 damaged or foreign entries in all)"), std::string::npos)
            << r.err;
    }
    // Of several, the first in the archive is named (the decks come before the sounds).
    std::vector<PakEntry> entries = full;
    change(entries, cases[1]);
    const std::string card = change(entries, cases[0]);
    ASSERT_TRUE(WritePak(s / "x.pak", entries));
    const ToolRun r = Tool(s, "verify " + (s / "x.pak"));
    EXPECT_EQ(r.err.rfind("tenfold-pak: " + (s / "x.pak") + ": entry " + card + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("(0 missing and 2 damaged or foreign entries in all)"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tenfold
