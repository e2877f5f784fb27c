// How close a card on a 1920 x 1080 screen comes to the same card drawn
// straight from its vector art at that size (scale 1.8): the game as a player
// runs it, headless, against the resource generator's own renderer. The
// table drawn at the screen's resolution must come close; the classic table
// (800 x 600, enlarged as one picture) must not, which shows that the figure
// tells the two apart.
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
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/game_main.h"
#include "pictures.h"
#include "present/game_screen.h"
#include "present/scaler.h"

namespace tenfold {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr double kScale = 1.8;  // the table's scale on such a screen
constexpr double kCrispDb = 19.0;

struct Shot {
    Card card = 0;
    std::vector<std::uint32_t> pixels;  // XRGB8888 of the whole screen
    int left = 0, top = 0;              // the card's top-left corner on it
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
    const int x = static_cast<int>(std::nearbyint(right->x)), y = static_cast<int>(std::nearbyint(right->y));
    Display& d = game.Screen().display;
    if (fixedScale > 0) {
        // The window shows the 800 x 600 table enlarged: its own pixels.
        int w = 0, h = 0;
        EXPECT_TRUE(d.ReadWindow(shot.pixels, w, h));
        EXPECT_EQ(w, kWidth);
        const Letterbox box = d.CurrentLetterbox();
        shot.left = static_cast<int>(std::lround(box.offsetX + x * box.scale));
        shot.top = static_cast<int>(std::lround(box.offsetY + y * box.scale));
    } else {
        const Surface& b = d.backBuffer;
        EXPECT_EQ(b.Width(), kWidth);
        shot.pixels.resize(b.Pixels().size());
        for (std::size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = Xrgb8888From565(b.Pixels()[i]);
        shot.left = d.Mapping().X(x);
        shot.top = d.Mapping().Y(y);
    }
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

// PSNR in dB of the screen's pixels against the reference card's, over the
// card's detail (IsDetail) more than 6 pixels from its edge (its corners lie
// on the cloth, which the reference does not have).
double CardPsnr(const Shot& shot, const assets::Image& reference) {
    double squares = 0;
    long count = 0;
    constexpr int kMargin = 6;
    for (int y = kMargin; y < reference.height - kMargin; ++y) {
        for (int x = kMargin; x < reference.width - kMargin; ++x) {
            const assets::Rgb want = reference.At(x, y);
            if (want == assets::kMagenta || !IsDetail(reference, x, y)) continue;
            const std::uint32_t got = shot.pixels[static_cast<std::size_t>(shot.top + y) * kWidth +
                                                  static_cast<std::size_t>(shot.left + x)];
            const int dr = static_cast<int>(got >> 16 & 255) - want.r;
            const int dg = static_cast<int>(got >> 8 & 255) - want.g;
            const int db = static_cast<int>(got & 255) - want.b;
            squares += dr * dr + dg * dg + db * db;
            count += 3;
        }
    }
    EXPECT_GT(count, 1500);
    if (const char* dump = std::getenv("TENFOLD_DUMP_CARD")) {
        // For a look by eye: the reference and the screen's card side by side (PPM).
        static int shots = 0;
        FILE* f = std::fopen((std::string(dump) + std::to_string(shots++) + ".ppm").c_str(), "wb");
        std::fprintf(f, "P6 %d %d 255\n", reference.width * 2, reference.height);
        for (int y = 0; y < reference.height; ++y) {
            for (int x = 0; x < reference.width; ++x) std::fwrite(&reference.At(x, y), 3, 1, f);
            for (int x = 0; x < reference.width; ++x) {
                const std::uint32_t p = shot.pixels[static_cast<std::size_t>(shot.top + y) * kWidth +
                                                    static_cast<std::size_t>(shot.left + x)];
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
        const double crispDb = CardPsnr(crisp, reference);
        const double classicDb = CardPsnr(classic, reference);
        std::printf(
            "%s deck, card %d at 1920 x 1080: %.1f dB drawn at the screen's size, %.1f dB enlarged "
            "from 800 x 600\n",
            genoese ? "Genoese" : "standard", crisp.card, crispDb, classicDb);
        EXPECT_GE(crispDb, kCrispDb);
        EXPECT_LT(classicDb, kCrispDb);
    }
}

}  // namespace
}  // namespace tenfold
