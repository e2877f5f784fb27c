#pragma once
// The game's ten short sounds. Sound is optional: without an audio device the
// game runs silently and says nothing about it.

#include <array>
#include <string>

#include "core/services.h"
#include "resources/resource_files.h"

struct Mix_Chunk;

namespace tenfold {

class SoundDevice {
public:
    SoundDevice() = default;
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;
    ~SoundDevice();

    // The resources unpacked into memory, looked in before the disk; nullptr: the disk alone.
    const ResourceFiles* files = nullptr;

    // Opens the mixer at 22,050 Hz, 16-bit, stereo; any failure leaves sound off.
    void Open();
    bool Enabled() const { return enabled_; }
    // Loads the ten sounds from `folder` (ending in a path separator), by the
    // file names of the resource layout.
    void LoadSounds(const std::string& folder);
    // Loads one sound; a file that cannot be read, or whose wave structure is
    // damaged, raises "Error in function CreateSoundFromFile() " naming the file
    // while sound is on.
    void LoadSound(Sound sound, const std::string& fileName);
    // Plays a sound once from its start.
    void Play(Sound sound);
    // Releases the ten sounds.
    void ReleaseSounds();
    // Releases the sounds and closes the device.
    void Close();

private:
    std::array<Mix_Chunk*, kSoundCount> chunks_{};
    bool opened_ = false;
    bool enabled_ = false;
};

}  // namespace tenfold
