#pragma once
// What one frame puts on the table and in which order: later pictures cover
// earlier ones, and nothing is depth-sorted beyond that order.

#include <ctime>
#include <string>
#include <string_view>

#include "core/table_state.h"
#include "present/display.h"
#include "present/table_art.h"

namespace tenfold {

// One card where its record stands (rounded to whole pixels), face per `FaceUp`.
void DrawCard(Display& display, const TableArt& art, const CardSprite& card, bool faceUp);

// Won piles, deck slot 51, the trick, the hands, the announced contract, the
// contract menu (writing each shown row's X and Y back for the next frame's
// click), the undealt pile, the score screen in "END OF MATCH", the clock
// (at ClockX, or further left so that all of it lies on the table).
void DrawTable(TableState& t, Display& display, TableArt& art, std::string_view clockText);

// The clock text: 12-hour hours and minutes with two digits each, a blank and AM or PM.
std::string FormatClock(int hour24, int minute);
std::string ClockNow();

// Score page text: the stored value divided by ten, with a point only when
// there is a fraction ("-65", "0", "12.5").
std::string ScoreNumber(std::int16_t stored);
// The same right-aligned in four character cells (longer numbers are not cut).
std::string ScoreField(std::int16_t stored);
// The score table of the deal's end screen: header, deal rows, totals, result.
void ScoreTable(const TableState& t, Display& display, TableArt& art);

}  // namespace tenfold
