#pragma once
// How the resource archive maps onto folders: the folder names below "res",
// the entry-name prefix that routes an entry into each folder, the marker
// entries, and every file the game loads. The unpacker, the archive tool,
// the resource generator and the archive browser all read this one table.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "resources/result.h"

namespace tenfold::layout {

// The archive the game unpacks at start, in the program's folder.
inline constexpr std::string_view kPakFile = "res120.pak";
// The folder that holds the six resource folders.
inline constexpr std::string_view kResFolder = "res";

// The folders below "res"...
inline constexpr std::string_view kFontsFolder = "fntFonts";
inline constexpr std::string_view kSoundsFolder = "Sounds";
inline constexpr std::string_view kBitmapsFolder = "Bitmaps";
inline constexpr std::string_view kNumbersFolder = "Numbers";
// ...and the two decks with pictures, each in its own folder of the same name.
inline constexpr std::array<std::string_view, 2> kDecks{"Royal", "Roya2"};

struct Route {
    std::string_view prefix;  // start of an entry name
    std::string_view folder;  // folder below "res"
};

// Entry-name prefixes, compared in this order against the start of a name.
inline constexpr std::array<Route, 6> kRoutes{{
    {"XntFonts_", kFontsFolder},
    {"Xounds_", kSoundsFolder},
    {"Xitmaps_", kBitmapsFolder},
    {"Xumbers_", kNumbersFolder},
    {"Xoya2_", kDecks[1]},
    {"Xoyal_", kDecks[0]},
}};

// Folders below "res" in the order they are created (the routes' order)...
inline constexpr std::array<std::string_view, 6> kCreateOrder = [] {
    std::array<std::string_view, 6> folders{};
    for (std::size_t i = 0; i < kRoutes.size(); ++i) folders[i] = kRoutes[i].folder;
    return folders;
}();
// ...and in the order they are emptied and removed.
inline constexpr std::array<std::string_view, 6> kDeleteOrder{kSoundsFolder,  kBitmapsFolder, kFontsFolder,
                                                              kNumbersFolder, kDecks[0],      kDecks[1]};

// Entries whose names start with this are markers and never written out.
inline constexpr std::string_view kMarkerStart = "dumm";
// Markers starting with one of these are accepted; any other marker is foreign.
inline constexpr std::array<std::string_view, 2> kAcceptedMarkers{"dumm120", "dummy2_"};
// The marker the archive tool writes as the first entry.
inline constexpr std::string_view kMarker = kAcceptedMarkers[0];

// The table background travels as a JPEG and is loaded as a bitmap made
// from it while unpacking.
inline constexpr std::string_view kBackgroundFolder = kBitmapsFolder;
inline constexpr std::string_view kBackgroundJpeg = "Back_800x600.jpg";
inline constexpr std::string_view kBackgroundBmp = "Back_800x600.bmp";

inline constexpr std::string_view kCardBack = "S_cardback.bmp";
inline constexpr std::string_view kFrame = "FrameBlue.bmp";

// Contract pictures, contract 1 to 10, in "Numbers".
inline constexpr std::array<std::string_view, 10> kContractFiles{
    "clubs.BMP",    "diamonds.BMP",        "spades.BMP",          "hearts.BMP",   "notricks.BMP",
    "nohearts.BMP", "nolasttwotricks.BMP", "nokingsandjacks.BMP", "noqueens.BMP", "nokingofhearts.BMP"};

// Pictures loaded from "Bitmaps" (the background as the bitmap made from the JPEG).
inline constexpr std::string_view kScorePage = "Scorepage_800x600.bmp";
inline constexpr std::string_view kScoreRule = "line_horz.bmp";
inline constexpr std::string_view kPointer = "mouse.bmp";
inline constexpr std::array<std::string_view, 4> kBitmapFiles{kBackgroundBmp, kScorePage, kScoreRule,
                                                              kPointer};
// Font pictures in "fntFonts": the clock's digits and the score page's hand.
inline constexpr std::string_view kDigitFont = "fntDigit.bmp";
inline constexpr std::string_view kScoreFont = "fntHandParker.bmp";
inline constexpr std::array<std::string_view, 2> kFontFiles{kDigitFont, kScoreFont};
// The table aids' pictures: the score font at two smaller sizes and the
// contract pictures small enough for the badge and the score sheet. The game
// makes their 1x pixels from the 1x font and contract pictures (the classic
// sizes' own pixels); the archive holds them drawn at the larger scales only
// (ScaledFileName of these names), so large screens get them crisp.
inline constexpr std::string_view kSmallScoreFont = "fntHandSmall.bmp";
inline constexpr std::string_view kMidScoreFont = "fntHandMid.bmp";
inline constexpr int kSmallFontCellWidth = 12, kSmallFontCellHeight = 17;
inline constexpr int kMidFontCellWidth = 15, kMidFontCellHeight = 21;
inline constexpr int kSmallContractWidth = 112, kSmallContractHeight = 18;
// The small picture of contract `index` (0..9), in "Numbers": "small_" and
// the contract's file name. Throws std::out_of_range for any other index.
std::string SmallContractFile(int index);
// Sounds in "Sounds", in loading order.
inline constexpr std::array<std::string_view, 10> kSoundFiles{
    "CARD_FLIP.WAV", "CARD_FLIP2.WAV", "CARD_FLIP3.WAV", "SIGN1.WAV",    "SIGN2.WAV",
    "SIGN3.WAV",     "SHUFFLE.WAV",    "INTRO.WAV",      "WIN_GAME.WAV", "LOSE_GAME.WAV"};

// The same pictures drawn for large screens, at these whole multiples of
// their size in the layout; the game picks the smallest that is at least as
// large as the screen needs and scales it down.
inline constexpr std::array<int, 2> kLargerScales{2, 3};
// The file of picture `file` (a name the game loads, such as "AC.BMP" or
// "Back_800x600.bmp") drawn at `scale`: the name without its extension, "@",
// the scale, "x" and ".png" (keyed pictures need exact colours), or ".jpg"
// for the table background, whose fine grain a JPEG keeps far smaller.
std::string ScaledFileName(std::string_view file, int scale);
// The scale a file of that naming was drawn at; 1 for any other name.
int ScaleOfFileName(std::string_view file);
// The sign that the resources are unpacked (folder, file).
inline constexpr std::string_view kPresenceFolder = kSoundsFolder;
inline constexpr std::string_view kPresenceFile = kSoundFiles[0];

// Picture file of card `code` (0..51): face text (A, 2..10, J, Q, K), suit
// letter (C, D, H, S) and ".BMP"; code = 4 x (face - 1) + index of the letter.
// Throws std::out_of_range for any other code.
std::string CardFileName(int code);

struct ResourceFile {
    std::string folder;  // folder below "res"
    std::string file;
};
// Every file an archive must hold for the game to load: every file the game
// loads, the background bitmap replaced by the JPEG it is made from.
std::vector<ResourceFile> ArchiveFiles();
// Prefix of the entries that go into `folder`; "" for an unknown folder.
std::string_view PrefixOf(std::string_view folder);

// The name with trailing blanks and NULs (the field's padding) dropped.
std::string TrimName(std::string_view field);

enum class EntryKind {
    Resource,        // a known prefix: written as `file` into `folder`
    AcceptedMarker,  // skipped
    ForeignMarker,   // stops the unpacking
    Unknown,         // no known prefix, not a marker: skipped and reported
};
struct EntryRoute {
    EntryKind kind = EntryKind::Unknown;
    std::string_view folder;  // for Resource
    std::string file;         // for Resource: the name after the prefix, padding dropped
};
// Classifies the 56-byte name field of an entry.
EntryRoute RouteEntry(std::string_view nameField);

// Whether `file` can be created inside its folder and nowhere else; fails
// saying why not: empty, ".", holding "/", "\", "..", a drive letter or
// stream colon, a control character or a NUL.
Result CheckFileName(std::string_view file);

// Case-insensitive key for spotting two entries that would write one file
// (the archive comes from a system where case does not tell files apart).
std::string OutputKey(std::string_view folder, std::string_view file);

}  // namespace tenfold::layout
