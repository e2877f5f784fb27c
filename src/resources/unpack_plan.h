#pragma once
// Decides, before anything is written, where each archive entry goes: a
// resource entry into its folder, markers and unknown entries nowhere. Every
// output name is checked here, so a bad archive is refused whole instead of
// being half unpacked.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "resources/safe_file.h"

namespace tenfold {

class PakReader;

struct PlannedFile {
    std::int32_t id = 0;
    std::string folder;  // folder below "res"; "" for the top of the target
    std::string file;
};

struct UnpackPlan {
    std::vector<PlannedFile> files;
    std::vector<std::int32_t> acceptedMarkers;
    std::vector<std::int32_t> foreignMarkers;
    // Entries with no known prefix that are not markers, when not kept.
    std::vector<std::int32_t> unknown;
};

// Plans the entries whose 56-byte name fields are given, in order (entry id =
// index). With `keepUnknown`, an entry with no known prefix is planned as a
// file of its trimmed name at the top of the target; otherwise it is listed
// in `unknown`. Fails naming the entry when an output name is unsafe or two
// entries would write the same file.
IoResult PlanUnpack(std::span<const std::string> nameFields, bool keepUnknown, UnpackPlan& plan);
// The same for every entry of a loaded archive.
IoResult PlanUnpack(const PakReader& pak, bool keepUnknown, UnpackPlan& plan);

// The plan the game unpacks by: PlanUnpack without unknown entries, also
// refusing an entry that would take the name of the bitmap the unpacker makes
// from the background JPEG.
IoResult PlanGameUnpack(const PakReader& pak, UnpackPlan& plan);

// Runs on planned entry `p` the checks the game makes on such a file before
// it loads it (see CheckResource; its size is checked before it is read).
// "" when it passes, else the reason.
std::string CheckPlannedEntry(PakReader& pak, const PlannedFile& p);

// "entry 3 "Xoyal_AC.BMP"" for messages.
std::string DescribeEntry(std::int32_t id, std::string_view nameField);

}  // namespace tenfold
