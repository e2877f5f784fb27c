#pragma once
// File writing that cannot be redirected. Archive contents are untrusted, and
// the folders they are written into may be shared with other programs, so every
// file is created through a folder handle without following symbolic links,
// and a file that could not be written completely never stays behind.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/result.h"

namespace tenfold {

// Either way the bytes go first into a hidden file beside the target, which
// takes the target's name only once it is complete: a failed or cut-short
// write never leaves a short file under the final name, and the hidden file
// is removed on every failure.
enum class WriteMode {
    // Create a new file; anything already at the name (file, folder, symbolic
    // link) makes the write fail and is left untouched.
    CreateNew,
    // Rename the complete file over the target: a longer old file is thereby
    // replaced, a symbolic link at the name is replaced rather than followed,
    // and a failed write keeps the old file.
    Replace,
    // Replace, and flush the new file and the folder to disk around the
    // rename: a crash or power cut at any moment leaves the old file or the
    // new one whole. For the files a player keeps, not for bulk unpacking.
    ReplaceDurably,
};

// A write past the process's file-size limit (ulimit -f) raises SIGXFSZ,
// which by default ends the process on the spot and leaves whatever it was
// writing behind. Ignored, the write fails with EFBIG ("File too large") and
// the writer cleans up. Every writer here calls this, and so does the game at start.
void IgnoreFileSizeSignal();

// An open folder handle. Names handed to its operations are single path
// components: they never contain "/" and are never "." or "..".
class SafeDir {
public:
    SafeDir() = default;
    ~SafeDir();
    SafeDir(SafeDir&& other) noexcept;
    SafeDir& operator=(SafeDir&& other) noexcept;
    SafeDir(const SafeDir&) = delete;
    SafeDir& operator=(const SafeDir&) = delete;

    // Opens an existing folder by path (the caller's own choice of folder, so
    // links in this path are followed as the caller meant them).
    static Result Open(const std::string& path, SafeDir& out);
    // Opens the sub-folder `name`, creating it when `create` is set and it is
    // missing (`created`, when given, tells whether this call made it). A
    // symbolic link in its place is refused, never followed.
    Result Sub(std::string_view name, bool create, SafeDir& out, bool* created = nullptr) const;
    // Whether anything (file, folder, link) has the name `name`.
    bool Has(std::string_view name) const;
    // Removes the empty sub-folder `name`; anything else is left alone.
    void RemoveEmptyFolder(std::string_view name) const;

    // Creates the file `name` with `size` bytes drawn from `produce`, which is
    // called with a buffer and its length to fill and returns a Result.
    // On any failure the partly written file is removed.
    template <class Producer>
    Result WriteStream(std::string_view name, std::uint64_t size, WriteMode mode, Producer&& produce) const;
    Result WriteFile(std::string_view name, std::span<const std::uint8_t> bytes, WriteMode mode) const;

    // Removes the file `name` (not a folder); a missing file is not an error.
    void RemoveFile(std::string_view name) const;
    // The handle, for the *at() calls of the unpacker's own folder work.
    int Fd() const { return fd_; }

private:
    // Low-level helpers shared by the stream writer.
    Result OpenForWrite(std::string_view name, WriteMode mode, int& fd, std::string& tempName) const;
    // Gives the complete hidden file the name `name`, as `mode` says.
    Result Publish(std::string_view name, WriteMode mode, const std::string& tempName) const;
    Result WriteAll(int fd, const std::uint8_t* data, std::size_t n, std::string_view name) const;
    Result Finish(int fd, std::string_view name, WriteMode mode, const std::string& tempName) const;
    // Closes and removes the hidden file of a write that failed.
    void Abandon(int fd, const std::string& tempName) const;

    int fd_ = -1;
    std::string path_;
};

// Splits a path into its folder ("." when there is none) and its last component.
void SplitPath(const std::string& path, std::string& folder, std::string& name);

// Writes `bytes` to `path` (folder part opened as the caller gave it, last
// component handled as SafeDir does).
Result WriteFileAt(const std::string& path, std::span<const std::uint8_t> bytes, WriteMode mode);

// Whether a read follows a symbolic link in the last component of its path.
enum class LinkPolicy { Follow, Refuse };

// Reads a whole regular file, refusing anything larger than `limit` bytes
// before allocating for it.
Result ReadWholeFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& out,
                     LinkPolicy links = LinkPolicy::Follow);

template <class Producer>
Result SafeDir::WriteStream(std::string_view name, std::uint64_t size, WriteMode mode,
                            Producer&& produce) const {
    int fd = -1;
    std::string tempName;
    if (Result r = OpenForWrite(name, mode, fd, tempName); !r) return r;
    std::vector<std::uint8_t> chunk;
    std::uint64_t left = size;
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(left < 65536 ? left : 65536);
        chunk.resize(n);
        if (Result r = produce(chunk.data(), n); !r) {
            Abandon(fd, tempName);
            return r;
        }
        if (Result r = WriteAll(fd, chunk.data(), n, name); !r) {
            Abandon(fd, tempName);
            return r;
        }
        left -= n;
    }
    return Finish(fd, name, mode, tempName);
}

}  // namespace tenfold
