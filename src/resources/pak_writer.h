#pragma once
// Writes resource archives (see pak_format.h) that the reader accepts.

#include <cstdint>
#include <string>
#include <vector>

#include "resources/result.h"

namespace tenfold {

// One entry to write: its full name (at most 56 bytes, no NUL) and its
// resource bytes (stored shifted).
struct PakEntry {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Lays out an archive in memory: header, the entries' data in the given
// order, then the directory. Refuses an empty list, names that are empty,
// longer than 56 bytes or hold a NUL, duplicate names, and a total size past
// what the signed 32-bit fields can address.
Result BuildPak(const std::vector<PakEntry>& entries, std::vector<std::uint8_t>& out);
// BuildPak, then writes the archive to `path` (replacing an old file only
// once the new one is complete).
Result WritePak(const std::string& path, const std::vector<PakEntry>& entries);

}  // namespace tenfold
