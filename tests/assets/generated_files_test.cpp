// What the resource generator writes: the formats, sizes and colour keys the
// game's loaders and drawing rely on, and the same bytes on every run.

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
    bool operator<(const Rgb& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
};
constexpr Rgb kMagenta{255, 0, 255};

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path TempDir() {
    char pattern[] = "/tmp/tenfold-assets-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) throw std::runtime_error("mkdtemp failed");
    return dir;
}

// Runs the generator; returns the folder that holds res/ and res120.pak.
fs::path Generate() {
    const fs::path dir = TempDir();
    const std::string command = std::string("'") + TENFOLD_ASSETS_EXE + "' --tree '" + dir.string() +
                                "' --pak '" + (dir / "res120.pak").string() + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("generator failed: " + command);
    return dir;
}

// The generator's output: the fixture's when CTest made one, else our own.
const fs::path& Output() {
    static const fs::path out = [] {
        if (const char* env = std::getenv("TENFOLD_ASSETS_OUT"); env != nullptr && fs::exists(env)) {
            return fs::path(env);
        }
        return Generate();
    }();
    return out;
}

fs::path Res(const std::string& folder, const std::string& file) { return Output() / "res" / folder / file; }

// A picture as the game's loader (SDL) reads it, plus its header's pixel format.
struct Picture {
    int width = 0, height = 0, bitsPerPixel = 0, compression = -1;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool Key(int x, int y) const { return At(x, y) == kMagenta; }
};

Picture Load(const fs::path& path) {
    Picture p;
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    if (bytes.size() >= 34 && bytes[0] == 'B' && bytes[1] == 'M') {
        p.bitsPerPixel = bytes[28] | (bytes[29] << 8);
        p.compression = bytes[30] | (bytes[31] << 8) | (bytes[32] << 16) | (bytes[33] << 24);
    }
    SDL_Surface* raw = IMG_Load(path.c_str());
    if (raw == nullptr) {
        ADD_FAILURE() << path << ": " << SDL_GetError();
        return p;
    }
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(raw);
    p.width = s->w;
    p.height = s->h;
    for (int y = 0; y < s->h; ++y) {
        const auto* row =
            static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < s->w; ++x) p.pixels.push_back({row[3 * x], row[3 * x + 1], row[3 * x + 2]});
    }
    SDL_FreeSurface(s);
    return p;
}

// A soft edge blended onto the key colour shows as a pink fringe in the game.
bool Pinkish(Rgb c) { return c.r > 150 && c.b > 150 && c.g + 60 < std::min(c.r, c.b); }

// Checks a colour-keyed picture: 24-bit uncompressed, and no visible pixel
// next to a keyed one (or at the border) carries a tint of magenta.
void ExpectCleanKeyedBitmap(const Picture& p, const std::string& name) {
    EXPECT_EQ(p.bitsPerPixel, 24) << name;
    EXPECT_EQ(p.compression, 0) << name;
    int fringe = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.Key(x, y)) continue;
            const bool edge = x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1 || p.Key(x - 1, y) ||
                              p.Key(x + 1, y) || p.Key(x, y - 1) || p.Key(x, y + 1);
            if (edge && Pinkish(p.At(x, y))) ++fringe;
        }
    }
    EXPECT_EQ(fringe, 0) << name << " has pink pixels at its edge";
}

std::vector<std::string> CardFiles() {
    std::vector<std::string> names;
    const std::array<std::string, 13> faces = {"A", "2", "3",  "4", "5", "6", "7",
                                               "8", "9", "10", "J", "Q", "K"};
    for (const std::string& f : faces)
        for (const char* suit : {"C", "D", "H", "S"}) names.push_back(f + suit + ".BMP");
    return names;
}

std::vector<bool> KeyMask(const Picture& p) {
    std::vector<bool> mask;
    for (const Rgb& c : p.pixels) mask.push_back(c == kMagenta);
    return mask;
}

class Decks : public ::testing::TestWithParam<std::string> {};

