#include "present/picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "present/scaler.h"

namespace tenfold {

namespace {

constexpr std::uint16_t kMagenta565 = kRedMask565 | kBlueMask565;

double CatmullRom(double x) {
    x = std::fabs(x);
    if (x < 1) return 1.5 * x * x * x - 2.5 * x * x + 1;
    if (x < 2) return -0.5 * x * x * x + 2.5 * x * x - 4 * x + 2;
    return 0;
}

// For each target index, the first source index and the weights of the
// source pixels from there on.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights;  // `width` per target index
    int width = 0;
};

Taps MakeTaps(int source, int target) {
    Taps t;
    const double ratio = static_cast<double>(target) / source;
    const double widen = ratio < 1 ? 1 / ratio : 1;  // shrinking: the kernel spans more source pixels
    const double support = 2 * widen;
    t.width = static_cast<int>(std::ceil(support)) * 2 + 1;
    t.first.resize(static_cast<std::size_t>(target));
    t.count.resize(static_cast<std::size_t>(target));
    t.weights.assign(static_cast<std::size_t>(target) * static_cast<std::size_t>(t.width), 0.f);
    for (int d = 0; d < target; ++d) {
        const double centre = (d + 0.5) / ratio - 0.5;
        const int lo = std::max(0, static_cast<int>(std::floor(centre - support)) + 1);
        const int hi = std::min(source - 1, static_cast<int>(std::ceil(centre + support)) - 1);
        double sum = 0;
        std::vector<double> w;
        for (int s = lo; s <= hi; ++s) {
            w.push_back(CatmullRom((s - centre) / widen));
            sum += w.back();
        }
        if (w.empty() || std::fabs(sum) < 1e-9) {  // a tiny source: nearest pixel
            const int s = std::clamp(static_cast<int>(std::lround(centre)), 0, source - 1);
            t.first[static_cast<std::size_t>(d)] = s;
            t.count[static_cast<std::size_t>(d)] = 1;
            t.weights[static_cast<std::size_t>(d) * t.width] = 1.f;
            continue;
        }
        const int n = std::min(static_cast<int>(w.size()), t.width);
        t.first[static_cast<std::size_t>(d)] = lo;
        t.count[static_cast<std::size_t>(d)] = n;
        for (int i = 0; i < n; ++i)
            t.weights[static_cast<std::size_t>(d) * t.width + static_cast<std::size_t>(i)] =
                static_cast<float>(w[static_cast<std::size_t>(i)] / sum);
    }
    return t;
}

// Channels are never negative here once clamped, so adding a half and
// truncating rounds to nearest (and stays within 0..most).
int Quantise(float v, int most) {
    return static_cast<int>(std::clamp(v, 0.f, 1.f) * static_cast<float>(most) + 0.5f);
}

std::uint16_t Pack565(float r, float g, float b) {
    return static_cast<std::uint16_t>(Quantise(r, 31) << 11 | Quantise(g, 63) << 5 | Quantise(b, 31));
}

// 5- and 6-bit channels as 0..1, the low bits filled from the high ones as
// Xrgb8888From565 does.
struct ChannelTables {
    std::array<float, 32> five{};
    std::array<float, 64> six{};
    ChannelTables() {
        for (int v = 0; v < 32; ++v)
            five[static_cast<std::size_t>(v)] = static_cast<float>(v << 3 | v >> 2) / 255.f;
        for (int v = 0; v < 64; ++v)
            six[static_cast<std::size_t>(v)] = static_cast<float>(v << 2 | v >> 4) / 255.f;
    }
};

}  // namespace

void Picture::SetOneX(Surface oneX) {
    oneX_ = std::move(oneX);
    if (largerScale_ != 0 &&
        (largerWidth_ != oneX_.Width() * largerScale_ || largerHeight_ != oneX_.Height() * largerScale_)) {
        larger_.Release();
        later_.reset();
        largerScale_ = 0;
    }
    if (largerScale_ != 0) KeyLikeOneX();
    ++version_;
    Forget();
}

void Picture::KeyLikeOneX() const {
    if (!larger_.Valid()) return;  // keyed when decoded
    if (oneX_.HasColorKey()) {
        larger_.SetColorKey(oneX_.ColorKey());
    } else if (larger_.HasColorKey()) {
        larger_ = Surface::Copy(larger_, false);
    }
}

