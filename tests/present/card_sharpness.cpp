// How close a card on a 1920 x 1080 screen comes to the same card drawn
// straight from its vector art at that size (scale 1.8): the game as a player
// runs it, headless, against the resource generator's own renderer. The
// table drawn at the screen's resolution must come close; the classic table
// (800 x 600, enlarged as one picture) must not, which shows that the figure
// tells the two apart. The same for the contract badge's small picture, one
// of the table aids' pictures that the game makes itself at 1x.
//
// The figure is the peak signal-to-noise ratio over the card's detail: the
// pixels where the vector rendering changes sharply (pips, letters, lines,
// the court figures' strokes). Blank paper would say nothing about sharpness
// and, being most of a card, would hide the difference. Threshold 19 dB, an
// RMS error of 29 of 255 on those pixels: a full-contrast edge (about 230 of
// 255) rendered a little differently at its antialiased pixels and rounded to
// 16-bit colour stays well under it (measured 20 to 21 dB), while an edge
// smeared over two screen pixels, as enlarging the 800 x 600 table does,
// errs by about half the step on both sides of it (measured 15 to 17 dB).
//
// The badge's picture is mostly small letters with strokes one or two pixels
// wide, laid out by each drawing on its own pixel grid: the art drawn at 2x
// and scaled down sits up to half a pixel off the direct drawing, which
// costs every edge pixel, so no drawing reaches the cards' figure. Threshold
// 14 dB: measured 15.8 dB drawn at the screen's size, and 12.3 to 12.4 dB
// for the 1x picture scaled up, in the game or with the enlarged table.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/game_main.h"
#include "pictures.h"
#include "present/game_screen.h"
#include "present/scaler.h"

