#include "contact_sheet.h"

#include <array>
#include <stdexcept>

#include "core/cards.h"

namespace tenfold::assets {

namespace {

constexpr int kSheetWidth = 1660;
constexpr int kGap = 6;

// A colour-keyed or plain copy, clipped to the target, as the game draws.
void Blit(const Image& src, Image& dst, int x, int y, bool keyed = true) {
    for (int row = 0; row < src.height; ++row) {
        for (int col = 0; col < src.width; ++col) {
            const int tx = x + col, ty = y + row;
            if (tx < 0 || ty < 0 || tx >= dst.width || ty >= dst.height) continue;
            const Rgb p = src.At(col, row);
            if (keyed && p == kMagenta) continue;
            dst.At(tx, ty) = p;
        }
    }
}

void Paint(cairo_t* cr, const Image& image, double x, double y, bool keyed) {
    Surface s = ToSurface(image, keyed);
    cairo_set_source_surface(cr, s.get(), x, y);
    cairo_paint(cr);
}

void Label(cairo_t* cr, const std::string& text, double x, double y) {
    TextLine line(cr, "DejaVu Sans Bold 15px", text);
    cairo_set_source_rgb(cr, 0.92, 0.92, 0.88);
    line.Show(x, y);
}

// 13 faces across (ace to king), one suit per row, then back and frame; on a
// strip of cloth so that the keyed corners show the table through.
int DeckBlock(cairo_t* cr, const Deck& deck, const Image& cloth, const std::string& title, int top) {
    Label(cr, title, 10, top);
    top += 26;
    const int cols = 15, rows = 4;
    Image strip(cols * (kCardWidth + kGap) + kGap, rows * (kCardHeight + kGap) + kGap);
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x)
            strip.At(x, y) = cloth.At(x % cloth.width, (y + 200) % cloth.height);
    for (int card = 0; card < 52; ++card) {
        const int face = card / 4, letter = card % 4;  // code = 4 * (face - 1) + letter
        Blit(deck.cards[card], strip, kGap + face * (kCardWidth + kGap),
             kGap + letter * (kCardHeight + kGap));
    }
    Blit(deck.back, strip, kGap + 13 * (kCardWidth + kGap) + 12, kGap);
    Blit(deck.frame, strip, kGap + 13 * (kCardWidth + kGap) + 12, kGap + kCardHeight + kGap);
    Blit(deck.cards[48], strip, kGap + 13 * (kCardWidth + kGap) + 12, kGap + 2 * (kCardHeight + kGap));
    Blit(deck.frame, strip, kGap + 13 * (kCardWidth + kGap) + 12, kGap + 2 * (kCardHeight + kGap));
    Paint(cr, strip, 10, top, false);
    return top + strip.height + 16;
}

// The contract menu as the human sees it, with a fanned hand under it, the
// clock and the pointer.
Image MenuScene(const Pictures& p) {
    Image screen = p.background;
    for (int i = 0; i < 13; ++i) Blit(p.standard.cards[(i * 7 + 3) % 52], screen, 155 + 33 * i, 420);
    for (int row = 0; row < 10; ++row) {
        const int n = row % 5;
        Blit(p.contracts[row], screen, row < 5 ? 100 : 380, 420 - (n * 42 + 60));
    }
    BlitText(p.fontDigit, "02:05 PM", 700, 572, screen);
    Blit(p.mouse, screen, 250 - 16, 300 - 16);
    return screen;
}

// An announced contract with the other hands face down and the pile.
Image AnnounceScene(const Pictures& p) {
    Image screen = p.background;
    for (int i = 0; i < 13; ++i) {
        Blit(p.genoese.back, screen, 300 + 5 * i, 2);
        Blit(p.genoese.back, screen, 680 + 5 * i, 190);
        Blit(p.genoese.back, screen, 20 + 5 * i, 190);
        Blit(p.genoese.cards[(i * 11 + 5) % 52], screen, 155 + 33 * i, 420);
    }
    Blit(p.contracts[7], screen, 294, 250);
    BlitText(p.fontDigit, "11:59 AM", 700, 572, screen);
    Blit(p.mouse, screen, 420 - 16, 470 - 16);
    return screen;
}

// The score screen after the twentieth deal, as the score page draws it.
Image ScoreScene(const Pictures& p) {
    Image screen = p.background;
    Blit(p.scorePage, screen, 156, 4);
    Blit(p.line, screen, 223, 117);
    Blit(p.line, screen, 223, 430);
    const std::array<std::string, 11> rows = {" Me Mia  Jack Ed  ", "  65 -13 -19.5-32", " -18 -36  -6  -6",
                                              " -32  65 -24 -10",   " -12  -9 -30  -6",  "   0 -10 -48 -18",
                                              " -65   0 -13 -39",   "  39  13   0  13",  " -10 -40 -20 -30",
                                              " -24 -24   0 -24",   "  13  26  13  13"};
    for (int r = 0; r <= 10; ++r) BlitText(p.fontHand, rows[r], 273 - 65, 94 + 31 * r, screen);
    BlitText(p.fontHand, " -44 -28-147.5-156", 273 - 65, 438, screen);
    BlitText(p.fontHand, "We Won!", 273 - 65, 469, screen);
    BlitText(p.fontDigit, "02:05 PM", 700, 572, screen);
    return screen;
}

// Every character of a font in order, on the surface it is used on.
Image FontSample(const Image& font, Rgb ground, int width) {
    Image out(width, 4 * kGlyphHeight + 8, ground);
    std::string all;
    for (int c = 32; c <= 126; ++c) all += static_cast<char>(c);
    const int perLine = (width - 8) / kGlyphAdvance;
    for (std::size_t i = 0, line = 0; i < all.size(); i += perLine, ++line) {
        BlitText(font, all.substr(i, perLine), 4, 4 + static_cast<int>(line) * kGlyphHeight, out);
    }
    return out;
}

}  // namespace

