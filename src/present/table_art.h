#pragma once
// Every picture and font the table is drawn with, loaded once at start (and
// again after the display was taken away), released when the game ends.

#include <string>

#include "core/checked.h"
#include "core/table_state.h"
#include "present/bitmap_font.h"
#include "present/display.h"
#include "present/surface.h"

namespace tenfold {

struct TableArt {
    Surface Background;
    Surface CardBack;
    Array<Surface, 53> CardSurface{};
    Array<Surface, 12> ContractSurface{};
    Array<Surface, 12> ContractSurface2{};
    Surface ScorePage;
    Surface LineHorz1;
    Surface LineHorz2;
    Surface FrameBlue;
    Surface MousePointer;
    clsDXBitmapFont FontDigit;
    Array<clsDXBitmapFont, 12> RowFont{};
};

// Folder of the chosen deck's pictures below the resource root: "Royal" or "Roya2".
std::string DeckFolder(const std::string& deckName);

// Loads every surface and font from `resourceRoot` (the folder holding "res/",
// ending in a path separator). Card and contract pictures are taken by the
// names in t.CardFile / t.ContractFile / t.ContractFile2, which must be filled;
// sets t.CardPictureHeight. Every surface but the background gets the magenta key.
void LoadBitmaps(Display& display, TableArt& art, TableState& t, const std::string& resourceRoot);

// Releases the pictures in the game's order: background, pointer, fonts, card
// back, cards, score page (then everything else).
void ReleaseArt(TableArt& art);

}  // namespace tenfold
