#pragma once
// Start-up unpacking: the archive's resources are written into a private
// folder made for this run (see private_folder.h), loaded from there, and the
// folder is removed again as soon as everything is in memory. The game reads
// them into memory instead (UnpackIntoMemory), with the same checks and
// failures, and writes nothing.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fatal.h"
#include "resources/pak_reader.h"
#include "resources/private_folder.h"
#include "resources/resource_files.h"
#include "resources/result.h"
#include "resources/unpack_plan.h"

namespace tenfold {

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
    // `parent`; entries with no known prefix are skipped. Does nothing when
    // this unpacker already holds unpacked resources. On failure (archive
    // missing or malformed, an unsafe or clashing name, a foreign marker, a
    // failed write or conversion, a stop signal) everything written is
    // removed, and the reason names the file and the entry or field.
    Result Unpack(const std::string& pakPath, const std::string& parent = DefaultUnpackParent());
    // Entries for which `wanted(folder, file)` is false stay in the archive
    // (the art for screen sizes or decks this run does not show); every
    // entry is checked as before. Unset: every entry is unpacked.
    void UnpackOnly(std::function<bool(std::string_view folder, std::string_view file)> wanted) {
        wanted_ = std::move(wanted);
    }
    // Unpack reads the entries into memory (Files()) instead of writing them
    // into a folder: nothing is written to disk, and every entry is checked
    // as before (its size against its file's limit before it is read). The
    // resources are then found under ResourceRoot(), the archive's path with
    // a "/": "res120.pak/res/Bitmaps/mouse.bmp", as messages name them.
    void UnpackIntoMemory() { inMemory_ = true; }

    // Removes the unpacked files and folders, the folders in the order
    // Sounds, Bitmaps, fntFonts, Numbers, Royal, Roya2, then "res" and the
    // private folder itself (in memory: lets go of the files). Safe to call
    // at any time, and more than once. The fatal road calls it too while
    // anything is unpacked.
    void DeleteResources();

    // The private folder holding "res/", ending in "/"; "" when nothing is
    // unpacked into a folder.
    const std::string& BaseFolder() const { return base_; }
    // Where the unpacked resources are found, ending in "/": the private
    // folder, or in memory the archive's path; "" when nothing is unpacked.
    const std::string& ResourceRoot() const { return inMemory_ ? memoryRoot_ : base_; }
    // The resources unpacked into memory (see UnpackIntoMemory), or nullptr.
    const ResourceFiles* Files() const { return inMemory_ && !memoryRoot_.empty() ? &files_ : nullptr; }

private:
    Result UnpackInto(const std::string& pakPath, const std::string& parent);
    Result UnpackIntoMemory(const std::string& pakPath, const std::string& parent);
    // Both roads' walk over the archive: each resource entry this run wants,
    // in the archive's order, after the checks every entry meets first (a stop
    // signal ends the walk; a marker of another archive fails it). `take`
    // gets the entry's number, its planned file, its folder and the entry's
    // description for messages.
    using TakeEntry = std::function<Result(std::int32_t id, const PlannedFile& file, std::string_view folder,
                                           const std::string& entry)>;
    Result ForEachWanted(const PakReader& pak, const std::vector<PlannedFile>& plan,
                         const std::string& pakPath, const TakeEntry& take) const;
    std::function<bool(std::string_view, std::string_view)> wanted_;
    bool inMemory_ = false;
    ResourceFiles files_;
    std::string memoryRoot_;

    std::string base_;
    int lockFd_ = -1;  // the lock on the private folder, held while it exists
    CleanUpId cleanUp_ = 0;
};

}  // namespace tenfold
