#include "present/surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tenfold {

Surface::Surface(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("surface size must be positive");
}

Surface Surface::FromSdl(SDL_Surface* picture) {
    if (picture == nullptr || picture->w <= 0 || picture->h <= 0) {
        throw std::runtime_error("empty picture");
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_RGB565, 0);
    if (converted == nullptr) throw std::runtime_error(SDL_GetError());
    Surface s(converted->w, converted->h);
    SDL_LockSurface(converted);
    for (int y = 0; y < s.height_; ++y) {
        std::memcpy(s.Row(y), static_cast<const std::uint8_t*>(converted->pixels) + y * converted->pitch,
                    static_cast<std::size_t>(s.width_) * 2);
    }
    SDL_UnlockSurface(converted);
    SDL_FreeSurface(converted);
    return s;
}

void Surface::Release() {
    width_ = height_ = 0;
    pixels_.clear();
    pixels_.shrink_to_fit();
    hasKey_ = false;
    key_ = 0;
}

void Surface::Fill(const Rect& r, std::uint16_t colour) {
    const int left = std::max(0, r.Left), top = std::max(0, r.Top);
    const int right = std::min(width_, r.Right), bottom = std::min(height_, r.Bottom);
    for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + right, colour);
}

void SetSurfaceTransColor(Surface& surface, int mode) {
    if (mode == 1) {
        surface.SetColorKey(0);
    } else if (mode == 2) {
        surface.SetColorKey(static_cast<std::uint16_t>(surface.RedMask() + surface.BlueMask()));
    }
}

int BltFast(Surface& destination, int x, int y, const Surface& source, const Rect& sourceRect,
            bool useColorKey) {
    Rect r = sourceRect;
    if (r == EmptyRect) r = Rect{0, 0, source.Width(), source.Height()};
    const int w = r.Right - r.Left;
    const int h = r.Bottom - r.Top;
    if (w <= 0 || h <= 0) return 1;
    if (r.Left < 0 || r.Top < 0 || r.Right > source.Width() || r.Bottom > source.Height()) return 2;
    if (x < 0 || y < 0 || x + w > destination.Width() || y + h > destination.Height()) return 3;

    const bool keyed = useColorKey && source.HasColorKey();
    const std::uint16_t key = source.ColorKey();
    for (int row = 0; row < h; ++row) {
        const std::uint16_t* from = source.Row(r.Top + row) + r.Left;
        std::uint16_t* to = destination.Row(y + row) + x;
        if (!keyed) {
            std::memcpy(to, from, static_cast<std::size_t>(w) * 2);
        } else {
            for (int col = 0; col < w; ++col) {
                if (from[col] != key) to[col] = from[col];
            }
        }
    }
    return 0;
}

int ClipBltFast(const ClipRect& clip, const Surface& source, Surface& destination, Rect r,
                std::int16_t x16, std::int16_t y16, bool transparent) {
    const bool whole = r == EmptyRect;
    std::int32_t x = x16;
    std::int32_t y = y16;
    if ((r.Right - r.Left) + x > clip.ClipRight) r.Right = clip.ClipRight + r.Left - x;
    if ((r.Bottom - r.Top) + y > clip.ClipBottom) r.Bottom = clip.ClipBottom + r.Top - y;
    if (x < clip.ClipLeft) {
        r.Left = clip.ClipLeft + r.Left - x;
        x = clip.ClipLeft;
    }
    if (y < clip.ClipTop) {
        r.Top = clip.ClipTop + r.Top - y;
        y = clip.ClipTop;
    }
    // A real rectangle cut down to nothing must not turn into "the whole picture".
    if (!whole && r == EmptyRect) return 1;
    return BltFast(destination, x, y, source, r, transparent);
}

}  // namespace tenfold
