// tenfold-pak: creates, lists, extracts and verifies resource archives.
// Exit status 0 on success, 1 for a bad archive or a failed write, 2 for bad usage.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "resources/pak_reader.h"
#include "resources/pak_writer.h"
#include "resources/resource_check.h"
#include "resources/resource_layout.h"
#include "resources/unpack_plan.h"

namespace fs = std::filesystem;
using namespace tenfold;

namespace {

constexpr int kBadArchive = 1;
constexpr int kBadUsage = 2;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The name of an entry as `list` prints it and `extract` takes it.
std::string ListedName(const PakRecord& r) { return PrintableName(layout::TrimName(r.name)); }

Result List(const std::string& file) {
    PakReader pak;
    BAIL_IF_FAILED(pak.Open(file));
    for (const PakRecord& r : pak.Entries())
        std::cout << ListedName(r) << '\t' << r.offset << '\t' << r.size << '\n';
    return {};
}

Result Extract(const std::string& file, const std::string& target, const std::vector<std::string>& names,
               bool force) {
    PakReader pak;
    BAIL_IF_FAILED(pak.Open(file));
    std::vector<PlannedFile> plan;
    BAIL_IF_FAILED(PlanUnpack(pak, /*keepUnknown=*/true, plan));

    // Only the entries asked for, when names are given, each as `list` prints
    // it (escapes and all); each name must exist.
    if (!names.empty()) {
        std::set<std::string> wanted(names.begin(), names.end());
        std::set<std::string> found;
        std::vector<PlannedFile> chosen;
        for (PlannedFile& p : plan) {
            const std::string name = ListedName(pak.Entries()[static_cast<std::size_t>(p.id)]);
            if (wanted.count(name) != 0) {
                found.insert(name);
                chosen.push_back(std::move(p));
            }
        }
        for (const std::string& n : wanted) {
            BAIL_IF(found.count(n) == 0, file + ": no resource entry named \"" + PrintableName(n) + "\"");
        }
        plan = std::move(chosen);
    }

    // Everything this run makes is noted, so any failure can take all of it back.
    struct Made {
        bool target = false;
        std::vector<std::string> folders;                           // below the target
        std::vector<std::pair<const SafeDir*, std::string>> files;  // new files, not replaced ones
    } made;
    std::map<std::string, SafeDir> folders;
    SafeDir top;
    const auto takeBack = [&] {
        for (const auto& [d, f] : made.files) d->RemoveFile(f);
        folders.clear();  // closes them
        for (const std::string& f : made.folders) top.RemoveEmptyFolder(f);
        top = SafeDir();
        if (made.target) ::rmdir(target.c_str());
    };
    const auto write = [&]() -> Result {
        if (::mkdir(target.c_str(), 0777) == 0) {
            made.target = true;
        } else {
            BAIL_IF(errno != EEXIST, target + ": cannot create folder: " + ErrnoText(errno));
        }
        BAIL_IF_FAILED(SafeDir::Open(target, top));
        const WriteMode mode = force ? WriteMode::Replace : WriteMode::CreateNew;
        for (const PlannedFile& p : plan) {
            const SafeDir* dir = &top;
            if (!p.folder.empty()) {
                auto it = folders.find(p.folder);
                if (it == folders.end()) {
                    SafeDir sub;
                    bool created = false;
                    BAIL_IF_FAILED(top.Sub(p.folder, /*create=*/true, sub, &created));
                    if (created) made.folders.push_back(p.folder);
                    it = folders.emplace(p.folder, std::move(sub)).first;
                }
                dir = &it->second;
            }
            const bool existed = dir->Has(p.file);
            BAIL_IF_FAILED(pak.SaveEntry(p.id, *dir, p.file, mode));
            if (!existed) made.files.emplace_back(dir, p.file);
        }
        return {};
    };
    Result written = write();
    if (!written) takeBack();
    return written;
}

// The kind of `e` itself: a symbolic link is reported as one, never followed
// (a link could lead out of the tree, or round in a loop).
fs::file_type KindOf(const fs::directory_entry& e, std::error_code& ec) {
    return e.symlink_status(ec).type();
}

std::string LinkRefused(const fs::path& p) { return p.string() + ": a symbolic link, not packed"; }

// Finds the one sub-folder of `dir` whose name matches `folder` in any case.
Result FindFolder(const fs::path& dir, std::string_view folder, fs::path& out) {
    out.clear();
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
        if (Lower(e.path().filename().string()) != Lower(std::string(folder))) continue;
        BAIL_IF(!out.empty(), dir.string() + ": two folders are named \"" + std::string(folder) + "\"");
        out = e.path();
    }
    BAIL_IF(ec, dir.string() + ": cannot list folder: " + ec.message());
    return {};
}

