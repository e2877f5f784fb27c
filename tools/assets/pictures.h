#pragma once
// Every picture the game loads, drawn in memory. The sizes here are the ones
// the game's layout is built around: cards 99 x 153, font cells 19 x 27. The
// same art is also drawn at whole multiples of them (every length times the
// scale), so that large screens get pictures made for their size.

#include <array>
#include <string>

#include "canvas.h"

namespace tenfold::assets {

inline constexpr int kCardWidth = 99;
inline constexpr int kCardHeight = 153;
inline constexpr int kContractWidth = 270;
inline constexpr int kContractHeight = 38;
inline constexpr int kGlyphWidth = 19;
inline constexpr int kGlyphHeight = 27;
inline constexpr int kGlyphColumns = 20;
inline constexpr int kGlyphAdvance = kGlyphWidth - 2;

// Where the generator reads its vector art from.
struct Sources {
    std::string standardDeck = "/usr/share/carddecks/svg-standard/standard.svgz";
    std::string genoeseDeck = "/usr/share/carddecks/svg-tigullio-international/tigullio-international.svgz";
};

struct Deck {
    std::string folder;                 // "Roya2" or "Royal"
    std::array<std::string, 52> files;  // picture name per card code
    std::array<Image, 52> cards;        // per card code
    Image back;
    Image frame;
};

struct Pictures {
    int scale = 1;  // every picture is this many times its size in the game's layout
    Deck standard;  // folder "Roya2"
    Deck genoese;   // folder "Royal"
    std::array<std::string, 10> contractFiles;
    std::array<Image, 10> contracts;  // per contract - 1
    // The table aids' small contract pictures, per contract - 1 (only the
    // larger scales are packed: the game makes the 1x ones).
    std::array<Image, 10> smallContracts;
    Image background;  // the table cloth, 800 x 600, no key
    Image scorePage;
    Image line;
    Image mouse;
    Image fontDigit;
    Image fontHand;
    // The hand in the aids' smaller cells (packed at the larger scales only).
    Image fontHandSmall;
    Image fontHandMid;
};

// Each drawing function draws at out.scale: the layout's sizes times it.

// Renders both decks with their backs and frames (throws on unreadable art).
void DrawDecks(const Sources& sources, Pictures& out);
// Contract buttons (and their small pictures), table cloth, score sheet, rule and pointer.
void DrawTablePictures(Pictures& out);
// The clock face and the handwriting face as 20-column grids of 19 x 27
// cells, and the handwriting in the aids' smaller cells.
void DrawFonts(Pictures& out);

// Everything above in one call, at the given whole scale.
Pictures DrawAllPictures(const Sources& sources, int scale = 1);

// One card face drawn straight from the deck's vector art at any scale, as
// the generator draws it (for comparing with what the game shows).
Image DrawCardFace(const std::string& deckPath, bool genoese, int card, double scale);

// One contract's small picture (the table aids' badge and score sheet, index
// 0..9) drawn straight from its vector art at any scale, as the generator
// draws it (for comparing with what the game shows).
Image DrawSmallContract(int index, double scale);

// Length `logical` in the layout, in pixels at `scale`.
inline int Scaled(int logical, double scale) { return static_cast<int>(logical * scale + 0.5); }

// Text drawn the way the game draws it from a font grid: cell (code - 32),
// advance 17 pixels, magenta cells left out. Used for the review sheet.
void BlitText(const Image& font, const std::string& text, int x, int y, Image& target);

}  // namespace tenfold::assets
