#include "resources/private_folder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdio.h>
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

// Whether `name` is one of our private folders: the prefix and six letters
// or digits, after a "." while the folder is being set up.
bool IsPrivateFolderName(std::string_view name) {
    if (name.starts_with('.')) name.remove_prefix(1);
    return name.size() == kFolderPrefix.size() + 6 && name.starts_with(kFolderPrefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kFolderPrefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Gives the staged folder a name of its own: the prefix and six random
// letters or digits, never taking a name that exists.
Result NameStagedFolder(const std::string& parent, const std::string& staging, std::string& named) {
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = parent + "/" + std::string(kFolderPrefix);
        for (int i = 0; i < 6; ++i) name += kLetters[random() % kLetters.size()];
        int rc = ::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // File systems without the no-replace rename: a plain rename,
            // only to a name nothing has.
            struct stat st {};
            if (::lstat(name.c_str(), &st) == 0) {
                errno = EEXIST;
            } else {
                rc = ::rename(staging.c_str(), name.c_str());
            }
        }
        if (rc == 0) {
            named = std::move(name);
            return {};
        }
        BAIL_IF(errno != EEXIST,
                parent + ": cannot make a private folder for the resources: " + ErrnoText(errno));
    }
    return Result::Fail(parent + ": cannot make a private folder for the resources: no free name");
}

}  // namespace

std::string DefaultUnpackParent() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); IsUsableFolder(xdg)) return xdg;
    if (const char* tmp = std::getenv("TMPDIR"); IsUsableFolder(tmp)) return tmp;
    return "/tmp";
}

Result MakePrivateFolder(const std::string& parent, std::string& folder, int& lockFd) {
    // Made and locked under a hidden staging name, and only then given its
    // own name: a run killed in between leaves a staging folder, which the
    // sweep takes once it is old, never a folder of its own name without a
    // lock, which the next start could not tell from one being set up.
    std::string staging = parent + "/." + std::string(kFolderPrefix) + "XXXXXX";
    BAIL_IF(::mkdtemp(staging.data()) == nullptr,
            parent + ": cannot make a private folder for the resources: " + ErrnoText(errno));
    // Locked under another name first and only then given the lock file's
    // name, so no other start ever finds the lock file unlocked while this run lives.
    const std::string pending = PendingLockName();
    int fd = -1;
    std::string named;
    SafeDir top;
    Result made = SafeDir::Open(staging, top);
    if (made) {
        fd = ::openat(top.Fd(), pending.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
            ::renameat(top.Fd(), pending.c_str(), top.Fd(), std::string(kLockFile).c_str()) != 0) {
            made = Result::Fail(staging + ": cannot lock the private folder: " + ErrnoText(errno));
        }
    }
    if (made) made = NameStagedFolder(parent, staging, named);
    if (!made) {
        std::error_code ec;
        std::filesystem::remove_all(staging, ec);
        if (fd >= 0) ::close(fd);
        return made;
    }
    folder = std::move(named);
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
        if (IsPrivateFolderName(e->d_name)) names.emplace_back(e->d_name);
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
            // No lock file: a run of an earlier version, or a staging folder
            // of one killed before it locked it. Only once it is old, and only
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
