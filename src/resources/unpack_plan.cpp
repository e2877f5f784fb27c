#include "resources/unpack_plan.h"

#include <map>

#include "resources/pak.h"
#include "resources/resource_check.h"
#include "resources/resource_layout.h"

namespace tenfold {

std::string DescribeEntry(std::int32_t id, std::string_view nameField) {
    return "entry " + std::to_string(id) + " \"" + PrintableName(layout::TrimName(nameField)) + "\"";
}

IoResult PlanUnpack(std::span<const std::string> nameFields, bool keepUnknown, UnpackPlan& plan) {
    plan = UnpackPlan{};
    std::map<std::string, std::int32_t> taken;  // output key -> entry that writes it
    for (std::size_t i = 0; i < nameFields.size(); ++i) {
        const auto id = static_cast<std::int32_t>(i);
        const std::string& field = nameFields[i];
        layout::EntryRoute route = layout::RouteEntry(field);
        PlannedFile out{id, {}, {}};
        switch (route.kind) {
            case layout::EntryKind::AcceptedMarker: plan.acceptedMarkers.push_back(id); continue;
            case layout::EntryKind::ForeignMarker: plan.foreignMarkers.push_back(id); continue;
            case layout::EntryKind::Unknown:
                if (!keepUnknown) {
                    plan.unknown.push_back(id);
                    continue;
                }
                out.file = layout::TrimName(field);
                break;
            case layout::EntryKind::Resource:
                out.folder = std::string(route.folder);
                out.file = std::move(route.file);
                break;
        }
        if (const std::string why = layout::CheckFileName(out.file); !why.empty()) {
            return IoResult::Fail(DescribeEntry(id, field) + ": refused: " + why);
        }
        const auto [it, fresh] = taken.emplace(layout::OutputKey(out.folder, out.file), id);
        if (!fresh) {
            return IoResult::Fail(
                DescribeEntry(id, field) + ": refused: it would write the same file as " +
                DescribeEntry(it->second, nameFields[static_cast<std::size_t>(it->second)]));
        }
        plan.files.push_back(std::move(out));
    }
    return {};
}

IoResult PlanUnpack(const PakReader& pak, bool keepUnknown, UnpackPlan& plan) {
    std::vector<std::string> names;
    if (!pak.FileLoaded().empty()) {
        for (std::int32_t id = 0; id <= pak.LastIndex(); ++id) names.push_back(pak.EntryName(id));
    }
    IoResult r = PlanUnpack(names, keepUnknown, plan);
    if (!r) r.error = pak.FileLoaded() + ": " + r.error;
    return r;
}

IoResult PlanGameUnpack(const PakReader& pak, UnpackPlan& plan) {
    if (IoResult r = PlanUnpack(pak, /*keepUnknown=*/false, plan); !r) return r;
    const PlannedFile* jpeg = nullptr;
    const PlannedFile* bmp = nullptr;
    const std::string bmpKey = layout::OutputKey(layout::kBackgroundFolder, layout::kBackgroundBmp);
    for (const PlannedFile& p : plan.files) {
        // The unpacker writes the JPEG under its exact name (a name differing
        // in case is an ordinary file), and the bitmap under its exact name.
        if (p.folder == layout::kBackgroundFolder && p.file == layout::kBackgroundJpeg) jpeg = &p;
        if (layout::OutputKey(p.folder, p.file) == bmpKey) bmp = &p;
    }
    if (jpeg != nullptr && bmp != nullptr) {
        return IoResult::Fail(pak.FileLoaded() + ": " + DescribeEntry(bmp->id, pak.EntryName(bmp->id)) +
                              ": refused: it would write the same file as the bitmap made from " +
                              DescribeEntry(jpeg->id, pak.EntryName(jpeg->id)));
    }
    return {};
}

std::string CheckPlannedEntry(PakReader& pak, const PlannedFile& p) {
    const std::string path = p.folder.empty() ? p.file : p.folder + "/" + p.file;
    if (!IsCheckedResource(path)) return {};
    const std::uint64_t most = ResourceByteLimit(path);
    if (static_cast<std::uint64_t>(pak.EntrySize(p.id)) > most) {
        return "the file has " + std::to_string(pak.EntrySize(p.id)) + " bytes, more than the " +
               std::to_string(most) + " a resource of its kind may have";
    }
    std::vector<std::uint8_t> bytes;
    if (!pak.ReadEntry(p.id, bytes)) return pak.LastError();
    return CheckResource(path, bytes);
}

}  // namespace tenfold
