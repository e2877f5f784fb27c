#include "resources.h"

#include <fstream>
#include <stdexcept>

namespace tenfold::assets {

namespace {

// The table cloth travels as a JPEG (the unpacker turns it into a bitmap);
// quality 90 keeps the soft light free of banding at a fraction of the size.
constexpr int kClothQuality = 90;

void AddDeck(std::vector<Resource>& out, Folder folder, const Deck& deck) {
    for (int card = 0; card < 52; ++card) {
        out.push_back({folder, deck.files[card], EncodeBmp(deck.cards[card])});
    }
    out.push_back({folder, "S_cardback.bmp", EncodeBmp(deck.back)});
    out.push_back({folder, "FrameBlue.bmp", EncodeBmp(deck.frame)});
}

}  // namespace

const char* FolderName(Folder folder) {
    switch (folder) {
        case Folder::Fonts: return "fntFonts";
        case Folder::Sounds: return "Sounds";
        case Folder::Bitmaps: return "Bitmaps";
        case Folder::Numbers: return "Numbers";
        case Folder::Roya2: return "Roya2";
        case Folder::Royal: return "Royal";
    }
    throw std::logic_error("unknown resource folder");
}

std::vector<Resource> Package(const Pictures& p, const std::vector<Sound>& sounds) {
    std::vector<Resource> out;
    out.push_back({Folder::Fonts, "fntDigit.bmp", EncodeBmp(p.fontDigit)});
    out.push_back({Folder::Fonts, "fntHandParker.bmp", EncodeBmp(p.fontHand)});
    for (const Sound& s : sounds) out.push_back({Folder::Sounds, s.file, EncodeWav(s)});
    out.push_back({Folder::Bitmaps, "Back_800x600.jpg", EncodeJpeg(p.background, kClothQuality)});
    out.push_back({Folder::Bitmaps, "Scorepage_800x600.bmp", EncodeBmp(p.scorePage)});
    out.push_back({Folder::Bitmaps, "line_horz.bmp", EncodeBmp(p.line)});
    out.push_back({Folder::Bitmaps, "mouse.bmp", EncodeBmp(p.mouse)});
    for (int i = 0; i < 10; ++i) {
        out.push_back({Folder::Numbers, p.contractFiles[i], EncodeBmp(p.contracts[i])});
    }
    AddDeck(out, Folder::Roya2, p.standard);
    AddDeck(out, Folder::Royal, p.genoese);
    return out;
}

void WriteTree(const std::vector<Resource>& resources, const std::filesystem::path& dir) {
    for (const Resource& r : resources) {
        const std::filesystem::path folder = dir / "res" / FolderName(r.folder);
        std::filesystem::create_directories(folder);
        const std::filesystem::path file = folder / r.file;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<std::streamsize>(r.bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + file.string());
    }
}

}  // namespace tenfold::assets
