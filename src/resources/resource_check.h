#pragma once
// Checks made on a picture or a sound before it reaches a decoder: the magic
// bytes, the stated dimensions and the chunk structure must agree with the
// file, the picture must be of a plausible size for its place in the game, and
// the encoding must be one the decoders take. A damaged or hostile resource
// thus gives a clear message instead of a decoder failure, a crash or a huge
// allocation. The game runs these before it loads a file, and `tenfold-pak
// verify` runs the very same ones on an archive's entries.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "resources/result.h"

namespace tenfold {

// The largest picture accepted in a place, in pixels. Each leaves room for
// art drawn at up to four times the game's own size (crisper pictures for
// large screens), and no more, so a picture cannot claim memory out of all
// proportion to its file.
struct PictureLimit {
    std::int64_t width;
    std::int64_t height;
};
// Cards, their back and frame (99 x 153 in the game).
inline constexpr PictureLimit kCardPictureLimit{4 * 99, 4 * 153};
// The table background and score page (800 x 600 and less), the line and the pointer.
inline constexpr PictureLimit kTablePictureLimit{4 * 800, 4 * 600};
// Font sheets (380 x 135) and contract pictures (270 x 38).
inline constexpr PictureLimit kSmallPictureLimit{1600, 600};

// The limit for a picture by the folder it lies in, ignoring case: the decks'
// folders hold cards, the fonts' and the contract pictures' folders small
// pictures; "Bitmaps" and any other place take the table's limit.
PictureLimit PictureLimitFor(std::string_view path);
// The most bytes a resource file may have: for a picture what its largest
// size needs at 32 bits a pixel plus 1 MB of headers, palette and slack; for a
// sound 32 MB, far more than any of the game's short sounds; other files 80 MB.
std::uint64_t ResourceByteLimit(std::string_view path);

// Each fails with a reason that names the field and its offset.
// BMP: "BM", a known header size, 1 pixel up to the limit each way, one
// plane; 1, 4, 8, 16, 24 or 32 bits a pixel, uncompressed, RLE (8 or 4 bits,
// its stream ending inside the file) or bit fields (16 or 32 bits, with a
// channel layout the decoder knows); palette and pixel data inside the file.
Result CheckBmp(std::span<const std::uint8_t> bytes, PictureLimit limit = kTablePictureLimit);
// WAV: "RIFF"/"WAVE", chunks inside the file, a "fmt " chunk of PCM (8, 16,
// 24 or 32 bits) or 32-bit float samples, plain or extensible, 1 to 8
// channels, a block alignment that fits them, then a "data" chunk.
Result CheckWav(std::span<const std::uint8_t> bytes);
// JPEG: start marker, segments inside the file, a baseline, extended or
// progressive frame header of 8-bit samples in 1, 3 or 4 components and 1
// pixel up to the limit each way, before the scan data.
Result CheckJpeg(std::span<const std::uint8_t> bytes, PictureLimit limit = kTablePictureLimit);
// PNG: the signature, a 13-byte header chunk first with 1 pixel up to the
// limit each way, a bit depth the colour type allows, the known methods, and
// chunks inside the file, each with its right checksum, up to an end chunk.
Result CheckPng(std::span<const std::uint8_t> bytes, PictureLimit limit = kTablePictureLimit);
// Chooses the check by the file name's extension (.bmp, .wav, .jpg, .jpeg, .png, any
// case) and the limits by its folder (see above); other files pass. A file
// longer than ResourceByteLimit is refused first.
Result CheckResource(std::string_view path, std::span<const std::uint8_t> bytes);
// Whether CheckResource looks inside files of this name.
bool IsCheckedResource(std::string_view path);

// Reads the file and checks it by its extension; the reason names the file.
Result CheckResourceFile(const std::string& path);

class PakReader;
// Checks entry `id` of a loaded archive, to be unpacked as `path` (folder
// and file below "res"), as CheckResource would check that file; the size
// is looked at before the entry is read.
Result CheckArchiveEntry(const PakReader& pak, std::int32_t id, std::string_view path);

}  // namespace tenfold
