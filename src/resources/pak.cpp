#include "resources/pak.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tenfold {

namespace {

constexpr std::int64_t kMaxField = std::numeric_limits<std::int32_t>::max();

std::int32_t ReadLe32(const std::uint8_t* p) {
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(u);
}

void PutLe32(std::uint8_t* p, std::int64_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<std::uint8_t>(u);
    p[1] = static_cast<std::uint8_t>(u >> 8);
    p[2] = static_cast<std::uint8_t>(u >> 16);
    p[3] = static_cast<std::uint8_t>(u >> 24);
}

// Reads exactly n bytes at `offset`; false on error or end of file.
bool ReadAt(int fd, std::uint8_t* buf, std::size_t n, std::int64_t offset, std::string& why) {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r =
            ::pread(fd, buf + got, n - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            why = "read failed at offset " + std::to_string(offset + static_cast<std::int64_t>(got)) + ": " +
                  ErrnoText(errno);
            return false;
        }
        if (r == 0) {
            why = "file ends at offset " + std::to_string(offset + static_cast<std::int64_t>(got)) +
                  " while reading";
            return false;
        }
        got += static_cast<std::size_t>(r);
    }
    return true;
}

// Opens a regular file for reading without hanging on a FIFO.
int OpenRegular(const std::string& path, std::int64_t& size, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot open: " + ErrnoText(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = "not a regular file";
        return -1;
    }
    size = static_cast<std::int64_t>(st.st_size);
    return fd;
}

std::string Quoted(std::string_view name) {
    std::string trimmed(name);
    while (!trimmed.empty() && (trimmed.back() == '\0' || trimmed.back() == ' ')) trimmed.pop_back();
    std::string quoted = "\"";
    quoted += PrintableName(trimmed);
    quoted += '"';
    return quoted;
}

}  // namespace

std::string PrintableName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";  // doubled: the four characters "\x01" never list like the byte 1
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        }
    }
    return out;
}

bool PakReader::Fail(std::string why) {
    lastError_ = std::move(why);
    return false;
}

const PakReader::Record& PakReader::At(std::int32_t id) const {
    if (fileLoaded_.empty() || id < 0 || id > lastIndex_) {
        throw std::out_of_range(
            "PAK entry " + std::to_string(id) + " outside 0.." +
            (fileLoaded_.empty() ? std::string("(no archive loaded)") : std::to_string(lastIndex_)));
    }
    return entries_[static_cast<std::size_t>(id)];
}

std::string PakReader::EntryName(std::int32_t id) const { return At(id).name; }
std::int32_t PakReader::EntryOffset(std::int32_t id) const { return At(id).offset; }
std::int32_t PakReader::EntrySize(std::int32_t id) const { return At(id).size; }

