#include "resources/file_path.h"

#include <filesystem>

namespace tenfold {

std::string ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string folder = !ec && exe.has_parent_path() ? exe.parent_path().string()
                                                      : std::filesystem::current_path(ec).string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string FileNameOf(std::string_view path) {
    std::string_view s = path;
    if (const auto slash = s.rfind('/'); slash != std::string_view::npos) s.remove_prefix(slash + 1);
    if (const auto back = s.rfind('\\'); back != std::string_view::npos) s.remove_prefix(back + 1);
    return std::string(s);
}

std::string ShortExtensionOf(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return std::string(fileName.substr(0, 3));
    return std::string(fileName.substr(dot + 1, 3));
}

}  // namespace tenfold
