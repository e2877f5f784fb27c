// Which check a resource gets and within which limits, by its name.

#include "resources/resource_check.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "resources/pak_reader.h"
#include "resources/resource_layout.h"
#include "resources/safe_file.h"

namespace tenfold {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The extension of the last path component, lower case.
std::string ExtensionOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : Lower(name.substr(dot + 1));
}

// The folder the file lies in (the path component before the file name), lower case.
std::string FolderOf(std::string_view path) {
    std::size_t end = path.find_last_of("/\\");
    if (end == std::string_view::npos) return {};
    const std::size_t start = path.find_last_of("/\\", end == 0 ? 0 : end - 1);
    const std::size_t from = (start == std::string_view::npos || start >= end) ? 0 : start + 1;
    return Lower(path.substr(from, end - from));
}

Result CheckByteCount(std::uint64_t size, std::uint64_t most) {
    BAIL_IF(size > most, "the file has " + std::to_string(size) + " bytes, more than the " +
                             std::to_string(most) + " a resource of its kind may have");
    return {};
}

}  // namespace

PictureLimit PictureLimitFor(std::string_view path) {
    const std::string folder = FolderOf(path);
    for (const std::string_view deck : layout::kDecks) {
        if (folder == Lower(deck)) return kCardPictureLimit;
    }
    if (folder == Lower(layout::kFontsFolder) || folder == Lower(layout::kNumbersFolder)) {
        return kSmallPictureLimit;
    }
    return kTablePictureLimit;
}

std::uint64_t ResourceByteLimit(std::string_view path) {
    const std::string ext = ExtensionOf(path);
    if (ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "png") {
        const PictureLimit limit = PictureLimitFor(path);
        return static_cast<std::uint64_t>(limit.width * limit.height * 4) + (1u << 20);
    }
    if (ext == "wav") return 32u << 20;
    return 80u << 20;
}

bool IsCheckedResource(std::string_view path) {
    const std::string ext = ExtensionOf(path);
    return ext == "bmp" || ext == "wav" || ext == "jpg" || ext == "jpeg" || ext == "png";
}

Result CheckResource(std::string_view path, std::span<const std::uint8_t> bytes) {
    if (!IsCheckedResource(path)) return {};
    BAIL_IF_FAILED(CheckByteCount(bytes.size(), ResourceByteLimit(path)));
    const std::string ext = ExtensionOf(path);
    if (ext == "bmp") return CheckBmp(bytes, PictureLimitFor(path));
    if (ext == "wav") return CheckWav(bytes);
    if (ext == "png") return CheckPng(bytes, PictureLimitFor(path));
    return CheckJpeg(bytes, PictureLimitFor(path));
}

Result CheckResourceFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    BAIL_IF_FAILED(ReadWholeFile(path, ResourceByteLimit(path), bytes));
    return CheckResource(path, bytes).Within(path + ": ");
}

Result CheckArchiveEntry(const PakReader& pak, std::int32_t id, std::string_view path) {
    if (!IsCheckedResource(path)) return {};
    if (id >= 0 && id < pak.EntryCount()) {  // else ReadEntry says why
        const auto size = static_cast<std::uint64_t>(pak.Entries()[static_cast<std::size_t>(id)].size);
        BAIL_IF_FAILED(CheckByteCount(size, ResourceByteLimit(path)));
    }
    std::vector<std::uint8_t> bytes;
    BAIL_IF_FAILED(pak.ReadEntry(id, bytes));
    return CheckResource(path, bytes);
}

}  // namespace tenfold