bool PakReader::Open(const std::string& archivePath) {
    const std::string& f = archivePath;
    std::int64_t fileSize = 0;
    std::string why;
    const int fd = OpenRegular(f, fileSize, why);
    if (fd < 0) return Fail(f + ": " + why);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    if (fileSize < static_cast<std::int64_t>(kPakHeaderSize)) {
        return Fail(f + ": header at offset 0: the file has " + std::to_string(fileSize) +
                    " bytes, fewer than the 16 of a header");
    }
    std::uint8_t header[kPakHeaderSize];
    if (!ReadAt(fd, header, sizeof header, 0, why)) return Fail(f + ": header: " + why);
    if (std::memcmp(header, "PACK", 4) != 0) {
        return Fail(f + ": magic at offset 0 is \"" +
                    PrintableName(std::string_view(reinterpret_cast<const char*>(header), 4)) +
                    "\", not \"PACK\"");
    }
    const std::int64_t dirOffset = ReadLe32(header + 4);
    const std::int64_t dirLength = ReadLe32(header + 8);
    if (dirOffset < 0) {
        return Fail(f + ": directory offset at offset 4 is " + std::to_string(dirOffset) + ", negative");
    }
    if (dirLength <= 0 || dirLength % static_cast<std::int64_t>(kPakRecordSize) != 0) {
        return Fail(f + ": directory length at offset 8 is " + std::to_string(dirLength) +
                    ", not a positive multiple of 64");
    }
    if (dirLength > kPakMaxEntries * static_cast<std::int64_t>(kPakRecordSize)) {
        return Fail(f + ": directory length at offset 8 is " + std::to_string(dirLength) +
                    ", more than the " + std::to_string(kPakMaxEntries) + " records an archive may hold");
    }
    if (dirOffset + dirLength > fileSize) {
        return Fail(f + ": directory at offset " + std::to_string(dirOffset) + " with length " +
                    std::to_string(dirLength) +
                    " (fields at offsets 4 and 8) runs past the end of the file (" +
                    std::to_string(fileSize) + " bytes)");
    }

    // The directory is read a block at a time and each record checked as it
    // comes: the first bad one ends the read, so a directory padded out with
    // empty records costs no more memory than its real entries.
    const std::size_t count = static_cast<std::size_t>(dirLength) / kPakRecordSize;
    constexpr std::size_t kBlockRecords = 256;
    std::vector<std::uint8_t> block;
    std::vector<Record> records;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t inBlock = i % kBlockRecords;
        const std::int64_t recPos = dirOffset + static_cast<std::int64_t>(i * kPakRecordSize);
        if (inBlock == 0) {
            block.resize(std::min(kBlockRecords, count - i) * kPakRecordSize);
            if (!ReadAt(fd, block.data(), block.size(), recPos, why)) return Fail(f + ": directory: " + why);
        }
        const std::uint8_t* rec = block.data() + inBlock * kPakRecordSize;
        Record r;
        r.name.assign(reinterpret_cast<const char*>(rec), kPakNameSize);
        const std::int64_t off = ReadLe32(rec + 56);
        const std::int64_t size = ReadLe32(rec + 60);
        if (rec[0] == 0) {
            return Fail(f + ": entry " + std::to_string(i) + ": the name field at offset " +
                        std::to_string(recPos) + " is empty");
        }
        const std::string what = f + ": entry " + std::to_string(i) + " " + Quoted(r.name);
        if (off < 0) {
            return Fail(what + ": data offset at offset " + std::to_string(recPos + 56) + " is " +
                        std::to_string(off) + ", negative");
        }
        if (size < 0) {
            return Fail(what + ": size at offset " + std::to_string(recPos + 60) + " is " +
                        std::to_string(size) + ", negative");
        }
        if (off + size > fileSize) {
            return Fail(what + ": data at offset " + std::to_string(off) + " with size " +
                        std::to_string(size) + " (fields at offsets " + std::to_string(recPos + 56) +
                        " and " + std::to_string(recPos + 60) + ") runs past the end of the file (" +
                        std::to_string(fileSize) + " bytes)");
        }
        r.offset = static_cast<std::int32_t>(off);
        r.size = static_cast<std::int32_t>(size);
        records.push_back(std::move(r));
    }

    // Everything checked: only now does the new archive replace the old one.
    std::memcpy(magic_, header, 4);
    dirOffset_ = static_cast<std::int32_t>(dirOffset);
    dirLength_ = static_cast<std::int32_t>(dirLength);
    reserved_ = ReadLe32(header + 12);
    lastIndex_ = static_cast<std::int32_t>(count) - 1;
    entries_ = std::move(records);
    fileLoaded_ = archivePath;
    lastError_.clear();
    return true;
}

bool PakReader::OpenEntry(std::int32_t id, int& fd) {
    if (fileLoaded_.empty()) return Fail("no archive loaded");
    if (id < 0 || id > lastIndex_) {
        return Fail(fileLoaded_ + ": entry " + std::to_string(id) + " outside 0.." +
                    std::to_string(lastIndex_));
    }
    const Record& r = entries_[static_cast<std::size_t>(id)];
    std::int64_t fileSize = 0;
    std::string why;
    fd = OpenRegular(fileLoaded_, fileSize, why);
    if (fd < 0) return Fail(fileLoaded_ + ": " + why);
    if (static_cast<std::int64_t>(r.offset) + r.size > fileSize) {
        ::close(fd);
        fd = -1;
        return Fail(fileLoaded_ + ": entry " + std::to_string(id) + " " + Quoted(r.name) +
                    ": the file has shrunk to " + std::to_string(fileSize) + " bytes since it was opened");
    }
    return true;
}

