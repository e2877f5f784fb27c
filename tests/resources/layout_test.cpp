#include <gtest/gtest.h>

#include <set>

#include "resources/file_path.h"
#include "resources/resource_layout.h"
#include "resources/unpack_plan.h"

namespace tenfold {
namespace {

std::string Field(std::string_view name) {
    std::string f(name);
    f.resize(56, '\0');
    return f;
}

TEST(ResourceLayout, CardPictureNamesFollowTheCardCode) {
    EXPECT_EQ(layout::CardFileName(0), "AC.BMP");
    EXPECT_EQ(layout::CardFileName(3), "AS.BMP");
    EXPECT_EQ(layout::CardFileName(4), "2C.BMP");
    EXPECT_EQ(layout::CardFileName(6), "2H.BMP");
    EXPECT_EQ(layout::CardFileName(37), "10D.BMP");
    EXPECT_EQ(layout::CardFileName(43), "JS.BMP");
    EXPECT_EQ(layout::CardFileName(46), "QH.BMP");
    EXPECT_EQ(layout::CardFileName(51), "KS.BMP");
    EXPECT_THROW(layout::CardFileName(52), std::out_of_range);
    EXPECT_THROW(layout::CardFileName(-1), std::out_of_range);

    // Both decks, backs and frames, contracts, bitmaps (the background as JPEG), fonts, sounds.
    const auto files = layout::ArchiveFiles();
    std::set<std::string> unique;
    for (const auto& f : files) unique.insert(f.folder + "/" + f.file);
    EXPECT_EQ(unique.size(), files.size());
    EXPECT_EQ(files.size(), 2u * 54 + 10 + 4 + 2 + 10);
    EXPECT_TRUE(unique.count("Royal/FrameBlue.bmp") && unique.count("Roya2/S_cardback.bmp") &&
                unique.count("Bitmaps/Back_800x600.jpg") && unique.count("Numbers/nokingofhearts.BMP") &&
                unique.count("fntFonts/fntHandParker.bmp") && unique.count("Sounds/LOSE_GAME.WAV"));
    EXPECT_FALSE(unique.count("Bitmaps/Back_800x600.bmp"));
}

TEST(ResourceLayout, EntryNamesRouteByPrefixAndMarker) {
    struct Case {
        std::string field;
        layout::EntryKind kind;
        std::string_view folder;
        std::string file;
    };
    using K = layout::EntryKind;
    const std::vector<Case> cases = {
        {Field("Xoyal_AC.BMP"), K::Resource, "Royal", "AC.BMP"},
        {Field("Xoya2_10H.BMP"), K::Resource, "Roya2", "10H.BMP"},
        {Field("XntFonts_fntDigit.bmp"), K::Resource, "fntFonts", "fntDigit.bmp"},
        {Field("Xounds_CARD_FLIP.WAV  "), K::Resource, "Sounds", "CARD_FLIP.WAV"},  // blanks dropped
        {Field("Xitmaps_mouse.bmp"), K::Resource, "Bitmaps", "mouse.bmp"},
        {Field("Xumbers_clubs.BMP"), K::Resource, "Numbers", "clubs.BMP"},
        {"Xoyal_" + std::string(50, 'L'), K::Resource, "Royal", std::string(50, 'L')},  // no padding at all
        {Field("Xoyal_"), K::Resource, "Royal", ""},
        {Field("dumm120"), K::AcceptedMarker, "", ""},
        {Field("dumm120 anything"), K::AcceptedMarker, "", ""},
        {Field("dummy2_"), K::AcceptedMarker, "", ""},
        {Field("dummy3_"), K::ForeignMarker, "", ""},
        {Field("dumm"), K::ForeignMarker, "", ""},
        {Field("xoyal_AC.BMP"), K::Unknown, "", ""},  // prefixes compare with case
        {Field("Sounds/CARD_FLIP.WAV"), K::Unknown, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const layout::EntryRoute r = layout::RouteEntry(c.field);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.folder, c.folder);
        EXPECT_EQ(r.file, c.file);
    }
}

TEST(ResourceLayout, UnsafeFileNamesAreRefused) {
    const std::vector<std::pair<std::string, const char*>> bad = {
        {"", "empty"},
        {".", "folder itself"},
        {"/etc/passwd", "absolute"},
        {"\\evil.bmp", "absolute"},
        {"sub/evil.bmp", "\"/\""},
        {"sub\\evil.bmp", "\"\\\""},
        {"..", "\"..\""},
        {"a..b", "\"..\""},
        {"C:evil.bmp", "drive letter"},
        {"evil\n.bmp", "control character 0x0A at position 4"},
        {"evil\x7F", "control character 0x7F"},
        {std::string("ev\0il", 5), "NUL byte at position 2"},
    };
    for (const auto& [name, reason] : bad) {
        const Result checked = layout::CheckFileName(name);
        EXPECT_FALSE(checked) << name;
        EXPECT_NE(checked.Reason().find(reason), std::string::npos)
            << "name \"" << name << "\" gave \"" << checked.Reason() << "\"";
    }
    for (const std::string ok : {"AC.BMP", "Back_800x600.jpg", "a.b.c", "x y", "\xE9t\xE9.wav"}) {
        EXPECT_TRUE(layout::CheckFileName(ok)) << ok;
    }
}

TEST(UnpackPlan, PlansEveryEntryOrRefusesTheArchiveWhole) {
    const std::vector<std::string> fields = {
        Field("dumm120"),  Field("Xoyal_AC.BMP"),         Field("README"),
        Field("dummy2_x"), Field("Xounds_CARD_FLIP.WAV"), Field("dummX")};
    // Markers, foreign or not, and unknown entries are written nowhere.
    std::vector<PlannedFile> plan;
    ASSERT_TRUE(PlanUnpack(fields, false, plan));
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].id, 1);
    EXPECT_EQ(plan[0].Path(), "Royal/AC.BMP");
    EXPECT_EQ(plan[1].id, 4);
    EXPECT_EQ(plan[1].Path(), "Sounds/CARD_FLIP.WAV");
    // Kept, an unknown entry goes to the top of the target under its own name.
    ASSERT_TRUE(PlanUnpack(fields, true, plan));
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[1].id, 2);
    EXPECT_EQ(plan[1].Path(), "README");

    struct Bad {
        std::vector<std::string> fields;
        bool keepUnknown;
        const char* reason;
    };
    const std::vector<Bad> bad = {
        {{Field("Xoyal_AC.BMP"), Field("Xoyal_../../x")}, false, "entry 1 \"Xoyal_../../x\": refused"},
        {{Field("Xoyal_")}, false, "entry 0 \"Xoyal_\": refused: the file name is empty"},
        {{Field("Xoyal_AC.BMP"), Field("Xoyal_ac.bmp")},
         false,
         "entry 1 \"Xoyal_ac.bmp\": refused: it would write the same file as entry 0 \"Xoyal_AC.BMP\""},
        {{Field("Xoyal_AC.BMP"), Field("Xoyal_AC.BMP  ")}, false, "same file"},
        {{std::string("Xoyal_A\0C.BMP", 13) + std::string(43, '\0')},
         false,
         "\"Xoyal_A\\x00C.BMP\": refused: the file name holds a NUL"},
        {{Field("/etc/passwd")}, true, "absolute"},
        {{Field("Xoyal_AC.BMP"), Field("AC.BMP")}, false, ""},  // unknown skipped: no clash
    };
    for (const Bad& b : bad) {
        const Result r = PlanUnpack(b.fields, b.keepUnknown, plan);
        if (std::string(b.reason).empty()) {
            EXPECT_TRUE(r) << r.Reason();
        } else {
            EXPECT_FALSE(r);
            EXPECT_NE(r.Reason().find(b.reason), std::string::npos) << r.Reason();
        }
    }
}

TEST(FilePath, FileNameAndExtension) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"/home/me/res120.pak", "res120.pak"},
        {"C:\\Games\\res120.pak", "res120.pak"},
        {"/mnt/c/Games\\sub\\x.pak", "x.pak"},
        {"res120.pak", "res120.pak"},
        {"dir/", ""},
        {"", ""},
    };
    for (const auto& [path, name] : names) EXPECT_EQ(FileNameOf(path), name) << path;

    const std::vector<std::pair<std::string, std::string>> extensions = {
        {"AC.BMP", "BMP"},  {"Back_800x600.jpeg", "jpe"},
        {"a.b.wav", "wav"}, {"name.x", "x"},
        {"trailing.", ""},  {"README", "REA"},
        {"ab", "ab"},       {"Xoyal_AC.BMP" + std::string(44, '\0'), "BMP"},
    };
    for (const auto& [file, ext] : extensions) EXPECT_EQ(ShortExtensionOf(file), ext) << file;
}

}  // namespace
}  // namespace tenfold