void Picture::SetLarger(int scale, Surface art) {
    if (scale < 2 || art.Width() != oneX_.Width() * scale || art.Height() != oneX_.Height() * scale) {
        throw std::invalid_argument("the larger picture is not the 1x picture times its scale");
    }
    largerScale_ = scale;
    largerWidth_ = art.Width();
    largerHeight_ = art.Height();
    larger_ = std::move(art);
    later_.reset();
    KeyLikeOneX();
    ++version_;
    Forget();
}

void Picture::SetLargerLater(int scale, int width, int height, std::function<Surface()> decode) {
    if (scale < 2 || width != oneX_.Width() * scale || height != oneX_.Height() * scale) {
        throw std::invalid_argument("the larger picture is not the 1x picture times its scale");
    }
    largerScale_ = scale;
    largerWidth_ = width;
    largerHeight_ = height;
    larger_.Release();
    later_ = std::make_shared<LaterArt>(std::move(decode));
    ++version_;
    Forget();
}

const Surface& Picture::Larger() const {
    if (later_) {
        Surface art = later_->Take();
        later_.reset();
        if (art.Width() != largerWidth_ || art.Height() != largerHeight_) {
            throw std::invalid_argument("the larger picture decoded to another size than its file states");
        }
        larger_ = std::move(art);
        KeyLikeOneX();
    }
    return larger_;
}

void LaterArt::AlsoScaleTo(int width, int height, bool keyed, std::uint16_t key) {
    scaledWidth_ = width;
    scaledHeight_ = height;
    keyed_ = keyed;
    key_ = key;
}

void LaterArt::Decode() {
    std::call_once(once_, [this] {
        try {
            art_ = decode_();
            if (scaledWidth_ > 0 && (scaledWidth_ != art_.Width() || scaledHeight_ != art_.Height())) {
                // Keyed as the picture will key it when taken (KeyLikeOneX).
                if (keyed_) art_.SetColorKey(key_);
                scaled_ = Resample(art_, scaledWidth_, scaledHeight_);
            }
        } catch (...) {
            failure_ = std::current_exception();
        }
        decode_ = nullptr;  // and the file's bytes it holds
    });
}

Surface LaterArt::Take() {
    Decode();
    if (failure_) std::rethrow_exception(failure_);
    return std::exchange(art_, Surface());
}

Surface LaterArt::TakeScaled(int width, int height, bool keyed, std::uint16_t key) {
    Decode();
    if (failure_) std::rethrow_exception(failure_);
    if (!scaled_.Valid() || width != scaledWidth_ || height != scaledHeight_ || keyed != keyed_ ||
        (keyed && key != key_)) {
        return Surface();
    }
    return std::exchange(scaled_, Surface());  // once: a moved-from surface keeps its size
}

void Picture::Forget() const {
    madeFor_ = 0;
    made_.Release();
}

void Picture::SetColorKeyMode(int mode) {
    tenfold::SetColorKeyMode(oneX_, mode);
    if (largerScale_ != 0) KeyLikeOneX();
    ++version_;
    Forget();
}

void Picture::Release() {
    oneX_.Release();
    larger_.Release();
    later_.reset();
    largerScale_ = 0;
    ++version_;
    Forget();
}

