#pragma once
// What a card is everywhere in the game: its code, suit, face value and
// strength, the picture names, the comparison under the trump in force and
// the winner of a finished trick.

#include <array>
#include <cstdint>
#include <string>

#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

inline constexpr int kSuitClubs = 0;
inline constexpr int kSuitDiamonds = 1;
inline constexpr int kSuitSpades = 2;
inline constexpr int kSuitHearts = 3;
inline constexpr int kNoTrump = 4;

// The thirty names the computer players are drawn from, four characters each.
extern const std::array<std::string, 30> kPlayerNameTable;
// The ten contract picture names, in contract order (index = contract - 1).
extern const std::array<std::string, 10> kContractFileNames;

// Card code from face value (ace 1 .. king 13) and suit letter index (C, D, H, S).
constexpr std::int16_t CardCode(int faceValue, int letterIndex) {
    return static_cast<std::int16_t>(4 * (faceValue - 1) + letterIndex);
}

// Fills the picture names of the cards and contracts, then parses them into the
// suit, face value and strength tables (the bitmap loader calls this first).
void BuildCardFiles(TableState& t);
// Derives seats, suits, face values and strengths from the picture names.
void ParseCardFiles(TableState& t);
// The standard strengths by face value: two 0 .. king 11, ace 12.
void FillValueOrder(TableState& t);
// Whether card a, played later, takes the trick from card b under TrumpSuit.
bool Beats(const TableState& t, int a, int b);
// The seat k places before CurrentSeat in the order of play.
std::int16_t SeatBefore(const TableState& t, int k);
// Settles a complete trick: winner, winning card, lead, collect marks, next state.
void DecideTrickWinner(TableState& t);
// Draws three different computer player names.
void DrawPlayerNames(TableState& t, Services& s);
// Start-of-program match tables: names, contract totals, the deal counter.
void InitMatchTables(TableState& t, Services& s);

// Strength of a card: two 0 .. ace 12.
inline std::int16_t Strength(const TableState& t, int code) {
    return t.ValueOrder[t.CardValue[code]];
}

}  // namespace tenfold
