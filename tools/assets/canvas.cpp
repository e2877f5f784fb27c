#include "canvas.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tenfold::assets {

namespace {

// Fixed rasterisation settings: grey antialiasing, no hinting, so text comes out
// the same whatever the desktop's font settings are.
cairo_font_options_t* FixedFontOptions() {
    static cairo_font_options_t* options = [] {
        cairo_font_options_t* o = cairo_font_options_create();
        cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_subpixel_order(o, CAIRO_SUBPIXEL_ORDER_DEFAULT);
        return o;
    }();
    return options;
}

struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SdlSurface = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

SdlSurface ToSdl(const Image& image) {
    SdlSurface s(SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 24, SDL_PIXELFORMAT_RGB24));
    if (!s) throw std::runtime_error(std::string("SDL surface: ") + SDL_GetError());
    for (int y = 0; y < image.height; ++y) {
        auto* row = static_cast<std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.At(x, y);
            row[3 * x] = p.r;
            row[3 * x + 1] = p.g;
            row[3 * x + 2] = p.b;
        }
    }
    return s;
}

// Runs an SDL encoder into a memory buffer of `capacity` bytes and returns
// the bytes it wrote.
template <class Encode>
std::vector<std::uint8_t> EncodeToMemory(std::size_t capacity, Encode encode) {
    std::vector<std::uint8_t> buffer(capacity);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    if (rw == nullptr) throw std::runtime_error(std::string("SDL_RWFromMem: ") + SDL_GetError());
    const bool ok = encode(rw);
    const Sint64 used = SDL_RWtell(rw);
    SDL_RWclose(rw);
    if (!ok || used <= 0 || static_cast<std::size_t>(used) >= buffer.size()) {
        throw std::runtime_error(std::string("encoding a picture failed: ") + SDL_GetError());
    }
    buffer.resize(static_cast<std::size_t>(used));
    return buffer;
}

struct Premultiplied {
    double r, g, b, a;
};

Premultiplied ReadPixel(const std::uint8_t* data, int stride, int x, int y) {
    const auto* px =
        reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride) + x;
    const std::uint32_t v = *px;
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0,
            ((v >> 24) & 0xFF) / 255.0};
}

std::uint8_t Channel(double premultiplied, double alpha, std::uint8_t backdrop) {
    const double v = premultiplied * 255.0 + (1.0 - alpha) * backdrop;
    return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

}  // namespace

Image::Image(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

Surface NewSurface(int width, int height) {
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cairo could not make a " + std::to_string(width) + " x " +
                                 std::to_string(height) + " surface");
    }
    return s;
}

Context NewContext(cairo_surface_t* surface) {
    Context cr(cairo_create(surface));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr.get(), FixedFontOptions());
    return cr;
}

Image FlattenKeyed(cairo_surface_t* art, Rgb backdrop, double threshold) {
    cairo_surface_flush(art);
    const int w = cairo_image_surface_get_width(art);
    const int h = cairo_image_surface_get_height(art);
    const int stride = cairo_image_surface_get_stride(art);
    const std::uint8_t* data = cairo_image_surface_get_data(art);
    Image out(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Premultiplied p = ReadPixel(data, stride, x, y);
            if (p.a + 1e-9 < threshold) continue;
            Rgb c{Channel(p.r, p.a, backdrop.r), Channel(p.g, p.a, backdrop.g),
                  Channel(p.b, p.a, backdrop.b)};
            if (c == kMagenta) c.r = 254;
            out.At(x, y) = c;
        }
    }
    return out;
}

Image FlattenOpaque(cairo_surface_t* art, Rgb backdrop) {
    cairo_surface_flush(art);
    const int w = cairo_image_surface_get_width(art);
    const int h = cairo_image_surface_get_height(art);
    const int stride = cairo_image_surface_get_stride(art);
    const std::uint8_t* data = cairo_image_surface_get_data(art);
    Image out(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Premultiplied p = ReadPixel(data, stride, x, y);
            out.At(x, y) = {Channel(p.r, p.a, backdrop.r), Channel(p.g, p.a, backdrop.g),
                            Channel(p.b, p.a, backdrop.b)};
        }
    }
    return out;
}

