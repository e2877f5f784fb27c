#include "resources/unpack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "resources/resource_check.h"
#include "resources/resource_layout.h"
#include "resources/stop_signals.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::Bytes;
namespace fs = std::filesystem;

Bytes BackgroundJpeg() { return test::ReadBytes(std::string(TENFOLD_RESOURCE_FIXTURES) + "/back.jpg"); }

std::string MakeArchive(const test::ScratchDir& s, const std::vector<PakEntry>& entries) {
    const std::string path = s / "res120.pak";
    EXPECT_TRUE(WritePak(path, entries));
    return path;
}

// Pixel (x, y) of a 24-bit bottom-up bitmap as {r, g, b}.
std::array<int, 3> Pixel(const Bytes& bmp, int x, int y) {
    const auto u32 = [&](std::size_t at) {
        return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24;
    };
    const int w = u32(18), h = u32(22), offset = u32(10);
    const int stride = (w * 3 + 3) / 4 * 4;
    const std::size_t at = static_cast<std::size_t>(offset + (h - 1 - y) * stride + x * 3);
    return {bmp.at(at + 2), bmp.at(at + 1), bmp.at(at)};
}

TEST(Unpacker, FillsAPrivateFolderAndRemovesItAgain) {
    test::ScratchDir parent;
    test::ScratchDir s;
    const Bytes all = [] {
        Bytes b(256);
        for (int i = 0; i < 256; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        return b;
    }();
    const std::string pak = MakeArchive(s, {{"dumm120", test::Text("marker")},
                                            {"Xoyal_AC.BMP", all},
                                            {"Xoya2_S_cardback.bmp", test::MakeBmp(2, 2)},
                                            {"XntFonts_fntDigit.bmp", test::MakeBmp(3, 1)},
                                            {"Xounds_CARD_FLIP.WAV", test::MakeWav()},
                                            {"README.TXT", test::Text("not a resource")},
                                            {"dummy2_", {}},
                                            {"Xitmaps_Back_800x600.jpg", BackgroundJpeg()},
                                            {"Xitmaps_empty.bin", {}},
                                            {"Xumbers_clubs.BMP", test::MakeBmp(1, 1)}});
    {
        ResourceUnpacker unpacker;
        const Result unpacked = unpacker.Unpack(pak, parent.path().string());
        ASSERT_TRUE(unpacked) << unpacked.Reason();
        const std::string base = unpacker.BaseFolder();
        ASSERT_EQ(base.rfind(parent / "tenfold-", 0), 0u) << base;
        ASSERT_EQ(base.back(), '/');
        struct stat st {};
        ASSERT_EQ(::stat(base.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);

        const std::string id = fs::path(base.substr(0, base.size() - 1)).filename().string() + "/";
        EXPECT_EQ(test::ListTree(parent.path()),
                  (std::set<std::string>{id, id + ".lock", id + "res/", id + "res/fntFonts/",
                                         id + "res/Sounds/", id + "res/Bitmaps/", id + "res/Numbers/",
                                         id + "res/Roya2/", id + "res/Royal/", id + "res/Royal/AC.BMP",
                                         id + "res/Roya2/S_cardback.bmp", id + "res/fntFonts/fntDigit.bmp",
                                         id + "res/Sounds/CARD_FLIP.WAV", id + "res/Bitmaps/Back_800x600.jpg",
                                         id + "res/Bitmaps/Back_800x600.bmp", id + "res/Bitmaps/empty.bin",
                                         id + "res/Numbers/clubs.BMP"}));
        EXPECT_EQ(test::ReadBytes(base + "res/Royal/AC.BMP"), all);
        EXPECT_EQ(test::ReadBytes(base + "res/Bitmaps/Back_800x600.jpg"), BackgroundJpeg());
        EXPECT_EQ(fs::file_size(base + "res/Bitmaps/empty.bin"), 0u);

        // The background bitmap: same size, red left half, blue right half.
        const Bytes bmp = test::ReadBytes(base + "res/Bitmaps/Back_800x600.bmp");
        EXPECT_TRUE(CheckBmp(bmp));
        EXPECT_EQ(bmp[28], 24);
        const auto red = Pixel(bmp, 2, 3), blue = Pixel(bmp, 13, 8);
        EXPECT_GT(red[0], 200);
        EXPECT_LT(red[2], 60);
        EXPECT_GT(blue[2], 200);
        EXPECT_LT(blue[0], 60);

        // With the presence file there, a second call has nothing to do.
        EXPECT_TRUE(unpacker.Unpack(s / "gone.pak", parent.path().string()));
        EXPECT_EQ(unpacker.BaseFolder(), base);

        unpacker.DeleteResources();
        EXPECT_EQ(unpacker.BaseFolder(), "");
        EXPECT_TRUE(test::ListTree(parent.path()).empty());
        unpacker.DeleteResources();  // harmless again

        // Going out of scope removes a folder nobody deleted.
        ASSERT_TRUE(unpacker.Unpack(pak, parent.path().string()));
        EXPECT_FALSE(test::ListTree(parent.path()).empty());
    }
    EXPECT_TRUE(test::ListTree(parent.path()).empty());
}

TEST(Unpacker, EveryFailureLeavesNothingBehind) {
    test::ScratchDir s;
    struct Case {
        const char* what;
        std::vector<PakEntry> entries;  // empty: no archive at all
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"missing archive", {}, "res120.pak: cannot open"},
        {"foreign marker",
         {{"Xoyal_AC.BMP", test::Text("a")}, {"dummX", {}}, {"Xoyal_2C.BMP", test::Text("b")}},
         "entry 1 \"dummX\": a marker of another archive; the resources were removed"},
        {"unsafe name",
         {{"Xoyal_AC.BMP", test::Text("a")}, {"Xounds_../../x", {}}},
         "entry 1 \"Xounds_../../x\": refused"},
        {"same file twice",
         {{"Xoyal_AC.BMP", {}}, {"Xoyal_ac.BMP", {}}},
         "would write the same file as entry 0"},
        {"background bitmap clash",
         {{"Xitmaps_Back_800x600.bmp", test::MakeBmp(1, 1)}, {"Xitmaps_Back_800x600.jpg", BackgroundJpeg()}},
         "entry 0 \"Xitmaps_Back_800x600.bmp\": refused: it would write the same file as the bitmap made "
         "from entry 1"},
        {"damaged JPEG",
         {{"Xounds_CARD_FLIP.WAV", test::MakeWav()}, {"Xitmaps_Back_800x600.jpg", test::Text("JFIF?")}},
         "entry 1 \"Xitmaps_Back_800x600.jpg\": magic at offset 0 is not a JPEG start marker"},
        {"undecodable JPEG",
         {{"Xitmaps_Back_800x600.jpg", test::MakeJpeg(8, 8)}},  // a frame header but no image data
         "cannot decode the JPEG picture"},
    };
    for (const Case& c : cases) {
        for (const bool inMemory : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (inMemory ? ", in memory" : ", in a folder"));
            test::ScratchDir parent;
            fs::remove(s / "res120.pak");
            if (!c.entries.empty()) MakeArchive(s, c.entries);
            ResourceUnpacker unpacker;
            if (inMemory) unpacker.UnpackIntoMemory();
            const Result unpacked = unpacker.Unpack(s / "res120.pak", parent.path().string());
            EXPECT_FALSE(unpacked);
            EXPECT_NE(unpacked.Reason().find(c.reason), std::string::npos) << unpacked.Reason();
            EXPECT_EQ(unpacker.ResourceRoot(), "");
            EXPECT_EQ(unpacker.Files(), nullptr);
            EXPECT_TRUE(test::ListTree(parent.path()).empty());
        }
    }

    // A parent folder that cannot be used is reported, not a crash.
    MakeArchive(s, {{"Xoyal_AC.BMP", {}}});
    ResourceUnpacker unpacker;
    const Result unpacked = unpacker.Unpack(s / "res120.pak", s / "no/such/folder");
    EXPECT_NE(unpacked.Reason().find("cannot make a private folder"), std::string::npos) << unpacked.Reason();
}

