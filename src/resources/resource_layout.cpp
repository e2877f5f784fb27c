#include "resources/resource_layout.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace tenfold::layout {

std::string CardFileName(int code) {
    if (code < 0 || code > 51)
        throw std::out_of_range("card code " + std::to_string(code) + " outside 0..51");
    static constexpr std::array<std::string_view, 13> kFaces{"A", "2", "3",  "4", "5", "6", "7",
                                                             "8", "9", "10", "J", "Q", "K"};
    static constexpr std::string_view kSuits = "CDHS";
    std::string name(kFaces[static_cast<std::size_t>(code / 4)]);
    name += kSuits[static_cast<std::size_t>(code % 4)];
    name += ".BMP";
    return name;
}

std::string SmallContractFile(int index) {
    if (index < 0 || index >= static_cast<int>(kContractFiles.size()))
        throw std::out_of_range("contract index " + std::to_string(index) + " outside 0..9");
    return "small_" + std::string(kContractFiles[static_cast<std::size_t>(index)]);
}

std::vector<ResourceFile> ArchiveFiles() {
    std::vector<ResourceFile> files;
    for (const std::string_view deck : kDecks) {
        for (int code = 0; code < 52; ++code) files.push_back({std::string(deck), CardFileName(code)});
        files.push_back({std::string(deck), std::string(kCardBack)});
        files.push_back({std::string(deck), std::string(kFrame)});
    }
    const auto add = [&files](std::string_view folder, std::string_view file) {
        files.push_back({std::string(folder), std::string(file)});
    };
    for (const std::string_view f : kContractFiles) add(kNumbersFolder, f);
    for (const std::string_view f : kBitmapFiles)
        add(kBitmapsFolder, f == kBackgroundBmp ? kBackgroundJpeg : f);
    for (const std::string_view f : kFontFiles) add(kFontsFolder, f);
    for (const std::string_view f : kSoundFiles) add(kSoundsFolder, f);
    return files;
}

std::string ScaledFileName(std::string_view file, int scale) {
    const std::size_t dot = file.rfind('.');
    const std::string_view stem = file.substr(0, dot);
    const bool background = file == kBackgroundBmp || file == kBackgroundJpeg;
    return std::string(stem) + "@" + std::to_string(scale) + "x" + (background ? ".jpg" : ".png");
}

int ScaleOfFileName(std::string_view file) {
    const std::size_t dot = file.rfind('.');
    const std::size_t at = file.rfind('@', dot);
    if (at == std::string_view::npos || dot == std::string_view::npos || dot < at + 3 || file[dot - 1] != 'x')
        return 1;
    int scale = 0;
    for (std::size_t i = at + 1; i + 1 < dot; ++i) {
        if (file[i] < '0' || file[i] > '9' || scale > 100) return 1;
        scale = scale * 10 + (file[i] - '0');
    }
    return scale >= 2 ? scale : 1;
}

std::string_view PrefixOf(std::string_view folder) {
    for (const Route& r : kRoutes) {
        if (r.folder == folder) return r.prefix;
    }
    return {};
}

std::string TrimName(std::string_view field) {
    std::size_t n = field.size();
    while (n > 0 && (field[n - 1] == ' ' || field[n - 1] == '\0')) --n;
    return std::string(field.substr(0, n));
}

EntryRoute RouteEntry(std::string_view nameField) {
    EntryRoute route;
    for (const Route& r : kRoutes) {
        if (nameField.starts_with(r.prefix)) {
            route.kind = EntryKind::Resource;
            route.folder = r.folder;
            route.file = TrimName(nameField.substr(r.prefix.size()));
            return route;
        }
    }
    if (nameField.starts_with(kMarkerStart)) {
        route.kind = EntryKind::ForeignMarker;
        for (const std::string_view accepted : kAcceptedMarkers) {
            if (nameField.starts_with(accepted)) route.kind = EntryKind::AcceptedMarker;
        }
        return route;
    }
    route.kind = EntryKind::Unknown;
    return route;
}

Result CheckFileName(std::string_view file) {
    BAIL_IF(file.empty(), "the file name is empty");
    BAIL_IF(file == ".", "the file name \".\" names the folder itself");
    for (std::size_t i = 0; i < file.size(); ++i) {
        const auto c = static_cast<unsigned char>(file[i]);
        BAIL_IF(c == 0, "the file name holds a NUL byte at position " + std::to_string(i));
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "0x%02X", c);
            return Result::Fail(std::string("the file name holds the control character ") + buf +
                                " at position " + std::to_string(i));
        }
    }
    BAIL_IF(file.front() == '/' || file.front() == '\\', "the file name is an absolute path");
    BAIL_IF(file.find('/') != std::string_view::npos, "the file name holds \"/\"");
    BAIL_IF(file.find('\\') != std::string_view::npos, "the file name holds \"\\\"");
    BAIL_IF(file.find("..") != std::string_view::npos, "the file name holds \"..\"");
    BAIL_IF(file.find(':') != std::string_view::npos, "the file name holds a drive letter or \":\"");
    return {};
}

std::string OutputKey(std::string_view folder, std::string_view file) {
    std::string key(folder);
    key += '/';
    key += file;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace tenfold::layout
