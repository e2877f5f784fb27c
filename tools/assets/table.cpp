// Pictures of the table: the cloth, the contract buttons, the score sheet with
// its ink rule, and the mouse pointer.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "pictures.h"
#include "random.h"
#include "resources/resource_layout.h"

namespace tenfold::assets {

namespace {

constexpr double kPi = std::numbers::pi;

void SetSource(cairo_t* cr, Rgb c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

// Smooth value noise on a coarse grid, for the cloth's gentle mottling.
class Mottle {
public:
    Mottle(int cell, int width, int height, std::uint64_t seed)
        : cell_(cell), cols_(width / cell + 2), rows_(height / cell + 2) {
        Noise n(seed);
        values_.resize(static_cast<std::size_t>(cols_) * rows_);
        for (double& v : values_) v = n.Next() * 2 - 1;
    }
    double At(double x, double y) const {
        const double gx = x / cell_, gy = y / cell_;
        const int ix = static_cast<int>(gx), iy = static_cast<int>(gy);
        const double fx = Smooth(gx - ix), fy = Smooth(gy - iy);
        const double top = Lerp(V(ix, iy), V(ix + 1, iy), fx);
        const double bottom = Lerp(V(ix, iy + 1), V(ix + 1, iy + 1), fx);
        return Lerp(top, bottom, fy);
    }

private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    static double Lerp(double a, double b, double t) { return a + (b - a) * t; }
    double V(int x, int y) const { return values_[static_cast<std::size_t>(y) * cols_ + x]; }
    int cell_, cols_, rows_;
    std::vector<double> values_;
};

std::uint8_t Clamp8(double v) { return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0)); }

// Green cloth lit softly from above the middle of the table: bright enough to
// feel like a lamp, dark enough at the rim that white cards stand out. At a
// larger scale the light and the mottling keep their places on the table and
// the grain gets finer, as a closer look at cloth would show it.
Image Cloth(int scale) {
    constexpr int kW = 800, kH = 600;
    Image img(kW * scale, kH * scale);
    Noise grain(0x7E4F01DULL);
    Mottle mottle(48, kW, kH, 0xC10751ULL);
    Mottle fibres(6, kW, kH, 0xF1B4E5ULL);
    const double step = 1.0 / scale;
    for (int py = 0; py < img.height; ++py) {
        for (int px = 0; px < img.width; ++px) {
            const double x = px * step, y = py * step;
            const double dx = (x - 400.0) / 520.0, dy = (y - 270.0) / 430.0;
            const double light = 1.0 - 0.55 * std::min(1.0, dx * dx + dy * dy);
            const double texture =
                0.035 * mottle.At(x, y) + 0.03 * fibres.At(x, y) + 0.03 * (grain.Next() - 0.5);
            const double k = light + texture;
            img.At(px, py) = {Clamp8(22 + 30 * k), Clamp8(62 + 88 * k), Clamp8(34 + 44 * k)};
        }
    }
    return img;
}

// ---------------------------------------------------------------- contracts

constexpr Rgb kInk{28, 28, 30};
constexpr Rgb kSuitRed{200, 24, 36};
constexpr Rgb kBan{214, 30, 30};

// Draws a text centred on (cx, cy) by its ink.
void CentredText(cairo_t* cr, const std::string& font, const std::string& text, double cx, double cy,
                 Rgb colour) {
    TextLine line(cr, font, text);
    const PangoRectangle ink = line.Ink();
    SetSource(cr, colour);
    line.Show(cx - ink.x - ink.width / 2.0, cy - ink.y - ink.height / 2.0);
}

void MiniCard(cairo_t* cr, double cx, double cy, double angleDeg) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy + 5);
    cairo_rotate(cr, angleDeg * kPi / 180);
    RoundedRect(cr, -5, -13, 10, 15, 1.5);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    SetSource(cr, kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// The red "not allowed" ring with its bar, over a symbol centred on (cx, cy).
void Prohibition(cairo_t* cr, double cx, double cy) {
    constexpr double kR = 15;
    SetSource(cr, kBan, 0.9);
    cairo_set_line_width(cr, 2.4);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, kR, 0, 2 * kPi);
    cairo_stroke(cr);
    const double d = kR * std::cos(kPi / 4);
    cairo_move_to(cr, cx - d, cy - d);
    cairo_line_to(cr, cx + d, cy + d);
    cairo_stroke(cr);
}

