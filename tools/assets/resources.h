#pragma once
// The generated resource files, named and sorted into the folders the game's
// unpacker fills, ready to be written out or packed into the archive.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "pictures.h"
#include "sounds.h"

namespace tenfold::assets {

struct Resource {
    std::string folder;  // below "res": "fntFonts", "Sounds", "Bitmaps", "Numbers", "Roya2", "Royal"
    std::string file;
    std::vector<std::uint8_t> bytes;
};

// Encodes every picture and sound into its file, folder by folder.
std::vector<Resource> Package(const Pictures& pictures, const std::vector<Sound>& sounds);
// The pictures drawn at a larger scale, each named as ScaledFileName names it.
std::vector<Resource> PackageScaled(const Pictures& pictures);

// Writes the files as DIR/res/<folder>/<file>, creating the folders.
void WriteTree(const std::vector<Resource>& resources, const std::filesystem::path& dir);

// Packs the files into a resource archive: the accepted marker first, then
// one entry per file named by its folder's prefix and its file name.
void WriteArchive(const std::vector<Resource>& resources, const std::string& path);

}  // namespace tenfold::assets
