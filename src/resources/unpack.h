#pragma once
// Start-up unpacking: the archive's resources are written into a private
// folder made for this run (never into the program's own folder, which may be
// read-only and is shared by every running game), loaded from there, and the
// folder is removed again as soon as everything is in memory.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/pak.h"
#include "resources/safe_file.h"

namespace tenfold {

// Folder below which the private folder is made: $XDG_RUNTIME_DIR when it
// names an existing folder this process can write in, else $TMPDIR on the
// same terms, else "/tmp".
std::string DefaultUnpackParent();

// Decodes a JPEG picture and encodes it as a Windows bitmap (24 bits per
// pixel), checking the JPEG's structure and size before decoding.
IoResult ConvertJpegToBmp(std::span<const std::uint8_t> jpeg, std::vector<std::uint8_t>& bmp);

// Private folders are named this and six characters of mkdtemp's choice...
inline constexpr std::string_view kFolderPrefix = "tenfold-";
// ...and each holds this file, locked for as long as the run that made the
// folder lives.
inline constexpr std::string_view kLockFile = ".lock";
// A folder of ours without a lock file is taken as abandoned once it is this
// many seconds old (a run locks its folder right after making it).
inline constexpr std::int64_t kLocklessAge = 600;

// Removes from `parent` the private folders of runs that no longer hold
// their lock (ended without cleaning up, for instance killed with SIGKILL),
// never a folder whose run still lives, nor anything of another user's.
void RemoveAbandonedFolders(const std::string& parent);

class ResourceUnpacker {
public:
    ResourceUnpacker() = default;
    // Removes whatever is still unpacked, so an early return or an exception
    // during start-up leaves nothing behind.
    ~ResourceUnpacker();
    ResourceUnpacker(const ResourceUnpacker&) = delete;
    ResourceUnpacker& operator=(const ResourceUnpacker&) = delete;

    // Unpacks every resource entry of the archive at `pakPath` into
    // BaseFolder() + "res/<folder>/<file>" and makes the background bitmap from
    // its JPEG, after removing the abandoned folders of earlier runs from
    // `parent`. Does nothing when this unpacker already holds unpacked
    // resources. On failure (archive missing or malformed, an unsafe or
    // clashing name, a foreign marker, a failed write or conversion, a stop
    // signal) everything written is removed, false is returned and LastError()
    // says why, naming the file and the entry or field.
    bool UnpackResources(const std::string& pakPath, const std::string& parent = DefaultUnpackParent());
    // Entries for which `wanted(folder, file)` is false stay in the archive
    // (the art for screen sizes or decks this run does not show); every
    // entry is checked as before. Unset: every entry is unpacked.
    void UnpackOnly(std::function<bool(std::string_view folder, std::string_view file)> wanted) {
        wanted_ = std::move(wanted);
    }

    // Removes the unpacked files and folders, the folders in the order
    // Sounds, Bitmaps, fntFonts, Numbers, Royal, Roya2, then "res" and the
    // private folder itself. Safe to call at any time, and more than once.
    void DeleteResources();

    // The private folder holding "res/", ending in "/"; "" when nothing is unpacked.
    const std::string& BaseFolder() const { return base_; }
    // Set when a foreign marker entry made the unpacker clean up and stop.
    bool ForceCleanUp() const { return forceCleanUp_; }
    // One line per entry that had no known prefix and was skipped.
    const std::vector<std::string>& Skipped() const { return skipped_; }
    const std::string& LastError() const { return lastError_; }

private:
    bool Fail(std::string why);
    std::function<bool(std::string_view, std::string_view)> wanted_;

    PakReader pak_;
    std::string base_;
    bool forceCleanUp_ = false;
    std::vector<std::string> skipped_;
    std::string lastError_;
    int lockFd_ = -1;  // the lock on the private folder, held while it exists
};

}  // namespace tenfold