struct ContractArt {
    std::string name;
    std::function<void(cairo_t*, double, double)> symbol;  // centred on (cx, cy)
    bool negative;
};

std::array<ContractArt, 10> ContractArts() {
    const auto suit = [](const char* glyph, Rgb colour) {
        return [glyph, colour](cairo_t* cr, double cx, double cy) {
            CentredText(cr, "DejaVu Sans 30px", glyph, cx, cy, colour);
        };
    };
    const auto letters = [](const char* text, const char* font, Rgb colour) {
        return [text, font, colour](cairo_t* cr, double cx, double cy) {
            CentredText(cr, font, text, cx, cy, colour);
        };
    };
    return {{
        {"Clubs are trumps", suit("\u2663", kInk), false},
        {"Diamonds are trumps", suit("\u2666", kSuitRed), false},
        {"Spades are trumps", suit("\u2660", kInk), false},
        {"Hearts are trumps", suit("\u2665", kSuitRed), false},
        {"No tricks",
         [](cairo_t* cr, double cx, double cy) {
             MiniCard(cr, cx - 5, cy, -22);
             MiniCard(cr, cx, cy - 1, 0);
             MiniCard(cr, cx + 5, cy, 22);
         },
         true},
        {"No hearts", letters("\u2665", "DejaVu Sans 21px", kSuitRed), true},
        {"No last two tricks",
         [](cairo_t* cr, double cx, double cy) {
             MiniCard(cr, cx - 3, cy, -14);
             MiniCard(cr, cx + 3, cy, 14);
             CentredText(cr, "DejaVu Sans Bold 9px", "2", cx + 3.5, cy - 1, kInk);
         },
         true},
        {"No kings and jacks", letters("KJ", "DejaVu Sans Bold 13px", kInk), true},
        {"No queens", letters("Q", "DejaVu Sans Bold 17px", kInk), true},
        {"No king of hearts",
         [](cairo_t* cr, double cx, double cy) {
             CentredText(cr, "DejaVu Sans Bold 12px", "K\u2665", cx, cy, kSuitRed);
         },
         true},
    }};
}

// A raised ivory button with the contract's symbol on the left and its name,
// its 270 x 38 design scaled to `width` x `height` pixels.
Image ContractButton(const ContractArt& art, int width, int height) {
    Surface s = NewSurface(width, height);
    Context cr = NewContext(s.get());
    cairo_t* c = cr.get();
    cairo_scale(c, static_cast<double>(width) / kContractWidth,
                static_cast<double>(height) / kContractHeight);
    constexpr double kR = 9;
    RoundedRect(c, 0.5, 0.5, kContractWidth - 1, kContractHeight - 1, kR);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, kContractHeight);
    cairo_pattern_add_color_stop_rgb(fill, 0, 1.0, 0.985, 0.93);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.89, 0.85, 0.74);
    cairo_set_source(c, fill);
    cairo_fill_preserve(c);
    cairo_pattern_destroy(fill);
    SetSource(c, Rgb{62, 46, 26});
    cairo_set_line_width(c, 2);
    cairo_stroke(c);
    // A thin highlight inside the top edge gives the button some relief.
    RoundedRect(c, 2.5, 2.5, kContractWidth - 5, kContractHeight - 5, kR - 2);
    cairo_set_source_rgba(c, 1, 1, 1, 0.55);
    cairo_set_line_width(c, 1);
    cairo_stroke(c);

    constexpr double kSymbolX = 24, kSymbolY = kContractHeight / 2.0;
    art.symbol(c, kSymbolX, kSymbolY);
    if (art.negative) Prohibition(c, kSymbolX, kSymbolY);

    TextLine name(c, "DejaVu Sans Bold 17px", art.name);
    const PangoRectangle logical = name.Logical();
    const double room = kContractWidth - 48.0 - 8.0;
    if (logical.width > room) throw std::runtime_error("contract name too wide: " + art.name);
    SetSource(c, kInk);
    name.Show(48 + (room - logical.width) / 2.0, (kContractHeight - logical.height) / 2.0);
    return FlattenKeyed(s.get(), kClothTone);
}

