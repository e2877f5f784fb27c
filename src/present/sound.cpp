#include "present/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <vector>

#include "present/display.h"
#include "resources/resource_layout.h"

namespace tenfold {

namespace {
// Far more than any of the game's short sounds.
constexpr std::uint64_t kMaxSoundBytes = 32u << 20;
static_assert(layout::kSoundFiles.size() == kSoundCount, "one file per sound, in the order of Sound");
}  // namespace

SoundDevice::~SoundDevice() { Close(); }

void SoundDevice::Open() {
    enabled_ = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(16);
    opened_ = true;
    enabled_ = true;
}

void SoundDevice::LoadSounds(const std::string& folder) {
    for (int i = 0; i < kSoundCount; ++i) {
        LoadSound(static_cast<Sound>(i),
                  folder + std::string(layout::kSoundFiles[static_cast<std::size_t>(i)]));
    }
}

void SoundDevice::LoadSound(Sound sound, const std::string& fileName) {
    if (!enabled_) return;
    constexpr const char* kLabel = "Error in function CreateSoundFromFile() ";
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadResourceFile(fileName, kMaxSoundBytes, files);
    } catch (const PresentError& e) {
        throw PresentError(kLabel, e.Number(), e.Description());
    }
    // A wave whose data chunk is cut short is refused, not played as far as it goes.
    SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    Mix_Chunk* chunk = rw != nullptr ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (chunk == nullptr) {
        throw PresentError(kLabel, kErrSoundFile,
                           "Cannot load the sound file " + fileName + ": " + Mix_GetError());
    }
    Mix_Chunk*& slot = chunks_[static_cast<std::size_t>(Index(sound))];
    if (slot != nullptr) Mix_FreeChunk(slot);
    slot = chunk;
}

void SoundDevice::Play(Sound sound) {
    if (!enabled_) return;
    Mix_Chunk* chunk = chunks_[static_cast<std::size_t>(Index(sound))];
    if (chunk != nullptr) Mix_PlayChannel(-1, chunk, 0);
}

void SoundDevice::ReleaseSounds() {
    for (Mix_Chunk*& c : chunks_) {
        if (c != nullptr) {
            if (opened_) Mix_HaltChannel(-1);
            Mix_FreeChunk(c);
            c = nullptr;
        }
    }
}

void SoundDevice::Close() {
    ReleaseSounds();
    if (opened_) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        opened_ = false;
    }
    enabled_ = false;
}

}  // namespace tenfold