// Every card and back of a deck: 99 x 153, the whole card to its edges under
// one outline shared by the deck, magenta only outside the rounded corners,
// and 52 different faces.
TEST_P(Decks, CardsShareOneCleanOutlineAndDiffer) {
    const std::string deck = GetParam();
    std::vector<std::string> files = CardFiles();
    files.push_back("S_cardback.bmp");
    std::optional<std::vector<bool>> outline;
    std::set<std::vector<Rgb>> distinct;
    for (const std::string& file : files) {
        const Picture p = Load(Res(deck, file));
        const std::string name = deck + "/" + file;
        ASSERT_EQ(p.width, 99) << name;
        ASSERT_EQ(p.height, 153) << name;
        ExpectCleanKeyedBitmap(p, name);
        for (auto [x, y] : {std::pair{0, 0}, {98, 0}, {0, 152}, {98, 152}}) {
            EXPECT_TRUE(p.Key(x, y)) << name << " corner " << x << "," << y;
        }
        for (int y = 10; y < 143; ++y) {
            ASSERT_FALSE(p.Key(0, y) || p.Key(98, y)) << name << " does not reach its side at y " << y;
        }
        for (int x = 10; x < 89; ++x) {
            ASSERT_FALSE(p.Key(x, 0) || p.Key(x, 152))
                << name << " does not reach its top or bottom at x " << x;
        }
        if (!outline) outline = KeyMask(p);
        EXPECT_EQ(KeyMask(p), *outline) << name << " has another outline than the deck's first card";
        distinct.insert(p.pixels);
    }
    EXPECT_EQ(distinct.size(), files.size()) << deck << " has pictures that are the same";
}

