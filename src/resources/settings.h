#pragma once
// The player's choices, remembered between runs in settings.ini (config
// folder). The start dialog reads them when it opens and writes them when
// Start is pressed; options given on the command line override them for one
// run and never change the file.

#include <string>

#include "core/table_state.h"

namespace tenfold {

struct Settings {
    std::string deck = "Roya2";         // "Roya2" (standard pattern) or "Royal" (Genoese pattern)
    bool windowed = false;              // an 800 x 600 window instead of the whole screen
    bool slowAnimation = false;         // card moves take twice as many frames
    bool sevenOfHeartsLead = false;     // the holder of the seven of hearts chooses first in a match
    int dealPackets = 1;                // cards a seat receives in a row: 1 or 13
    bool classicTable = false;          // the table without its aids, as it always was
    bool dimUnplayable = false;         // cards the player may not play are dimmed
    std::string opponents = "classic";  // the computer players: "classic" or "expert"

    bool operator==(const Settings&) const = default;
};

// settings.ini in the player's config folder; "" when there is no such folder.
std::string SettingsPath();

// Reads the settings at `path`. Never fails: a missing file gives the
// defaults silently; an unreadable or damaged file gives the defaults, a
// damaged one is moved aside (settings.ini.bad), and `warning` says so in one
// line naming the file, for the caller to show once. A single value the game
// does not know (a deck that does not exist, a packet size of 7) keeps that
// setting's default and is named in `warning` too.
Settings LoadSettings(const std::string& path, std::string& warning);

// Writes the settings crash-safe; "" on success, else the reason.
std::string SaveSettings(const std::string& path, const Settings& settings);

// The game's options as the settings choose them, and back.
void ApplySettings(const Settings& settings, Options& options);
Settings SettingsOf(const Options& options);

}  // namespace tenfold
