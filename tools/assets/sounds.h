#pragma once
// The ten sounds of the game, synthesised: PCM, 22,050 Hz, 16-bit, stereo,
// the one format the game's sound buffers are made for.

#include <cstdint>
#include <string>
#include <vector>

namespace tenfold::assets {

inline constexpr int kSampleRate = 22050;
inline constexpr int kChannels = 2;

struct Sound {
    std::string file;                   // e.g. "CARD_FLIP.WAV"
    std::vector<std::int16_t> samples;  // interleaved left, right
    double Seconds() const { return static_cast<double>(samples.size()) / kChannels / kSampleRate; }
};

// All ten, in the order the game loads them.
std::vector<Sound> SynthesiseSounds();

// RIFF/WAVE bytes of the sound.
std::vector<std::uint8_t> EncodeWav(const Sound& sound);

}  // namespace tenfold::assets
