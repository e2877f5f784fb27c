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

// Each picture is drawn at the display's resolution from art made for it (see Picture).
struct TableArt {
    Picture background;
    Picture cardBack;
    Array<Picture, kDeckSize> cards{};           // by card code
    Array<Picture, kContractCount> contracts{};  // announced and in the menu, by contract index
    Picture scorePage;
    Picture scoreRule;  // drawn under the score page's header and above its totals
    Picture pointer;
    BitmapFont clockFont;
    BitmapFont scoreFont;
    // The table aids' own: 1x made from the above (MakeAidPictures), larger
    // art from the archive's files for them.
    BitmapFont smallFont;
    BitmapFont midFont;
    Array<Picture, kContractCount> smallContracts{};
};

// Loads every picture and font of the deck `deckName` ("Royal" or "Roya2") from
// `resourceRoot` (the folder holding "res/", ending in a path separator).
// Every picture but the background gets the magenta key. Besides the 1x art
// it decodes the art drawn for the largest size the display may show
// (Display::ArtScaleNeeded), where the archive has it.
void LoadTableArt(Display& display, TableArt& art, std::string_view deckName,
                  const std::string& resourceRoot);

// Makes every picture's pixels anew from its decoded art (after the display
// came back), without reading any file.
void RefreshArt(const TableArt& art);

// Releases every picture and font.
void ReleaseArt(TableArt& art);

}  // namespace tenfold
