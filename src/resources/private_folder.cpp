#include "resources/private_folder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "resources/resource_layout.h"
#include "resources/safe_file.h"

namespace tenfold {

namespace {

// An absolute path naming a folder this process may make entries in. A
// runtime folder that exists but belongs to someone else (as after `su`) is
// passed over rather than ending the start with "Permission denied".
bool IsUsableFolder(const char* path) {
    struct stat st {};
    return path != nullptr && path[0] == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode) &&
           ::faccessat(AT_FDCWD, path, W_OK | X_OK, AT_EACCESS) == 0;
}

// The name the lock file has while it is being locked.
std::string PendingLockName() { return std::string(kLockFile) + ".new"; }

}  // namespace

std::string DefaultUnpackParent() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); IsUsableFolder(xdg)) return xdg;
    if (const char* tmp = std::getenv("TMPDIR"); IsUsableFolder(tmp)) return tmp;
    return "/tmp";
}

Result MakePrivateFolder(const std::string& parent, std::string& folder, int& lockFd) {
    std::string made = parent + "/" + std::string(kFolderPrefix) + "XXXXXX";
    BAIL_IF(::mkdtemp(made.data()) == nullptr,
            parent + ": cannot make a private folder for the resources: " + ErrnoText(errno));
    // Locked under another name first and only then given the lock file's
    // name, so no other start ever finds the lock file unlocked while this run lives.
    const std::string pending = PendingLockName();
    int fd = -1;
    SafeDir top;
    Result locked = SafeDir::Open(made, top);
    if (locked) {
        fd = ::openat(top.Fd(), pending.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
            ::renameat(top.Fd(), pending.c_str(), top.Fd(), std::string(kLockFile).c_str()) != 0) {
            locked = Result::Fail(made + ": cannot lock the private folder: " + ErrnoText(errno));
        }
    }
    if (!locked) {
        std::error_code ec;
        std::filesystem::remove_all(made, ec);
        if (fd >= 0) ::close(fd);
        return locked;
    }
    folder = std::move(made);
    lockFd = fd;
    return {};
}

void RemoveAbandonedFolders(const std::string& parent) {
    SafeDir dir;
    if (!SafeDir::Open(parent, dir)) return;
    DIR* listing = ::fdopendir(::dup(dir.Fd()));
    if (listing == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(listing)) {
        const std::string_view name = e->d_name;
        // Exactly the prefix and mkdtemp's six characters.
        if (name.size() == kFolderPrefix.size() + 6 &&
            name.substr(0, kFolderPrefix.size()) == kFolderPrefix &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kFolderPrefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
            names.emplace_back(name);
        }
    }
    ::closedir(listing);
    const std::time_t now = std::time(nullptr);
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(dir.Fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_uid != ::geteuid()) {
            continue;
        }
        SafeDir sub;
        if (!dir.Sub(name, false, sub)) continue;
        const int lock = ::openat(sub.Fd(), std::string(kLockFile).c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        bool abandoned = false;
        if (lock >= 0) {
            // A live run holds its lock; the lock of a run that ended, however it ended, is free.
            abandoned = ::flock(lock, LOCK_EX | LOCK_NB) == 0;
        } else if (errno == ENOENT) {
            // No lock file: a run of an earlier version, or one killed between
            // making its folder and locking it. Only once it is old, and only
            // when it holds nothing but what the unpacker makes.
            bool onlyResources = true;
            if (DIR* inside = ::fdopendir(::dup(sub.Fd())); inside != nullptr) {
                while (const dirent* e = ::readdir(inside)) {
                    const std::string_view n = e->d_name;
                    const bool ours =
                        n == "." || n == ".." || n == layout::kResFolder || n == PendingLockName();
                    if (!ours) onlyResources = false;
                }
                ::closedir(inside);
            }
            abandoned = onlyResources && now - st.st_mtime > kLocklessAge;
        }
        if (abandoned) {
            std::error_code ec;
            std::filesystem::remove_all(parent + "/" + name, ec);
        }
        if (lock >= 0) ::close(lock);
    }
}

}  // namespace tenfold