namespace tenfold {
namespace {

// The font caches of pango, cairo and fontconfig (the badge's reference sets
// text) are let go at the end, as the generator lets them go, so that a leak
// checker sees only leaks of our own.
class FontCachesRelease : public ::testing::Environment {
public:
    void TearDown() override {
        pango_cairo_font_map_set_default(nullptr);
        cairo_debug_reset_static_data();
        FcFini();
    }
};
[[maybe_unused]] ::testing::Environment* const kFontCachesRelease =
    ::testing::AddGlobalTestEnvironment(new FontCachesRelease);

constexpr int kWidth = 1920, kHeight = 1080;
constexpr double kScale = 1.8;  // the table's scale on such a screen
constexpr double kCrispDb = 19.0;
// A card's corners lie on the cloth; its detail is plenty.
constexpr int kCardMargin = 6;
constexpr long kCardDetail = 500;
// The badge's rounded edge lies on its paper; its detail is a short name.
constexpr int kBadgeMargin = 3;
constexpr long kBadgeDetail = 100;
constexpr double kBadgeCrispDb = 14.0;

// Where the badge's small contract picture lies on the table (its panel
// runs from x 122 to 298, the picture centred at its top).
constexpr int kBadgePictureX = 210 - 112 / 2, kBadgePictureY = 7;

struct Place {
    int left = 0, top = 0;  // a picture's top-left corner on the screen
};

struct Shot {
    Card card = 0;
    int contract = 0;                   // index 0..9 of the contract in force
    std::vector<std::uint32_t> pixels;  // XRGB8888 of the whole screen
    Place cardPlace;                    // the rightmost card of the human's hand
    Place badgePlace;                   // the badge's contract picture
};

// Plays headless until the human's hand lies dealt, then takes the screen and
// where its rightmost (wholly visible) card lies.
Shot TakeCard(bool genoese, double fixedScale) {
    GameOptions options;
    options.seed = 7;
    options.autoplay = true;
    options.uncapped = true;
    options.programFolder = TENFOLD_BUILD_DIR;
    options.width = kWidth;
    options.height = kHeight;
    options.scale = fixedScale;
    options.table.deckName = genoese ? "Royal" : "Roya2";
    Game game(options);
    Shot shot;
    EXPECT_TRUE(game.Start());
    for (int i = 0; i < 20000 && game.Frame(); ++i) {
        if (game.State().flow.state == GameState::ShowingContract) break;
    }
    const TableState& t = game.State();
    EXPECT_EQ(t.flow.state, GameState::ShowingContract);
    const CardSprite* right = nullptr;
    for (const CardSprite& c : t.seats[kHumanSeat].hand) {
        if (c.active && (right == nullptr || c.x > right->x)) right = &c;
    }
    if (right == nullptr) {
        ADD_FAILURE() << "no card in the human's hand";
        return shot;
    }
    shot.card = right->card;
    shot.contract = Index(t.contract);
    const int x = static_cast<int>(std::nearbyint(right->x)), y = static_cast<int>(std::nearbyint(right->y));
    Display& d = game.Screen().display;
    std::function<Place(int, int)> onScreen;
    if (fixedScale > 0) {
        // The window shows the 800 x 600 table enlarged: its own pixels.
        int w = 0, h = 0;
        EXPECT_TRUE(d.ReadWindow(shot.pixels, w, h));
        EXPECT_EQ(w, kWidth);
        const Letterbox box = d.CurrentLetterbox();
        onScreen = [box](int lx, int ly) {
            return Place{static_cast<int>(std::lround(box.offsetX + lx * box.scale)),
                         static_cast<int>(std::lround(box.offsetY + ly * box.scale))};
        };
    } else {
        const Surface& b = d.backBuffer;
        EXPECT_EQ(b.Width(), kWidth);
        shot.pixels.resize(b.Pixels().size());
        for (std::size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = Xrgb8888From565(b.Pixels()[i]);
        const TableMapping mapping = d.Mapping();
        onScreen = [mapping](int lx, int ly) { return Place{mapping.X(lx), mapping.Y(ly)}; };
    }
    shot.cardPlace = onScreen(x, y);
    shot.badgePlace = onScreen(kBadgePictureX, kBadgePictureY);
    EXPECT_EQ(game.Finish(), 0);
    return shot;
}

// Whether the reference changes sharply at (x, y): a channel differs by more
// than 48 of 255 from a neighbour's. Blank paper says nothing about sharpness.
bool IsDetail(const assets::Image& r, int x, int y) {
    const assets::Rgb c = r.At(x, y);
    for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        const assets::Rgb n = r.At(x + dx, y + dy);
        if (n == assets::kMagenta) continue;
        if (std::abs(n.r - c.r) > 48 || std::abs(n.g - c.g) > 48 || std::abs(n.b - c.b) > 48) return true;
    }
    return false;
}

// PSNR in dB of the screen's pixels at `at` against the reference picture's,
// over its detail (IsDetail) more than `margin` pixels from its edge (a card's
// corners lie on the cloth, the badge's edge on its paper, which the
// reference does not have); at least `leastDetail` pixels of it.
double Psnr(const Shot& shot, Place at, const assets::Image& reference, int margin, long leastDetail) {
    double squares = 0;
    long count = 0;
    for (int y = margin; y < reference.height - margin; ++y) {
        for (int x = margin; x < reference.width - margin; ++x) {
            const assets::Rgb want = reference.At(x, y);
            if (want == assets::kMagenta || !IsDetail(reference, x, y)) continue;
            const std::uint32_t got = shot.pixels[static_cast<std::size_t>(at.top + y) * kWidth +
                                                  static_cast<std::size_t>(at.left + x)];
            const int dr = static_cast<int>(got >> 16 & 255) - want.r;
            const int dg = static_cast<int>(got >> 8 & 255) - want.g;
            const int db = static_cast<int>(got & 255) - want.b;
            squares += dr * dr + dg * dg + db * db;
            count += 3;
        }
    }
    EXPECT_GT(count, 3 * leastDetail);
    if (const char* dump = std::getenv("TENFOLD_DUMP_CARD")) {
        // For a look by eye: the reference and the screen's card side by side (PPM).
        static int shots = 0;
        FILE* f = std::fopen((std::string(dump) + std::to_string(shots++) + ".ppm").c_str(), "wb");
        std::fprintf(f, "P6 %d %d 255\n", reference.width * 2, reference.height);
        for (int y = 0; y < reference.height; ++y) {
            for (int x = 0; x < reference.width; ++x) std::fwrite(&reference.At(x, y), 3, 1, f);
            for (int x = 0; x < reference.width; ++x) {
                const std::uint32_t p = shot.pixels[static_cast<std::size_t>(at.top + y) * kWidth +
                                                    static_cast<std::size_t>(at.left + x)];
                const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                              static_cast<unsigned char>(p >> 8),
                                              static_cast<unsigned char>(p)};
                std::fwrite(rgb, 3, 1, f);
            }
        }
        std::fclose(f);
    }
    const double mse = squares / static_cast<double>(count);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(CardSharpness, CardsOnALargeScreenMatchTheirVectorArtAtThatSize) {
    const assets::Sources sources;
    for (const bool genoese : {false, true}) {
        const Shot crisp = TakeCard(genoese, 0);
        const Shot classic = TakeCard(genoese, 1);
        ASSERT_EQ(crisp.card, classic.card) << "the same deal in both";
        const assets::Image reference = assets::DrawCardFace(
            genoese ? sources.genoeseDeck : sources.standardDeck, genoese, crisp.card, kScale);
        const double crispDb = Psnr(crisp, crisp.cardPlace, reference, kCardMargin, kCardDetail);
        const double classicDb = Psnr(classic, classic.cardPlace, reference, kCardMargin, kCardDetail);
        std::printf(
            "%s deck, card %d at 1920 x 1080: %.1f dB drawn at the screen's size, %.1f dB enlarged "
            "from 800 x 600\n",
            genoese ? "Genoese" : "standard", crisp.card, crispDb, classicDb);
        EXPECT_GE(crispDb, kCrispDb);
        EXPECT_LT(classicDb, kCrispDb);
        if (genoese) continue;
        // The badge's contract picture (the same with either deck): its
        // detail is its name's letters, its symbol and the ring over it.
        ASSERT_EQ(crisp.contract, classic.contract);
        const assets::Image badge = assets::DrawSmallContract(crisp.contract, kScale);
        const double badgeDb = Psnr(crisp, crisp.badgePlace, badge, kBadgeMargin, kBadgeDetail);
        const double enlargedDb = Psnr(classic, classic.badgePlace, badge, kBadgeMargin, kBadgeDetail);
        std::printf(
            "badge's contract %d at 1920 x 1080: %.1f dB drawn at the screen's size, %.1f dB enlarged\n",
            crisp.contract + 1, badgeDb, enlargedDb);
        EXPECT_GE(badgeDb, kBadgeCrispDb);
        EXPECT_LT(enlargedDb, kBadgeCrispDb);
    }
}

}  // namespace
}  // namespace tenfold
