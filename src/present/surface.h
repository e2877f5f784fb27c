#pragma once
// The table's pictures: plain 16-bit RGB565 pixel rectangles and the one copy
// the game draws with. Kept free of the window system so the clip and colour-key
// rules can be checked on small surfaces in memory.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Surface;

namespace tenfold {

// Right and bottom exclusive. All zero stands for the whole surface.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Passed wherever the whole source picture is meant.
inline constexpr Rect kWholePicture{};

// RGB565 masks; magenta in this format is what colour-key mode 2 makes transparent.
inline constexpr std::uint16_t kRedMask565 = 0xF800;
inline constexpr std::uint16_t kGreenMask565 = 0x07E0;
inline constexpr std::uint16_t kBlueMask565 = 0x001F;

// Packs 8-bit channels into one RGB565 pixel.
constexpr std::uint16_t Rgb565(int r, int g, int b) {
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// One off-screen picture (or the back buffer) in RGB565, with an optional
// source colour key used by colour-keyed copies.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height);  // filled with colour 0
    // Converts a decoded picture of any format to RGB565 (1:1, no scaling).
    static Surface FromSdl(SDL_Surface* picture);
    // The same pixels, with or without the colour key.
    static Surface Copy(const Surface& from, bool keepKey);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Valid() const { return width_ > 0 && height_ > 0; }
    void Release();

    std::uint16_t* Row(int y) {
        spansValid_ = false;  // the caller may write
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }
    const std::uint16_t* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    std::uint16_t Pixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, std::uint16_t v) { Row(y)[x] = v; }
    const std::vector<std::uint16_t>& Pixels() const { return pixels_; }
    int PitchBytes() const { return width_ * 2; }

    // The pixel format's channel masks, as a display surface would report them.
    std::uint16_t RedMask() const { return kRedMask565; }
    std::uint16_t BlueMask() const { return kBlueMask565; }

    bool HasColorKey() const { return hasKey_; }
    std::uint16_t ColorKey() const { return key_; }
    void SetColorKey(std::uint16_t key) {
        hasKey_ = true;
        key_ = key;
        spansValid_ = false;
    }

    // Runs of pixels that are not the colour key, per row: keyed copies of
    // mostly opaque pictures (cards) then cost little more than plain ones.
    struct Span {
        std::int32_t begin;  // first column
        std::int32_t end;    // one past the last column
    };
    void RowSpans(int y, const Span*& first, const Span*& last) const;

    // Fills a rectangle (clipped to the surface) with one colour.
    void Fill(const Rect& r, std::uint16_t colour);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint16_t> pixels_;
    bool hasKey_ = false;
    std::uint16_t key_ = 0;
    mutable bool spansValid_ = false;
    mutable std::vector<Span> spans_;
    mutable std::vector<std::uint32_t> rowStart_;  // index into spans_ per row, plus an end
};

// mode 1: black transparent; mode 2: magenta (red mask + blue mask of the
// surface's own format); any other mode leaves the surface as it is.
void SetColorKeyMode(Surface& surface, int mode);

// The raw rectangle copy, with no clipping of its own: a source rectangle
// that is empty, inverted or outside the source, or a destination not wholly
// inside the target, is refused whole. Returns 0 on success, else non-zero
// (callers in the game never look at it).
int CopyRect(Surface& destination, int x, int y, const Surface& source, const Rect& sourceRect,
             bool useColorKey);

// The clip rectangle every copy onto the back buffer obeys.
struct ClipRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Cuts a copy of `r` placed at (x, y) at the clip edges (right and bottom
// first, then left and top, each test seeing the rectangle as changed before
// it), moving (x, y) with a cut on the left or top. False when a real
// rectangle was cut down to all zeros, which must not turn into "the whole
// picture" and so refuses the copy. Shared by the back buffer's copies and
// the display's recorded ones, so both cut alike.
bool CutToClip(const ClipRect& clip, Rect& r, std::int32_t& x, std::int32_t& y);

// Cuts a copy of sourceRect at the clip edges (right and bottom first, then
// left and top, each test seeing the rectangle as changed before it) and
// hands it to CopyRect. An all-zero rectangle is never cut on the right or
// bottom: the whole picture is drawn or, if it does not fit, nothing.
int DrawClipped(const ClipRect& clip, const Surface& source, Surface& destination, Rect sourceRect,
                std::int16_t x, std::int16_t y, bool transparent);

}  // namespace tenfold
