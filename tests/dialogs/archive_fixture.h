#pragma once
// A small archive for the browser and preview tests, written to a scratch
// folder that removes itself.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/pak.h"

namespace tenfold::test {

using Bytes = std::vector<std::uint8_t>;

class ScratchDir {
public:
    ScratchDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "tenfold-dialogs-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr) std::abort();
        path_ = templ;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string operator/(const std::string& rel) const { return (path_ / rel).string(); }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

// A 24-bit bottom-up bitmap filled with one colour, its top-left pixel magenta.
inline Bytes MakeBmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    Bytes out(54 + stride * static_cast<std::size_t>(h), 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    PutLe32(out, 10, 54);
    PutLe32(out, 14, 40);
    PutLe32(out, 18, static_cast<std::uint32_t>(w));
    PutLe32(out, 22, static_cast<std::uint32_t>(h));
    out[26] = 1;
    out[28] = 24;
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
        {"Xoya2_KH.BMP", MakeBmp(6, 9, 200, 10, 10)},
        {"Xoyal_KH.BMP", MakeBmp(5, 8, 10, 10, 200)},
        {"Xounds_CARD_FLIP.WAV", {0x00, 0xFF, 0x7F, 0x80, 0x01}},
        {"Xitmaps_mouse.bmp", MakeBmp(2, 2, 0, 0, 0)},
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