// The resource folders, as messages list them.
std::string FolderList() {
    std::string list;
    for (const std::string_view f : layout::kCreateOrder) list += (list.empty() ? "" : ", ") + std::string(f);
    return list;
}

Result Create(const std::string& file, const std::string& source) {
    std::error_code ec;
    BAIL_IF(!fs::is_directory(source, ec), source + ": not a folder");

    // Everything at the top of the source must be one of the resource folders.
    std::set<std::string> known;
    for (const std::string_view f : layout::kCreateOrder) known.insert(Lower(std::string(f)));
    for (const fs::directory_entry& e : fs::directory_iterator(source, ec)) {
        const fs::file_type kind = KindOf(e, ec);
        BAIL_IF(ec, e.path().string() + ": " + ec.message());
        BAIL_IF(kind == fs::file_type::symlink, LinkRefused(e.path()));
        BAIL_IF(known.count(Lower(e.path().filename().string())) == 0 || kind != fs::file_type::directory,
                e.path().string() + ": not one of the resource folders " + FolderList());
    }
    BAIL_IF(ec, source + ": cannot list folder: " + ec.message());

    std::vector<PakEntry> entries;
    entries.push_back({std::string(layout::kMarker), {}});
    std::uint64_t budget = 0x7FFFFFFF;
    for (const std::string_view folder : layout::kCreateOrder) {
        fs::path dir;
        BAIL_IF_FAILED(FindFolder(source, folder, dir));
        if (dir.empty()) continue;
        std::vector<fs::path> files;
        for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
            const fs::file_type kind = KindOf(e, ec);
            BAIL_IF(ec, e.path().string() + ": " + ec.message());
            BAIL_IF(kind == fs::file_type::symlink, LinkRefused(e.path()));
            BAIL_IF(kind != fs::file_type::regular, e.path().string() + ": not a regular file");
            files.push_back(e.path());
        }
        BAIL_IF(ec, dir.string() + ": cannot list folder: " + ec.message());
        std::sort(files.begin(), files.end());
        for (const fs::path& p : files) {
            const std::string name = p.filename().string();
            BAIL_IF_FAILED(layout::CheckFileName(name).Within(p.string() + ": "));
            PakEntry entry{std::string(layout::PrefixOf(folder)) + name, {}};
            BAIL_IF(entry.name.size() > kPakNameSize,
                    p.string() + ": the entry name \"" + entry.name + "\" is longer than 56 bytes");
            // Read without following a link that may have replaced the file since the listing.
            BAIL_IF_FAILED(ReadWholeFile(p.string(), budget, entry.bytes, LinkPolicy::Refuse));
            budget -= entry.bytes.size();
            entries.push_back(std::move(entry));
        }
    }
    // The same checks the unpacker makes, so a created archive always unpacks.
    std::vector<std::string> fields;
    for (const PakEntry& e : entries) fields.push_back(e.name);
    std::vector<PlannedFile> plan;
    BAIL_IF_FAILED(PlanUnpack(fields, false, plan).Within(source + ": "));
    return WritePak(file, entries);
}

