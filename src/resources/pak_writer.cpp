#include "resources/pak_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <string_view>

#include "resources/pak_format.h"
#include "resources/safe_file.h"

namespace tenfold {

Result BuildPak(const std::vector<PakEntry>& entries, std::vector<std::uint8_t>& out) {
    constexpr std::int64_t kMaxField = std::numeric_limits<std::int32_t>::max();
    BAIL_IF(entries.empty(), "an archive needs at least one entry");
    std::set<std::string_view> seen;
    std::int64_t dataSize = 0;
    for (const PakEntry& e : entries) {
        const std::string name = "entry name \"" + PrintableName(e.name) + "\"";
        BAIL_IF(e.name.empty() || e.name.size() > kPakNameSize, name + " must have 1 to 56 bytes");
        BAIL_IF(e.name.find('\0') != std::string::npos, name + " holds a NUL byte");
        BAIL_IF(!seen.insert(e.name).second, name + " appears twice");
        dataSize += static_cast<std::int64_t>(e.bytes.size());
        BAIL_IF(dataSize > kMaxField, "the entries hold more data than an archive can address");
    }
    const std::int64_t dirOffset = static_cast<std::int64_t>(kPakHeaderSize) + dataSize;
    const std::int64_t dirLength = static_cast<std::int64_t>(entries.size() * kPakRecordSize);
    BAIL_IF(dirOffset + dirLength > kMaxField,
            "the archive would be larger than its 32-bit fields can address");
    out.assign(static_cast<std::size_t>(dirOffset + dirLength), 0);
    std::memcpy(out.data(), "PACK", 4);
    PutLe32(out.data() + 4, dirOffset);
    PutLe32(out.data() + 8, dirLength);
    std::size_t pos = kPakHeaderSize;
    std::uint8_t* rec = out.data() + dirOffset;
    for (const PakEntry& e : entries) {
        std::transform(e.bytes.begin(), e.bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(pos),
                       PakShift);
        std::memcpy(rec, e.name.data(), e.name.size());  // the rest of the field stays NUL
        PutLe32(rec + kPakRecordOffsetAt, static_cast<std::int64_t>(pos));
        PutLe32(rec + kPakRecordSizeAt, static_cast<std::int64_t>(e.bytes.size()));
        pos += e.bytes.size();
        rec += kPakRecordSize;
    }
    return {};
}

Result WritePak(const std::string& path, const std::vector<PakEntry>& entries) {
    std::vector<std::uint8_t> image;
    BAIL_IF_FAILED(BuildPak(entries, image).Within(path + ": "));
    return WriteFileAt(path, image, WriteMode::Replace);
}

}  // namespace tenfold
