#include "present/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <strings.h>

#include <cstdint>
#include <vector>

#include "present/display.h"

namespace tenfold {

namespace {
// Far more than any of the game's short sounds.
constexpr std::uint64_t kMaxSoundBytes = 32u << 20;
}  // namespace

const std::array<const char*, Sound::kBufferCount>& Sound::SoundFiles() {
    static const std::array<const char*, kBufferCount> files = {
        "CARD_FLIP.WAV", "CARD_FLIP2.WAV", "CARD_FLIP3.WAV", "SIGN1.WAV",    "SIGN2.WAV",
        "SIGN3.WAV",     "SHUFFLE.WAV",    "INTRO.WAV",      "WIN_GAME.WAV", "LOSE_GAME.WAV"};
    return files;
}

int PickOfThree(float r) {
    const int i = static_cast<int>(std::floor(static_cast<double>(r) * 3.0));
    return i < 0 ? 0 : (i > 2 ? 2 : i);
}

Sound::~Sound() { Close(); }

void Sound::InitDirectSound() {
    SoundEnabled = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(16);
    opened_ = true;
    SoundEnabled = true;
}

void Sound::LoadSounds(const std::string& folder) {
    for (int i = 0; i < kBufferCount; ++i) {
        CreateSoundFromFile(static_cast<Buffer>(i), folder + SoundFiles()[static_cast<std::size_t>(i)]);
    }
}

void Sound::CreateSoundFromFile(Buffer buffer, const std::string& fileName) {
    if (!SoundEnabled) return;
    constexpr const char* kLabel = "Error in function CreateSoundFromFile() ";
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadResourceFile(fileName, kMaxSoundBytes);
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
    Mix_Chunk*& slot = chunks_[static_cast<std::size_t>(buffer)];
    if (slot != nullptr) Mix_FreeChunk(slot);
    slot = chunk;
}

void Sound::PlaySoundBuffer(Buffer buffer, bool looped) {
    if (!SoundEnabled) return;
    Mix_Chunk* chunk = chunks_[static_cast<std::size_t>(buffer)];
    if (chunk != nullptr) Mix_PlayChannel(-1, chunk, looped ? -1 : 0);
}

void Sound::PlayCardFlip(float r) {
    PlaySoundBuffer(static_cast<Buffer>(SoundCardFlip1 + PickOfThree(r)), false);
}

void Sound::PlaySign(float r) { PlaySoundBuffer(static_cast<Buffer>(SoundSign1 + PickOfThree(r)), false); }

void Sound::PlayByName(std::string_view fileName) {
    const std::string name(fileName);
    for (int i = 0; i < kBufferCount; ++i) {
        if (strcasecmp(name.c_str(), SoundFiles()[static_cast<std::size_t>(i)]) == 0) {
            PlaySoundBuffer(static_cast<Buffer>(i), false);
            return;
        }
    }
}

void Sound::ReleaseBuffers() {
    for (Mix_Chunk*& c : chunks_) {
        if (c != nullptr) {
            if (opened_) Mix_HaltChannel(-1);
            Mix_FreeChunk(c);
            c = nullptr;
        }
    }
}

void Sound::Close() {
    ReleaseBuffers();
    if (opened_) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        opened_ = false;
    }
    SoundEnabled = false;
}

}  // namespace tenfold
