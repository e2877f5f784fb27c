// Feeds arbitrary 56-byte name fields to the unpacker's name handling. Any
// name it accepts must be a plain file name inside its folder, and must
// really be created there and nowhere else.

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "resources/pak_format.h"
#include "resources/resource_layout.h"
#include "resources/safe_file.h"
#include "resources/unpack_plan.h"

using namespace tenfold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool keepUnknown = (data[0] & 1) != 0;
    std::vector<std::string> fields;
    for (std::size_t at = 1; at < size && fields.size() < 16; at += kPakNameSize) {
        std::string f(reinterpret_cast<const char*>(data + at), std::min(kPakNameSize, size - at));
        f.resize(kPakNameSize, '\0');
        fields.push_back(std::move(f));
    }
    std::vector<PlannedFile> plan;
    if (!PlanUnpack(fields, keepUnknown, plan)) return 0;

    std::set<std::string> keys;
    for (const PlannedFile& p : plan) {
        fuzz::Require(!p.file.empty() && p.file != "." && p.file != "..", "a real file name");
        fuzz::Require(p.file.find_first_of(std::string("/\\:\0", 4)) == std::string::npos, "no separators");
        fuzz::Require(p.file.find("..") == std::string::npos, "no parent reference");
        for (const char c : p.file)
            fuzz::Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F, "printable");
        fuzz::Require(keys.insert(layout::OutputKey(p.folder, p.file)).second, "one entry per output file");
        fuzz::Require(p.folder.empty() ? keepUnknown : !layout::PrefixOf(p.folder).empty(), "known folder");
    }

    // Create the accepted names for real: each must land in the folder.
    const std::string& folder = fuzz::ScratchFolder();
    SafeDir dir;
    fuzz::Require(SafeDir::Open(folder, dir).Ok(), "open scratch folder");
    for (const PlannedFile& p : plan) {
        fuzz::Require(dir.WriteFile(p.file, {}, WriteMode::CreateNew).Ok(), "accepted name can be created");
        fuzz::Require(std::filesystem::exists(folder + "/" + p.file), "created inside the folder");
        dir.RemoveFile(p.file);
    }
    return 0;
}
