// Opens arbitrary bytes as an archive and, when they are accepted, saves and
// reads every entry: an accepted archive must never fail to give up an
// entry, nor read or write outside what its directory promised.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "fuzz_util.h"
#include "resources/pak_reader.h"
#include "resources/unpack_plan.h"

using namespace tenfold;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = fuzz::ScratchFolder();
    const std::string path = folder + "/in.pak";
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        fuzz::Require(fd >= 0, "open input file");
        fuzz::Require(::write(fd, data, size) == static_cast<ssize_t>(size), "write input file");
        ::close(fd);
    }
    PakReader pak;
    if (const Result opened = pak.Open(path); !opened) {
        fuzz::Require(!opened.Reason().empty() && pak.Path().empty() && pak.EntryCount() == 0,
                      "refusal says why and leaves nothing loaded");
        return 0;
    }
    fuzz::Require(pak.EntryCount() > 0, "an accepted archive has entries");
    SafeDir dir;
    fuzz::Require(SafeDir::Open(folder, dir).Ok(), "open scratch folder");
    const std::int32_t count = pak.EntryCount() < 64 ? pak.EntryCount() : 64;
    for (std::int32_t id = 0; id < count; ++id) {
        const PakRecord& r = pak.Entries()[static_cast<std::size_t>(id)];
        const std::int64_t end = static_cast<std::int64_t>(r.offset) + r.size;
        fuzz::Require(r.offset >= 0 && r.size >= 0 && end <= static_cast<std::int64_t>(size),
                      "entry inside the file");
        fuzz::Require(r.name.size() == kPakNameSize, "56-byte name field");
        fuzz::Require(pak.SaveEntry(id, dir, "out", WriteMode::Replace).Ok(), "accepted entry saves");
        struct stat st {};
        fuzz::Require(::stat((folder + "/out").c_str(), &st) == 0 && st.st_size == r.size,
                      "saved size is the entry size");
        std::vector<std::uint8_t> bytes;
        fuzz::Require(pak.ReadEntry(id, bytes).Ok(), "accepted entry reads");
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            fuzz::Require(PakShift(bytes[i]) == data[static_cast<std::size_t>(r.offset) + i],
                          "bytes are the stored bytes shifted back");
        }
    }
    ::unlink((folder + "/out").c_str());
    std::vector<PlannedFile> plan;
    (void)PlanUnpack(pak, (size & 1) != 0, plan);
    return 0;
}
