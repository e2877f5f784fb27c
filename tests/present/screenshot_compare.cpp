// Compares two pictures pixel for pixel, leaving out the rectangles named on
// the command line (the clock, which shows the time of day). Prints the first
// pixel that differs and how many do.
//
//   screenshot_compare WANT.png GOT.png [LEFT,TOP,RIGHT,BOTTOM ...]
//
// Right and bottom are exclusive. Exit status 0 when the pictures agree.
#include <SDL.h>
#include <SDL_image.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Area {
    int left, top, right, bottom;
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

SDL_Surface* LoadRgb(const char* path) {
    SDL_Surface* picture = IMG_Load(path);
    if (picture == nullptr) {
        std::fprintf(stderr, "cannot read %s: %s\n", path, IMG_GetError());
        return nullptr;
    }
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(picture);
    if (rgb == nullptr) std::fprintf(stderr, "cannot convert %s: %s\n", path, SDL_GetError());
    return rgb;
}

std::uint32_t PixelAt(const SDL_Surface* s, int x, int y) {
    const auto* row = static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFFu;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WANT.png GOT.png [LEFT,TOP,RIGHT,BOTTOM ...]\n", argv[0]);
        return 2;
    }
    std::vector<Area> masked;
    for (int i = 3; i < argc; ++i) {
        Area a{};
        if (std::sscanf(argv[i], "%d,%d,%d,%d", &a.left, &a.top, &a.right, &a.bottom) != 4) {
            std::fprintf(stderr, "not a rectangle: %s\n", argv[i]);
            return 2;
        }
        masked.push_back(a);
    }
    SDL_Surface* want = LoadRgb(argv[1]);
    SDL_Surface* got = LoadRgb(argv[2]);
    if (want == nullptr || got == nullptr) return 2;
    if (want->w != got->w || want->h != got->h) {
        std::fprintf(stderr, "size %dx%d instead of %dx%d\n", got->w, got->h, want->w, want->h);
        return 1;
    }
    long differing = 0;
    for (int y = 0; y < want->h; ++y) {
        for (int x = 0; x < want->w; ++x) {
            bool skip = false;
            for (const Area& a : masked) skip = skip || a.Holds(x, y);
            if (skip) continue;
            const std::uint32_t w = PixelAt(want, x, y);
            const std::uint32_t g = PixelAt(got, x, y);
            if (w == g) continue;
            if (differing == 0) {
                std::fprintf(stderr, "first difference at (%d, %d): %06x instead of %06x\n", x, y,
                             static_cast<unsigned>(g), static_cast<unsigned>(w));
            }
            ++differing;
        }
    }
    if (differing > 0) std::fprintf(stderr, "%ld pixels differ\n", differing);
    SDL_FreeSurface(want);
    SDL_FreeSurface(got);
    return differing == 0 ? 0 : 1;
}