// The checks the game makes at start, on every entry in archive order: the
// archive and its plan as the unpacker takes them, no foreign marker, and each
// resource through the same checks the game runs before it loads the file.
// Lists every problem; the error line names the first entry that fails.
Result Verify(const std::string& file) {
    PakReader pak;
    BAIL_IF_FAILED(pak.Open(file));
    std::vector<PlannedFile> plan;
    BAIL_IF_FAILED(PlanGameUnpack(pak, plan));
    std::map<std::int32_t, const PlannedFile*> planned;
    for (const PlannedFile& p : plan) planned[p.id] = &p;

    std::string first;  // the first entry that fails, with its reason
    int problems = 0;
    const auto fail = [&](const std::string& entry, const std::string& line, const std::string& why) {
        std::cout << line << '\n';
        if (problems++ == 0) first = entry + ": " + why;
    };
    std::set<std::string> present;
    for (std::int32_t id = 0; id < pak.EntryCount(); ++id) {
        const std::string& name = pak.Entries()[static_cast<std::size_t>(id)].name;
        const std::string entry = DescribeEntry(id, name);
        const layout::EntryRoute route = layout::RouteEntry(name);
        if (route.kind == layout::EntryKind::ForeignMarker) {
            fail(entry, "foreign marker: " + entry, "a marker of another archive");
        } else if (route.kind == layout::EntryKind::Unknown) {
            std::cout << "unknown entry (skipped when unpacking): " << entry << '\n';
        } else if (const auto it = planned.find(id); it != planned.end()) {
            const PlannedFile& p = *it->second;
            present.insert(p.Path());
            if (const Result checked = CheckArchiveEntry(pak, id, p.Path()); !checked) {
                fail(entry, "damaged: " + p.Path() + ": " + checked.Reason(), checked.Reason());
            }
        }
    }
    int missing = 0;
    for (const layout::ResourceFile& r : layout::ArchiveFiles()) {
        if (present.count(r.folder + "/" + r.file) == 0) {
            std::cout << "missing: " << r.folder << "/" << r.file << '\n';
            ++missing;
        }
    }
    if (problems + missing > 0) {
        const std::string counts = std::to_string(missing) + " missing and " + std::to_string(problems) +
                                   " damaged or foreign entries";
        return Result::Fail(file + ": " + (first.empty() ? counts : first + " (" + counts + " in all)"));
    }
    std::cout << file << ": " << pak.EntryCount() << " entries, every resource present\n";
    return {};
}

// One line on the standard error and the status for a bad archive or a failed write.
int Finish(const Result& r) {
    if (r) return 0;
    std::cerr << "tenfold-pak: " << r.Reason() << "\n";
    return kBadArchive;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Creates, lists, extracts and verifies Tenfold resource archives (PAK)", "tenfold-pak"};
    app.require_subcommand(1);
    std::string file, dir = ".", source;
    std::vector<std::string> names;
    bool force = false;

    CLI::App* list = app.add_subcommand("list", "One line per entry: name, offset, size");
    list->add_option("FILE", file, "Archive")->required();
    CLI::App* extract = app.add_subcommand("extract", "Write entries (bytes restored) below a folder");
    extract->add_option("FILE", file, "Archive")->required();
    extract->add_option("-C,--directory", dir, "Target folder (default: the current one)");
    extract->add_flag("-f,--force", force, "Replace files that exist already");
    extract->add_option("NAME", names, "Entry names as listed (default: all)");
    CLI::App* create = app.add_subcommand("create", "Pack the resource folders found in DIR");
    create->add_option("FILE", file, "Archive to write")->required();
    create->add_option("DIR", source, "Folder holding fntFonts, Sounds, Bitmaps, Numbers, Roya2, Royal")
        ->required();
    CLI::App* verify = app.add_subcommand("verify", "Check the structure and that every resource is present");
    verify->add_option("FILE", file, "Archive")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);
        std::cerr << "tenfold-pak: " << e.what() << " (run with --help for usage)\n";
        return kBadUsage;
    }

    // Whatever a library throws still ends in one line and a status, never an abort.
    try {
        if (*list) return Finish(List(file));
        if (*extract) return Finish(Extract(file, dir, names, force));
        if (*create) return Finish(Create(file, source));
        if (*verify) return Finish(Verify(file));
    } catch (const std::exception& e) {
        return Finish(Result::Fail(e.what()));
    }
    return kBadUsage;
}