TEST(Unpacker, ReadsIntoMemoryWritingNothing) {
    test::ScratchDir parent, s;
    const std::string pak = MakeArchive(s, {{"dumm120", test::Text("marker")},
                                            {"Xoyal_AC.BMP", test::MakeBmp(2, 2)},
                                            {"Xoyal_AC@2x.png", test::Text("not wanted")},
                                            {"Xounds_CARD_FLIP.WAV", test::MakeWav()},
                                            {"README.TXT", test::Text("not a resource")},
                                            {"Xitmaps_Back_800x600.jpg", BackgroundJpeg()}});
    ResourceUnpacker unpacker;
    unpacker.UnpackIntoMemory();
    unpacker.UnpackOnly([](std::string_view, std::string_view file) { return file.find('@') == file.npos; });
    const Result unpacked = unpacker.Unpack(pak, parent.path().string());
    ASSERT_TRUE(unpacked) << unpacked.Reason();
    EXPECT_TRUE(test::ListTree(parent.path()).empty()) << "nothing written";
    EXPECT_EQ(unpacker.BaseFolder(), "");
    ASSERT_EQ(unpacker.ResourceRoot(), pak + "/");
    const ResourceFiles* files = unpacker.Files();
    ASSERT_NE(files, nullptr);
    const std::string res = pak + "/res/";
    // The wanted entries, the bitmap made from the background, found ignoring case as on disk.
    EXPECT_EQ(files->Count(), 4u);
    ASSERT_NE(files->Find(res + "royal/ac.bmp"), nullptr);
    EXPECT_EQ(*files->Find(res + "royal/ac.bmp"), test::MakeBmp(2, 2));
    EXPECT_NE(files->Find(res + "Sounds/CARD_FLIP.WAV"), nullptr);
    EXPECT_NE(files->Find(res + "Bitmaps/Back_800x600.jpg"), nullptr);
    const std::vector<std::uint8_t>* bmp = files->Find(res + "Bitmaps/Back_800x600.bmp");
    ASSERT_NE(bmp, nullptr);
    EXPECT_TRUE(CheckBmp(*bmp));
    EXPECT_EQ(files->Find(res + "Royal/AC@2x.png"), nullptr);

    unpacker.DeleteResources();
    EXPECT_EQ(unpacker.Files(), nullptr);
    EXPECT_EQ(unpacker.ResourceRoot(), "");

    // An entry larger than its file may be is refused before it is read.
    const std::string big = MakeArchive(s, {{"Xoyal_AC.BMP", Bytes(3u << 20, 0)}});
    const Result refused = unpacker.Unpack(big, parent.path().string());
    EXPECT_NE(refused.Reason().find("entry 0 \"Xoyal_AC.BMP\": 3145728 bytes, more than the limit"),
              std::string::npos)
        << refused.Reason();
    EXPECT_EQ(unpacker.Files(), nullptr);
}

