#include "core/random.h"

#include <chrono>

namespace tenfold {

Pcg32::Pcg32(std::uint64_t seed, std::uint64_t stream) {
    // The reference seeding: step once from zero, add the seed, step again.
    increment_ = (stream << 1u) | 1u;
    NextU32();
    state_ += seed;
    NextU32();
}

std::uint32_t Pcg32::NextU32() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + increment_;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

float Pcg32::NextFloat() { return static_cast<float>(NextU32() >> 8) * (1.0f / 16777216.0f); }

std::uint64_t TimeOfDaySeed() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

}  // namespace tenfold