// ---------------------------------------------------------------- score sheet

// The score sheet sits at (156, 4) on the screen; the table text starts at
// x = 208, its header at y = 94 and rows follow 31 pixels apart.
constexpr int kSheetX = 156, kSheetY = 4;
constexpr int kSheetW = 488, kSheetH = 560;
constexpr Rgb kPenInk{22, 42, 118};

Image ScoreSheet(int scale) {
    Surface s = NewSurface(kSheetW * scale, kSheetH * scale);
    Context cr = NewContext(s.get());
    cairo_t* c = cr.get();
    cairo_scale(c, scale, scale);
    RoundedRect(c, 0, 0, kSheetW, kSheetH, 5);
    cairo_clip_preserve(c);
    SetSource(c, kPaperTone);
    cairo_fill(c);
    // Faint paper grain.
    Noise n(0x5C0E5EE7ULL);
    for (int i = 0; i < 2500; ++i) {
        const double x = n.Next() * kSheetW, y = n.Next() * kSheetH;
        cairo_set_source_rgba(c, 0.55, 0.5, 0.4, 0.05 + 0.06 * n.Next());
        cairo_rectangle(c, x, y, 1, 1);
        cairo_fill(c);
    }
    // Ruled lines under the deal rows, the totals and the result (screen y of
    // a row's top + 24, just under the handwriting's baseline).
    SetSource(c, Rgb{150, 178, 222});
    cairo_set_line_width(c, 1);
    std::vector<int> rules;
    for (int r = 1; r <= 9; ++r) rules.push_back(94 + 31 * r + 24);
    rules.push_back(438 + 24);
    rules.push_back(469 + 24);
    for (int y : rules) {
        cairo_move_to(c, 14, y - kSheetY + 0.5);
        cairo_line_to(c, kSheetW - 14, y - kSheetY + 0.5);
    }
    cairo_stroke(c);
    // Red margin just left of the table text.
    SetSource(c, Rgb{214, 96, 96});
    cairo_move_to(c, 200 - kSheetX + 0.5, 0);
    cairo_line_to(c, 200 - kSheetX + 0.5, kSheetH);
    cairo_stroke(c);
    // Title above the header row.
    TextLine title(c, "Comic Neue Bold 40px", "Score");
    const PangoRectangle ink = title.Ink();
    SetSource(c, kPenInk);
    title.Show((kSheetW - ink.width) / 2.0 - ink.x, 22 - ink.y);
    cairo_reset_clip(c);
    RoundedRect(c, 0.5, 0.5, kSheetW - 1, kSheetH - 1, 4.5);
    SetSource(c, Rgb{150, 140, 118});
    cairo_stroke(c);
    return FlattenKeyed(s.get(), kClothTone);
}

