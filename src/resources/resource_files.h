#pragma once
// Resource files held in memory under the paths they would have on disk. The
// game's start reads the archive's entries into memory rather than writing
// them to a folder only to read them back: the loaders look here first.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tenfold {

class ResourceFiles {
public:
    // Holds `bytes` as the file at `path`, replacing one of that path.
    void Add(const std::string& path, std::vector<std::uint8_t> bytes);
    // The file at `path`, else the one whose path differs only in letter case
    // (resource names come in mixed case, as on disk); nullptr when none.
    const std::vector<std::uint8_t>* Find(std::string_view path) const;
    bool Empty() const { return files_.empty(); }
    std::size_t Count() const { return files_.size(); }
    // Lets go of every file (and its memory).
    void Clear();

private:
    std::map<std::string, std::vector<std::uint8_t>, std::less<>> files_;
    std::map<std::string, std::string, std::less<>> byFoldedPath_;  // lower case -> path
};

}  // namespace tenfold
