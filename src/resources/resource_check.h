#pragma once
// Checks made on a picture or a sound before it reaches a decoder: the magic
// bytes, the stated dimensions and the chunk structure must agree with the
// file, so a damaged resource gives a clear message instead of a decoder
// crash or a huge allocation.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "resources/safe_file.h"

namespace tenfold {

// Largest picture side the game accepts, in pixels.
inline constexpr std::int64_t kMaxPictureSide = 4096;

// Each returns "" for a sound file, else the reason, naming the field and its offset.
// BMP: "BM", a known header size, 1..4096 pixels each way, a supported bit
// depth and compression, pixel data inside the file.
std::string CheckBmp(std::span<const std::uint8_t> bytes);
// WAV: "RIFF"/"WAVE", chunks inside the file, a "fmt " chunk with channels
// and rate, a "data" chunk.
std::string CheckWav(std::span<const std::uint8_t> bytes);
// JPEG: start marker, segments inside the file, a frame header of 1..4096
// pixels each way before the scan data.
std::string CheckJpeg(std::span<const std::uint8_t> bytes);
// Chooses the check by the file name's extension (.bmp, .wav, .jpg, .jpeg, any
// case); other files pass.
std::string CheckResource(std::string_view fileName, std::span<const std::uint8_t> bytes);

// Reads the file and checks it by its extension; the reason names the file.
IoResult CheckResourceFile(const std::string& path);

}  // namespace tenfold
