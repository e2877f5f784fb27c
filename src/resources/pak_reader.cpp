#include "resources/pak_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tenfold {

namespace {

// Reads exactly n bytes at `offset`; a failure at the end of the file says so.
Result ReadAt(int fd, std::uint8_t* buf, std::size_t n, std::int64_t offset) {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r =
            ::pread(fd, buf + got, n - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        const std::string at = std::to_string(offset + static_cast<std::int64_t>(got));
        BAIL_IF(r < 0, "read failed at offset " + at + ": " + ErrnoText(errno));
        BAIL_IF(r == 0, "file ends at offset " + at + " while reading");
        got += static_cast<std::size_t>(r);
    }
    return {};
}

// An open file descriptor that closes itself.
struct OpenFile {
    int fd = -1;
    std::int64_t size = 0;
    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (fd >= 0) ::close(fd);
    }
};

// Opens a regular file for reading without hanging on a FIFO.
Result OpenRegular(const std::string& path, OpenFile& file) {
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    BAIL_IF(file.fd < 0, path + ": cannot open: " + ErrnoText(errno));
    struct stat st {};
    BAIL_IF(::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode), path + ": not a regular file");
    file.size = static_cast<std::int64_t>(st.st_size);
    return {};
}

std::string Quoted(std::string_view name) {
    while (!name.empty() && (name.back() == '\0' || name.back() == ' ')) name.remove_suffix(1);
    // Appended rather than "\"" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that form.
    std::string text(1, '"');
    text += PrintableName(name);
    text += '"';
    return text;
}

std::string PastTheEnd(std::int64_t fileSize) {
    return "runs past the end of the file (" + std::to_string(fileSize) + " bytes)";
}

}  // namespace

std::string DescribeEntry(std::int32_t id, std::string_view nameField) {
    std::string text = "entry ";
    text += std::to_string(id);
    text += ' ';
    text += Quoted(nameField);
    return text;
}

Result PakReader::Open(const std::string& archivePath) {
    const std::string& f = archivePath;
    OpenFile file;
    BAIL_IF_FAILED(OpenRegular(f, file));
    const std::int64_t fileSize = file.size;

    BAIL_IF(fileSize < static_cast<std::int64_t>(kPakHeaderSize),
            f + ": header at offset 0: the file has " + std::to_string(fileSize) +
                " bytes, fewer than the 16 of a header");
    std::uint8_t header[kPakHeaderSize];
    BAIL_IF_FAILED(ReadAt(file.fd, header, sizeof header, 0).Within(f + ": header: "));
    BAIL_IF(std::memcmp(header, "PACK", 4) != 0,
            f + ": magic at offset 0 is \"" +
                PrintableName(std::string_view(reinterpret_cast<const char*>(header), 4)) +
                "\", not \"PACK\"");
    const std::int64_t dirOffset = ReadLe32(header + 4);
    const std::int64_t dirLength = ReadLe32(header + 8);
    constexpr auto kRecord = static_cast<std::int64_t>(kPakRecordSize);
    BAIL_IF(dirOffset < 0, f + ": " + FieldText("directory offset", 4, dirOffset) + ", negative");
    BAIL_IF(dirLength <= 0 || dirLength % kRecord != 0,
            f + ": " + FieldText("directory length", 8, dirLength) + ", not a positive multiple of 64");
    BAIL_IF(dirLength > kPakMaxEntries * kRecord, f + ": " + FieldText("directory length", 8, dirLength) +
                                                      ", more than the " + std::to_string(kPakMaxEntries) +
                                                      " records an archive may hold");
    BAIL_IF(dirOffset + dirLength > fileSize, f + ": directory at offset " + std::to_string(dirOffset) +
                                                  " with length " + std::to_string(dirLength) +
                                                  " (fields at offsets 4 and 8) " + PastTheEnd(fileSize));

    // The directory is read a block at a time and each record checked as it
    // comes: the first bad one ends the read, so a directory padded out with
    // empty records costs no more memory than its real entries.
    const std::size_t count = static_cast<std::size_t>(dirLength) / kPakRecordSize;
    constexpr std::size_t kBlockRecords = 256;
    std::vector<std::uint8_t> block;
    std::vector<PakRecord> records;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t inBlock = i % kBlockRecords;
        const std::int64_t recPos = dirOffset + static_cast<std::int64_t>(i * kPakRecordSize);
        if (inBlock == 0) {
            block.resize(std::min(kBlockRecords, count - i) * kPakRecordSize);
            BAIL_IF_FAILED(ReadAt(file.fd, block.data(), block.size(), recPos).Within(f + ": directory: "));
        }
        const std::uint8_t* rec = block.data() + inBlock * kPakRecordSize;
        const std::int64_t offsetAt = recPos + static_cast<std::int64_t>(kPakRecordOffsetAt);
        const std::int64_t sizeAt = recPos + static_cast<std::int64_t>(kPakRecordSizeAt);
        const std::int64_t off = ReadLe32(rec + kPakRecordOffsetAt);
        const std::int64_t size = ReadLe32(rec + kPakRecordSizeAt);
        BAIL_IF(rec[0] == 0, f + ": entry " + std::to_string(i) + ": the name field at offset " +
                                 std::to_string(recPos) + " is empty");
        PakRecord r{std::string(reinterpret_cast<const char*>(rec), kPakNameSize), 0, 0};
        const std::string what = f + ": " + DescribeEntry(static_cast<std::int32_t>(i), r.name) + ": ";
        BAIL_IF(off < 0, what + FieldText("data offset", offsetAt, off) + ", negative");
        BAIL_IF(size < 0, what + FieldText("size", sizeAt, size) + ", negative");
        BAIL_IF(off + size > fileSize, what + "data at offset " + std::to_string(off) + " with size " +
                                           std::to_string(size) + " (fields at offsets " +
                                           std::to_string(offsetAt) + " and " + std::to_string(sizeAt) +
                                           ") " + PastTheEnd(fileSize));
        r.offset = static_cast<std::int32_t>(off);
        r.size = static_cast<std::int32_t>(size);
        records.push_back(std::move(r));
    }

    // Everything checked: only now does the new archive replace the old one.
    entries_ = std::move(records);
    path_ = archivePath;
    return {};
}

