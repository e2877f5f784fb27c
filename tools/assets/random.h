#pragma once
// A small seeded generator for textures and synthesised noise: the same seed
// gives the same sequence on every machine, so the resources come out the
// same bytes each time they are built.

#include <cstdint>

namespace tenfold::assets {

class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed == 0 ? 0x9E3779B97F4A7C15ULL : seed) {}
    // Uniform in [0, 1).
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    // Uniform in [-1, 1).
    double Signed() { return Next() * 2 - 1; }

private:
    std::uint64_t state_;
};

}  // namespace tenfold::assets