// A pen rule about 330 x 3 pixels, drawn on the sheet, tapering at its ends.
Image InkRule(int scale) {
    constexpr int kW = 330, kH = 3;
    Surface s = NewSurface(kW * scale, kH * scale);
    Context cr = NewContext(s.get());
    cairo_t* c = cr.get();
    cairo_scale(c, scale, scale);
    SetSource(c, kPenInk);
    cairo_move_to(c, 1, 1.7);
    cairo_curve_to(c, 8, 0.6, 20, 0.5, 40, 0.45);
    cairo_line_to(c, kW - 40, 0.45);
    cairo_curve_to(c, kW - 20, 0.5, kW - 8, 0.8, kW - 1, 1.6);
    cairo_curve_to(c, kW - 8, 2.5, kW - 20, 2.6, kW - 40, 2.6);
    cairo_line_to(c, 40, 2.6);
    cairo_curve_to(c, 20, 2.6, 8, 2.6, 1, 1.7);
    cairo_close_path(c);
    cairo_fill(c);
    return FlattenKeyed(s.get(), kPaperTone, 0.4);
}

// ---------------------------------------------------------------- pointer

// A white arrow with a black rim; its tip is the pixel (16, 16), where the
// game puts the mouse position.
Image Pointer(int scale) {
    Surface s = NewSurface(32 * scale, 32 * scale);
    Context cr = NewContext(s.get());
    cairo_t* c = cr.get();
    cairo_scale(c, scale, scale);
    // Filled shapes rather than a stroked one: a stroke's mitre would poke
    // out above and left of the tip.
    const auto shape = [&](std::initializer_list<std::pair<double, double>> points) {
        cairo_new_path(c);
        for (auto [x, y] : points) cairo_line_to(c, 16 + x, 16 + y);
        cairo_close_path(c);
    };
    shape({{0, 0}, {0, 14.6}, {3.4, 11.3}, {5.8, 15.9}, {8.4, 14.7}, {6.0, 10.1}, {10.6, 10.1}});
    cairo_set_source_rgb(c, 0, 0, 0);
    cairo_fill(c);
    shape({{1.15, 2.8}, {1.15, 11.9}, {3.8, 9.3}, {6.3, 14.3}, {7.0, 14.0}, {4.5, 9.0}, {7.9, 9.0}});
    cairo_set_source_rgb(c, 1, 1, 1);
    cairo_fill(c);
    Image img = FlattenKeyed(s.get(), kClothTone);
    img.At(16 * scale, 16 * scale) = {0, 0, 0};  // the hot spot is always drawn
    return img;
}

}  // namespace

void DrawTablePictures(Pictures& out) {
    const auto arts = ContractArts();
    for (std::size_t i = 0; i < arts.size(); ++i) {
        out.contracts[i] = ContractButton(arts[i], kContractWidth * out.scale, kContractHeight * out.scale);
        // The badge's and the score sheet's size, squeezed as the game
        // squeezes the 1x button.
        out.smallContracts[i] = ContractButton(arts[i], layout::kSmallContractWidth * out.scale,
                                               layout::kSmallContractHeight * out.scale);
    }
    out.background = Cloth(out.scale);
    out.scorePage = ScoreSheet(out.scale);
    out.line = InkRule(out.scale);
    out.mouse = Pointer(out.scale);
}

Image DrawSmallContract(int index, double scale) {
    const auto arts = ContractArts();
    return ContractButton(arts.at(static_cast<std::size_t>(index)),
                          Scaled(layout::kSmallContractWidth, scale),
                          Scaled(layout::kSmallContractHeight, scale));
}

Pictures DrawAllPictures(const Sources& sources, int scale) {
    // Fontconfig quietly substitutes a missing font; a missing package must
    // stop the build instead of changing the pictures.
    for (const char* family :
         {"DejaVu Sans", "DejaVu Sans Mono", "Comic Neue", "DSEG7 Classic", "DSEG14 Classic"}) {
        if (!FontHasChar(std::string(family) + " 20px", family, U'0')) {
            throw std::runtime_error(std::string("font \"") + family + "\" is not installed");
        }
    }
    Pictures p;
    p.scale = scale;
    DrawDecks(sources, p);
    DrawTablePictures(p);
    DrawFonts(p);
    return p;
}

}  // namespace tenfold::assets
