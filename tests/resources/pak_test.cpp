#include "resources/pak_reader.h"
#include "resources/pak_writer.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::Bytes;

Bytes AllByteValues() {
    Bytes b(256);
    for (int i = 0; i < 256; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return b;
}

Bytes Build(const std::vector<PakEntry>& entries) {
    Bytes out;
    const Result r = BuildPak(entries, out);
    EXPECT_TRUE(r) << r.Reason();
    return out;
}

// Header 16 bytes; data of the two entries at 16 (10 bytes) and 26 (5 bytes);
// directory at 31: record 0 fields at 87 (offset) and 91 (size), record 1 at 151 and 155.
Bytes TwoEntryArchive() {
    return Build({{"Xoyal_AC.BMP", Bytes(10, 0x42)}, {"Xounds_A.WAV", Bytes(5, 0x17)}});
}

TEST(PakArchive, LayoutShiftAndRoundTrip) {
    test::ScratchDir dir;
    const std::string name18 = "Xoyal_ABCDEF.GHIJK";  // 18 characters
    ASSERT_EQ(name18.size(), 18u);
    const Bytes all = AllByteValues();
    const Bytes image = Build({{name18, all}, {"Xounds_EMPTY.WAV", {}}, {"dumm120", test::Text("x")}});

    // The stored bytes are the resource bytes plus one, modulo 256.
    EXPECT_EQ(image[16 + 0x00], 0x01);
    EXPECT_EQ(image[16 + 0x80], 0x81);
    EXPECT_EQ(image[16 + 0xFF], 0x00);
    ASSERT_TRUE(
        WritePak(dir / "a.pak", {{name18, all}, {"Xounds_EMPTY.WAV", {}}, {"dumm120", test::Text("x")}}));
    EXPECT_EQ(test::ReadBytes(dir / "a.pak"), image);

    PakReader pak;
    EXPECT_EQ(pak.EntryCount(), 0);
    EXPECT_EQ(pak.Path(), "");
    const Result opened = pak.Open(dir / "a.pak");
    ASSERT_TRUE(opened) << opened.Reason();
    EXPECT_EQ(pak.Path(), dir / "a.pak");
    ASSERT_EQ(pak.EntryCount(), 3);
    const auto e = pak.Entries();
    EXPECT_EQ(e[0].name, name18 + std::string(38, '\0'));
    EXPECT_EQ(e[0].offset, 16);
    EXPECT_EQ(e[0].size, 256);
    EXPECT_EQ(e[2].offset, 16 + 256);
    EXPECT_EQ(e[1].size, 0);

    ASSERT_TRUE(pak.SaveEntry(0, dir / "all.bin"));
    EXPECT_EQ(test::ReadBytes(dir / "all.bin"), all);
    // An empty entry gives an empty file.
    ASSERT_TRUE(pak.SaveEntry(1, dir / "empty.bin"));
    EXPECT_TRUE(std::filesystem::exists(dir / "empty.bin"));
    EXPECT_EQ(std::filesystem::file_size(dir / "empty.bin"), 0u);
}

TEST(PakArchive, StoredBytesComeOutShiftedBack) {
    test::ScratchDir dir;
    Bytes image = Build({{"Xoyal_S.BIN", Bytes(4, 0)}});
    // Overwrite the stored data directly: 0x00, 0x01, 0x80, 0xFF.
    image[16] = 0x00;
    image[17] = 0x01;
    image[18] = 0x80;
    image[19] = 0xFF;
    test::WriteBytes(dir / "s.pak", image);
    PakReader pak;
    ASSERT_TRUE(pak.Open(dir / "s.pak"));
    Bytes out;
    ASSERT_TRUE(pak.ReadEntry(0, out));
    EXPECT_EQ(out, (Bytes{0xFF, 0x00, 0x7F, 0xFE}));
}

TEST(PakArchive, FullLengthNameIsReadWithinItsField) {
    test::ScratchDir dir;
    const std::string full(56, 'N');
    ASSERT_TRUE(WritePak(dir / "f.pak", {{full, test::Text("abc")}}));
    PakReader pak;
    ASSERT_TRUE(pak.Open(dir / "f.pak"));
    ASSERT_EQ(pak.EntryCount(), 1);
    EXPECT_EQ(pak.Entries()[0].name, full);
    EXPECT_EQ(pak.Entries()[0].offset, 16);
    EXPECT_EQ(pak.Entries()[0].size, 3);
}

TEST(PakArchive, EntriesOutsideTheDirectoryAreRefused) {
    test::ScratchDir dir;
    PakReader pak;
    Bytes out;
    EXPECT_EQ(pak.SaveEntry(0, dir / "x").Reason(), "no archive loaded");
    test::WriteBytes(dir / "t.pak", TwoEntryArchive());
    ASSERT_TRUE(pak.Open(dir / "t.pak"));
    // The browser's "no selection" index, and one past the end, are refused, not a crash.
    for (const std::int32_t id : {-1, 2}) {
        const Result saved = pak.SaveEntry(id, dir / "x");
        EXPECT_NE(saved.Reason().find("entry " + std::to_string(id) + " outside 0..1"), std::string::npos)
            << saved.Reason();
        EXPECT_FALSE(pak.ReadEntry(id, out));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

struct Malformed {
    const char* what;
    std::function<void(const std::string& path)> make;
    const char* reason;  // expected part of the message
};

TEST(PakArchive, MalformedArchivesLoadNothingAndKeepTheEarlierOne) {
    test::ScratchDir dir;
    const std::string good = dir / "good.pak";
    test::WriteBytes(good, TwoEntryArchive());
    auto patched = [](std::size_t at, std::uint32_t v) {
        return [at, v](const std::string& p) {
            Bytes b = TwoEntryArchive();
            test::PutLe32(b, at, v);
            test::WriteBytes(p, b);
        };
    };
    auto bytes = [](Bytes b) { return [b](const std::string& p) { test::WriteBytes(p, b); }; };
    Bytes lowerMagic = TwoEntryArchive();
    lowerMagic[0] = 'p';
    Bytes hundred(100, 0);
    std::copy_n("PACK", 4, hundred.begin());
    test::PutLe32(hundred, 4, 16);
    test::PutLe32(hundred, 8, 0xFFFFFFC0u);

    const std::vector<Malformed> cases = {
        {"missing file", [](const std::string&) {}, "cannot open"},
        {"folder", [](const std::string& p) { std::filesystem::create_directory(p); }, "not a regular file"},
        {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, "not a regular file"},
        {"empty file", bytes({}), "header at offset 0: the file has 0 bytes"},
        {"short header", bytes(test::Text(std::string_view("PACK\x10\0\0\0\x40\0", 10))),
         "the file has 10 bytes"},
        {"magic in other case", bytes(lowerMagic), "magic at offset 0 is \"pACK\""},
        {"directory length 0", patched(8, 0), "directory length at offset 8 is 0,"},
        {"directory length 65", patched(8, 65), "directory length at offset 8 is 65,"},
        {"directory length 0xFFFFFFC0 in 100 bytes", bytes(hundred), "directory length at offset 8 is -64"},
        {"negative directory offset", patched(4, 0xFFFFFFFFu), "directory offset at offset 4 is -1"},
        {"directory past the end", patched(4, 40), "directory at offset 40 with length 128"},
        {"directory length past the end", patched(8, 192), "runs past the end of the file (159 bytes)"},
        {"negative entry offset", patched(87, 0x80000000u), "data offset at offset 87 is -2147483648"},
        {"negative entry size", patched(155, 0xFFFFFFFEu), "size at offset 155 is -2"},
        {"entry past the end", patched(91, 200), "entry 0 \"Xoyal_AC.BMP\": data at offset 16 with size 200"},
        {"empty name", patched(95, 0x756F5800u), "entry 1: the name field at offset 95 is empty"},
        {"directory padded with empty records",
         [](const std::string& p) {
             Bytes b = TwoEntryArchive();
             test::PutLe32(b, 8, 64 * 1000);
             b.resize(b.size() + 64 * 998, 0);
             test::WriteBytes(p, b);
         },
         "entry 2: the name field at offset 159 is empty"},
        {"directory of more records than any archive holds",
         [](const std::string& p) {
             Bytes b = TwoEntryArchive();
             test::PutLe32(b, 8, 64 * 65537);
             test::WriteBytes(p, b);
             std::filesystem::resize_file(p, 31 + 64 * 65537);
         },
         "directory length at offset 8 is 4194368, more than the 65536 records"},
        {"offset plus size wraps 32 bits",
         [](const std::string& p) {
             Bytes b = TwoEntryArchive();
             test::PutLe32(b, 151, 0x7FFFFFF0u);
             test::PutLe32(b, 155, 0x7FFFFFF0u);
             test::WriteBytes(p, b);
         },
         "entry 1 \"Xounds_A.WAV\": data at offset 2147483632"},
    };
    for (const Malformed& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir / (std::string("bad-") + std::to_string(&c - cases.data()) + ".pak");
        c.make(path);
        PakReader pak;
        ASSERT_TRUE(pak.Open(good));
        const Result refused = pak.Open(path);
        EXPECT_FALSE(refused);
        EXPECT_NE(refused.Reason().find(path + ": "), std::string::npos) << refused.Reason();
        EXPECT_NE(refused.Reason().find(c.reason), std::string::npos) << refused.Reason();
        // The earlier archive is still the loaded one and still readable.
        EXPECT_EQ(pak.Path(), good);
        EXPECT_EQ(pak.EntryCount(), 2);
        Bytes out;
        EXPECT_TRUE(pak.ReadEntry(1, out));
        EXPECT_EQ(out, Bytes(5, 0x17));
        // And a fresh reader stays empty.
        PakReader fresh;
        EXPECT_FALSE(fresh.Open(path));
        EXPECT_EQ(fresh.Path(), "");
        EXPECT_EQ(fresh.EntryCount(), 0);
    }
}

TEST(PakArchive, SavingReplacesWithoutFollowingLinksOrLeavingParts) {
    test::ScratchDir dir;
    test::WriteBytes(dir / "t.pak", TwoEntryArchive());
    PakReader pak;
    ASSERT_TRUE(pak.Open(dir / "t.pak"));

    // A longer old file is replaced by exactly the entry's bytes.
    test::WriteBytes(dir / "long.bin", Bytes(1000, 7));
    ASSERT_TRUE(pak.SaveEntry(1, dir / "long.bin"));
    EXPECT_EQ(test::ReadBytes(dir / "long.bin"), Bytes(5, 0x17));

    // A symbolic link at the target is replaced, its target left alone.
    test::WriteBytes(dir / "victim", test::Text("keep"));
    std::filesystem::create_symlink(dir / "victim", dir / "link.bin");
    ASSERT_TRUE(pak.SaveEntry(0, dir / "link.bin"));
    EXPECT_EQ(test::ReadBytes(dir / "victim"), test::Text("keep"));
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.bin"));
    EXPECT_EQ(test::ReadBytes(dir / "link.bin"), Bytes(10, 0x42));

    // Creating a new file refuses a planted link outright.
    SafeDir d;
    ASSERT_TRUE(SafeDir::Open(dir.path().string(), d));
    std::filesystem::create_symlink(dir / "victim", dir / "planted");
    const Result planted = pak.SaveEntry(0, d, "planted", WriteMode::CreateNew);
    EXPECT_NE(planted.Reason().find("already exists"), std::string::npos) << planted.Reason();
    EXPECT_EQ(test::ReadBytes(dir / "victim"), test::Text("keep"));
}

TEST(PakArchive, FailedWritesLeaveNoPartialFile) {
    test::ScratchDir dir;
    test::WriteBytes(dir / "big.pak", Build({{"Xoyal_BIG.BMP", Bytes(200000, 3)}}));
    PakReader pak;
    ASSERT_TRUE(pak.Open(dir / "big.pak"));
    SafeDir d;
    ASSERT_TRUE(SafeDir::Open(dir.path().string(), d));
    const auto before = test::ListTree(dir.path());

    // A file-size limit stands in for a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result created = pak.SaveEntry(0, d, "out.bmp", WriteMode::CreateNew);
    const Result replaced = pak.SaveEntry(0, dir / "out2.bmp");
    ::setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(created);
    EXPECT_NE(created.Reason().find("write failed"), std::string::npos) << created.Reason();
    EXPECT_FALSE(replaced);
    EXPECT_EQ(test::ListTree(dir.path()), before);

    // An archive that shrank after opening is caught at save time.
    ASSERT_EQ(::truncate((dir / "big.pak").c_str(), 1000), 0);
    const Result shrunk = pak.SaveEntry(0, dir / "out3.bmp");
    EXPECT_NE(shrunk.Reason().find("shrunk"), std::string::npos) << shrunk.Reason();
    EXPECT_EQ(test::ListTree(dir.path()), before);
}

TEST(PakArchive, WriterRefusesWhatTheReaderCouldNotRepresent) {
    Bytes out;
    struct Case {
        std::vector<PakEntry> entries;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {{}, "at least one entry"},
        {{{"", {}}}, "1 to 56 bytes"},
        {{{std::string(57, 'x'), {}}}, "1 to 56 bytes"},
        {{{std::string("a\0b", 3), {}}}, "NUL"},
        {{{"same", {}}, {"same", {}}}, "appears twice"},
    };
    for (const Case& c : cases) {
        const Result r = BuildPak(c.entries, out);
        EXPECT_FALSE(r);
        EXPECT_NE(r.Reason().find(c.reason), std::string::npos) << r.Reason();
    }
}

}  // namespace
}  // namespace tenfold
