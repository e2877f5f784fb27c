#include "resources/safe_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tenfold {

namespace {

// A single path component is all a folder handle ever resolves.
bool IsPlainComponent(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string Join(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    if (folder.back() == '/') return folder + std::string(name);
    return folder + "/" + std::string(name);
}

}  // namespace

void IgnoreFileSizeSignal() {
    // Looked at on every call: a handler the program installed itself is kept.
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

SafeDir::~SafeDir() {
    if (fd_ >= 0) ::close(fd_);
}

SafeDir::SafeDir(SafeDir&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) { other.fd_ = -1; }

SafeDir& SafeDir::operator=(SafeDir&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

Result SafeDir::Open(const std::string& path, SafeDir& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    BAIL_IF(fd < 0, path + ": cannot open folder: " + ErrnoText(errno));
    out = SafeDir();
    out.fd_ = fd;
    out.path_ = path;
    return {};
}

Result SafeDir::Sub(std::string_view name, bool create, SafeDir& out, bool* created) const {
    const std::string full = Join(path_, name);
    if (created != nullptr) *created = false;
    BAIL_IF(!IsPlainComponent(name), full + ": not a plain folder name");
    const std::string n(name);
    if (create) {
        if (::mkdirat(fd_, n.c_str(), 0777) == 0) {
            if (created != nullptr) *created = true;
        } else if (errno != EEXIST) {
            return Result::Fail(full + ": cannot create folder: " + ErrnoText(errno));
        }
    }
    const int fd = ::openat(fd_, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ELOOP || err == ENOTDIR) {
            return Result::Fail(full + ": not a folder (a symbolic link or a file is in its place)");
        }
        return Result::Fail(full + ": cannot open folder: " + ErrnoText(err));
    }
    out = SafeDir();
    out.fd_ = fd;
    out.path_ = full;
    return {};
}

Result SafeDir::OpenForWrite(std::string_view name, WriteMode mode, int& fd, std::string& tempName) const {
    IgnoreFileSizeSignal();
    const std::string full = Join(path_, name);
    BAIL_IF(!IsPlainComponent(name), full + ": not a plain file name");
    const std::string n(name);
    struct stat st {};
    if (mode == WriteMode::CreateNew && ::fstatat(fd_, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        // Said at once rather than after the whole file has been written.
        return Result::Fail(full + ": already exists, not overwritten");
    }
    // A hidden sibling with a random suffix, made with exclusive flags that
    // never follow a link, and renamed to the target once complete.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.part", static_cast<unsigned>(rd()));
        std::string candidate = ".";
        candidate += name.substr(0, 200);
        candidate += suffix;
        fd = ::openat(fd_, candidate.c_str(), flags, 0666);
        if (fd >= 0) {
            tempName = std::move(candidate);
            return {};
        }
        BAIL_IF(errno != EEXIST, full + ": cannot create: " + ErrnoText(errno));
    }
    return Result::Fail(full + ": cannot create a temporary file beside it");
}

Result SafeDir::Publish(std::string_view name, WriteMode mode, const std::string& tempName) const {
    const std::string n(name);
    if (mode != WriteMode::CreateNew) {
        if (::renameat(fd_, tempName.c_str(), fd_, n.c_str()) == 0) return {};
        return Result::Fail(Join(path_, name) + ": cannot replace: " + ErrnoText(errno));
    }
    // A new name only: whatever appeared there meanwhile is kept.
    int rc = ::renameat2(fd_, tempName.c_str(), fd_, n.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // File systems without the no-replace rename: a hard link fails the same way on an existing name.
        rc = ::linkat(fd_, tempName.c_str(), fd_, n.c_str(), 0);
        if (rc == 0) ::unlinkat(fd_, tempName.c_str(), 0);
    }
    if (rc == 0) return {};
    BAIL_IF(errno == EEXIST, Join(path_, name) + ": already exists, not overwritten");
    return Result::Fail(Join(path_, name) + ": cannot create: " + ErrnoText(errno));
}

Result SafeDir::WriteAll(int fd, const std::uint8_t* data, std::size_t n, std::string_view name) const {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return Result::Fail(Join(path_, name) + ": write failed: " + ErrnoText(errno));
        }
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return {};
}

void SafeDir::Abandon(int fd, const std::string& tempName) const {
    ::close(fd);
    ::unlinkat(fd_, tempName.c_str(), 0);
}

Result SafeDir::Finish(int fd, std::string_view name, WriteMode mode, const std::string& tempName) const {
    if (mode == WriteMode::ReplaceDurably && ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlinkat(fd_, tempName.c_str(), 0);
        return Result::Fail(Join(path_, name) + ": cannot flush to disk: " + ErrnoText(err));
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlinkat(fd_, tempName.c_str(), 0);
        return Result::Fail(Join(path_, name) + ": write failed: " + ErrnoText(err));
    }
    Result r = Publish(name, mode, tempName);
    if (!r) {
        ::unlinkat(fd_, tempName.c_str(), 0);
        return r;
    }
    // The rename itself lives in the folder; without this a power cut can
    // bring back the old name after the new data was already on disk.
    if (mode == WriteMode::ReplaceDurably && ::fsync(fd_) != 0) {
        return Result::Fail(Join(path_, name) + ": cannot flush its folder: " + ErrnoText(errno));
    }
    return {};
}

Result SafeDir::WriteFile(std::string_view name, std::span<const std::uint8_t> bytes, WriteMode mode) const {
    std::size_t pos = 0;
    return WriteStream(name, bytes.size(), mode, [&](std::uint8_t* buf, std::size_t n) {
        std::memcpy(buf, bytes.data() + pos, n);
        pos += n;
        return Result();
    });
}

bool SafeDir::Has(std::string_view name) const {
    if (!IsPlainComponent(name)) return false;
    const std::string n(name);
    struct stat st {};
    return ::fstatat(fd_, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

void SafeDir::RemoveEmptyFolder(std::string_view name) const {
    if (!IsPlainComponent(name)) return;
    const std::string n(name);
    ::unlinkat(fd_, n.c_str(), AT_REMOVEDIR);
}

void SafeDir::RemoveFile(std::string_view name) const {
    if (!IsPlainComponent(name)) return;
    const std::string n(name);
    ::unlinkat(fd_, n.c_str(), 0);
}

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder.assign(1, '.');
        name = path;
    } else {
        folder = path.substr(0, slash == 0 ? 1 : slash);  // the root keeps its slash
        name = path.substr(slash + 1);
    }
}

Result WriteFileAt(const std::string& path, std::span<const std::uint8_t> bytes, WriteMode mode) {
    std::string folder, name;
    SplitPath(path, folder, name);
    BAIL_IF(!IsPlainComponent(name), path + ": not a file name");
    SafeDir dir;
    BAIL_IF_FAILED(SafeDir::Open(folder, dir));
    return dir.WriteFile(name, bytes, mode);
}

Result ReadWholeFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& out,
                     LinkPolicy links) {
    // O_NONBLOCK keeps a FIFO planted in place of the file from hanging the open.
    const int fd = ::open(path.c_str(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == LinkPolicy::Refuse ? O_NOFOLLOW : 0));
    if (fd < 0 && errno == ELOOP && links == LinkPolicy::Refuse) {
        return Result::Fail(path + ": a symbolic link, not read");
    }
    BAIL_IF(fd < 0, path + ": cannot open: " + ErrnoText(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Result::Fail(path + ": not a regular file");
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > limit) {
        ::close(fd);
        return Result::Fail(path + ": " + std::to_string(size) + " bytes, more than the limit of " +
                            std::to_string(limit));
    }
    out.assign(static_cast<std::size_t>(size), 0);
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t r = ::read(fd, out.data() + got, out.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            const int err = errno;
            ::close(fd);
            out.clear();
            return Result::Fail(path + ": read failed at offset " + std::to_string(got) + ": " +
                                (r == 0 ? std::string("file shrank while reading") : ErrnoText(err)));
        }
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return {};
}

}  // namespace tenfold