// The selection frame: a blue band on the card's outline, see-through inside.
TEST_P(Decks, FrameIsABlueBandOnTheOutline) {
    const Picture p = Load(Res(GetParam(), "FrameBlue.bmp"));
    ASSERT_EQ(p.width, 99);
    ASSERT_EQ(p.height, 153);
    ExpectCleanKeyedBitmap(p, "FrameBlue.bmp");
    EXPECT_TRUE(p.Key(0, 0));
    EXPECT_TRUE(p.Key(49, 76));
    EXPECT_TRUE(p.Key(10, 10));
    for (auto [x, y] : {std::pair{1, 76}, {97, 76}, {49, 1}, {49, 151}}) {
        const Rgb c = p.At(x, y);
        EXPECT_GT(c.b, c.r + 80) << "not blue at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Both, Decks, ::testing::Values("Roya2", "Royal"));

TEST(Decks, TheTwoDecksLookDifferent) {
    EXPECT_NE(Load(Res("Roya2", "QH.BMP")).pixels, Load(Res("Royal", "QH.BMP")).pixels);
    EXPECT_NE(Load(Res("Roya2", "S_cardback.bmp")).pixels, Load(Res("Royal", "S_cardback.bmp")).pixels);
}

// Menu rows are 42 pixels apart with 283 x 46 click areas, so a button must
// stay within 280 x 40; each is a solid button with keyed corners.
TEST(TablePictures, ContractButtonsFitTheMenu) {
    std::set<std::vector<Rgb>> distinct;
    for (const char* file :
         {"clubs.BMP", "diamonds.BMP", "spades.BMP", "hearts.BMP", "notricks.BMP", "nohearts.BMP",
          "nolasttwotricks.BMP", "nokingsandjacks.BMP", "noqueens.BMP", "nokingofhearts.BMP"}) {
        const Picture p = Load(Res("Numbers", file));
        ASSERT_GT(p.width, 0) << file;
        EXPECT_LE(p.width, 280) << file;
        EXPECT_LE(p.height, 40) << file;
        EXPECT_GE(p.height, 30) << file;
        ExpectCleanKeyedBitmap(p, file);
        EXPECT_TRUE(p.Key(0, 0)) << file;
        EXPECT_TRUE(p.Key(p.width - 1, p.height - 1)) << file;
        EXPECT_FALSE(p.Key(p.width / 2, p.height / 2)) << file;
        distinct.insert(p.pixels);
    }
    EXPECT_EQ(distinct.size(), 10u);
}

TEST(TablePictures, ClothIsAFullScreenGreenJpeg) {
    const fs::path path = Res("Bitmaps", "Back_800x600.jpg");
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    const Picture p = Load(path);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    long r = 0, g = 0, b = 0;
    for (const Rgb& c : p.pixels) r += c.r, g += c.g, b += c.b;
    EXPECT_GT(g, r + b / 2) << "the cloth is not green";
}

// The sheet is drawn at (156, 4) and must lie under the whole score table
// (text from x = 208 to 514, header at y = 94 down to the result line's end).
TEST(TablePictures, ScoreSheetLiesUnderTheTable) {
    const Picture sheet = Load(Res("Bitmaps", "Scorepage_800x600.bmp"));
    ExpectCleanKeyedBitmap(sheet, "Scorepage_800x600.bmp");
    ASSERT_GE(sheet.width, 514 - 156);
    ASSERT_GE(sheet.height, 496 - 4);
    EXPECT_TRUE(sheet.Key(0, 0));
    for (int y = 94; y < 496; ++y)
        for (int x = 208; x < 514; ++x)
            ASSERT_FALSE(sheet.Key(x - 156, y - 4)) << "hole at " << x << "," << y;

    const Picture rule = Load(Res("Bitmaps", "line_horz.bmp"));
    ExpectCleanKeyedBitmap(rule, "line_horz.bmp");
    EXPECT_EQ(rule.height, 3);
    EXPECT_GE(rule.width, 300);
    EXPECT_LE(rule.width, 360);
    for (int x = 5; x < rule.width - 5; ++x) ASSERT_FALSE(rule.Key(x, 1)) << "rule broken at " << x;
}

// The game draws the pointer's top-left corner 16 pixels up and left of the
// mouse position, so the tip must be the pixel (16, 16) with nothing above or
// left of it.
TEST(TablePictures, PointerTipIsAtItsCentre) {
    const Picture p = Load(Res("Bitmaps", "mouse.bmp"));
    ExpectCleanKeyedBitmap(p, "mouse.bmp");
    ASSERT_EQ(p.width, 32);
    ASSERT_EQ(p.height, 32);
    EXPECT_FALSE(p.Key(16, 16));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (x < 16 || y < 16) {
                ASSERT_TRUE(p.Key(x, y)) << "ink at " << x << "," << y;
            }
        }
    }
}

// Font grids: 20 columns of 19 x 27 cells, cell n holding character n + 32.
// Glyphs are drawn 17 pixels apart, so ink must stay in columns 1..17 to
// keep neighbours from overlapping; letters and digits share one baseline.
TEST(Fonts, EveryPrintableCharacterHasInkInsideItsCell) {
    for (const char* file : {"fntDigit.bmp", "fntHandParker.bmp"}) {
        const Picture p = Load(Res("fntFonts", file));
        ExpectCleanKeyedBitmap(p, file);
        ASSERT_EQ(p.width, 20 * 19) << file;
        ASSERT_GE(p.height, 5 * 27) << file;
        std::map<char, int> lowestInk;
        for (int code = 32; code <= 126; ++code) {
            const int cx = ((code - 32) % 20) * 19, cy = ((code - 32) / 20) * 27;
            int ink = 0, outside = 0, lowest = -1;
            for (int y = 0; y < 27; ++y) {
                for (int x = 0; x < 19; ++x) {
                    if (p.Key(cx + x, cy + y)) continue;
                    ++ink;
                    lowest = std::max(lowest, y);
                    if (x < 1 || x > 17) ++outside;
                }
            }
            if (code == ' ') {
                EXPECT_EQ(ink, 0) << file << ": the space has ink";
            } else {
                EXPECT_GT(ink, 0) << file << ": no glyph for '" << static_cast<char>(code) << "'";
            }
            EXPECT_EQ(outside, 0) << file << ": '" << static_cast<char>(code)
                                  << "' reaches into its neighbours";
            lowestInk[static_cast<char>(code)] = lowest;
        }
        for (char c : std::string("1234567890AMP")) {
            EXPECT_NEAR(lowestInk[c], lowestInk['0'], 1) << file << ": '" << c << "' off the baseline";
        }
    }
}

