#pragma once
// A picture of the table at any screen size: its size in the table's logical
// 800 x 600 pixels, the art made for that size (1x), optionally the same art
// drawn at a larger whole scale, and the pixels made from them for the scale
// the display draws at. At scale 1 those pixels are the 1x art itself; at a
// scale the larger art was drawn for, that art; in between, the larger art
// scaled down with a cubic filter, so every size gets pixels made for it
// rather than an enlarged 800 x 600 picture.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "present/surface.h"

namespace tenfold {

// Larger art whose decoding waits: whoever needs it first decodes it, the
// frame that shows it or the display's background decoder, and the other
// then finds it done (or waits while it is being done), so it is decoded once.
class LaterArt {
public:
    explicit LaterArt(std::function<Surface()> decode) : decode_(std::move(decode)) {}
    // Also makes, when decoding, the pixels for drawing at `width` x `height`
    // (keyed with `key` when `keyed`), as Picture::At would. Set before any
    // thread decodes.
    void AlsoScaleTo(int width, int height, bool keyed, std::uint16_t key);
    // Decodes it unless that is done or under way (any thread).
    void Decode();
    // The art, decoded now if need be; raises the decoder's failure.
    Surface Take();
    // The pixels made for that size and key when decoding, once; else none.
    Surface TakeScaled(int width, int height, bool keyed, std::uint16_t key);

private:
    std::once_flag once_;
    std::function<Surface()> decode_;
    Surface art_;
    std::exception_ptr failure_;
    int scaledWidth_ = 0;
    int scaledHeight_ = 0;
    bool keyed_ = false;
    std::uint16_t key_ = 0;
    Surface scaled_;
};

class Picture {
public:
    Picture() = default;
    // One owner: its larger art may be waiting to be decoded, and is decoded once.
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    Picture(Picture&&) = default;
    Picture& operator=(Picture&&) = default;
    // The 1x art alone (tests, pictures made in memory); larger sizes are then
    // scaled up from it.
    explicit Picture(Surface oneX) { SetOneX(std::move(oneX)); }
    Picture& operator=(Surface oneX) {
        SetOneX(std::move(oneX));
        return *this;
    }

    // The 1x art; its colour key says whether the picture is keyed.
    void SetOneX(Surface oneX);
    // The same art drawn at `scale` (2, 3, ...); its size must be the 1x size
    // times the scale. It takes the 1x art's colour key.
    void SetLarger(int scale, Surface art);
    // The same, decoded only when a size first needs it: `width` x `height`
    // (checked here as SetLarger checks the art) is the size `decode` gives,
    // which may raise its own failure then.
    void SetLargerLater(int scale, int width, int height, std::function<Surface()> decode);
    // The larger art still waiting to be decoded, if any.
    std::shared_ptr<LaterArt> WaitingArt() const { return later_; }

    // Logical size (of the 1x art).
    int Width() const { return oneX_.Width(); }
    int Height() const { return oneX_.Height(); }
    bool Valid() const { return oneX_.Valid(); }
    int LargerScale() const { return largerScale_; }
    const Surface& OneX() const { return oneX_; }
    // Changes whenever the art changes, so a display can tell an unchanged picture.
    std::uint64_t Version() const { return version_; }

    // The pixels for drawing at `scale`: the 1x art's size times the scale,
    // rounded; keyed like the 1x art. Made on first use and kept until the
    // scale or the art changes.
    const Surface& At(double scale) const;
    // Forgets the pixels made for a scale (the art stays).
    void Forget() const;
    void SetColorKeyMode(int mode);
    void Release();

private:
    void KeyLikeOneX() const;
    // The larger art, decoded now if it waits for its first use.
    const Surface& Larger() const;
    Surface oneX_;
    int largerScale_ = 0;
    int largerWidth_ = 0;
    int largerHeight_ = 0;
    mutable Surface larger_;
    mutable std::shared_ptr<LaterArt> later_;
    std::uint64_t version_ = 0;
    mutable double madeFor_ = 0;
    mutable Surface made_;
};

// Scales a picture to another size with a Catmull-Rom cubic (widened when
// shrinking, so every source pixel counts), its colour key (if it has one)
// taken as transparent and alpha premultiplied while filtering. Where the
// result is less than half covered it gets the magenta key, and no covered
// pixel is left exactly magenta.
Surface Resample(const Surface& picture, int targetWidth, int targetHeight);

}  // namespace tenfold
