#pragma once
// What one frame puts on the table and in which order: later pictures cover
// earlier ones, and nothing is depth-sorted beyond that order. The drawing
// reads the table state and never writes it.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/table_state.h"
#include "present/display.h"
#include "present/table_art.h"

namespace tenfold {

// One card where its record stands (rounded to whole pixels), face up or not.
void DrawCard(Display& display, const TableArt& art, const CardSprite& card, bool faceUp);

// Won piles, the deck's last card in flight, the trick, the hands, the
// announced contract, the contract menu, the undealt pile, the score page
// after a deal, and the clock (at the layout's place, or further left so that
// all of it lies on the table).
void DrawTable(const TableState& t, Display& display, const TableArt& art, std::string_view clockText);

// What the hint key shows: the card the expert would play (a hand card of
// the human's) or the contract it would choose (a row of the open menu).
struct TableHint {
    bool isContract = false;
    int value = 0;  // card code, or contract number
};
// Draws the hint over the table: the card lifted out of the hand, or the
// menu row, in a yellow frame. Draws nothing when the hand or the menu does
// not show it.
void DrawHint(const TableState& t, Display& display, const TableArt& art, const TableHint& hint);

// The clock text: 12-hour hours and minutes with two digits each, a blank and AM or PM.
std::string FormatClock(int hour24, int minute);
std::string ClockNow();

// Score page text: the stored value divided by ten, with a point only when
// there is a fraction ("-65", "0", "12.5").
std::string ScoreNumber(std::int16_t stored);
// The same right-aligned in four character cells (longer numbers are not cut).
std::string ScoreField(std::int16_t stored);
// The score page after a deal: the picture, the rules, the header with the
// players' names, the deal rows, the totals and the match result.
void DrawScorePage(const TableState& t, Display& display, const TableArt& art);

}  // namespace tenfold