struct Wave {
    int format = 0, channels = 0, rate = 0, byteRate = 0, blockAlign = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

Wave ReadWave(const fs::path& path) {
    const std::vector<std::uint8_t> b = ReadBytes(path);
    const auto u16 = [&](std::size_t at) { return b[at] | (b[at + 1] << 8); };
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(u16(at) | (u16(at + 2) << 16));
    };
    Wave w;
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE" || u32(4) + 8 != b.size()) {
        ADD_FAILURE() << path << " is not a whole RIFF/WAVE file";
        return w;
    }
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const std::uint32_t size = u32(at + 4);
        if (at + 8 + size > b.size()) break;
        if (id == "fmt ") {
            w.format = u16(at + 8);
            w.channels = u16(at + 10);
            w.rate = static_cast<int>(u32(at + 12));
            w.byteRate = static_cast<int>(u32(at + 16));
            w.blockAlign = u16(at + 20);
            w.bits = u16(at + 22);
        } else if (id == "data") {
            for (std::size_t i = 0; i + 1 < size; i += 2) {
                w.samples.push_back(static_cast<std::int16_t>(u16(at + 8 + i)));
            }
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

// The sound buffers are made for PCM, 22,050 Hz, 16-bit stereo. Peaks stay
// below -1 dBFS, the first and last samples are silent (no click when a
// buffer starts or stops), and lengths stay within 1.5 s (4 s for jingles).
TEST(Sounds, AllTenArePcm22kStereoWithinTheirLimits) {
    const std::vector<std::pair<std::string, double>> sounds = {
        {"CARD_FLIP.WAV", 1.5}, {"CARD_FLIP2.WAV", 1.5}, {"CARD_FLIP3.WAV", 1.5}, {"SIGN1.WAV", 1.5},
        {"SIGN2.WAV", 1.5},     {"SIGN3.WAV", 1.5},      {"SHUFFLE.WAV", 1.5},    {"INTRO.WAV", 4.0},
        {"WIN_GAME.WAV", 4.0},  {"LOSE_GAME.WAV", 4.0}};
    std::set<std::vector<std::int16_t>> distinct;
    for (const auto& [file, limit] : sounds) {
        const Wave w = ReadWave(Res("Sounds", file));
        EXPECT_EQ(w.format, 1) << file;
        EXPECT_EQ(w.channels, 2) << file;
        EXPECT_EQ(w.rate, 22050) << file;
        EXPECT_EQ(w.bits, 16) << file;
        EXPECT_EQ(w.blockAlign, 4) << file;
        EXPECT_EQ(w.byteRate, 88200) << file;
        ASSERT_GE(w.samples.size(), 2u * 2205) << file << " is shorter than 0.1 s";
        EXPECT_LE(static_cast<double>(w.samples.size()) / 2 / 22050, limit) << file;
        int peak = 0;
        for (std::int16_t v : w.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, 29204) << file << " peaks above -1 dBFS";
        EXPECT_GT(peak, 3000) << file << " is nearly silent";
        for (std::size_t i : {std::size_t{0}, std::size_t{1}, w.samples.size() - 2, w.samples.size() - 1}) {
            EXPECT_LE(std::abs(static_cast<int>(w.samples[i])), 16) << file << " clicks at sample " << i;
        }
        distinct.insert(w.samples);
    }
    EXPECT_EQ(distinct.size(), sounds.size()) << "some sounds are the same";
}

// Every picture comes again at twice and three times its size, the same art:
// exactly that many pixels, and transparent (keyed) where the 1x picture is,
// but for the antialiased rim, which each size cuts on its own pixels.
TEST(LargerArt, EveryPictureAgainAtTwiceAndThriceItsSize) {
    int pictures = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Output() / "res")) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        const bool oneX = name.find('@') == std::string::npos &&
                          (ext == ".bmp" || ext == ".BMP" || name == "Back_800x600.jpg");
        if (!entry.is_regular_file() || !oneX) continue;
        ++pictures;
        const Picture small = Load(entry.path());
        const bool keyed = name != "Back_800x600.jpg";
        for (const int scale : {2, 3}) {
            const std::string larger =
                entry.path().stem().string() + "@" + std::to_string(scale) + "x" + (keyed ? ".png" : ".jpg");
            const fs::path path = entry.path().parent_path() / larger;
            ASSERT_TRUE(fs::exists(path)) << larger;
            const Picture big = Load(path);
            ASSERT_EQ(big.width, small.width * scale) << larger;
            ASSERT_EQ(big.height, small.height * scale) << larger;
            if (!keyed) continue;
            // Only pixels inside a keyed or an opaque area (their whole
            // neighbourhood alike) are compared: the rim is cut anew at each size.
            int differ = 0, compared = 0;
            for (int y = 1; y + 1 < small.height; ++y) {
                for (int x = 1; x + 1 < small.width; ++x) {
                    bool alike = true;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            alike = alike && small.Key(x + dx, y + dy) == small.Key(x, y);
                    if (!alike) continue;
                    ++compared;
                    if (small.Key(x, y) != big.Key(x * scale + scale / 2, y * scale + scale / 2)) ++differ;
                }
            }
            EXPECT_LE(differ, compared / 200 + 2) << larger << ": another shape";
        }
    }
    EXPECT_EQ(pictures, 124);
}

