#pragma once
// What the table tells the player beyond the cards: why a card is refused,
// which cards the keyboard may walk over, whose turn it is, what each seat has
// taken, and the last finished trick. Pure questions over the table; the
// frame routine and the drawing ask them, the rules never do.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/table_state.h"

namespace tenfold {

// Why the seat holding `hand` may not play c now (None when it may). Gives
// None exactly where PlayRules allows the card, and names the first rule that
// forbids it in the order PlayRules tests them.
Refusal WhyRefused(const TableState& t, const CardList& hand, Card c);
Refusal WhyHumanRefused(const TableState& t, Card c);
// The one-line hint that names the rule ("Follow suit: hearts", "Hearts may
// not be led yet"); "" for None.
std::string RefusalHint(const TableState& t, Refusal why);

std::string_view SuitName(Suit s);  // "clubs", ...
// "Clubs are trumps", "No tricks", ...; "" for None.
std::string_view ContractName(Contract c);

// The human is to play a card and may click one now.
bool HumanToPlay(const TableState& t);
// The slot holds a card at rest that the human may play now.
bool MayPlaySlot(const TableState& t, int slot);
// The keyboard focus moved one playable card left (dir < 0) or right (dir > 0)
// from `from`, wrapping round; from a slot that is not playable, the first
// playable card from that side. -1 when nothing is playable.
int StepFocus(const TableState& t, int from, int dir);
// A point of the slot's card that no card lying over it covers: where a click
// on that card lands.
Point SlotClickPoint(const TableState& t, int slot);
// The topmost card at rest of the human's hand under the point, legal or not; -1 for none.
int TopSlotAt(const TableState& t, std::int32_t x, std::int32_t y);

// The contract menu's rows in reading order (the left column from the top,
// then the right one): the focus moved one enabled row on or back, wrapping;
// from a row that is not enabled, the first (dir > 0) or last enabled row.
int StepMenuFocus(const TableState& t, int from, int dir);
// The middle of a menu row, which no other row covers.
Point MenuRowClickPoint(const TableState& t, int row);

// The seat the table waits for (to choose or to play), or -1 between deals.
int SeatToAct(const TableState& t);
// Tricks a seat has won in this deal.
int TricksWon(const TableState& t, int seat);

// The last finished trick of the deal: its cards in play order, who played
// each, and which one won.
struct TrickView {
    std::array<Card, kTrickSize> cards{};
    std::array<std::int8_t, kTrickSize> seats{};
    int winnerIndex = 0;
};
std::optional<TrickView> LastTrick(const TableState& t);

// A match is under way until the score page after its last deal.
bool MatchInProgress(const TableState& t);

// The "Leave this match?" question's buttons, in table pixels.
struct Box {
    std::int16_t x, y, width, height;
    constexpr bool Holds(std::int32_t px, std::int32_t py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};
inline constexpr Box kLeavePanel{220, 220, 360, 150};
inline constexpr Box kLeaveYes{260, 305, 120, 44};
inline constexpr Box kLeaveNo{420, 305, 120, 44};

// Frames a refused card shakes.
inline constexpr std::int16_t kRefusalShakeFrames = 18;

}  // namespace tenfold