bool PakReader::SaveEntry(std::int32_t id, const SafeDir& dir, std::string_view name, WriteMode mode) {
    int fd = -1;
    if (!OpenEntry(id, fd)) return false;
    const Record& r = entries_[static_cast<std::size_t>(id)];
    std::int64_t pos = r.offset;
    const IoResult result =
        dir.WriteStream(name, static_cast<std::uint64_t>(r.size), mode,
                        [&](std::uint8_t* buf, std::size_t n, std::string& why) {
                            if (!ReadAt(fd, buf, n, pos, why)) {
                                why = fileLoaded_ + ": entry " + std::to_string(id) + ": " + why;
                                return false;
                            }
                            std::transform(buf, buf + n, buf, PakUnshift);
                            pos += static_cast<std::int64_t>(n);
                            return true;
                        });
    ::close(fd);
    if (!result) return Fail(result.error);
    lastError_.clear();
    return true;
}

bool PakReader::SaveEntry(std::int32_t id, const std::string& targetPath) {
    std::string folder, name;
    SplitPath(targetPath, folder, name);
    SafeDir dir;
    if (IoResult r = SafeDir::Open(folder, dir); !r) return Fail(r.error);
    return SaveEntry(id, dir, name, WriteMode::Replace);
}

bool PakReader::ReadEntry(std::int32_t id, std::vector<std::uint8_t>& out) {
    int fd = -1;
    if (!OpenEntry(id, fd)) return false;
    const Record& r = entries_[static_cast<std::size_t>(id)];
    out.assign(static_cast<std::size_t>(r.size), 0);
    std::string why;
    const bool ok = ReadAt(fd, out.data(), out.size(), r.offset, why);
    ::close(fd);
    if (!ok) {
        out.clear();
        return Fail(fileLoaded_ + ": entry " + std::to_string(id) + ": " + why);
    }
    std::transform(out.begin(), out.end(), out.begin(), PakUnshift);
    lastError_.clear();
    return true;
}

IoResult BuildPak(const std::vector<PakEntry>& entries, std::vector<std::uint8_t>& out) {
    if (entries.empty()) return IoResult::Fail("an archive needs at least one entry");
    std::set<std::string_view> seen;
    std::int64_t dataSize = 0;
    for (const PakEntry& e : entries) {
        if (e.name.empty() || e.name.size() > kPakNameSize) {
            return IoResult::Fail("entry name \"" + PrintableName(e.name) + "\" must have 1 to 56 bytes");
        }
        if (e.name.find('\0') != std::string::npos) {
            return IoResult::Fail("entry name \"" + PrintableName(e.name) + "\" holds a NUL byte");
        }
        if (!seen.insert(e.name).second) {
            return IoResult::Fail("entry name \"" + PrintableName(e.name) + "\" appears twice");
        }
        dataSize += static_cast<std::int64_t>(e.bytes.size());
        if (dataSize > kMaxField)
            return IoResult::Fail("the entries hold more data than an archive can address");
    }
    const std::int64_t dirOffset = static_cast<std::int64_t>(kPakHeaderSize) + dataSize;
    const std::int64_t dirLength = static_cast<std::int64_t>(entries.size() * kPakRecordSize);
    if (dirOffset > kMaxField || dirLength > kMaxField || dirOffset + dirLength > kMaxField) {
        return IoResult::Fail("the archive would be larger than its 32-bit fields can address");
    }
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
        PutLe32(rec + 56, static_cast<std::int64_t>(pos));
        PutLe32(rec + 60, static_cast<std::int64_t>(e.bytes.size()));
        pos += e.bytes.size();
        rec += kPakRecordSize;
    }
    return {};
}

IoResult WritePak(const std::string& path, const std::vector<PakEntry>& entries) {
    std::vector<std::uint8_t> image;
    if (IoResult r = BuildPak(entries, image); !r) return IoResult::Fail(path + ": " + r.error);
    return WriteFileAt(path, image, WriteMode::Replace);
}

}  // namespace tenfold
