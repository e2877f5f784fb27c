#include "resources.h"

#include <fstream>
#include <stdexcept>

#include "resources/pak_writer.h"
#include "resources/resource_layout.h"

namespace tenfold::assets {

namespace {

// The table cloth travels as a JPEG (the unpacker turns it into a bitmap);
// quality 90 keeps the soft light free of banding at a fraction of the size.
constexpr int kClothQuality = 90;

void AddDeck(std::vector<Resource>& out, const Deck& deck) {
    for (int card = 0; card < 52; ++card) {
        out.push_back({deck.folder, deck.files[card], EncodeBmp(deck.cards[card])});
    }
    out.push_back({deck.folder, std::string(layout::kCardBack), EncodeBmp(deck.back)});
    out.push_back({deck.folder, std::string(layout::kFrame), EncodeBmp(deck.frame)});
}

}  // namespace

std::vector<Resource> Package(const Pictures& p, const std::vector<Sound>& sounds) {
    std::vector<Resource> out;
    const std::string fonts(layout::kFontsFolder);
    const std::string bitmaps(layout::kBitmapsFolder);
    out.push_back({fonts, std::string(layout::kDigitFont), EncodeBmp(p.fontDigit)});
    out.push_back({fonts, std::string(layout::kScoreFont), EncodeBmp(p.fontHand)});
    for (const Sound& s : sounds) out.push_back({std::string(layout::kSoundsFolder), s.file, EncodeWav(s)});
    out.push_back({bitmaps, std::string(layout::kBackgroundJpeg), EncodeJpeg(p.background, kClothQuality)});
    out.push_back({bitmaps, std::string(layout::kScorePage), EncodeBmp(p.scorePage)});
    out.push_back({bitmaps, std::string(layout::kScoreRule), EncodeBmp(p.line)});
    out.push_back({bitmaps, std::string(layout::kPointer), EncodeBmp(p.mouse)});
    for (int i = 0; i < 10; ++i) {
        out.push_back({std::string(layout::kNumbersFolder), p.contractFiles[i], EncodeBmp(p.contracts[i])});
    }
    AddDeck(out, p.standard);
    AddDeck(out, p.genoese);
    return out;
}

std::vector<Resource> PackageScaled(const Pictures& p) {
    std::vector<Resource> out;
    const auto add = [&](std::string_view folder, std::string_view file, const Image& image) {
        out.push_back({std::string(folder), layout::ScaledFileName(file, p.scale), EncodePng(image)});
    };
    add(layout::kFontsFolder, layout::kDigitFont, p.fontDigit);
    add(layout::kFontsFolder, layout::kScoreFont, p.fontHand);
    out.push_back({std::string(layout::kBitmapsFolder),
                   layout::ScaledFileName(layout::kBackgroundBmp, p.scale),
                   EncodeJpeg(p.background, kClothQuality)});
    add(layout::kBitmapsFolder, layout::kScorePage, p.scorePage);
    add(layout::kBitmapsFolder, layout::kScoreRule, p.line);
    add(layout::kBitmapsFolder, layout::kPointer, p.mouse);
    for (int i = 0; i < 10; ++i) add(layout::kNumbersFolder, p.contractFiles[i], p.contracts[i]);
    // The aids' pictures; their 1x pixels the game makes from the 1x art.
    add(layout::kFontsFolder, layout::kSmallScoreFont, p.fontHandSmall);
    add(layout::kFontsFolder, layout::kMidScoreFont, p.fontHandMid);
    for (int i = 0; i < 10; ++i)
        add(layout::kNumbersFolder, layout::SmallContractFile(i), p.smallContracts[i]);
    for (const Deck* deck : {&p.standard, &p.genoese}) {
        for (int card = 0; card < 52; ++card) add(deck->folder, deck->files[card], deck->cards[card]);
        add(deck->folder, layout::kCardBack, deck->back);
        add(deck->folder, layout::kFrame, deck->frame);
    }
    return out;
}

void WriteTree(const std::vector<Resource>& resources, const std::filesystem::path& dir) {
    for (const Resource& r : resources) {
        const std::filesystem::path folder = dir / layout::kResFolder / r.folder;
        std::filesystem::create_directories(folder);
        const std::filesystem::path file = folder / r.file;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(r.bytes.data()),
                  static_cast<std::streamsize>(r.bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + file.string());
    }
}

void WriteArchive(const std::vector<Resource>& resources, const std::string& path) {
    std::vector<PakEntry> entries;
    entries.push_back({std::string(layout::kMarker), {}});
    for (const Resource& r : resources) {
        const std::string_view prefix = layout::PrefixOf(r.folder);
        if (prefix.empty()) throw std::logic_error("no archive prefix for the folder " + r.folder);
        entries.push_back({std::string(prefix) + r.file, r.bytes});
    }
    if (const Result result = WritePak(path, entries); !result) throw std::runtime_error(result.Reason());
}

}  // namespace tenfold::assets