const Surface& Picture::At(double scale) const {
    if (!oneX_.Valid() || scale == 1.0) return oneX_;
    const int w = std::max(1, static_cast<int>(std::lround(oneX_.Width() * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(oneX_.Height() * scale)));
    // Drawn for this very size: its pixels as they are.
    if (largerScale_ != 0 && w == largerWidth_ && h == largerHeight_) return Larger();
    if (madeFor_ == scale && made_.Valid()) return made_;
    // Made already where the larger art was decoded, when it was for this size.
    if (later_) {
        if (Surface ready = later_->TakeScaled(w, h, oneX_.HasColorKey(), oneX_.ColorKey()); ready.Valid()) {
            made_ = std::move(ready);
            madeFor_ = scale;
            return made_;
        }
    }
    // Else the larger art scaled down (or, larger still, the closest art scaled up).
    made_ = Resample(largerScale_ != 0 ? Larger() : oneX_, w, h);
    madeFor_ = scale;
    return made_;
}

namespace {

// The filter's two passes over `picture` into `result`, with `kChannels` floats
// a pixel: red, green, blue and, for a keyed picture, coverage (its colours
// premultiplied by it). An opaque picture needs no coverage: its weights sum
// to one, and three channels spare a quarter of the work.
template <int kChannels>
void ResampleInto(const Surface& picture, Surface& result) {
    constexpr bool kKeyed = kChannels == 4;
    const int width = picture.Width(), height = picture.Height();
    const int targetWidth = result.Width(), targetHeight = result.Height();
    static const ChannelTables channels;
    const Taps across = MakeTaps(width, targetWidth);
    const Taps down = MakeTaps(height, targetHeight);
    // Target rows are made in bands: each band's source rows are first scaled
    // across, then filtered down. Bands keep the intermediate picture small
    // however large the art is; the source rows two bands share are scaled
    // across twice, so bands are not made too thin either.
    constexpr int kBandRows = 64;
    const std::size_t rowFloats = static_cast<std::size_t>(targetWidth) * kChannels;
    std::vector<float> line(static_cast<std::size_t>(width) * kChannels);
    std::vector<float> rows;
    std::vector<float> acc(rowFloats);
    const std::uint16_t key = picture.ColorKey();
    for (int band = 0; band < targetHeight; band += kBandRows) {
        const int bandEnd = std::min(targetHeight, band + kBandRows);
        int firstRow = height, lastRow = 0;
        for (int d = band; d < bandEnd; ++d) {
            firstRow = std::min(firstRow, down.first[static_cast<std::size_t>(d)]);
            lastRow = std::max(
                lastRow, down.first[static_cast<std::size_t>(d)] + down.count[static_cast<std::size_t>(d)]);
        }
        rows.assign(static_cast<std::size_t>(lastRow - firstRow) * rowFloats, 0.f);
        for (int y = firstRow; y < lastRow; ++y) {
            const std::uint16_t* src = picture.Row(y);
            for (int x = 0; x < width; ++x) {
                float* l = &line[static_cast<std::size_t>(x) * kChannels];
                if constexpr (kKeyed) {
                    if (src[x] == key) {
                        l[0] = l[1] = l[2] = l[3] = 0.f;
                        continue;
                    }
                    l[3] = 1.f;
                }
                l[0] = channels.five[static_cast<std::size_t>(src[x] >> 11)];
                l[1] = channels.six[static_cast<std::size_t>(src[x] >> 5 & 63)];
                l[2] = channels.five[static_cast<std::size_t>(src[x] & 31)];
            }
            float* out = &rows[static_cast<std::size_t>(y - firstRow) * rowFloats];
            for (int d = 0; d < targetWidth; ++d) {
                const float* w = &across.weights[static_cast<std::size_t>(d) * across.width];
                const float* s =
                    &line[static_cast<std::size_t>(across.first[static_cast<std::size_t>(d)]) * kChannels];
                float sum[kChannels] = {};
                for (int i = 0; i < across.count[static_cast<std::size_t>(d)]; ++i, s += kChannels) {
                    for (int c = 0; c < kChannels; ++c) sum[c] += w[i] * s[c];
                }
                for (int c = 0; c < kChannels; ++c) out[d * kChannels + c] = sum[c];
            }
        }
        for (int d = band; d < bandEnd; ++d) {
            std::fill(acc.begin(), acc.end(), 0.f);
            const float* w = &down.weights[static_cast<std::size_t>(d) * down.width];
            for (int i = 0; i < down.count[static_cast<std::size_t>(d)]; ++i) {
                const float* s =
                    &rows[static_cast<std::size_t>(down.first[static_cast<std::size_t>(d)] + i - firstRow) *
                          rowFloats];
                const float wi = w[i];
                for (std::size_t k = 0; k < acc.size(); ++k) acc[k] += wi * s[k];
            }
            std::uint16_t* row = result.Row(d);
            for (int x = 0; x < targetWidth; ++x) {
                const float* p = &acc[static_cast<std::size_t>(x) * kChannels];
                std::uint16_t c = 0;
                if constexpr (kKeyed) {
                    const float a = std::clamp(p[3], 0.f, 1.f);
                    if (a < 0.5f) {
                        row[x] = kMagenta565;
                        continue;
                    }
                    const float inv = 1.f / a;
                    c = Pack565(p[0] * inv, p[1] * inv, p[2] * inv);
                } else {
                    c = Pack565(p[0], p[1], p[2]);
                }
                if (c == kMagenta565) c = static_cast<std::uint16_t>(c - (1 << 11));  // a step less red
                row[x] = c;
            }
        }
    }
}

}  // namespace

Surface Resample(const Surface& picture, int targetWidth, int targetHeight) {
    if (!picture.Valid() || targetWidth <= 0 || targetHeight <= 0) {
        throw std::invalid_argument("resampling needs a picture and a positive size");
    }
    Surface result(targetWidth, targetHeight);
    if (picture.HasColorKey()) {
        ResampleInto<4>(picture, result);
        result.SetColorKey(kMagenta565);
    } else {
        ResampleInto<3>(picture, result);
    }
    return result;
}

}  // namespace tenfold