TEST(Unpacker, AFileSizeLimitFailsTheUnpackingAndLeavesNothing) {
    test::ScratchDir s, parent;
    MakeArchive(s, {{"Xounds_CARD_FLIP.WAV", test::MakeWav()}, {"Xounds_SHUFFLE.WAV", Bytes(300000, 1)}});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);  // as a program starts
        const rlimit limit{100000, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(5);
        ResourceUnpacker unpacker;
        const Result unpacked = unpacker.Unpack(s / "res120.pak", parent.path().string());
        const bool ok = unpacked.Ok();
        const bool reported =
            unpacked.Reason().find("SHUFFLE.WAV: write failed: File too large") != std::string::npos;
        ::_exit(ok ? 4 : reported ? 3 : 6);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_TRUE(test::ListTree(parent.path()).empty());
}

TEST(Unpacker, TheFatalRoadRemovesTheFolder) {
    test::ScratchDir s, parent;
    MakeArchive(s, {{"Xounds_CARD_FLIP.WAV", test::MakeWav()}});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The unpacker is never destroyed: only its clean-up on the fatal
        // road can remove the folder (and its storage stays reachable, so a
        // leak checker has nothing to say).
        alignas(ResourceUnpacker) static unsigned char storage[sizeof(ResourceUnpacker)];
        auto* unpacker = new (storage) ResourceUnpacker;
        if (!unpacker->Unpack(s / "res120.pak", parent.path().string()) ||
            test::ListTree(parent.path()).empty()) {
            ::_exit(4);
        }
        Fatal("a failure the program cannot go on from");  // ends with status 1
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(test::ListTree(parent.path()).empty());

    // Once the resources are removed in order, the fatal road has nothing left to do for them.
    const pid_t second = ::fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        ResourceUnpacker unpacker;
        if (!unpacker.Unpack(s / "res120.pak", parent.path().string())) ::_exit(4);
        unpacker.DeleteResources();
        if (!unpacker.Unpack(s / "res120.pak", parent.path().string())) ::_exit(5);
        Fatal("after a second unpacking");
    }
    ASSERT_EQ(::waitpid(second, &status, 0), second);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_TRUE(test::ListTree(parent.path()).empty());
}

