#include "resources/unpack.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "resources/resource_check.h"
#include "resources/resource_layout.h"
#include "resources/stop_signals.h"
#include "resources/unpack_plan.h"

namespace tenfold {

namespace {

// Private folders of this process still on disk. The game's fatal-error road
// ends the process with exit(); this sweep keeps that road from leaving
// unpacked resources behind.
// Never destroyed, so the sweep can still read it while exit() runs.
std::vector<std::string>& LiveFolders() {
    static auto* folders = new std::vector<std::string>;
    return *folders;
}

void RemoveLiveFolders() {
    for (const std::string& f : LiveFolders()) {
        std::error_code ec;
        std::filesystem::remove_all(f, ec);
    }
    LiveFolders().clear();
}

void Track(const std::string& folder) {
    static const bool registered = std::atexit(RemoveLiveFolders) == 0;
    (void)registered;
    LiveFolders().push_back(folder);
}

void Untrack(const std::string& folder) {
    auto& v = LiveFolders();
    std::erase(v, folder);
}

// An absolute path naming a folder this process may make entries in. A
// runtime folder that exists but belongs to someone else (as after `su`) is
// passed over rather than ending the start with "Permission denied".
bool IsUsableFolder(const char* path) {
    struct stat st {};
    return path != nullptr && path[0] == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode) &&
           ::faccessat(AT_FDCWD, path, W_OK | X_OK, AT_EACCESS) == 0;
}

// An SDL stream that collects what is written into a byte vector, so the
// bitmap can be written with the same exclusive-create rules as every entry.
struct MemorySink {
    std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

MemorySink* SinkOf(SDL_RWops* rw) { return static_cast<MemorySink*>(rw->hidden.unknown.data1); }

Sint64 SinkSize(SDL_RWops* rw) { return static_cast<Sint64>(SinkOf(rw)->bytes->size()); }

Sint64 SinkSeek(SDL_RWops* rw, Sint64 offset, int whence) {
    MemorySink* s = SinkOf(rw);
    Sint64 base = 0;
    if (whence == RW_SEEK_CUR) base = static_cast<Sint64>(s->pos);
    if (whence == RW_SEEK_END) base = static_cast<Sint64>(s->bytes->size());
    const Sint64 target = base + offset;
    if (target < 0) return SDL_SetError("seek before the start of the bitmap");
    s->pos = static_cast<std::size_t>(target);
    return target;
}

size_t SinkRead(SDL_RWops*, void*, size_t, size_t) { return 0; }

size_t SinkWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
    MemorySink* s = SinkOf(rw);
    const std::size_t n = size * count;
    if (s->bytes->size() < s->pos + n) s->bytes->resize(s->pos + n);
    std::memcpy(s->bytes->data() + s->pos, data, n);
    s->pos += n;
    return count;
}

int SinkClose(SDL_RWops* rw) {
    SDL_FreeRW(rw);
    return 0;
}

}  // namespace

std::string DefaultUnpackParent() {
    if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); IsUsableFolder(xdg)) return xdg;
    if (const char* tmp = std::getenv("TMPDIR"); IsUsableFolder(tmp)) return tmp;
    return "/tmp";
}

IoResult ConvertJpegToBmp(std::span<const std::uint8_t> jpeg, std::vector<std::uint8_t>& bmp) {
    if (std::string why = CheckJpeg(jpeg); !why.empty()) return IoResult::Fail(why);
    SDL_RWops* in = SDL_RWFromConstMem(jpeg.data(), static_cast<int>(jpeg.size()));
    if (in == nullptr) return IoResult::Fail(std::string("cannot read the picture: ") + SDL_GetError());
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> picture(IMG_LoadTyped_RW(in, 1, "JPG"),
                                                                     SDL_FreeSurface);
    if (!picture) return IoResult::Fail(std::string("cannot decode the JPEG picture: ") + IMG_GetError());
    // Written as 24-bit RGB whatever the decoder produced.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgb(
        SDL_ConvertSurfaceFormat(picture.get(), SDL_PIXELFORMAT_BGR24, 0), SDL_FreeSurface);
    if (!rgb) return IoResult::Fail(std::string("cannot convert the picture: ") + SDL_GetError());

    bmp.clear();
    MemorySink sink{&bmp, 0};
    SDL_RWops* out = SDL_AllocRW();
    if (out == nullptr) return IoResult::Fail(std::string("out of memory: ") + SDL_GetError());
    out->type = SDL_RWOPS_UNKNOWN;
    out->size = SinkSize;
    out->seek = SinkSeek;
    out->read = SinkRead;
    out->write = SinkWrite;
    out->close = SinkClose;
    out->hidden.unknown.data1 = &sink;
    if (SDL_SaveBMP_RW(rgb.get(), out, 1) != 0) {
        bmp.clear();
        return IoResult::Fail(std::string("cannot encode the bitmap: ") + SDL_GetError());
    }
    return {};
}

