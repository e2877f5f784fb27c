#include "present/table_art.h"

namespace tenfold {

namespace {
constexpr int kFontCellWidth = 19;
constexpr int kFontCellHeight = 27;
constexpr int kFontColumns = 20;
}  // namespace

std::string DeckFolder(const std::string& deckName) { return "res/" + deckName + "/"; }

void LoadBitmaps(Display& display, TableArt& art, TableState& t, const std::string& resourceRoot) {
    const std::string bitmaps = resourceRoot + "res/Bitmaps/";
    const std::string deck = resourceRoot + DeckFolder(t.DeckName);
    const std::string numbers = resourceRoot + "res/Numbers/";
    const std::string fonts = resourceRoot + "res/fntFonts/";
    const bool vid = display.UseVideoMemory;

    auto load = [&](Surface& s, const std::string& file, bool keyed) {
        s = display.CreateSurfaceFromFile(file, vid);
        if (keyed) SetSurfaceTransColor(s, 2);
    };

    load(art.Background, bitmaps + "Back_800x600.bmp", false);
    load(art.CardBack, deck + "S_cardback.bmp", true);
    t.CardPictureHeight = 153;
    for (int i = 0; i <= 51; ++i) {
        if (t.CardFile[i].empty()) {
            throw PresentError("Error in function CreateSurfaceFromFile() ", kErrFileRead,
                               "No picture name for card " + std::to_string(i));
        }
        load(art.CardSurface[i], deck + t.CardFile[i], true);
    }
    for (int i = 0; i <= 9; ++i) {
        load(art.ContractSurface[i], numbers + t.ContractFile[i], true);
        load(art.ContractSurface2[i], numbers + t.ContractFile2[i], true);
    }
    load(art.ScorePage, bitmaps + "Scorepage_800x600.bmp", true);
    load(art.LineHorz1, bitmaps + "line_horz.bmp", true);
    load(art.LineHorz2, bitmaps + "line_horz.bmp", true);
    load(art.FrameBlue, deck + "FrameBlue.bmp", true);
    load(art.MousePointer, bitmaps + "mouse.bmp", true);

    art.FontDigit.CreateSpriteFromFile(display, fonts + "fntDigit.bmp", kFontCellWidth, kFontCellHeight,
                                       kFontColumns, vid);
    art.FontDigit.SetTransColor(2);
    for (int r = 0; r <= 10; ++r) {
        art.RowFont[r].CreateSpriteFromFile(display, fonts + "fntHandParker.bmp", kFontCellWidth,
                                            kFontCellHeight, kFontColumns, vid);
        art.RowFont[r].SetTransColor(2);
    }
}

void ReleaseArt(TableArt& art) {
    art.Background.Release();
    art.MousePointer.Release();
    art.FontDigit.Release();
    for (auto& f : art.RowFont) f.Release();
    art.CardBack.Release();
    for (auto& s : art.CardSurface) s.Release();
    art.ScorePage.Release();
    for (auto& s : art.ContractSurface) s.Release();
    for (auto& s : art.ContractSurface2) s.Release();
    art.LineHorz1.Release();
    art.LineHorz2.Release();
    art.FrameBlue.Release();
}

}  // namespace tenfold
