#pragma once
// Every picture and font the table is drawn with, loaded once at start (and
// again after the display was taken away), released when the game ends. The
// file names come from the resource layout.

#include <string>
#include <string_view>

#include "core/cards.h"
#include "core/checked.h"
#include "present/bitmap_font.h"
#include "present/display.h"
#include "present/surface.h"

namespace tenfold {

struct TableArt {
    Surface background;
    Surface cardBack;
    Array<Surface, kDeckSize> cards{};           // by card code
    Array<Surface, kContractCount> contracts{};  // announced and in the menu, by contract index
    Surface scorePage;
    Surface scoreRule;  // drawn under the score page's header and above its totals
    Surface pointer;
    BitmapFont clockFont;
    BitmapFont scoreFont;
    // Made from the above for the table aids (MakeAidPictures).
    BitmapFont smallFont;
    BitmapFont midFont;
    Array<Surface, kContractCount> smallContracts{};
};

// Loads every picture and font of the deck `deckName` ("Royal" or "Roya2") from
// `resourceRoot` (the folder holding "res/", ending in a path separator).
// Every picture but the background gets the magenta key.
void LoadTableArt(Display& display, TableArt& art, std::string_view deckName,
                  const std::string& resourceRoot);

// Releases every picture and font.
void ReleaseArt(TableArt& art);

}  // namespace tenfold