ResourceUnpacker::~ResourceUnpacker() { DeleteResources(); }

bool ResourceUnpacker::Fail(std::string why) {
    DeleteResources();
    lastError_ = std::move(why);
    return false;
}

bool ResourceUnpacker::UnpackResources(const std::string& pakPath, const std::string& parent) {
    // The presence file says the resources are already unpacked.
    if (!base_.empty()) {
        struct stat st {};
        const std::string presence = base_ + std::string(layout::kResFolder) + "/" +
                                     std::string(layout::kPresenceFolder) + "/" +
                                     std::string(layout::kPresenceFile);
        if (::lstat(presence.c_str(), &st) == 0) return true;
        DeleteResources();
    }
    lastError_.clear();
    skipped_.clear();
    forceCleanUp_ = false;

    if (!pak_.Open(pakPath)) return Fail(pak_.LastError());
    UnpackPlan plan;
    if (IoResult r = PlanGameUnpack(pak_, plan); !r) return Fail(r.error);
    std::map<std::int32_t, const PlannedFile*> byId;
    for (const PlannedFile& p : plan.files) byId[p.id] = &p;

    // Folders that runs killed on the spot left here go first.
    RemoveAbandonedFolders(parent);

    // The private folder: made fresh (mode 0700) for this run alone, and
    // marked as this run's by a lock held for as long as it lives.
    std::string folder = parent + "/" + std::string(kFolderPrefix) + "XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        return Fail(parent + ": cannot make a private folder for the resources: " + ErrnoText(errno));
    }
    base_ = folder + "/";
    Track(folder);

    SafeDir top, res;
    if (IoResult r = SafeDir::Open(folder, top); !r) return Fail(r.error);
    // Locked under another name first and only then given the lock file's
    // name, so no other start ever finds the lock file unlocked while this run lives.
    const std::string pending = std::string(kLockFile) + ".new";
    lockFd_ = ::openat(top.fd(), pending.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd_ < 0 || ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0 ||
        ::renameat(top.fd(), pending.c_str(), top.fd(), std::string(kLockFile).c_str()) != 0) {
        return Fail(folder + ": cannot lock the private folder: " + ErrnoText(errno));
    }
    if (IoResult r = top.Sub(layout::kResFolder, true, res); !r) return Fail(r.error);
    std::map<std::string_view, SafeDir> dirs;
    for (const std::string_view name : layout::kCreateOrder) {
        if (IoResult r = res.Sub(name, true, dirs[name]); !r) return Fail(r.error);
    }

    for (std::int32_t id = 0; id <= pak_.LastIndex(); ++id) {
        if (const int sig = StopSignal(); sig != 0) {
            return Fail(pakPath + ": unpacking stopped by signal " + std::to_string(sig) +
                        "; the resources were removed");
        }
        const std::string name = pak_.EntryName(id);
        const layout::EntryRoute route = layout::RouteEntry(name);
        switch (route.kind) {
            case layout::EntryKind::AcceptedMarker: continue;
            case layout::EntryKind::ForeignMarker:
                forceCleanUp_ = true;
                return Fail(pakPath + ": " + DescribeEntry(id, name) +
                            ": a marker of another archive; the resources were removed");
            case layout::EntryKind::Unknown:
                skipped_.push_back(pakPath + ": " + DescribeEntry(id, name) +
                                   ": no known folder prefix, skipped");
                continue;
            case layout::EntryKind::Resource: break;
        }
        const PlannedFile& p = *byId.at(id);
        if (wanted_ && !wanted_(p.folder, p.file)) continue;
        const SafeDir& dir = dirs.at(route.folder);
        if (!pak_.SaveEntry(id, dir, p.file, WriteMode::CreateNew)) return Fail(pak_.LastError());
        if (p.folder == layout::kBackgroundFolder && p.file == layout::kBackgroundJpeg) {
            if (std::string why = CheckPlannedEntry(pak_, p); !why.empty()) {
                return Fail(pakPath + ": " + DescribeEntry(id, name) + ": " + why);
            }
            std::vector<std::uint8_t> jpeg, bmp;
            if (!pak_.ReadEntry(id, jpeg)) return Fail(pak_.LastError());
            if (IoResult r = ConvertJpegToBmp(jpeg, bmp); !r) {
                return Fail(pakPath + ": " + DescribeEntry(id, name) + ": " + r.error);
            }
            if (IoResult r = dir.WriteFile(layout::kBackgroundBmp, bmp, WriteMode::CreateNew); !r)
                return Fail(r.error);
        }
    }
    return true;
}

