#pragma once
// Decides, before anything is written, where each archive entry goes: a
// resource entry into its folder, markers and unknown entries nowhere. Every
// output name is checked here, so a bad archive is refused whole instead of
// being half unpacked.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "resources/result.h"

namespace tenfold {

class PakReader;

struct PlannedFile {
    std::int32_t id = 0;
    std::string folder;  // folder below "res"; "" for the top of the target
    std::string file;
    // "Royal/AC.BMP", or the file alone at the top of the target.
    std::string Path() const { return folder.empty() ? file : folder + "/" + file; }
};

// Plans the entries whose 56-byte name fields are given, in order (entry id =
// index). With `keepUnknown`, an entry with no known prefix is planned as a
// file of its trimmed name at the top of the target; otherwise it is left
// out, as markers are. Fails naming the entry when an output name is unsafe
// or two entries would write the same file.
Result PlanUnpack(std::span<const std::string> nameFields, bool keepUnknown, std::vector<PlannedFile>& plan);
// The same for every entry of a loaded archive; the reason names the archive.
Result PlanUnpack(const PakReader& pak, bool keepUnknown, std::vector<PlannedFile>& plan);

// The plan the game unpacks by: PlanUnpack without unknown entries, also
// refusing an entry that would take the name of the bitmap the unpacker makes
// from the background JPEG.
Result PlanGameUnpack(const PakReader& pak, std::vector<PlannedFile>& plan);

}  // namespace tenfold
