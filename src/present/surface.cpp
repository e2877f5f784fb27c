#include "present/surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tenfold {

Surface::Surface(int width, int height)
    : width_(width),
      height_(height),
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

Surface Surface::Copy(const Surface& from, bool keepKey) {
    Surface s;
    s.width_ = from.width_;
    s.height_ = from.height_;
    s.pixels_ = from.pixels_;
    if (keepKey && from.hasKey_) s.SetColorKey(from.key_);
    return s;
}

void Surface::RowSpans(int y, const Span*& first, const Span*& last) const {
    if (!spansValid_) {
        spans_.clear();
        rowStart_.assign(static_cast<std::size_t>(height_) + 1, 0);
        for (int row = 0; row < height_; ++row) {
            rowStart_[static_cast<std::size_t>(row)] = static_cast<std::uint32_t>(spans_.size());
            const std::uint16_t* p = Row(row);
            int x = 0;
            while (x < width_) {
                while (x < width_ && p[x] == key_) ++x;
                const int begin = x;
                while (x < width_ && p[x] != key_) ++x;
                if (x > begin) spans_.push_back(Span{begin, x});
            }
        }
        rowStart_[static_cast<std::size_t>(height_)] = static_cast<std::uint32_t>(spans_.size());
        spansValid_ = true;
    }
    first = spans_.data() + rowStart_[static_cast<std::size_t>(y)];
    last = spans_.data() + rowStart_[static_cast<std::size_t>(y) + 1];
}

void Surface::Release() {
    width_ = height_ = 0;
    pixels_.clear();
    pixels_.shrink_to_fit();
    hasKey_ = false;
    key_ = 0;
    spansValid_ = false;
    spans_.clear();
    rowStart_.clear();
}

void Surface::Fill(const Rect& r, std::uint16_t colour) {
    const int left = std::max(0, r.left), top = std::max(0, r.top);
    const int right = std::min(width_, r.right), bottom = std::min(height_, r.bottom);
    for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + right, colour);
}

void SetColorKeyMode(Surface& surface, int mode) {
    if (mode == 1) {
        surface.SetColorKey(0);
    } else if (mode == 2) {
        surface.SetColorKey(static_cast<std::uint16_t>(surface.RedMask() + surface.BlueMask()));
    }
}

int CopyRect(Surface& destination, int x, int y, const Surface& source, const Rect& sourceRect,
             bool useColorKey) {
    Rect r = sourceRect;
    if (r == kWholePicture) r = Rect{0, 0, source.Width(), source.Height()};
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return 1;
    if (r.left < 0 || r.top < 0 || r.right > source.Width() || r.bottom > source.Height()) return 2;
    if (x < 0 || y < 0 || x + w > destination.Width() || y + h > destination.Height()) return 3;

    const bool keyed = useColorKey && source.HasColorKey();
    for (int row = 0; row < h; ++row) {
        const std::uint16_t* from = source.Row(r.top + row);
        std::uint16_t* to = destination.Row(y + row) + x;
        if (!keyed) {
            std::memcpy(to, from + r.left, static_cast<std::size_t>(w) * 2);
            continue;
        }
        const Surface::Span* span = nullptr;
        const Surface::Span* end = nullptr;
        source.RowSpans(r.top + row, span, end);
        for (; span != end; ++span) {
            const int begin = std::max(span->begin, r.left);
            const int stop = std::min(span->end, r.right);
            if (begin < stop) {
                std::memcpy(to + (begin - r.left), from + begin, static_cast<std::size_t>(stop - begin) * 2);
            }
        }
    }
    return 0;
}

bool CutToClip(const ClipRect& clip, Rect& r, std::int32_t& x, std::int32_t& y) {
    const bool whole = r == kWholePicture;
    if ((r.right - r.left) + x > clip.right) r.right = clip.right + r.left - x;
    if ((r.bottom - r.top) + y > clip.bottom) r.bottom = clip.bottom + r.top - y;
    if (x < clip.left) {
        r.left = clip.left + r.left - x;
        x = clip.left;
    }
    if (y < clip.top) {
        r.top = clip.top + r.top - y;
        y = clip.top;
    }
    return whole || r != kWholePicture;
}

int DrawClipped(const ClipRect& clip, const Surface& source, Surface& destination, Rect r, std::int16_t x16,
                std::int16_t y16, bool transparent) {
    std::int32_t x = x16;
    std::int32_t y = y16;
    if (!CutToClip(clip, r, x, y)) return 1;
    return CopyRect(destination, x, y, source, r, transparent);
}

}  // namespace tenfold