void ResourceUnpacker::DeleteResources() {
    if (base_.empty()) return;
    const std::string folder = base_.substr(0, base_.size() - 1);
    SafeDir top, res;
    if (SafeDir::Open(folder, top) && top.Sub(layout::kResFolder, false, res)) {
        for (const std::string_view name : layout::kDeleteOrder) {
            SafeDir sub;
            if (!res.Sub(name, false, sub)) continue;
            // Every file in the folder, then the folder itself.
            if (DIR* listing = ::fdopendir(::dup(sub.fd())); listing != nullptr) {
                std::vector<std::string> files;
                while (const dirent* e = ::readdir(listing)) {
                    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
                        files.emplace_back(e->d_name);
                    }
                }
                ::closedir(listing);
                for (const std::string& f : files) ::unlinkat(sub.fd(), f.c_str(), 0);
            }
            const std::string n(name);
            ::unlinkat(res.fd(), n.c_str(), AT_REMOVEDIR);
        }
        const std::string r(layout::kResFolder);
        ::unlinkat(top.fd(), r.c_str(), AT_REMOVEDIR);
    }
    // Whatever did not fit the layout goes too (the lock file among it); links
    // are removed, not followed. The lock is let go only once all is gone.
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
    Untrack(folder);
    base_.clear();
}

void RemoveAbandonedFolders(const std::string& parent) {
    SafeDir dir;
    if (!SafeDir::Open(parent, dir)) return;
    DIR* listing = ::fdopendir(::dup(dir.fd()));
    if (listing == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(listing)) {
        const std::string_view name = e->d_name;
        // Exactly the prefix and mkdtemp's six characters.
        if (name.size() == kFolderPrefix.size() + 6 &&
            name.substr(0, kFolderPrefix.size()) == kFolderPrefix &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kFolderPrefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
            names.emplace_back(name);
        }
    }
    ::closedir(listing);
    const std::time_t now = std::time(nullptr);
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(dir.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_uid != ::geteuid()) {
            continue;
        }
        SafeDir sub;
        if (!dir.Sub(name, false, sub)) continue;
        const int lock = ::openat(sub.fd(), std::string(kLockFile).c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        bool abandoned = false;
        if (lock >= 0) {
            // A live run holds its lock; the lock of a run that ended, however it ended, is free.
            abandoned = ::flock(lock, LOCK_EX | LOCK_NB) == 0;
        } else if (errno == ENOENT) {
            // No lock file: a run of an earlier version, or one killed between
            // making its folder and locking it. Only once it is old, and only
            // when it holds nothing but what the unpacker makes.
            bool onlyResources = true;
            if (DIR* inside = ::fdopendir(::dup(sub.fd())); inside != nullptr) {
                while (const dirent* e = ::readdir(inside)) {
                    const std::string_view n = e->d_name;
                    const bool ours = n == "." || n == ".." || n == layout::kResFolder ||
                                      n == std::string(kLockFile) + ".new";
                    if (!ours) onlyResources = false;
                }
                ::closedir(inside);
            }
            abandoned = onlyResources && now - st.st_mtime > kLocklessAge;
        }
        if (abandoned) {
            std::error_code ec;
            std::filesystem::remove_all(parent + "/" + name, ec);
        }
        if (lock >= 0) ::close(lock);
    }
}

}  // namespace tenfold
