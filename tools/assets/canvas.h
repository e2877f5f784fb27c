#pragma once
// Drawing helpers shared by every picture the generator makes: owned cairo
// surfaces, the colour-keyed flattening that turns soft-edged art into a
// 24-bit picture with magenta outside it, and text set with pango.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tenfold::assets {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The colour the game treats as transparent in every keyed picture.
inline constexpr Rgb kMagenta{255, 0, 255};
// A mid tone of the table cloth: soft edges of table pictures are blended onto
// it, so their outermost pixels never carry a tint of the key colour.
inline constexpr Rgb kClothTone{28, 98, 52};
// The score sheet's paper: rules and handwriting are blended onto it.
inline constexpr Rgb kPaperTone{250, 246, 232};

// A 24-bit picture, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image() = default;
    Image(int w, int h, Rgb fill = kMagenta);
    Rgb& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Rgb& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// A transparent ARGB surface of the given size (throws when cairo cannot make it).
Surface NewSurface(int width, int height);
// A drawing context on the surface, with the generator's fixed antialiasing.
Context NewContext(cairo_surface_t* surface);

// Turns soft-edged art (premultiplied ARGB) into a keyed picture: a pixel whose
// coverage reaches `threshold` keeps the art composited over `backdrop`, every
// other pixel becomes magenta. Art that happens to be exactly magenta is
// nudged by one step so it never turns transparent by accident.
Image FlattenKeyed(cairo_surface_t* art, Rgb backdrop, double threshold = 0.5);
// Art composited over an opaque backdrop, no key.
Image FlattenOpaque(cairo_surface_t* art, Rgb backdrop);
// The picture as an opaque cairo surface (magenta shown as transparent when
// `keyed`), for the contact sheet.
Surface ToSurface(const Image& image, bool keyed);

// 24-bit uncompressed Windows bitmap bytes.
std::vector<std::uint8_t> EncodeBmp(const Image& image);
// PNG bytes (24-bit, lossless: keyed pictures keep their exact magenta).
std::vector<std::uint8_t> EncodePng(const Image& image);
// Baseline JPEG bytes at the given quality.
std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality);

// One line of text, laid out with a pango font description such as
// "DejaVu Sans Bold 16px".
struct TextLine {
    TextLine(cairo_t* cr, const std::string& font, const std::string& text);
    ~TextLine();
    TextLine(const TextLine&) = delete;
    TextLine& operator=(const TextLine&) = delete;

    PangoRectangle Ink() const;      // pixels, relative to the layout origin
    PangoRectangle Logical() const;  // pixels, relative to the layout origin
    int Baseline() const;            // pixels below the layout origin
    // Draws the text with its layout origin at (x, y) in the current source.
    void Show(double x, double y) const;
    // Adds the text's outline to the current path, layout origin at (x, y).
    void AddPath(double x, double y) const;

private:
    cairo_t* cr_;
    PangoLayout* layout_;
};

// Whether the font description resolves to the named family and that face has
// a glyph for the character (fontconfig silently substitutes missing fonts).
bool FontHasChar(const std::string& font, const std::string& family, char32_t ch);

// Adds a rounded rectangle path.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

}  // namespace tenfold::assets
