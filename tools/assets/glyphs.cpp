// The two bitmap fonts: a 7-segment clock face and a handwriting face, each a
// grid of 19 x 27 cells in 20 columns, cell n holding character n + 32.
//
// The game draws characters 17 pixels apart, so cells overlap by two columns:
// every glyph is centred on the cell and kept inside columns 2..16, which
// leaves neighbouring glyphs at least one clear column between them.

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "pictures.h"
#include "resources/resource_layout.h"

namespace tenfold::assets {

namespace {

struct Face {
    std::string family;  // as fontconfig names it
    std::string style;   // appended to the family in the description
    double size;         // pixels
};

struct FontPlan {
    std::vector<Face> faces;  // first face that has the character wins
    // When not empty, only these characters are taken from the first face;
    // all others start the search at the second.
    std::string firstFaceOnly;
    int baseline;  // baseline row inside the cell
    Rgb ink;
    Rgb backdrop;  // what the font is drawn on in the game
    double threshold;
    double boldness;  // extra stroke width in pixels, 0 for none
};

constexpr int kInkLeft = 2, kInkRight = 16;  // inclusive columns a glyph may use
constexpr int kCells = 95;                   // characters 32 .. 126

std::string Description(const Face& f, double size) {
    return f.family + (f.style.empty() ? "" : " " + f.style) + " " + std::to_string(size) + "px";
}

// Whether the face draws anything for the character.
bool HasInk(cairo_t* cr, const Face& f, char ch) {
    const TextLine line(cr, Description(f, f.size), std::string(1, ch));
    const PangoRectangle ink = line.Ink();
    return ink.width > 0 && ink.height > 0;
}

// The face a character is drawn from; throws when no installed face has it,
// since an empty cell would show as a gap in the game's text.
const Face& ChooseFace(cairo_t* cr, const FontPlan& plan, char ch) {
    const bool preferFirst = plan.firstFaceOnly.empty() || plan.firstFaceOnly.find(ch) != std::string::npos;
    for (std::size_t i = preferFirst ? 0 : 1; i < plan.faces.size(); ++i) {
        const Face& f = plan.faces[i];
        // Some display faces map a character to a blank cell; those do not count.
        if (FontHasChar(Description(f, f.size), f.family, static_cast<char32_t>(ch)) && HasInk(cr, f, ch)) {
            return f;
        }
    }
    throw std::runtime_error(std::string("no installed font has the character '") + ch +
                             "' (are the font packages installed?)");
}

// Draws character ch into its cell of the grid surface.
void DrawGlyph(cairo_t* cr, const FontPlan& plan, char ch) {
    const int cell = ch - 32;
    const double cellX = (cell % kGlyphColumns) * kGlyphWidth;
    const double cellY = (cell / kGlyphColumns) * kGlyphHeight;
    const Face& face = ChooseFace(cr, plan, ch);
    const std::string text(1, ch);
    TextLine line(cr, Description(face, face.size), text);
    const PangoRectangle ink = line.Ink();
    if (ink.width <= 0 || ink.height <= 0) return;
    // Shrink glyphs that would not fit the columns or the cell's height.
    const double pad = plan.boldness;
    const double maxW = kInkRight - kInkLeft + 1 - 2 * pad;
    const double above = line.Baseline() - ink.y;               // ink above the baseline
    const double below = ink.y + ink.height - line.Baseline();  // and below it
    // Too tall: shrink the whole glyph. Too wide (W, M, @): narrow it only,
    // so capitals keep their height next to the other letters.
    double scaleY = 1.0;
    if (above > 0) scaleY = std::min(scaleY, (plan.baseline - 0.5 - pad) / above);
    if (below > 0) scaleY = std::min(scaleY, (kGlyphHeight - 0.5 - plan.baseline - pad) / below);
    const double scaleX = std::min(scaleY, maxW / ink.width);
    const double centre = (kInkLeft + kInkRight + 1) / 2.0;
    cairo_save(cr);
    cairo_rectangle(cr, cellX, cellY, kGlyphWidth, kGlyphHeight);
    cairo_clip(cr);
    cairo_translate(cr, cellX + centre, cellY + plan.baseline);
    cairo_scale(cr, scaleX, scaleY);
    line.AddPath(-(ink.x + ink.width / 2.0), -line.Baseline());
    cairo_set_source_rgb(cr, plan.ink.r / 255.0, plan.ink.g / 255.0, plan.ink.b / 255.0);
    if (plan.boldness > 0) {
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 2 * plan.boldness / std::sqrt(scaleX * scaleY));
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// The whole grid, keyed, each cell `cellWidth` x `cellHeight` pixels: the
// 19 x 27 design scaled to fill it (the space's cell stays empty).
Image DrawFontGrid(const FontPlan& plan, int cellWidth, int cellHeight) {
    const int rows = (kCells + kGlyphColumns - 1) / kGlyphColumns;
    Surface s = NewSurface(kGlyphColumns * cellWidth, rows * cellHeight);
    Context cr = NewContext(s.get());
    cairo_scale(cr.get(), static_cast<double>(cellWidth) / kGlyphWidth,
                static_cast<double>(cellHeight) / kGlyphHeight);
    for (int code = 33; code <= 126; ++code) DrawGlyph(cr.get(), plan, static_cast<char>(code));
    return FlattenKeyed(s.get(), plan.backdrop, plan.threshold);
}

}  // namespace

void DrawFonts(Pictures& out) {
    // Clock face: seven-segment digits; letters (for AM and PM) and signs from
    // the fourteen-segment face of the same family, anything else from a
    // plain monospaced face. Warm red segments read well on the dark cloth.
    FontPlan digit;
    digit.faces = {
        {"DSEG7 Classic", "Bold", 21}, {"DSEG14 Classic", "Bold", 21}, {"DejaVu Sans Mono", "Bold", 22}};
    digit.firstFaceOnly = "0123456789:.-";
    digit.baseline = 23;
    digit.ink = {255, 92, 52};
    digit.backdrop = kClothTone;
    digit.threshold = 0.45;
    digit.boldness = 0;
    out.fontDigit = DrawFontGrid(digit, kGlyphWidth * out.scale, kGlyphHeight * out.scale);

    // Handwriting for the score sheet, in blue-black pen ink on the paper.
    FontPlan hand;
    hand.faces = {{"Comic Neue", "Bold", 25}};
    hand.baseline = 20;
    hand.ink = {22, 42, 118};
    hand.backdrop = kPaperTone;
    hand.threshold = 0.35;
    hand.boldness = 0.25;
    out.fontHand = DrawFontGrid(hand, kGlyphWidth * out.scale, kGlyphHeight * out.scale);
    // The same hand in the table aids' two smaller cells: the design shrunk
    // as the game shrinks the 1x font, but drawn at this scale's resolution.
    out.fontHandSmall =
        DrawFontGrid(hand, layout::kSmallFontCellWidth * out.scale, layout::kSmallFontCellHeight * out.scale);
    out.fontHandMid =
        DrawFontGrid(hand, layout::kMidFontCellWidth * out.scale, layout::kMidFontCellHeight * out.scale);
}

void BlitText(const Image& font, const std::string& text, int x, int y, Image& target) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int cell = static_cast<unsigned char>(text[i]) - 32;
        if (cell < 0 || cell >= kCells) continue;
        const int sx = (cell % kGlyphColumns) * kGlyphWidth;
        const int sy = (cell / kGlyphColumns) * kGlyphHeight;
        const int dx = x + static_cast<int>(i) * kGlyphAdvance;
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int col = 0; col < kGlyphWidth; ++col) {
                const Rgb p = font.At(sx + col, sy + row);
                const int tx = dx + col, ty = y + row;
                if (p == kMagenta || tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
                target.At(tx, ty) = p;
            }
        }
    }
}

}  // namespace tenfold::assets
