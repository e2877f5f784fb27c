#pragma once
// Our own small random generator and the services the headless runs use.
// The game's deals must come out the same for a seed with every compiler and
// standard library, so nothing here leans on <random>'s distributions.

#include <cstdint>

#include "core/services.h"

namespace tenfold {

// PCG32 (XSH RR, 64-bit state): small, fast and the same everywhere.
class Pcg32 {
public:
    explicit Pcg32(std::uint64_t seed, std::uint64_t stream = 54);
    // Next 32 random bits.
    std::uint32_t NextU32();
    // Uniform value in [0, 1) from the top 24 bits, exact in single precision.
    float NextFloat();

    // The whole position in the stream, to be kept and taken up again later
    // (a saved match goes on with exactly the draws it would have had).
    struct Position {
        std::uint64_t state = 0;
        std::uint64_t increment = 0;
        bool operator==(const Position&) const = default;
    };
    Position Where() const { return {state_, increment_}; }
    // An increment must be odd for the generator to run through its whole period.
    void GoTo(const Position& p) {
        state_ = p.state;
        increment_ = p.increment | 1u;
    }

private:
    std::uint64_t state_ = 0;
    std::uint64_t increment_ = 0;
};

// A seed taken from the time of day, for a game that should differ every run.
std::uint64_t TimeOfDaySeed();

// Milliseconds that only move when told to: tests and the simulator end a
// delay by moving the clock past it instead of waiting.
struct SimClock {
    std::uint32_t now = 0;
    void Advance(std::uint32_t ms) { now += ms; }
};

// A RandomSource over a seeded Pcg32.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed, std::uint64_t stream = 54) : rng(seed, stream) {}
    float Rnd() override { return rng.NextFloat(); }
    Pcg32 rng;
};

// Services for runs without a display: seeded randomness, the simulated clock,
// sounds counted but not played.
class HeadlessServices : public Services {
public:
    explicit HeadlessServices(std::uint64_t seed) : rng(seed) {}
    float Rnd() override { return rng.NextFloat(); }
    std::uint32_t TickCount() override { return clock.now; }
    void PlaySound(Sound) override { ++soundsPlayed; }

    Pcg32 rng;
    SimClock clock;
    std::uint64_t soundsPlayed = 0;
};

}  // namespace tenfold
