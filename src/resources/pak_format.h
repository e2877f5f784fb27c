#pragma once
// The resource archive's format, shared by its reader and its writer: a
// "PACK" file of a 16-byte header (magic, directory offset, directory length),
// the entries' data, and a directory of 64-byte records (56-byte name, 32-bit
// offset, 32-bit size). Numbers are little-endian and signed; the data bytes
// are stored plus one, modulo 256.

#include <cstddef>
#include <cstdint>

namespace tenfold {

inline constexpr std::size_t kPakHeaderSize = 16;
inline constexpr std::size_t kPakRecordSize = 64;
inline constexpr std::size_t kPakNameSize = 56;
// Where a record's offset and size fields lie within it.
inline constexpr std::size_t kPakRecordOffsetAt = 56;
inline constexpr std::size_t kPakRecordSizeAt = 60;
// Most records a directory may hold: far above the game's own archive (135
// entries), and a bound on what a reader ever allocates for a directory.
inline constexpr std::int64_t kPakMaxEntries = 65536;

// Stored byte from resource byte and back.
inline std::uint8_t PakShift(std::uint8_t b) { return static_cast<std::uint8_t>(b + 1); }
inline std::uint8_t PakUnshift(std::uint8_t b) { return static_cast<std::uint8_t>(b - 1); }

inline std::int32_t ReadLe32(const std::uint8_t* p) {
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(u);
}

inline void PutLe32(std::uint8_t* p, std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
    p[2] = static_cast<std::uint8_t>(u >> 16);
    p[3] = static_cast<std::uint8_t>(u >> 24);
}

}  // namespace tenfold