Result PakReader::OpenEntry(std::int32_t id, int& fd) const {
    BAIL_IF(path_.empty(), "no archive loaded");
    BAIL_IF(id < 0 || id >= EntryCount(),
            path_ + ": entry " + std::to_string(id) + " outside 0.." + std::to_string(EntryCount() - 1));
    const PakRecord& r = entries_[static_cast<std::size_t>(id)];
    OpenFile file;
    BAIL_IF_FAILED(OpenRegular(path_, file));
    BAIL_IF(static_cast<std::int64_t>(r.offset) + r.size > file.size,
            path_ + ": " + DescribeEntry(id, r.name) + ": the file has shrunk to " +
                std::to_string(file.size) + " bytes since it was opened");
    std::swap(fd, file.fd);
    return {};
}

Result PakReader::SaveEntry(std::int32_t id, const SafeDir& dir, std::string_view name,
                            WriteMode mode) const {
    OpenFile file;
    BAIL_IF_FAILED(OpenEntry(id, file.fd));
    const PakRecord& r = entries_[static_cast<std::size_t>(id)];
    std::int64_t pos = r.offset;
    const std::string context = path_ + ": entry " + std::to_string(id) + ": ";
    return dir.WriteStream(name, static_cast<std::uint64_t>(r.size), mode,
                           [&](std::uint8_t* buf, std::size_t n) {
                               BAIL_IF_FAILED(ReadAt(file.fd, buf, n, pos).Within(context));
                               std::transform(buf, buf + n, buf, PakUnshift);
                               pos += static_cast<std::int64_t>(n);
                               return Result();
                           });
}

Result PakReader::SaveEntry(std::int32_t id, const std::string& targetPath) const {
    std::string folder, name;
    SplitPath(targetPath, folder, name);
    SafeDir dir;
    BAIL_IF_FAILED(SafeDir::Open(folder, dir));
    return SaveEntry(id, dir, name, WriteMode::Replace);
}

Result PakReader::ReadEntry(std::int32_t id, std::vector<std::uint8_t>& out) const {
    OpenFile file;
    BAIL_IF_FAILED(OpenEntry(id, file.fd));
    const PakRecord& r = entries_[static_cast<std::size_t>(id)];
    out.assign(static_cast<std::size_t>(r.size), 0);
    if (Result read = ReadAt(file.fd, out.data(), out.size(), r.offset); !read) {
        out.clear();
        return std::move(read).Within(path_ + ": entry " + std::to_string(id) + ": ");
    }
    std::transform(out.begin(), out.end(), out.begin(), PakUnshift);
    return {};
}

}  // namespace tenfold
