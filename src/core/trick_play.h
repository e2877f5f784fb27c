#pragma once
// The thirteen tricks of a deal: whose turn it is, which cards a seat may
// play, the human's card click, the throw, the landing of a card, who wins
// the trick, and the hand-over of a finished trick to its winner.

#include <cstdint>
#include <optional>

#include "core/computer_player.h"
#include "core/services.h"
#include "core/table_state.h"

namespace tenfold {

// The led suit while a trick is on the table.
std::optional<Suit> LedSuit(const TableState& t);
// The card winning the trick as it lies; ask it only while cards lie there.
Card WinningCard(const TableState& t);

// The rules of play for the seat holding `hand` at this moment of the trick:
// follow suit; unable to, shed the contract's penalty cards (the king of
// hearts, a queen, a king or jack, a heart under the contracts that count
// them) or trump under a trump contract; and no heart lead under no hearts
// and no king of hearts until a heart has been played, unless the hand holds
// nothing else. No rule asks a player to beat the cards on the table.
class PlayRules {
public:
    PlayRules(const TableState& t, const CardList& hand);
    bool Allows(Card c) const;

    bool Following() const { return led_.has_value(); }
    bool HoldsLedSuit() const { return holdsLed_; }
    bool HoldsTrump() const { return holdsTrump_; }
    bool HoldsNonHeart() const { return holdsNonHeart_; }

private:
    Contract contract_;
    std::optional<Suit> trump_;
    std::optional<Suit> led_;
    bool heartsBroken_;
    bool holdsLed_ = false;
    bool holdsTrump_ = false;
    bool holdsHeart_ = false;
    bool holdsNonHeart_ = false;
    bool holdsKingOfHearts_ = false;
    bool holdsQueen_ = false;
    bool holdsKingOrJack_ = false;
};

// Whether the human may play card c from his hand now.
bool IsLegalForHuman(const TableState& t, Card c);

// The Playing step: moves the card in flight, or gives the turn to the next
// seat (a computer seat plays at once; the human is waited for).
void PlayStep(TableState& t, Services& s, ComputerPlayer& players);
// The human's click at (x, y): the topmost legal card whose visible or hidden
// part holds the point, searching down through overlapping cards; the players
// hear the play. Result the hand slot, or -1.
std::int16_t CardHitTest(TableState& t, ComputerPlayer& players, std::int32_t x, std::int32_t y);
// Throws a card of the current seat's hand to that seat's throw spot.
void ThrowCard(TableState& t, Services& s, CardSprite& card);
// Arrival of a played card: onto the table, out of the hand, trick decided,
// deal end tested, then the pause after every card.
void CardLanded(TableState& t, Services& s, CardSprite& card);
// Settles a complete trick: its winner leads next, its cards are to be
// gathered, and the 11th and 12th tricks' winners are remembered.
void DecideTrickWinner(TableState& t);
// Arrival of a carried trick: into the winner's won pile; the winner leads next.
void TrickHandOver(TableState& t, Services& s);

}  // namespace tenfold
