#include "present/table_art.h"

#include "present/table_aids_drawing.h"
#include "resources/resource_layout.h"

namespace tenfold {

namespace {
constexpr int kFontCellWidth = 19;
constexpr int kFontCellHeight = 27;
constexpr int kFontColumns = 20;
constexpr int kMagentaKey = 2;

std::string Folder(const std::string& root, std::string_view folder) {
    return root + std::string(layout::kResFolder) + "/" + std::string(folder) + "/";
}
}  // namespace

void LoadTableArt(Display& display, TableArt& art, std::string_view deckName,
                  const std::string& resourceRoot) {
    const std::string bitmaps = Folder(resourceRoot, layout::kBitmapsFolder);
    const std::string deck = Folder(resourceRoot, deckName);
    const std::string numbers = Folder(resourceRoot, layout::kNumbersFolder);
    const std::string fonts = Folder(resourceRoot, layout::kFontsFolder);

    const int larger = display.ArtScaleNeeded();
    auto load = [&](Picture& p, const std::string& folder, std::string_view file, bool keyed) {
        p = display.LoadTablePicture(folder + std::string(file), larger, keyed);
    };
    load(art.background, bitmaps, layout::kBackgroundBmp, false);
    load(art.cardBack, deck, layout::kCardBack, true);
    for (int code = 0; code < kDeckSize; ++code)
        load(art.cards[code], deck, layout::CardFileName(code), true);
    for (int i = 0; i < kContractCount; ++i) {
        load(art.contracts[i], numbers, layout::kContractFiles[static_cast<std::size_t>(i)], true);
    }
    load(art.scorePage, bitmaps, layout::kScorePage, true);
    load(art.scoreRule, bitmaps, layout::kScoreRule, true);
    load(art.pointer, bitmaps, layout::kPointer, true);

    art.clockFont.Load(display, fonts + std::string(layout::kDigitFont), kFontCellWidth, kFontCellHeight,
                       kFontColumns, larger);
    art.clockFont.SetColorKeyMode(kMagentaKey);
    art.scoreFont.Load(display, fonts + std::string(layout::kScoreFont), kFontCellWidth, kFontCellHeight,
                       kFontColumns, larger);
    art.scoreFont.SetColorKeyMode(kMagentaKey);
    // The aids' pictures: 1x made from the 1x art above (the classic sizes'
    // pixels), larger ones drawn for large screens by the generator.
    MakeAidPictures(art);
    art.smallFont.LoadLargerArt(display, fonts + std::string(layout::kSmallScoreFont), larger);
    art.midFont.LoadLargerArt(display, fonts + std::string(layout::kMidScoreFont), larger);
    for (int i = 0; i < kContractCount; ++i)
        display.LoadLargerArt(art.smallContracts[i], numbers + layout::SmallContractFile(i), larger);
}

void RefreshArt(const TableArt& art) {
    for (const Picture* p :
         {&art.background, &art.cardBack, &art.scorePage, &art.scoreRule, &art.pointer,
          &art.clockFont.Glyphs(), &art.scoreFont.Glyphs(), &art.smallFont.Glyphs(), &art.midFont.Glyphs()})
        p->Forget();
    for (const Picture& p : art.cards) p.Forget();
    for (const Picture& p : art.contracts) p.Forget();
    for (const Picture& p : art.smallContracts) p.Forget();
}

void ReleaseArt(TableArt& art) {
    art.background.Release();
    art.pointer.Release();
    art.clockFont.Release();
    art.scoreFont.Release();
    art.cardBack.Release();
    for (auto& s : art.cards) s.Release();
    art.scorePage.Release();
    for (auto& s : art.contracts) s.Release();
    art.scoreRule.Release();
    art.smallFont.Release();
    art.midFont.Release();
    for (auto& s : art.smallContracts) s.Release();
}

}  // namespace tenfold
