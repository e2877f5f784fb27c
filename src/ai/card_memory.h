#pragma once
// What a classic computer seat knows about the cards, and the small questions
// its choices ask. A seat knows the won piles, the cards on the table, its
// own hand and which suits each seat has shown out of; it never looks into
// another seat's hand. Only the show-outs are remembered; everything else is
// read from the table when asked.
//
// A card is "seen" when it lies in a won pile, on the table or in the hand
// asked about. "Higher" and "lower" compare strengths (two 0 .. ace 12).

#include <array>
#include <cstdint>

#include "core/cards.h"
#include "core/checked.h"
#include "core/table_state.h"

namespace tenfold {

// Which suits each seat may still hold: all of them at the start of a deal,
// one fewer each time the seat plays another suit on a led suit.
class CardMemory {
public:
    CardMemory() { Reset(); }
    void Reset();
    // `seat` plays `card` on the trick as it lies (before the card lands).
    void HearPlay(const TableState& t, int seat, Card card);
    bool MayHoldSuit(int seat, Suit suit) const {
        return mayHold_[seat][static_cast<std::size_t>(Index(suit))];
    }
    void ShowOut(int seat, Suit suit) { mayHold_[seat][static_cast<std::size_t>(Index(suit))] = false; }

private:
    Array<std::array<bool, kSuitCount>, kSeatCount> mayHold_{};
};

// The seen cards, gathered in one pass so a card choice that asks dozens of
// "how many higher, how many lower" questions reads the table once. One bit
// per strength for each suit.
class SeenCards {
public:
    static SeenCards Gather(const TableState& t, const CardList& hand);

    // Seen cards of the card's suit stronger / weaker than it (the card
    // itself never counts); seen cards of a suit; whether a card was seen.
    // Inline: a card choice asks these for every card in the hand.
    int Higher(Card c) const {
        return BitCount(static_cast<unsigned>(Bits(SuitOf(c))) >> (StrengthOf(c) + 1));
    }
    int Lower(Card c) const { return BitCount(Bits(SuitOf(c)) & ((1u << StrengthOf(c)) - 1u)); }
    int InSuit(Suit suit) const { return BitCount(bits_[static_cast<std::size_t>(Index(suit))]); }
    bool Has(Rank rank, Suit suit) const;

private:
    // The bits set among the 13 strengths, without a call into the compiler's
    // run-time library where the processor is not known to count bits itself.
    static constexpr int BitCount(unsigned bits) {
        bits = bits - ((bits >> 1) & 0x5555u);
        bits = (bits & 0x3333u) + ((bits >> 2) & 0x3333u);
        bits = (bits + (bits >> 4)) & 0x0F0Fu;
        return static_cast<int>((bits + (bits >> 8)) & 0x1Fu);
    }
    void Add(Card c) {
        auto& bits = bits_[static_cast<std::size_t>(Index(SuitOf(c)))];
        bits = static_cast<std::uint16_t>(bits | (1u << StrengthOf(c)));
    }
    unsigned Bits(Suit suit) const { return bits_[static_cast<std::size_t>(Index(suit))]; }
    std::array<std::uint16_t, kSuitCount> bits_{};
};

// Whether the card, played now, would take the trick as it lies (a trump on a
// plain lead counts). False on an empty table.
bool WinsTrickNow(const TableState& t, Card c);
// The classic players' stricter reading: only a card of the led suit that is
// stronger than every card on the table, whatever their suits, or a trump on
// a trump lead, counts.
bool WinsTrickFollowing(const TableState& t, Card c);
// 1 when the card is a trump, else 0: a count the card play multiplies.
int IsTrumpCard(const TableState& t, Card c);
// Penalty units of the contract in force lying on the table now.
int TablePenaltyCount(const TableState& t);

// Whether leading the suit is judged safe: always for trumps; otherwise both
// the next seat and the last seat of the trick may still hold it and at most
// four of its cards are seen. Neighbours are counted from the current seat.
bool IsSafeLead(const TableState& t, const CardMemory& memory, const SeenCards& seen, Suit suit);
// Whether the card outranks a penalty card of the led suit that is still out
// (jack or king under no kings and jacks, queen under no queens, king of
// hearts under no king of hearts). Ask it only while following.
bool CaptureRisk(const TableState& t, Card c, const SeenCards& seen);

// No king of hearts is played and the hand holds the king of hearts.
bool HoldsHeartKingPenalty(const TableState& t, const CardList& hand);
// No queens and the hand holds the suit's queen, or no kings and jacks and it
// holds the suit's jack (its king is not looked for).
bool HoldsSuitPenaltyCard(const TableState& t, Suit suit, const CardList& hand);

}  // namespace tenfold
