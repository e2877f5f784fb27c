#include "resources/resource_files.h"

#include <cctype>

namespace tenfold {

namespace {
std::string Folded(std::string_view path) {
    std::string key(path);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}
}  // namespace

void ResourceFiles::Add(const std::string& path, std::vector<std::uint8_t> bytes) {
    files_[path] = std::move(bytes);
    byFoldedPath_.emplace(Folded(path), path);
}

const std::vector<std::uint8_t>* ResourceFiles::Find(std::string_view path) const {
    if (const auto it = files_.find(path); it != files_.end()) return &it->second;
    const auto folded = byFoldedPath_.find(Folded(path));
    return folded == byFoldedPath_.end() ? nullptr : &files_.find(folded->second)->second;
}

void ResourceFiles::Clear() {
    files_.clear();
    byFoldedPath_.clear();
}

}  // namespace tenfold
