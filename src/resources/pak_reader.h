#pragma once
// Reads a resource archive (see pak_format.h). The reader trusts no field
// until it has been checked against the file's real size, and reopens the
// file for every entry it reads rather than keeping it open.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/pak_format.h"
#include "resources/result.h"
#include "resources/safe_file.h"

namespace tenfold {

// One directory record, checked against the file when it was read.
struct PakRecord {
    std::string name;  // the whole 56-byte name field, padding included
    std::int32_t offset = 0;
    std::int32_t size = 0;
};

class PakReader {
public:
    // Loads header and directory of `archivePath`. On any failure (missing or
    // unreadable file, wrong magic, a field that does not fit the file, a
    // directory of more than kPakMaxEntries records, a record with an empty
    // name) the reason names the file, the field and its offset, and the
    // archive loaded before stays loaded.
    Result Open(const std::string& archivePath);

    // Path of the archive loaded; "" before any was.
    const std::string& Path() const { return path_; }
    // The directory, entry id = index; empty before any archive was loaded.
    std::span<const PakRecord> Entries() const { return entries_; }
    std::int32_t EntryCount() const { return static_cast<std::int32_t>(entries_.size()); }

    // Reads entry `id`'s resource bytes (shift undone) into memory.
    Result ReadEntry(std::int32_t id, std::vector<std::uint8_t>& out) const;
    // Writes entry `id`'s resource bytes to `targetPath`, replacing whatever
    // file is there without following a symbolic link; no partial file stays.
    Result SaveEntry(std::int32_t id, const std::string& targetPath) const;
    // The same into an open folder, for writers that must never leave it.
    Result SaveEntry(std::int32_t id, const SafeDir& dir, std::string_view name, WriteMode mode) const;

private:
    // Opens Path() again and checks entry `id` still fits it.
    Result OpenEntry(std::int32_t id, int& fd) const;

    std::vector<PakRecord> entries_;
    std::string path_;
};

// "entry 3 "Xoyal_AC.BMP"": an entry for messages, padding dropped.
std::string DescribeEntry(std::int32_t id, std::string_view nameField);

}  // namespace tenfold
