#pragma once
// Everything the rules need from the outside world comes through this one
// interface, so that tests and the simulator can script chance and time.

#include <cstdint>
#include <string_view>

namespace tenfold {

class Services {
public:
    virtual ~Services() = default;
    // Uniform random value in [0, 1): every shuffle, throw and scatter draws here.
    virtual float Rnd() = 0;
    // Millisecond tick count that the state machine's delays are measured with.
    virtual std::uint32_t TickCount() = 0;
    // Plays one of the game's sounds by its file name (e.g. "CARD_FLIP.WAV").
    virtual void PlaySound(std::string_view fileName) = 0;
    // Shows a message to the player and waits for OK (e.g. "Error in Shuffle").
    virtual void ShowMessage(std::string_view text) = 0;
};

// Int(Rnd x n): a random whole number 0..n-1 from one draw.
inline int RndInt(Services& s, int n) {
    const int v = static_cast<int>(s.Rnd() * static_cast<float>(n));
    // A product rounded up to n would index past the end; n = 0 gives 0.
    return (v >= n && n > 0) ? n - 1 : v;
}

}  // namespace tenfold
