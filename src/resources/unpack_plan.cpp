#include "resources/unpack_plan.h"

#include <map>

#include "resources/pak_reader.h"
#include "resources/resource_layout.h"

namespace tenfold {

Result PlanUnpack(std::span<const std::string> nameFields, bool keepUnknown, std::vector<PlannedFile>& plan) {
    plan.clear();
    std::map<std::string, std::int32_t> taken;  // output key -> entry that writes it
    for (std::size_t i = 0; i < nameFields.size(); ++i) {
        const auto id = static_cast<std::int32_t>(i);
        const std::string& field = nameFields[i];
        layout::EntryRoute route = layout::RouteEntry(field);
        PlannedFile out{id, {}, {}};
        if (route.kind == layout::EntryKind::Resource) {
            out.folder = std::string(route.folder);
            out.file = std::move(route.file);
        } else if (route.kind == layout::EntryKind::Unknown && keepUnknown) {
            out.file = layout::TrimName(field);
        } else {
            continue;
        }
        const std::string refused = DescribeEntry(id, field) + ": refused: ";
        BAIL_IF_FAILED(layout::CheckFileName(out.file).Within(refused));
        const auto [it, fresh] = taken.emplace(layout::OutputKey(out.folder, out.file), id);
        BAIL_IF(!fresh, refused + "it would write the same file as " +
                            DescribeEntry(it->second, nameFields[static_cast<std::size_t>(it->second)]));
        plan.push_back(std::move(out));
    }
    return {};
}

Result PlanUnpack(const PakReader& pak, bool keepUnknown, std::vector<PlannedFile>& plan) {
    std::vector<std::string> names;
    for (const PakRecord& r : pak.Entries()) names.push_back(r.name);
    return PlanUnpack(names, keepUnknown, plan).Within(pak.Path() + ": ");
}

Result PlanGameUnpack(const PakReader& pak, std::vector<PlannedFile>& plan) {
    BAIL_IF_FAILED(PlanUnpack(pak, /*keepUnknown=*/false, plan));
    const PlannedFile* jpeg = nullptr;
    const PlannedFile* bmp = nullptr;
    const std::string bmpKey = layout::OutputKey(layout::kBackgroundFolder, layout::kBackgroundBmp);
    for (const PlannedFile& p : plan) {
        // The unpacker writes the JPEG under its exact name (a name differing
        // in case is an ordinary file), and the bitmap under its exact name.
        if (p.folder == layout::kBackgroundFolder && p.file == layout::kBackgroundJpeg) jpeg = &p;
        if (layout::OutputKey(p.folder, p.file) == bmpKey) bmp = &p;
    }
    const auto nameOf = [&](const PlannedFile* p) {
        return pak.Entries()[static_cast<std::size_t>(p->id)].name;
    };
    BAIL_IF(jpeg != nullptr && bmp != nullptr,
            pak.Path() + ": " + DescribeEntry(bmp->id, nameOf(bmp)) +
                ": refused: it would write the same file as the bitmap made from " +
                DescribeEntry(jpeg->id, nameOf(jpeg)));
    return {};
}

}  // namespace tenfold
