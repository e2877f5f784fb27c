#pragma once
// Everything the rules need from the outside world comes through these
// interfaces, so that tests and the simulator can script chance and time.

#include <cstdint>

namespace tenfold {

// Uniform random values in [0, 1): every shuffle, throw and scatter draws here.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float Rnd() = 0;
};

// Int(Rnd x n): a random whole number 0..n-1 from one draw.
inline int RndInt(RandomSource& r, int n) {
    const int v = static_cast<int>(r.Rnd() * static_cast<float>(n));
    // A product rounded up to n would index past the end; n = 0 gives 0.
    return (v >= n && n > 0) ? n - 1 : v;
}

// The game's ten sounds, in the order of their files in the resource layout.
enum class Sound : std::uint8_t {
    CardFlip1,
    CardFlip2,
    CardFlip3,  // a card is dealt, thrown or gathered
    Sign1,
    Sign2,
    Sign3,    // a trick is carried off, a hand spread
    Shuffle,  // a new deal is ready
    Intro,    // a deal ends and the match goes on
    Win,      // the match ends: "We Won!"
    Lose,     // "We lost!"
};
inline constexpr int kSoundCount = 10;
constexpr int Index(Sound s) { return static_cast<int>(s); }

class Services : public RandomSource {
public:
    // Millisecond tick count that the state machine's delays are measured with.
    virtual std::uint32_t TickCount() = 0;
    virtual void PlaySound(Sound sound) = 0;
};

}  // namespace tenfold
