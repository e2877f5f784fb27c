#pragma once
// The table aids, drawn over the classic table from the const table state:
// the contract badge, the seats' names with the turn and what each has taken,
// the keyboard's focus, a refused card and the rule that refused it, the led
// card's index, the last trick held up, the pause sign, the question before
// leaving a match, and the score sheet that lists every deal. A classic table
// draws none of this. Everything lies in the table's 800 x 600 pixels.

#include <string_view>

#include "core/table_state.h"
#include "present/display.h"
#include "present/table_art.h"

namespace tenfold {

// The pictures only the aids use, made from the loaded ones: the score font
// at two smaller sizes, and small contract pictures for the badge and the
// score sheet.
void MakeAidPictures(TableArt& art);

// The human's hand with the aids: cards he may not play dimmed (when chosen),
// the keyboard's card lifted and framed, a refused card shaking.
void DrawHumanHand(const TableState& t, Display& d, const TableArt& art);
// Each trick card's index, so the led card reads under the later ones.
void DrawTrickIndices(const TableState& t, Display& d, const TableArt& art);
// The frame round the contract menu's keyboard row.
void DrawMenuFocus(const TableState& t, Display& d, const TableArt& art);
// Under the menu and the cards in flight: the badge, and the seats with their
// turn, tally and taken penalty cards.
void DrawTableLabels(const TableState& t, Display& d, const TableArt& art);
// Over the table: the refusal's hint and the last trick when it is held up.
void DrawTableAids(const TableState& t, Display& d, const TableArt& art);
// The score sheet after a deal: each row's deal number and contract, the names
// over their columns, and after the last deal all twenty rows and the standings.
void DrawScoreSheet(const TableState& t, Display& d, const TableArt& art);
// Last, over everything: the pause sign and the question before leaving.
void DrawAidOverlays(const TableState& t, Display& d, const TableArt& art);

}  // namespace tenfold
