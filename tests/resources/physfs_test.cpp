// Cross-check with an independent reader: PhysicsFS reads the same
// directories and finds the same names, sizes and stored bytes.

#include <gtest/gtest.h>
#include <physfs.h>

#include <map>
#include <random>

#include "resources/pak_reader.h"
#include "resources/pak_writer.h"
#include "resources/resource_layout.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::Bytes;

struct PhysFs {
    PhysFs() { EXPECT_NE(PHYSFS_init(nullptr), 0) << PHYSFS_getErrorByCode(PHYSFS_getLastErrorCode()); }
    ~PhysFs() { PHYSFS_deinit(); }
};

// name -> stored (still shifted) bytes, as PhysicsFS sees the archive.
std::map<std::string, Bytes> ReadWithPhysFs(const std::string& path) {
    std::map<std::string, Bytes> out;
    if (PHYSFS_mount(path.c_str(), "/", 0) == 0) {
        ADD_FAILURE() << path << ": " << PHYSFS_getErrorByCode(PHYSFS_getLastErrorCode());
        return out;
    }
    char** files = PHYSFS_enumerateFiles("/");
    for (char** f = files; *f != nullptr; ++f) {
        PHYSFS_File* file = PHYSFS_openRead(*f);
        EXPECT_NE(file, nullptr) << *f;
        if (file == nullptr) continue;
        Bytes bytes(static_cast<std::size_t>(PHYSFS_fileLength(file)));
        EXPECT_EQ(PHYSFS_readBytes(file, bytes.data(), bytes.size()),
                  static_cast<PHYSFS_sint64>(bytes.size()));
        PHYSFS_close(file);
        out[*f] = std::move(bytes);
    }
    PHYSFS_freeList(files);
    PHYSFS_unmount(path.c_str());
    return out;
}

std::map<std::string, Bytes> ReadWithPakReader(const std::string& path) {
    std::map<std::string, Bytes> out;
    PakReader pak;
    const Result opened = pak.Open(path);
    EXPECT_TRUE(opened) << opened.Reason();
    for (std::int32_t id = 0; id < pak.EntryCount(); ++id) {
        const PakRecord& r = pak.Entries()[static_cast<std::size_t>(id)];
        Bytes bytes;
        const Result read = pak.ReadEntry(id, bytes);
        EXPECT_TRUE(read) << read.Reason();
        for (std::uint8_t& b : bytes) b = PakShift(b);
        EXPECT_EQ(bytes.size(), static_cast<std::size_t>(r.size));
        out[layout::TrimName(r.name)] = std::move(bytes);
    }
    return out;
}

TEST(PhysFsCrossCheck, BothReadersAgreeOnNamesSizesAndBytes) {
    test::ScratchDir dir;
    std::mt19937 rng(7);
    std::vector<std::vector<PakEntry>> archives;
    archives.push_back(
        {{"dumm120", {}}, {"Xoyal_AC.BMP", test::MakeBmp(3, 3)}, {"Xounds_SIGN1.WAV", test::MakeWav()}});
    archives.push_back({{std::string(55, 'L'), test::Text("longest name PhysicsFS keeps")}, {"e", {}}});
    std::vector<PakEntry> many;
    for (int i = 0; i < 200; ++i) {
        Bytes b(rng() % 3000);
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        many.push_back({"Xoya2_" + std::to_string(i) + ".BMP", std::move(b)});
    }
    archives.push_back(std::move(many));

    PhysFs physfs;
    for (std::size_t i = 0; i < archives.size(); ++i) {
        std::string name = "t";
        name += std::to_string(i);
        const std::string path = dir / (name + ".pak");
        ASSERT_TRUE(WritePak(path, archives[i]));
        const auto theirs = ReadWithPhysFs(path);
        const auto ours = ReadWithPakReader(path);
        EXPECT_EQ(ours.size(), archives[i].size());
        EXPECT_EQ(theirs, ours) << path;
    }
}

}  // namespace
}  // namespace tenfold
