#include "resources/unpack.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "resources/jpeg_to_bmp.h"
#include "resources/pak_reader.h"
#include "resources/resource_check.h"
#include "resources/resource_layout.h"
#include "resources/stop_signals.h"
#include "resources/unpack_plan.h"

namespace tenfold {

ResourceUnpacker::~ResourceUnpacker() { DeleteResources(); }

Result ResourceUnpacker::Unpack(const std::string& pakPath, const std::string& parent) {
    if (inMemory_) {
        if (!memoryRoot_.empty()) return {};
        Result r = UnpackIntoMemory(pakPath, parent);
        if (!r) DeleteResources();
        return r;
    }
    // The presence file says the resources are already unpacked.
    if (!base_.empty()) {
        struct stat st {};
        const std::string presence = base_ + std::string(layout::kResFolder) + "/" +
                                     std::string(layout::kPresenceFolder) + "/" +
                                     std::string(layout::kPresenceFile);
        if (::lstat(presence.c_str(), &st) == 0) return {};
        DeleteResources();
    }
    Result r = UnpackInto(pakPath, parent);
    if (!r) DeleteResources();
    return r;
}

Result ResourceUnpacker::ForEachWanted(const PakReader& pak, const std::vector<PlannedFile>& plan,
                                       const std::string& pakPath, const TakeEntry& take) const {
    std::map<std::int32_t, const PlannedFile*> byId;
    for (const PlannedFile& p : plan) byId[p.id] = &p;
    for (std::int32_t id = 0; id < pak.EntryCount(); ++id) {
        const int sig = StopSignal();
        BAIL_IF(sig != 0, pakPath + ": unpacking stopped by signal " + std::to_string(sig) +
                              "; the resources were removed");
        const std::string& name = pak.Entries()[static_cast<std::size_t>(id)].name;
        const std::string entry = pakPath + ": " + DescribeEntry(id, name) + ": ";
        const layout::EntryRoute route = layout::RouteEntry(name);
        BAIL_IF(route.kind == layout::EntryKind::ForeignMarker,
                entry + "a marker of another archive; the resources were removed");
        if (route.kind != layout::EntryKind::Resource) continue;
        const PlannedFile& p = *byId.at(id);
        if (wanted_ && !wanted_(p.folder, p.file)) continue;
        BAIL_IF_FAILED(take(id, p, route.folder, entry));
    }
    return {};
}

Result ResourceUnpacker::UnpackInto(const std::string& pakPath, const std::string& parent) {
    PakReader pak;
    BAIL_IF_FAILED(pak.Open(pakPath));
    std::vector<PlannedFile> plan;
    BAIL_IF_FAILED(PlanGameUnpack(pak, plan));

    // Folders that runs killed on the spot left here go first.
    RemoveAbandonedFolders(parent);
    std::string folder;
    BAIL_IF_FAILED(MakePrivateFolder(parent, folder, lockFd_));
    base_ = folder + "/";
    cleanUp_ = RegisterCleanUp([this] { DeleteResources(); });

    SafeDir top, res;
    BAIL_IF_FAILED(SafeDir::Open(folder, top));
    BAIL_IF_FAILED(top.Sub(layout::kResFolder, true, res));
    std::map<std::string_view, SafeDir> dirs;
    for (const std::string_view name : layout::kCreateOrder) BAIL_IF_FAILED(res.Sub(name, true, dirs[name]));

    return ForEachWanted(
        pak, plan, pakPath,
        [&](std::int32_t id, const PlannedFile& p, std::string_view inFolder,
            const std::string& entry) -> Result {
            const SafeDir& dir = dirs.at(inFolder);
            BAIL_IF_FAILED(pak.SaveEntry(id, dir, p.file, WriteMode::CreateNew));
            if (p.folder == layout::kBackgroundFolder && p.file == layout::kBackgroundJpeg) {
                BAIL_IF_FAILED(CheckArchiveEntry(pak, id, p.Path()).Within(entry));
                std::vector<std::uint8_t> jpeg, bmp;
                BAIL_IF_FAILED(pak.ReadEntry(id, jpeg));
                BAIL_IF_FAILED(ConvertJpegToBmp(jpeg, bmp).Within(entry));
                BAIL_IF_FAILED(dir.WriteFile(layout::kBackgroundBmp, bmp, WriteMode::CreateNew));
            }
            return {};
        });
}

Result ResourceUnpacker::UnpackIntoMemory(const std::string& pakPath, const std::string& parent) {
    PakReader pak;
    BAIL_IF_FAILED(pak.Open(pakPath));
    std::vector<PlannedFile> plan;
    BAIL_IF_FAILED(PlanGameUnpack(pak, plan));
    // Folders that runs killed on the spot left here (by earlier versions,
    // which unpacked into folders) still go.
    RemoveAbandonedFolders(parent);

    const std::string root = pakPath + "/";
    const std::string res = root + std::string(layout::kResFolder) + "/";
    BAIL_IF_FAILED(ForEachWanted(
        pak, plan, pakPath,
        [&](std::int32_t id, const PlannedFile& p, std::string_view, const std::string& entry) -> Result {
            // The size first: an entry claiming more than its file may hold is
            // refused before any memory is taken for it.
            const std::uint64_t size = pak.Entries()[static_cast<std::size_t>(id)].size;
            const std::uint64_t limit = ResourceByteLimit(p.Path());
            BAIL_IF(size > limit,
                    entry + std::to_string(size) + " bytes, more than the limit of " + std::to_string(limit));
            std::vector<std::uint8_t> bytes;
            BAIL_IF_FAILED(pak.ReadEntry(id, bytes));
            if (p.folder == layout::kBackgroundFolder && p.file == layout::kBackgroundJpeg) {
                BAIL_IF_FAILED(CheckResource(p.Path(), bytes).Within(entry));
                std::vector<std::uint8_t> bmp;
                BAIL_IF_FAILED(ConvertJpegToBmp(bytes, bmp).Within(entry));
                files_.Add(res + p.folder + "/" + std::string(layout::kBackgroundBmp), std::move(bmp));
            }
            files_.Add(res + p.Path(), std::move(bytes));
            return {};
        }));
    memoryRoot_ = root;
    return {};
}

void ResourceUnpacker::DeleteResources() {
    files_.Clear();
    memoryRoot_.clear();
    if (base_.empty()) return;
    const std::string folder = base_.substr(0, base_.size() - 1);
    SafeDir top, res;
    if (SafeDir::Open(folder, top) && top.Sub(layout::kResFolder, false, res)) {
        for (const std::string_view name : layout::kDeleteOrder) {
            SafeDir sub;
            if (!res.Sub(name, false, sub)) continue;
            // Every file in the folder, then the folder itself.
            if (DIR* listing = ::fdopendir(::dup(sub.Fd())); listing != nullptr) {
                std::vector<std::string> files;
                while (const dirent* e = ::readdir(listing)) {
                    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
                        files.emplace_back(e->d_name);
                    }
                }
                ::closedir(listing);
                for (const std::string& f : files) ::unlinkat(sub.Fd(), f.c_str(), 0);
            }
            const std::string n(name);
            ::unlinkat(res.Fd(), n.c_str(), AT_REMOVEDIR);
        }
        const std::string r(layout::kResFolder);
        ::unlinkat(top.Fd(), r.c_str(), AT_REMOVEDIR);
    }
    // Whatever did not fit the layout goes too (the lock file among it); links
    // are removed, not followed. The lock is let go only once all is gone.
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
    WithdrawCleanUp(cleanUp_);
    base_.clear();
}

}  // namespace tenfold
