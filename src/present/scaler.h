#pragma once
// Putting the table on a window without a graphics card's help: finding the
// parts of the picture that changed since the last frame, and scaling just
// those parts onto the window with bilinear filtering. Kept free of the
// window system so both can be checked on pictures in memory.

#include <cstdint>
#include <vector>

#include "present/surface.h"

namespace tenfold {

// Rectangles (right and bottom exclusive) covering every pixel in which `now`
// differs from `shown` (the same size, row after row). Each rectangle is a run
// of consecutive changed rows with the columns changed anywhere in it; more
// than `maxAreas` runs are merged into one. `out` is cleared first and keeps
// its memory from frame to frame.
void ChangedAreas(const Surface& now, const std::vector<std::uint16_t>& shown, std::vector<Rect>& out,
                  std::size_t maxAreas = 32);

// Copies the given areas of `now` into `shown` (which must already be the size of `now`).
void CopyAreas(const Surface& now, const std::vector<Rect>& areas, std::vector<std::uint16_t>& shown);

// Draws a picture of one size as a picture of another (XRGB8888), each target
// pixel sampled at its centre between the four nearest source pixels.
class TableScaler {
public:
    // Builds the sampling tables; cheap enough to redo when the window changes size.
    void Prepare(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);
    int TargetWidth() const { return static_cast<int>(columns_.size()); }
    int TargetHeight() const { return static_cast<int>(rows_.size()); }
    // The target pixels whose value depends on the source pixels of `source`.
    Rect Affected(const Rect& source) const;
    // Computes the target pixels of `target` from `picture`; `pixels` is the
    // target's top-left pixel and `pitch` its row length, both in pixels.
    void Scale(const Surface& picture, const Rect& target, std::uint32_t* pixels, int pitch) const;

private:
    struct Sample {
        std::int32_t first;    // source index of the left (upper) neighbour
        std::int32_t second;   // of the right (lower) neighbour
        std::uint32_t weight;  // of the second, 0..256
    };
    static std::vector<Sample> Samples(int source, int target);
    std::vector<Sample> columns_;
    std::vector<Sample> rows_;
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
};

// An RGB565 pixel as XRGB8888, the low bits filled from the high ones so that
// white stays white.
std::uint32_t Xrgb8888From565(std::uint16_t pixel);

}  // namespace tenfold