// A child process that unpacks into `parent`, says so through a pipe and
// then lives on until it is killed.
struct UnpackingChild {
    pid_t pid = -1;
    std::string folder;

    UnpackingChild(const std::string& pak, const std::string& parent) {
        int ready[2];
        if (::pipe(ready) != 0) std::abort();
        pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            static ResourceUnpacker unpacker;  // never destroyed: the child only dies
            if (!unpacker.Unpack(pak, parent)) ::_exit(3);
            const std::string base = unpacker.BaseFolder();
            if (::write(ready[1], base.data(), base.size()) != static_cast<ssize_t>(base.size())) ::_exit(4);
            ::close(ready[1]);
            while (true) ::pause();
        }
        ::close(ready[1]);
        char buf[4096];
        ssize_t n = 0;
        while ((n = ::read(ready[0], buf, sizeof buf)) > 0) {
            folder.append(buf, static_cast<std::size_t>(n));
            if (folder.back() == '/') break;
        }
        ::close(ready[0]);
    }
    void Kill(int sig) {
        ::kill(pid, sig);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    ~UnpackingChild() {
        if (pid > 0) Kill(SIGKILL);
    }
};

TEST(Unpacker, EachStartRemovesTheFoldersOfKilledRunsButNoLiveRunsFolder) {
    test::ScratchDir s, parent;
    const std::string pak = MakeArchive(s, {{"Xounds_CARD_FLIP.WAV", test::MakeWav()}});
    UnpackingChild killed(pak, parent.path().string()), live(pak, parent.path().string());
    ASSERT_FALSE(killed.folder.empty());
    ASSERT_FALSE(live.folder.empty());
    killed.Kill(SIGKILL);  // no handler runs: its folder stays behind
    ASSERT_TRUE(fs::exists(killed.folder));
    // Not ours to judge: a folder of the same form without a lock, made just
    // now, and a run's staging folder not yet locked.
    fs::create_directories(parent / "tenfold-Recent/res");
    fs::create_directories(parent / ".tenfold-Staged");
    test::WriteBytes(parent / ".tenfold-Staged/.lock.new", {});
    // A run killed after it locked its staging folder, before naming it: the lock is free.
    fs::create_directories(parent / ".tenfold-Locked");
    test::WriteBytes(parent / ".tenfold-Locked/.lock", {});

    ResourceUnpacker unpacker;
    ASSERT_TRUE(unpacker.Unpack(pak, parent.path().string()));
    EXPECT_FALSE(fs::exists(killed.folder));
    EXPECT_FALSE(fs::exists(parent / ".tenfold-Locked"));
    EXPECT_TRUE(fs::exists(live.folder + "res/Sounds/CARD_FLIP.WAV"));
    EXPECT_TRUE(fs::exists(parent / "tenfold-Recent"));
    EXPECT_TRUE(fs::exists(parent / ".tenfold-Staged"));
    // Every run's folder has its own name once it is in use: no staging folder of its own stays.
    for (const std::string& name : test::ListFolder(parent.str())) {
        EXPECT_TRUE(name == ".tenfold-Staged" || name.rfind("tenfold-", 0) == 0) << name;
    }

    // Once old, a lockless folder holding only what the unpacker makes goes too;
    // one holding anything else stays.
    fs::create_directories(parent / "tenfold-Olders/res");
    fs::create_directories(parent / "tenfold-Others");
    test::WriteBytes(parent / "tenfold-Others/mine.txt", {});
    for (const char* name : {"tenfold-Recent", ".tenfold-Staged", "tenfold-Olders", "tenfold-Others"}) {
        fs::last_write_time(parent / name, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    RemoveAbandonedFolders(parent.path().string());
    EXPECT_FALSE(fs::exists(parent / "tenfold-Recent"));
    EXPECT_FALSE(fs::exists(parent / ".tenfold-Staged"));
    EXPECT_FALSE(fs::exists(parent / "tenfold-Olders"));
    EXPECT_TRUE(fs::exists(parent / "tenfold-Others/mine.txt"));
    EXPECT_TRUE(fs::exists(live.folder));
    EXPECT_TRUE(fs::exists(unpacker.BaseFolder()));

    // The live run ends in order after all: it is its own folder's lock holder no more.
    live.Kill(SIGKILL);
    RemoveAbandonedFolders(parent.path().string());
    EXPECT_FALSE(fs::exists(live.folder));
}

TEST(Unpacker, AStopSignalEndsTheUnpackingAndRemovesTheFolder) {
    test::ScratchDir s, parent;
    const std::string pak = MakeArchive(s, {{"Xounds_CARD_FLIP.WAV", test::MakeWav()}, {"Xoyal_AC.BMP", {}}});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstallStopHandlers();
        ::raise(SIGHUP);  // noted, not fatal
        ResourceUnpacker unpacker;
        const Result unpacked = unpacker.Unpack(pak, parent.path().string());
        const bool ok = unpacked.Ok();
        const bool said = unpacked.Reason().find("unpacking stopped by signal 1") != std::string::npos;
        ::_exit(ok ? 4 : !said ? 5 : StopExitStatus());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGHUP);
    EXPECT_TRUE(test::ListTree(parent.path()).empty());
}

TEST(Unpacker, PrivateFolderGoesBelowTheRuntimeFolder) {
    test::ScratchDir runtime, tmp;
    const char* oldXdg = std::getenv("XDG_RUNTIME_DIR");
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedXdg = oldXdg ? oldXdg : "", savedTmp = oldTmp ? oldTmp : "";
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    EXPECT_EQ(DefaultUnpackParent(), runtime.path().string());
    ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
    EXPECT_EQ(DefaultUnpackParent(), tmp.path().string());
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("TMPDIR");
    EXPECT_EQ(DefaultUnpackParent(), "/tmp");
    if (oldXdg) ::setenv("XDG_RUNTIME_DIR", savedXdg.c_str(), 1);
    if (oldTmp) ::setenv("TMPDIR", savedTmp.c_str(), 1);
}

TEST(Unpacker, ARuntimeFolderThatCannotBeWrittenFallsBackToTheTemporaryFolder) {
    // As after `su`: the runtime folder exists but belongs to another user.
    test::ScratchDir s, runtime, tmp;
    const std::string pak = MakeArchive(s, {{"Xounds_CARD_FLIP.WAV", test::MakeWav()}});
    fs::permissions(s.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(pak, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(runtime.path(), fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(tmp.path(), fs::perms::all);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root may write anywhere: the run goes on as an ordinary user.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(5);
        ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        if (DefaultUnpackParent() != tmp.path().string()) ::_exit(6);
        ResourceUnpacker unpacker;
        if (const Result unpacked = unpacker.Unpack(pak); !unpacked) {
            std::fprintf(stderr, "%s\n", unpacked.Reason().c_str());
            ::_exit(7);
        }
        const bool inTmp = unpacker.BaseFolder().rfind(tmp.path().string() + "/tenfold-", 0) == 0;
        unpacker.DeleteResources();
        ::_exit(inTmp ? 3 : 8);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_TRUE(test::ListTree(tmp.path()).empty());
}

}  // namespace
}  // namespace tenfold
