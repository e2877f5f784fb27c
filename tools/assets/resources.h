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

// The resource folders below "res", in the order the unpacker creates them.
enum class Folder { Fonts, Sounds, Bitmaps, Numbers, Roya2, Royal };

// Folder name below "res" ("fntFonts", "Sounds", ...).
const char* FolderName(Folder folder);

struct Resource {
    Folder folder;
    std::string file;
    std::vector<std::uint8_t> bytes;
};

// Encodes every picture and sound into its file, folder by folder.
std::vector<Resource> Package(const Pictures& pictures, const std::vector<Sound>& sounds);

// Writes the files as DIR/res/<folder>/<file>, creating the folders.
void WriteTree(const std::vector<Resource>& resources, const std::filesystem::path& dir);

}  // namespace tenfold::assets