Surface ToSurface(const Image& image, bool keyed) {
    Surface s = NewSurface(image.width, image.height);
    cairo_surface_flush(s.get());
    const int stride = cairo_image_surface_get_stride(s.get());
    std::uint8_t* data = cairo_image_surface_get_data(s.get());
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.At(x, y);
            row[x] = (keyed && p == kMagenta)
                         ? 0u
                         : (0xFF000000u | (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b);
        }
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

std::vector<std::uint8_t> EncodeBmp(const Image& image) {
    SdlSurface s = ToSdl(image);
    const std::size_t rowBytes = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    const std::size_t capacity = 54 + rowBytes * image.height + 1024;
    return EncodeToMemory(capacity, [&](SDL_RWops* rw) { return SDL_SaveBMP_RW(s.get(), rw, 0) == 0; });
}

std::vector<std::uint8_t> EncodePng(const Image& image) {
    SdlSurface s = ToSdl(image);
    const std::size_t capacity = static_cast<std::size_t>(image.width) * image.height * 4 + 65536;
    return EncodeToMemory(capacity, [&](SDL_RWops* rw) { return IMG_SavePNG_RW(s.get(), rw, 0) == 0; });
}

std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality) {
    SdlSurface s = ToSdl(image);
    const std::size_t capacity = static_cast<std::size_t>(image.width) * image.height * 3 + 65536;
    return EncodeToMemory(capacity,
                          [&](SDL_RWops* rw) { return IMG_SaveJPG_RW(s.get(), rw, 0, quality) == 0; });
}

namespace {
// Pango lays text out for a uniform scale only: under one squeezed across (a
// picture drawn at another aspect than its design) it would set the text at
// the height's scale and spread it past its room. Such text is laid out at
// the height's scale in both directions; the squeeze then applies to the
// drawn outlines alone.
PangoLayout* CreateLayout(cairo_t* cr) {
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    const bool squeezed = ctm.xy == 0 && ctm.yx == 0 && ctm.xx != ctm.yy;
    if (!squeezed) return pango_cairo_create_layout(cr);
    cairo_matrix_t uniform = ctm;
    uniform.xx = ctm.yy;
    cairo_set_matrix(cr, &uniform);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_set_matrix(cr, &ctm);
    return layout;
}
}  // namespace

TextLine::TextLine(cairo_t* cr, const std::string& font, const std::string& text)
    : cr_(cr), layout_(CreateLayout(cr)) {
    pango_cairo_context_set_font_options(pango_layout_get_context(layout_), FixedFontOptions());
    pango_layout_context_changed(layout_);
    PangoFontDescription* desc = pango_font_description_from_string(font.c_str());
    pango_layout_set_font_description(layout_, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(layout_, text.c_str(), static_cast<int>(text.size()));
}

TextLine::~TextLine() { g_object_unref(layout_); }

PangoRectangle TextLine::Ink() const {
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout_, &ink, &logical);
    return ink;
}

PangoRectangle TextLine::Logical() const {
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout_, &ink, &logical);
    return logical;
}

int TextLine::Baseline() const { return PANGO_PIXELS(pango_layout_get_baseline(layout_)); }

void TextLine::Show(double x, double y) const {
    cairo_move_to(cr_, x, y);
    pango_cairo_show_layout(cr_, layout_);
}

void TextLine::AddPath(double x, double y) const {
    cairo_move_to(cr_, x, y);
    pango_cairo_layout_path(cr_, layout_);
}

bool FontHasChar(const std::string& font, const std::string& family, char32_t ch) {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(map);
    PangoFontDescription* desc = pango_font_description_from_string(font.c_str());
    PangoFont* loaded = pango_font_map_load_font(map, context, desc);
    bool ok = false;
    if (loaded != nullptr) {
        PangoFontDescription* got = pango_font_describe(loaded);
        const char* name = pango_font_description_get_family(got);
        ok = name != nullptr && family == name && pango_font_has_char(loaded, ch);
        pango_font_description_free(got);
        g_object_unref(loaded);
    }
    pango_font_description_free(desc);
    g_object_unref(context);
    return ok;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kQuarter, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kQuarter);
    cairo_arc(cr, x + r, y + h - r, r, kQuarter, 2 * kQuarter);
    cairo_arc(cr, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cr);
}

}  // namespace tenfold::assets