void WriteContactSheet(const Pictures& p, const std::string& pngPath) {
    const int height = 10 + 2 * (26 + 4 * (kCardHeight + kGap) + kGap + 16) + 2 * (26 + 600) + 14 + 10;
    Surface s = NewSurface(kSheetWidth, height);
    Context cr = NewContext(s.get());
    cairo_t* c = cr.get();
    cairo_set_source_rgb(c, 0.16, 0.16, 0.17);
    cairo_paint(c);
    int top = 10;
    top = DeckBlock(c, p.standard, p.background,
                    "Roya2 (standard pattern): ace to king by column, clubs, diamonds, hearts, spades by "
                    "row; back, frame, frame over a king",
                    top);
    top = DeckBlock(c, p.genoese, p.background, "Royal (Genoese pattern)", top);
    Label(c, "Contract menu with a hand (Roya2), clock, pointer", 10, top);
    Label(c, "Score screen: sheet at (156, 4), rules, handwriting rows", 830, top);
    top += 26;
    Paint(c, MenuScene(p), 10, top, false);
    Paint(c, ScoreScene(p), 830, top, false);
    top += 600 + 14;
    Label(c, "Announced contract at (294, 250) with the other hands (Royal)", 10, top);
    Label(c, "Clock font on the cloth, handwriting on the paper; pointer x4", 830, top);
    top += 26;
    Paint(c, AnnounceScene(p), 10, top, false);
    const Image digits = FontSample(p.fontDigit, Rgb{24, 70, 40}, 800);
    const Image hand = FontSample(p.fontHand, kPaperTone, 800);
    Paint(c, digits, 830, top, false);
    Paint(c, hand, 830, top + digits.height + 10, false);
    Paint(c, p.fontDigit, 830, top + 2 * (digits.height + 10), false);
    Paint(c, p.fontHand, 830 + p.fontDigit.width + 10, top + 2 * (digits.height + 10), false);
    cairo_save(c);
    cairo_translate(c, 830, top + 3 * (digits.height + 10) + 30);
    cairo_scale(c, 4, 4);
    Surface mouse = ToSurface(p.mouse, false);
    cairo_set_source_surface(c, mouse.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(c), CAIRO_FILTER_NEAREST);
    cairo_paint(c);
    cairo_restore(c);
    if (cairo_surface_write_to_png(s.get(), pngPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + pngPath);
    }
}

}  // namespace tenfold::assets
