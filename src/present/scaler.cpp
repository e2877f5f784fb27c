#include "present/scaler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace tenfold {

namespace {

// a + (b - a) x weight / 256 on the three 8-bit channels of XRGB8888 at once:
// red and blue side by side in one product, green in another.
inline std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    if (weight == 0) return a;
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t rb = (((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * weight) >> 8) & 0xFF00FFu;
    const std::uint32_t g = (((a & 0x00FF00u) * keep + (b & 0x00FF00u) * weight) >> 8) & 0x00FF00u;
    return rb | g;
}

const std::array<std::uint32_t, 65536>& Table565() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::uint32_t, 65536>>();
        for (std::uint32_t p = 0; p < 65536; ++p) {
            const std::uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            (*t)[p] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
        }
        return t;
    }();
    return *table;
}

}  // namespace

std::uint32_t Xrgb8888From565(std::uint16_t pixel) { return Table565()[pixel]; }

void ChangedAreas(const Surface& now, const std::vector<std::uint16_t>& shown, std::vector<Rect>& out,
                  std::size_t maxAreas) {
    out.clear();
    const int w = now.Width(), h = now.Height();
    if (shown.size() != now.Pixels().size()) {
        if (now.Valid()) out.push_back(Rect{0, 0, w, h});
        return;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 2;
    bool inRun = false;
    for (int y = 0; y < h; ++y) {
        const std::uint16_t* a = now.Row(y);
        const std::uint16_t* b = shown.data() + static_cast<std::size_t>(y) * w;
        if (std::memcmp(a, b, rowBytes) == 0) {
            inRun = false;
            continue;
        }
        int left = 0;
        while (a[left] == b[left]) ++left;
        int right = w;
        while (a[right - 1] == b[right - 1]) --right;
        if (inRun) {
            Rect& r = out.back();
            r.left = std::min(r.left, left);
            r.right = std::max(r.right, right);
            r.bottom = y + 1;
        } else {
            out.push_back(Rect{left, y, right, y + 1});
            inRun = true;
        }
    }
    if (out.size() > maxAreas) {
        Rect all = out.front();
        for (const Rect& r : out) {
            all.left = std::min(all.left, r.left);
            all.right = std::max(all.right, r.right);
            all.bottom = r.bottom;
        }
        out.assign(1, all);
    }
}

void CopyAreas(const Surface& now, const std::vector<Rect>& areas, std::vector<std::uint16_t>& shown) {
    if (shown.size() != now.Pixels().size()) throw std::invalid_argument("shown picture of another size");
    const int w = now.Width();
    for (const Rect& r : areas) {
        for (int y = r.top; y < r.bottom; ++y) {
            std::memcpy(shown.data() + static_cast<std::size_t>(y) * w + r.left, now.Row(y) + r.left,
                        static_cast<std::size_t>(r.right - r.left) * 2);
        }
    }
}

std::vector<TableScaler::Sample> TableScaler::Samples(int source, int target) {
    std::vector<Sample> samples(static_cast<std::size_t>(target));
    const double step = static_cast<double>(source) / target;
    for (int d = 0; d < target; ++d) {
        const double s = std::max(0.0, (d + 0.5) * step - 0.5);
        auto first = static_cast<std::int32_t>(std::floor(s));
        auto weight = static_cast<std::uint32_t>(std::lround((s - first) * 256));
        if (weight == 256) {
            ++first;
            weight = 0;
        }
        if (first >= source - 1) {
            first = source - 1;
            weight = 0;
        }
        samples[static_cast<std::size_t>(d)] = Sample{first, std::min(first + 1, source - 1), weight};
    }
    return samples;
}

void TableScaler::Prepare(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight) {
    if (sourceWidth <= 0 || sourceHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) {
        throw std::invalid_argument("scaling needs positive sizes");
    }
    sourceWidth_ = sourceWidth;
    sourceHeight_ = sourceHeight;
    columns_ = Samples(sourceWidth, targetWidth);
    rows_ = Samples(sourceHeight, targetHeight);
}

Rect TableScaler::Affected(const Rect& source) const {
    // Samples move monotonically through the source, so the target pixels
    // reading the rectangle form one run on each axis.
    auto run = [](const std::vector<Sample>& samples, int from, int to, std::int32_t& begin,
                  std::int32_t& end) {
        begin = 0;
        end = 0;
        bool found = false;
        for (std::size_t d = 0; d < samples.size(); ++d) {
            const Sample& s = samples[d];
            const bool reads =
                (s.first >= from && s.first < to) || (s.weight != 0 && s.second >= from && s.second < to);
            if (reads && !found) {
                begin = static_cast<std::int32_t>(d);
                found = true;
            }
            if (reads) end = static_cast<std::int32_t>(d) + 1;
        }
    };
    Rect r;
    run(columns_, source.left, source.right, r.left, r.right);
    run(rows_, source.top, source.bottom, r.top, r.bottom);
    if (r.left >= r.right || r.top >= r.bottom) return Rect{};
    return r;
}

void TableScaler::Scale(const Surface& picture, const Rect& target, std::uint32_t* pixels, int pitch) const {
    if (picture.Width() != sourceWidth_ || picture.Height() != sourceHeight_) {
        throw std::invalid_argument("picture of another size than prepared");
    }
    const auto& lut = Table565();
    const int left = std::max(0, target.left), right = std::min(TargetWidth(), target.right);
    const int top = std::max(0, target.top), bottom = std::min(TargetHeight(), target.bottom);
    for (int y = top; y < bottom; ++y) {
        const Sample& row = rows_[static_cast<std::size_t>(y)];
        const std::uint16_t* upper = picture.Row(row.first);
        const std::uint16_t* lower = picture.Row(row.second);
        std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = left; x < right; ++x) {
            const Sample& c = columns_[static_cast<std::size_t>(x)];
            const std::uint32_t top2 = Blend(lut[upper[c.first]], lut[upper[c.second]], c.weight);
            if (row.weight == 0) {
                out[x] = top2;
            } else {
                out[x] = Blend(top2, Blend(lut[lower[c.first]], lut[lower[c.second]], c.weight), row.weight);
            }
        }
    }
}

}  // namespace tenfold
