#pragma once
// Files for the archive, unpacker and dialog tests: raw bytes in and out of
// files, listings of what a folder holds, the smallest well-formed resources
// of each kind the game loads, and a small archive of cards and a sound.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "resources/pak_writer.h"

namespace tenfold::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

// Every path below `root` (relative, with a trailing "/" for folders and
// "@" for symbolic links), so a test can tell exactly what was written.
inline std::set<std::string> ListTree(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::set<std::string> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string rel = fs::relative(it->path(), root).string();
        if (it->is_symlink())
            rel += "@";
        else if (it->is_directory())
            rel += "/";
        out.insert(rel);
    }
    return out;
}

// The names in a folder, hidden ones included, sorted.
inline std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

inline void PutLe32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

// A bitmap of `bpp` bits a pixel, all zero; a negative height stores the top row first.
inline Bytes MakeBmp(std::int32_t w, std::int32_t h, int bpp = 24) {
    const std::int64_t stride = (static_cast<std::int64_t>(w) * bpp + 31) / 32 * 4;
    const std::int64_t rows = h < 0 ? -static_cast<std::int64_t>(h) : h;
    Bytes b(static_cast<std::size_t>(54 + stride * rows), 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLe32(b, 2, static_cast<std::uint32_t>(b.size()));
    PutLe32(b, 10, 54);
    PutLe32(b, 14, 40);
    PutLe32(b, 18, static_cast<std::uint32_t>(w));
    PutLe32(b, 22, static_cast<std::uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bpp));
    return b;
}

// A card picture: a 24-bit bottom-up bitmap of one colour, its top-left
// pixel the magenta colour key.
inline Bytes MakeCardBmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    Bytes out = MakeBmp(w, h);
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    PutLe32(out, 34, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(h)));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool corner = x == 0 && y == h - 1;  // bottom-up: last row is the top
            std::uint8_t* p =
                &out[54 + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
            p[0] = corner ? 255 : b;
            p[1] = corner ? 0 : g;
            p[2] = corner ? 255 : r;
        }
    }
    return out;
}

// Sixteen-bit stereo PCM, one sample frame.
inline Bytes MakeWav() {
    Bytes b = Text("RIFF....WAVEfmt ....................data....\x01\x02\x03\x04");
    PutLe32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
    PutLe32(b, 16, 16);
    Put16(b, 20, 1);        // PCM
    Put16(b, 22, 2);        // channels
    PutLe32(b, 24, 22050);  // rate
    PutLe32(b, 28, 88200);
    Put16(b, 32, 4);  // block align
    Put16(b, 34, 16);
    PutLe32(b, 40, 4);
    return b;
}

// A start marker, an APP0 segment and a baseline frame header: what the
// check reads, with no image data for a decoder.
inline Bytes MakeJpeg(std::uint16_t w, std::uint16_t h) {
    const auto hi = [](std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); };
    const auto lo = [](std::uint16_t v) { return static_cast<std::uint8_t>(v); };
    return {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04,  'J',   'F',                          // SOI, APP0
            0xFF, 0xC0, 0x00, 0x0B, 8,    hi(h), lo(h), hi(w), lo(w), 1, 1, 0x11, 0,  // SOF0
            0xFF, 0xD9};
}

// Five entries; entry 0 is re-pointed at offset 12 (4 bytes of the header).
struct FixtureArchive {
    std::vector<PakEntry> entries;
    std::string path;
};

inline FixtureArchive MakeFixtureArchive(const std::string& path) {
    FixtureArchive a;
    a.path = path;
    a.entries = {
        {"dumm120", {0}},
        {"Xoya2_KH.BMP", MakeCardBmp(6, 9, 200, 10, 10)},
        {"Xoyal_KH.BMP", MakeCardBmp(5, 8, 10, 10, 200)},
        {"Xounds_CARD_FLIP.WAV", {0x00, 0xFF, 0x7F, 0x80, 0x01}},
        {"Xitmaps_mouse.bmp", MakeCardBmp(2, 2, 0, 0, 0)},
    };
    Bytes bytes;
    if (!BuildPak(a.entries, bytes)) std::abort();
    const std::size_t dir =
        bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<std::size_t>(bytes[7]) << 24);
    PutLe32(bytes, dir + 56, 12);
    PutLe32(bytes, dir + 60, 4);
    WriteBytes(path, bytes);
    return a;
}

}  // namespace tenfold::test
