#pragma once
// Small helpers for the archive tests: a scratch folder that cleans itself
// up, a listing of everything below a folder, and raw byte editing.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace tenfold::test {

using Bytes = std::vector<std::uint8_t>;

class ScratchDir {
public:
    ScratchDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "tenfold-test-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr) std::abort();
        path_ = templ;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return (path_ / rel).string(); }

private:
    std::filesystem::path path_;
};

// Every path below `root` (relative, with a trailing "/" for folders and
// "@" for symbolic links), so a test can tell exactly what was written.
inline std::set<std::string> ListTree(const std::filesystem::path& root) {
    std::set<std::string> out;
    namespace fs = std::filesystem;
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

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

inline void PutLe32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v >> (8 * i));
}

// Minimal well-formed resources of each kind the game loads.
inline void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b.at(at) = static_cast<std::uint8_t>(v);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

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

inline Bytes MakeJpeg(std::uint16_t w, std::uint16_t h) {
    Bytes b = {0xFF,
               0xD8,
               0xFF,
               0xE0,
               0x00,
               0x04,
               'J',
               'F',  // SOI, APP0
               0xFF,
               0xC0,
               0x00,
               0x0B,
               8,
               static_cast<std::uint8_t>(h >> 8),
               static_cast<std::uint8_t>(h),
               static_cast<std::uint8_t>(w >> 8),
               static_cast<std::uint8_t>(w),
               1,
               1,
               0x11,
               0,  // SOF0
               0xFF,
               0xD9};
    return b;
}

}  // namespace tenfold::test
