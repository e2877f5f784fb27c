// The two decks: card faces rendered from the desktop's SVG card decks, and
// our own backs and selection frame in the same outline.

#include <gio/gio.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "core/cards.h"
#include "pictures.h"
#include "resources/resource_layout.h"

namespace tenfold::assets {

namespace {

// Corner radius of the common card outline, in pixels.
constexpr double kCornerRadius = 5.0;
constexpr Rgb kCardEdge{88, 88, 88};

struct HandleDeleter {
    void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleDeleter>;

[[noreturn]] void Fail(const std::string& what, GError* error) {
    std::string message = what;
    if (error != nullptr) {
        message += ": ";
        message += error->message;
        g_error_free(error);
    }
    throw std::runtime_error(message);
}

// The whole text of a gzip-compressed SVG file.
std::string ReadSvgz(const std::string& path) {
    GError* error = nullptr;
    GFile* file = g_file_new_for_path(path.c_str());
    GFileInputStream* raw = g_file_read(file, nullptr, &error);
    g_object_unref(file);
    if (raw == nullptr) Fail("cannot read " + path, error);
    GZlibDecompressor* gunzip = g_zlib_decompressor_new(G_ZLIB_COMPRESSOR_FORMAT_GZIP);
    GInputStream* in = g_converter_input_stream_new(G_INPUT_STREAM(raw), G_CONVERTER(gunzip));
    g_object_unref(gunzip);
    g_object_unref(raw);
    std::string text;
    char chunk[65536];
    for (;;) {
        const gssize n = g_input_stream_read(in, chunk, sizeof chunk, nullptr, &error);
        if (n < 0) {
            g_object_unref(in);
            Fail("cannot decompress " + path, error);
        }
        if (n == 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    g_object_unref(in);
    return text;
}

Handle LoadSvg(const std::string& text, const std::string& path) {
    GError* error = nullptr;
    RsvgHandle* h =
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(text.data()), text.size(), &error);
    if (h == nullptr) Fail("cannot parse " + path, error);
    return Handle(h);
}

RsvgRectangle DocumentViewport(RsvgHandle* h) {
    gdouble w = 0, hh = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(h, &w, &hh)) {
        throw std::runtime_error("card deck has no intrinsic size");
    }
    return {0, 0, w, hh};
}

struct Geometry {
    RsvgRectangle ink, logical;
};

Geometry ElementGeometry(RsvgHandle* h, const std::string& id) {
    const RsvgRectangle viewport = DocumentViewport(h);
    Geometry g{};
    GError* error = nullptr;
    if (!rsvg_handle_get_geometry_for_layer(h, ("#" + id).c_str(), &viewport, &g.ink, &g.logical, &error)) {
        Fail("card deck has no element " + id, error);
    }
    return g;
}

// Name of a card in the desktop decks: "1_club" .. "king_spade".
std::string SvgCardId(Card card) {
    static const std::array<const char*, 4> kSuit = {"club", "diamond", "spade", "heart"};
    static const std::array<const char*, 14> kFace = {"",  "1", "2", "3",  "4",    "5",     "6",
                                                      "7", "8", "9", "10", "jack", "queen", "king"};
    return std::string(kFace.at(static_cast<std::size_t>(RankOf(card)))) + "_" +
           kSuit.at(static_cast<std::size_t>(Index(SuitOf(card))));
}

void CardOutline(cairo_t* cr) { RoundedRect(cr, 0, 0, kCardWidth, kCardHeight, kCornerRadius); }

void StrokeCardEdge(cairo_t* cr, Rgb colour, double width) {
    RoundedRect(cr, width / 2, width / 2, kCardWidth - width, kCardHeight - width, kCornerRadius - width / 2);
    cairo_set_source_rgb(cr, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// Renders one element of the deck so that `frame` (document pixels) fills the
// card, clipped to the common outline, on white card stock; `scale` times the
// card's size in the layout.
Image RenderCard(RsvgHandle* h, const std::string& id, const RsvgRectangle& frame, double scale) {
    Surface s = NewSurface(Scaled(kCardWidth, scale), Scaled(kCardHeight, scale));
    Context cr = NewContext(s.get());
    cairo_scale(cr.get(), scale, scale);
    CardOutline(cr.get());
    cairo_clip(cr.get());
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    cairo_save(cr.get());
    cairo_scale(cr.get(), kCardWidth / frame.width, kCardHeight / frame.height);
    cairo_translate(cr.get(), -frame.x, -frame.y);
    const RsvgRectangle viewport = DocumentViewport(h);
    GError* error = nullptr;
    if (!rsvg_handle_render_layer(h, cr.get(), ("#" + id).c_str(), &viewport, &error)) {
        Fail("cannot render card " + id, error);
    }
    cairo_restore(cr.get());
    StrokeCardEdge(cr.get(), kCardEdge, 1.0);
    return FlattenKeyed(s.get(), kClothTone);
}

void CheckFrame(const RsvgRectangle& f, double w, double h, const std::string& id) {
    if (std::fabs(f.width - w) > 0.01 || std::fabs(f.height - h) > 0.01) {
        throw std::runtime_error("card " + id + " does not have the deck's card size");
    }
}

// The standard deck places every card on one sheet; each card group starts
// with its 70 x 95 outline drawn with a one-unit stroke. Calls draw(card,
// handle, id, frame) for each card code in `cards`.
template <class Draw>
void ForStandardFaces(const std::string& path, const std::vector<int>& cards, Draw draw) {
    const std::string text = ReadSvgz(path);
    Handle h = LoadSvg(text, path);
    for (int card : cards) {
        const std::string id = SvgCardId(static_cast<Card>(card));
        const Geometry g = ElementGeometry(h.get(), id);
        const RsvgRectangle frame{g.logical.x - 0.5, g.logical.y - 0.5, g.logical.width + 1,
                                  g.logical.height + 1};
        CheckFrame(frame, 71, 96, id);
        draw(card, h.get(), id, frame);
    }
}

// The Genoese deck keeps its cards as definitions; we add one reference to
// each (and to the shared outline) so that they can be rendered one by one.
template <class Draw>
void ForGenoeseFaces(const std::string& path, const std::vector<int>& cards, Draw draw) {
    std::string text = ReadSvgz(path);
    const std::size_t end = text.rfind("</svg>");
    if (end == std::string::npos) throw std::runtime_error(path + " is not an SVG document");
    std::string uses = "<use id=\"tenfold-frame\" xlink:href=\"#card-outline\"/>\n";
    for (int card = 0; card < 52; ++card) {
        const std::string id = SvgCardId(static_cast<Card>(card));
        uses += "<use id=\"tenfold-" + id + "\" xlink:href=\"#" + id + "\"/>\n";
    }
    text.insert(end, uses);
    // The ace of hearts carries the deck maker's logo; the game shows no logos.
    const std::string logo = "<use x=\"25\" y=\"58\" xlink:href=\"#k-logo\" />";
    if (const std::size_t at = text.find(logo); at != std::string::npos) text.erase(at, logo.size());
    Handle h = LoadSvg(text, path);
    const RsvgRectangle frame = ElementGeometry(h.get(), "tenfold-frame").ink;
    if (frame.width < 10 || frame.height < 10) throw std::runtime_error(path + ": no card outline");
    for (int card : cards) {
        const std::string id = "tenfold-" + SvgCardId(static_cast<Card>(card));
        const Geometry g = ElementGeometry(h.get(), id);
        if (g.logical.width <= 0) throw std::runtime_error(path + ": card " + id + " is empty");
        draw(card, h.get(), id, frame);
    }
}

std::vector<int> WholeDeck() {
    std::vector<int> cards(kDeckSize);
    for (int card = 0; card < kDeckSize; ++card) cards[static_cast<std::size_t>(card)] = card;
    return cards;
}

void SetSource(cairo_t* cr, Rgb c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

// The field of a card back: a white margin and a coloured panel with a fine
// double border; the pattern is painted inside the panel's clip.
template <class Pattern>
Image DrawBack(double scale, Rgb panel, Rgb line, Pattern pattern) {
    Surface s = NewSurface(Scaled(kCardWidth, scale), Scaled(kCardHeight, scale));
    Context cr = NewContext(s.get());
    cairo_t* c = cr.get();
    cairo_scale(c, scale, scale);
    CardOutline(c);
    cairo_clip(c);
    cairo_set_source_rgb(c, 1, 1, 1);
    cairo_paint(c);
    constexpr double kMargin = 6;
    RoundedRect(c, kMargin, kMargin, kCardWidth - 2 * kMargin, kCardHeight - 2 * kMargin, 3);
    SetSource(c, panel);
    cairo_fill_preserve(c);
    cairo_save(c);
    cairo_clip(c);
    pattern(c);
    cairo_restore(c);
    RoundedRect(c, kMargin + 3, kMargin + 3, kCardWidth - 2 * kMargin - 6, kCardHeight - 2 * kMargin - 6, 2);
    SetSource(c, line);
    cairo_set_line_width(c, 1);
    cairo_stroke(c);
    StrokeCardEdge(c, kCardEdge, 1.0);
    return FlattenKeyed(s.get(), kClothTone);
}

// Blue diagonal lattice with small diamonds at the crossings.
Image StandardBack(double scale) {
    constexpr Rgb kPanel{24, 52, 128};
    constexpr Rgb kLine{150, 180, 235};
    return DrawBack(scale, kPanel, kLine, [&](cairo_t* c) {
        constexpr double kStep = 9;
        SetSource(c, kLine, 0.8);
        cairo_set_line_width(c, 1.1);
        for (double d = -kCardHeight; d < kCardWidth + kCardHeight; d += kStep) {
            cairo_move_to(c, d, 0);
            cairo_line_to(c, d + kCardHeight, kCardHeight);
            cairo_move_to(c, d, 0);
            cairo_line_to(c, d - kCardHeight, kCardHeight);
        }
        cairo_stroke(c);
        // Crossings of the two line families sit at x = d + y, on every half step.
        SetSource(c, Rgb{235, 240, 255});
        for (int row = 0; row * kStep / 2 < kCardHeight + kStep; ++row) {
            const double y = row * kStep / 2;
            const double x0 = std::fmod(row * kStep / 2 - kCardHeight, kStep);
            for (double x = x0; x < kCardWidth + kStep; x += kStep) {
                cairo_move_to(c, x, y - 1.6);
                cairo_line_to(c, x + 1.6, y);
                cairo_line_to(c, x, y + 1.6);
                cairo_line_to(c, x - 1.6, y);
                cairo_close_path(c);
            }
        }
        cairo_fill(c);
    });
}

// Red ground with rows of small four-petal rosettes, every other row offset.
Image GenoeseBack(double scale) {
    constexpr Rgb kPanel{140, 22, 34};
    constexpr Rgb kLine{245, 205, 150};
    return DrawBack(scale, kPanel, kLine, [&](cairo_t* c) {
        constexpr double kStepX = 11, kStepY = 11;
        for (int row = 0; row * kStepY < kCardHeight + kStepY; ++row) {
            const double y = row * kStepY + 6;
            const double offset = (row % 2 == 0) ? 0.0 : kStepX / 2;
            for (double x = offset + 5; x < kCardWidth + kStepX; x += kStepX) {
                SetSource(c, Rgb{215, 110, 95});
                for (int petal = 0; petal < 4; ++petal) {
                    const double a = petal * std::numbers::pi / 2;
                    cairo_arc(c, x + 2.4 * std::cos(a), y + 2.4 * std::sin(a), 1.7, 0, 2 * std::numbers::pi);
                    cairo_fill(c);
                }
                SetSource(c, kLine);
                cairo_arc(c, x, y, 1.1, 0, 2 * std::numbers::pi);
                cairo_fill(c);
            }
        }
    });
}

// A blue band along the card's outline, the key colour inside and outside.
Image BlueFrame(double scale) {
    Surface s = NewSurface(Scaled(kCardWidth, scale), Scaled(kCardHeight, scale));
    Context cr = NewContext(s.get());
    cairo_scale(cr.get(), scale, scale);
    StrokeCardEdge(cr.get(), Rgb{30, 90, 235}, 3.0);
    return FlattenKeyed(s.get(), kClothTone);
}

}  // namespace

void DrawDecks(const Sources& sources, Pictures& out) {
    const double scale = out.scale;
    for (Deck* deck : {&out.standard, &out.genoese}) {
        for (int card = 0; card < kDeckSize; ++card) deck->files[card] = layout::CardFileName(card);
        deck->frame = BlueFrame(scale);
    }
    out.standard.folder = "Roya2";
    out.genoese.folder = "Royal";
    const auto into = [scale](Deck& deck) {
        return [&deck, scale](int card, RsvgHandle* h, const std::string& id, const RsvgRectangle& frame) {
            deck.cards[static_cast<std::size_t>(card)] = RenderCard(h, id, frame, scale);
        };
    };
    ForStandardFaces(sources.standardDeck, WholeDeck(), into(out.standard));
    ForGenoeseFaces(sources.genoeseDeck, WholeDeck(), into(out.genoese));
    out.standard.back = StandardBack(scale);
    out.genoese.back = GenoeseBack(scale);
    for (int i = 0; i < kContractCount; ++i) {
        out.contractFiles[i] = std::string(layout::kContractFiles[static_cast<std::size_t>(i)]);
    }
}

Image DrawCardFace(const std::string& deckPath, bool genoese, int card, double scale) {
    Image face;
    const auto draw = [&](int, RsvgHandle* h, const std::string& id, const RsvgRectangle& frame) {
        face = RenderCard(h, id, frame, scale);
    };
    if (genoese) {
        ForGenoeseFaces(deckPath, {card}, draw);
    } else {
        ForStandardFaces(deckPath, {card}, draw);
    }
    return face;
}

}  // namespace tenfold::assets
