#pragma once
// The game's ten short sounds. Sound is optional: without an audio device the
// game runs silently and says nothing about it.

#include <array>
#include <string>
#include <string_view>

struct Mix_Chunk;

namespace tenfold {

class Sound {
public:
    // Buffer order; the index is also the row of SoundFiles().
    enum Buffer : int {
        SoundCardFlip1, SoundCardFlip2, SoundCardFlip3,
        SoundSign1, SoundSign2, SoundSign3,
        SoundShuffle, SoundIntro, SoundWin, SoundLose,
        kBufferCount
    };
    static const std::array<const char*, kBufferCount>& SoundFiles();

    Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;
    ~Sound();

    bool SoundEnabled = false;

    // Opens the mixer at 22,050 Hz, 16-bit, stereo; any failure leaves sound off.
    void InitDirectSound();
    // Loads the ten files from `folder` (ending in a path separator).
    void LoadSounds(const std::string& folder);
    // Loads one buffer; a file that cannot be read, or whose wave structure is
    // damaged, raises "Error in function CreateSoundFromFile() " naming the file
    // while sound is on.
    void CreateSoundFromFile(Buffer buffer, const std::string& fileName);
    // Plays a buffer from its start; never looped in this game.
    void PlaySoundBuffer(Buffer buffer, bool looped);
    // One of the three card flips, by the whole part of r x 3 (r in [0, 1)).
    void PlayCardFlip(float r);
    // One of the three sign sounds, chosen the same way.
    void PlaySign(float r);
    // Plays the buffer loaded from this file name (as the rules name sounds);
    // unknown names are ignored.
    void PlayByName(std::string_view fileName);
    // Releases the ten buffers.
    void ReleaseBuffers();
    // Releases the buffers and closes the device.
    void Close();

private:
    std::array<Mix_Chunk*, kBufferCount> chunks_{};
    bool opened_ = false;
};

// Index 0..2 from a random value in [0, 1): the whole part of r x 3, kept in range.
int PickOfThree(float r);

}  // namespace tenfold
