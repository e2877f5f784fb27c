#pragma once
// The resource archive: a "PACK" file with a directory of 64-byte records
// (56-byte name, 32-bit offset, 32-bit size, all little-endian and signed),
// whose data bytes are stored plus one, modulo 256. The reader trusts no field
// until it has been checked against the file's real size; the writer makes
// archives the reader accepts.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/safe_file.h"

namespace tenfold {

inline constexpr std::size_t kPakHeaderSize = 16;
inline constexpr std::size_t kPakRecordSize = 64;
inline constexpr std::size_t kPakNameSize = 56;
// Most records a directory may hold: far above the game's own archive (135
// entries), and a bound on what a reader ever allocates for a directory.
inline constexpr std::int64_t kPakMaxEntries = 65536;

// Stored byte from resource byte and back.
inline std::uint8_t PakShift(std::uint8_t b) { return static_cast<std::uint8_t>(b + 1); }
inline std::uint8_t PakUnshift(std::uint8_t b) { return static_cast<std::uint8_t>(b - 1); }

// Reader for one archive at a time; the archive file is reopened for every
// entry read and never kept open between calls.
class PakReader {
public:
    // The whole 56-byte name field of entry `id`, padding included.
    // Throws std::out_of_range for an id outside 0..LastIndex() or before any
    // archive was loaded, like any other subscript error.
    std::string EntryName(std::int32_t id) const;
    // Where entry `id`'s data starts in the file (checked against the file).
    std::int32_t EntryOffset(std::int32_t id) const;
    // Length of entry `id`'s data in bytes (checked against the file).
    std::int32_t EntrySize(std::int32_t id) const;
    // The highest entry number (entry count - 1); 0 before any archive is loaded.
    std::int32_t LastIndex() const { return lastIndex_; }
    // Path of the archive last loaded; "" before any was.
    const std::string& FileLoaded() const { return fileLoaded_; }

    // Loads header and directory of `archivePath`. On any failure (missing or
    // unreadable file, wrong magic, a field that does not fit the file, a
    // directory of more than kPakMaxEntries records, a record with an empty
    // name) it returns false, keeps the previously loaded archive as it was,
    // and LastError() names the file, the field and its offset.
    bool Open(const std::string& archivePath);

    // Writes entry `id`'s resource bytes (shift undone) to `targetPath`,
    // replacing whatever file is there without following a symbolic link.
    // Returns false with LastError() set on failure; no partial file stays.
    bool SaveEntry(std::int32_t id, const std::string& targetPath);
    // The same into an open folder, for writers that must never leave it.
    bool SaveEntry(std::int32_t id, const SafeDir& dir, std::string_view name, WriteMode mode);
    // Reads entry `id`'s resource bytes (shift undone) into memory.
    bool ReadEntry(std::int32_t id, std::vector<std::uint8_t>& out);

    // Reason for the last failed operation; "" after a success.
    const std::string& LastError() const { return lastError_; }

    // Header fields as last read.
    std::int32_t DirectoryOffset() const { return dirOffset_; }
    std::int32_t DirectoryLength() const { return dirLength_; }

private:
    struct Record {
        std::string name;  // exactly kPakNameSize bytes
        std::int32_t offset = 0;
        std::int32_t size = 0;
    };
    const Record& At(std::int32_t id) const;
    bool Fail(std::string why);
    // Opens FileLoaded() again and checks entry `id` still fits it.
    bool OpenEntry(std::int32_t id, int& fd);

    char magic_[4] = {};
    std::int32_t dirOffset_ = 0;
    std::int32_t dirLength_ = 0;
    std::int32_t reserved_ = 0;
    std::int32_t lastIndex_ = 0;
    std::vector<Record> entries_;
    std::string fileLoaded_;
    std::string lastError_;
};

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
IoResult BuildPak(const std::vector<PakEntry>& entries, std::vector<std::uint8_t>& out);
// BuildPak, then writes the archive to `path` (replacing an old file only
// once the new one is complete).
IoResult WritePak(const std::string& path, const std::vector<PakEntry>& entries);

// A name for messages and listings: bytes outside printable ASCII become \xNN
// and a backslash becomes \\, so two different names never read alike.
std::string PrintableName(std::string_view name);

}  // namespace tenfold