// The build must be reproducible: a second run gives the same bytes.
TEST(Generator, SameBytesOnEveryRun) {
    const fs::path again = Generate();
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Output() / "res")) {
        if (!entry.is_regular_file()) continue;
        const fs::path relative = fs::relative(entry.path(), Output());
        ASSERT_TRUE(fs::exists(again / relative)) << relative;
        EXPECT_TRUE(ReadBytes(entry.path()) == ReadBytes(again / relative)) << relative << " differs";
        ++files;
    }
    EXPECT_EQ(files, 134u + 2 * (124u + 12u))
        << "the game's 134 files, and its 124 pictures and the table aids' 12 at 2x and at 3x";
    EXPECT_TRUE(ReadBytes(Output() / "res120.pak") == ReadBytes(again / "res120.pak"))
        << "the archive differs";
    fs::remove_all(again);
}

#ifdef TENFOLD_PAK_EXE
// The archive passes the archive tool's check (structure, markers, every
// file the game loads and each file's header), stays within 20 MB, and
// unpacks to exactly the files the other tests examine.
TEST(Archive, VerifiesAndHoldsTheGeneratedFiles) {
    const fs::path pak = Output() / "res120.pak";
    ASSERT_TRUE(fs::exists(pak));
    EXPECT_LE(fs::file_size(pak), 20u * 1024 * 1024);
    const std::string tool = std::string("'") + TENFOLD_PAK_EXE + "' ";
    EXPECT_EQ(std::system((tool + "verify '" + pak.string() + "' > /dev/null").c_str()), 0);

    const fs::path unpacked = TempDir();
    ASSERT_EQ(std::system((tool + "extract '" + pak.string() + "' -C '" + unpacked.string() + "'").c_str()),
              0);
    std::set<fs::path> inArchive, generated;
    for (const auto& e : fs::recursive_directory_iterator(unpacked)) {
        if (!e.is_regular_file()) continue;
        const fs::path relative = fs::relative(e.path(), unpacked);
        inArchive.insert(relative);
        EXPECT_TRUE(ReadBytes(e.path()) == ReadBytes(Output() / "res" / relative)) << relative << " differs";
    }
    for (const auto& e : fs::recursive_directory_iterator(Output() / "res")) {
        if (e.is_regular_file()) generated.insert(fs::relative(e.path(), Output() / "res"));
    }
    EXPECT_EQ(inArchive, generated);
    fs::remove_all(unpacked);
}
#endif

}  // namespace
