#include "resources/player_files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace tenfold {

namespace {

// An XDG variable counts only when it holds an absolute path.
std::string AbsoluteEnv(const char* name) {
    const char* v = std::getenv(name);
    if (v == nullptr || v[0] != '/') return {};
    std::string s(v);
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// Creates every missing folder of `path` (absolute), private to the player.
Result MakeFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return Result::Fail(part + ": cannot create folder: " + ErrnoText(errno));
        }
    }
    return {};
}

}  // namespace

std::string PlayerFolderPath(PlayerFolder kind) {
    struct Rule {
        const char* variable;
        const char* belowHome;
    };
    static constexpr Rule kRules[] = {
        {"XDG_CONFIG_HOME", "/.config"},
        {"XDG_STATE_HOME", "/.local/state"},
        {"XDG_DATA_HOME", "/.local/share"},
    };
    const Rule& rule = kRules[static_cast<int>(kind)];
    std::string base = AbsoluteEnv(rule.variable);
    if (base.empty()) {
        const std::string home = AbsoluteEnv("HOME");
        if (home.empty()) return {};
        base = (home == "/" ? std::string() : home) + rule.belowHome;
    }
    return (base == "/" ? std::string() : base) + "/tenfold";
}

Result SaveDurably(const std::string& path, std::string_view bytes) {
    std::string folder, name;
    SplitPath(path, folder, name);
    BAIL_IF(folder.empty() || folder[0] != '/', path + ": not an absolute path");
    BAIL_IF_FAILED(MakeFolders(folder));
    SafeDir dir;
    BAIL_IF_FAILED(SafeDir::Open(folder, dir));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return dir.WriteFile(name, std::span<const std::uint8_t>(data, bytes.size()), WriteMode::ReplaceDurably);
}

Result LoadPlayerFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& out,
                      bool& missing) {
    out.clear();
    struct stat st {};
    missing = ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
    if (missing) return {};
    return ReadWholeFile(path, limit, out);
}

std::string SetAside(const std::string& path) {
    const std::string bad = path + ".bad";
    if (std::rename(path.c_str(), bad.c_str()) != 0) return {};
    return bad;
}

}  // namespace tenfold
