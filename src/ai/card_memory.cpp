#include "ai/card_memory.h"

#include <stdexcept>
#include <string>

#include "ai/seen_cards.h"
#include "core/cards.h"
#include "core/scoring.h"

namespace tenfold {

namespace {

constexpr int kFaceSeven = 7;
constexpr int kFaceJack = 11;
constexpr int kFaceQueen = 12;
constexpr int kFaceKing = 13;

// Read-only view of one seat's code list, found by comparing against the seat
// constants in order like every other "hand of seat s" lookup.
struct SeatCodes {
    const Array<std::int16_t, 16>& codes;
    std::int16_t size;
};

SeatCodes CodesOf(const TableState& t, int seat) {
    if (seat == t.SeatBottom) return {t.HandCodes0, t.HandSize0};
    if (seat == t.SeatRight) return {t.HandCodes1, t.HandSize1};
    if (seat == t.SeatTop) return {t.HandCodes2, t.HandSize2};
    if (seat == t.SeatLeft) return {t.HandCodes3, t.HandSize3};
    throw std::out_of_range("seat " + std::to_string(seat) + " outside 0..3");
}

std::int16_t SizeOf(const TableState& t, int seat) { return CodesOf(t, seat).size; }

// Whether any hand entry satisfies the predicate.
template <class P>
bool HandHolds(const HandList& hand, P&& pred) {
    for (int i = 0; i < hand.Count; ++i) {
        if (pred(static_cast<int>(hand.Codes[i]))) return true;
    }
    return false;
}

bool IsTrump(const TableState& t, int card) { return t.CardSuit[card] == t.TrumpSuit; }

int LedSuit(const TableState& t) { return t.CardSuit[t.TableCards[0].Code]; }

// Strength of the card of this face value, looked up like every other height.
int StrengthOfFace(const TableState& t, int face) { return t.ValueOrder[face]; }

}  // namespace

HandList HandListOf(const TableState& t, int seat) {
    const SeatCodes seatCodes = CodesOf(t, seat);
    HandList hand;
    hand.Count = seatCodes.size;
    for (int i = 0; i < seatCodes.size; ++i) hand.Codes[i] = seatCodes.codes[i];
    return hand;
}

SeenCards SeenCards::Gather(const TableState& t, const HandList& hand) {
    SeenCards seen;
    const Array<CardSprite, 53>* piles[4] = {&t.WonPile0, &t.WonPile1, &t.WonPile2, &t.WonPile3};
    const std::int16_t counts[4] = {t.WonCount0, t.WonCount1, t.WonCount2, t.WonCount3};
    for (int p = 0; p < 4; ++p) {
        for (int i = 0; i < counts[p]; ++i) seen.Add(t, (*piles[p])[i].Code);
    }
    for (int i = 0; i < t.TableCount; ++i) seen.Add(t, t.TableCards[i].Code);
    for (int i = 0; i < hand.Count; ++i) seen.Add(t, hand.Codes[i]);
    return seen;
}

void SeenCards::Add(const TableState& t, int card) {
    bits_[t.CardSuit[card]] =
        static_cast<std::uint16_t>(bits_[t.CardSuit[card]] | (1u << Strength(t, card)));
}

int SeenCards::Higher(const TableState& t, int card) const {
    return std::popcount(static_cast<unsigned>(bits_[t.CardSuit[card]]) >> (Strength(t, card) + 1));
}

int SeenCards::Lower(const TableState& t, int card) const {
    const unsigned below = (1u << Strength(t, card)) - 1u;
    return std::popcount(bits_[t.CardSuit[card]] & below);
}

bool SeenCards::Has(const TableState& t, int faceValue, int suit) const {
    return (bits_[suit] >> StrengthOfFace(t, faceValue)) & 1u;
}

std::int16_t SeenHigherCount(const TableState& t, int card, const HandList& hand) {
    return Narrow<std::int16_t>(SeenCards::Gather(t, hand).Higher(t, card));
}

std::int16_t SeenLowerCount(const TableState& t, int card, const HandList& hand) {
    return Narrow<std::int16_t>(SeenCards::Gather(t, hand).Lower(t, card));
}

std::int16_t SeenSuitCount(const TableState& t, const HandList& hand, int suit) {
    return Narrow<std::int16_t>(SeenCards::Gather(t, hand).InSuit(suit));
}

bool IsCardSeen(const TableState& t, int faceValue, int suit, const HandList& hand) {
    return SeenCards::Gather(t, hand).Has(t, faceValue, suit);
}

bool WinsTrickNow(const TableState& t, int card) {
    if (t.TableCount < 1) return false;
    const int strength = Strength(t, card);
    if (IsTrump(t, card)) {
        for (int i = 0; i < t.TableCount; ++i) {
            const int c = t.TableCards[i].Code;
            if (IsTrump(t, c) && Strength(t, c) > strength) return false;
        }
        return true;
    }
    const int led = t.TableCards[0].Code;
    if (t.CardSuit[card] != t.CardSuit[led] || strength <= Strength(t, led)) return false;
    for (int i = 1; i < t.TableCount; ++i) {
        const int c = t.TableCards[i].Code;
        if (IsTrump(t, c)) return false;
        if (t.CardSuit[c] == t.CardSuit[led] && Strength(t, c) > strength) return false;
    }
    return true;
}

bool WinsTrickFollowing(const TableState& t, int card) {
    if (t.TableCount < 1) return false;
    const int strength = Strength(t, card);
    const int led = t.TableCards[0].Code;
    if (IsTrump(t, card)) {
        if (!IsTrump(t, led)) return false;
        for (int i = 0; i < t.TableCount; ++i) {
            const int c = t.TableCards[i].Code;
            if (IsTrump(t, c) && Strength(t, c) > strength) return false;
        }
        return true;
    }
    if (t.CardSuit[card] != t.CardSuit[led] || strength <= Strength(t, led)) return false;
    for (int i = 1; i < t.TableCount; ++i) {
        const int c = t.TableCards[i].Code;
        // A stronger discard of another suit counts against the card too.
        if (IsTrump(t, c) || Strength(t, c) > strength) return false;
    }
    return true;
}

std::int16_t IsTrumpCard(const TableState& t, int card) { return IsTrump(t, card) ? 1 : 0; }

std::int16_t TablePenaltyCount(const TableState& t) {
    int units = 0;
    for (int i = 0; i < t.TableCount; ++i) units += PenaltyUnit(t, t.TableCards[i].Code);
    return Narrow<std::int16_t>(units);
}

bool IsSafeLead(const TableState& t, const HandList& hand, int suit) {
    return IsSafeLead(t, SeenCards::Gather(t, hand), suit);
}

bool IsSafeLead(const TableState& t, const SeenCards& seen, int suit) {
    if (suit == t.TrumpSuit) return true;
    const int next = SeatBefore(t, 3);
    const int last = SeatBefore(t, 1);
    if (!t.SeatRecords[next].MayHoldSuit[suit] || !t.SeatRecords[last].MayHoldSuit[suit]) {
        return false;
    }
    return 13 - seen.InSuit(suit) >= 9;
}

bool CaptureRisk(const TableState& t, int card, const HandList& hand) {
    return CaptureRisk(t, card, SeenCards::Gather(t, hand));
}

bool CaptureRisk(const TableState& t, int card, const SeenCards& seen) {
    const int led = LedSuit(t);
    const int strength = Strength(t, card);
    auto outAndBelow = [&](int face) {
        return !seen.Has(t, face, led) && strength > StrengthOfFace(t, face);
    };
    switch (t.Contract) {
        case 8: return outAndBelow(kFaceJack) || outAndBelow(kFaceKing);
        case 9: return outAndBelow(kFaceQueen);
        case 10: return led == kSuitHearts && outAndBelow(kFaceKing);
        default: return false;
    }
}

bool HasTrump(const TableState& t, const HandList& hand) {
    return HandHolds(hand, [&](int c) { return IsTrump(t, c); });
}

bool HasLedSuit(const TableState& t, const HandList& hand) {
    const int led = LedSuit(t);
    return HandHolds(hand, [&](int c) { return t.CardSuit[c] == led; });
}

bool HasNonHeart(const TableState& t, const HandList& hand) {
    return HandHolds(hand, [&](int c) { return t.CardSuit[c] != kSuitHearts; });
}

bool HoldsHeartKingPenalty(const TableState& t, const HandList& hand) {
    if (t.Contract != 10) return false;
    return HandHolds(
        hand, [&](int c) { return t.CardSuit[c] == kSuitHearts && t.CardValue[c] == kFaceKing; });
}

bool HoldsSuitPenaltyCard(const TableState& t, int suit, const HandList& hand) {
    int face = 0;
    if (t.Contract == 9) {
        face = kFaceQueen;
    } else if (t.Contract == 8) {
        face = kFaceJack;
    } else {
        return false;
    }
    return HandHolds(hand, [&](int c) { return t.CardSuit[c] == suit && t.CardValue[c] == face; });
}

void NoteHumanPlay(TableState& t, int slot) {
    if (t.TableCount <= 0) return;
    const int led = LedSuit(t);
    if (t.CardSuit[t.Hand0[slot].Code] != led) {
        t.SeatRecords[t.CurrentSeat].MayHoldSuit[led] = false;
    }
}

std::int16_t SevenOfHeartsHolder(const TableState& t) {
    for (int seat = 0; seat < 4; ++seat) {
        const Array<CardSprite, 16>& cards = HandOf(t, seat);
        const int size = SizeOf(t, seat);
        for (int i = 0; i < size && i < 13; ++i) {
            const int c = cards[i].Code;
            if (t.CardSuit[c] == kSuitHearts && t.CardValue[c] == kFaceSeven) {
                return static_cast<std::int16_t>(seat);
            }
        }
    }
    return 0;
}

void SetFirstChooser(TableState& t) {
    if (t.DealsPlayed != 0) return;
    const std::int16_t holder = SevenOfHeartsHolder(t);
    t.FirstSeat = holder;
    t.DealFirstSeat = holder;
    t.CurrentSeat = static_cast<std::int16_t>(holder == 0 ? 3 : holder - 1);
}

void ResetCardMemory(TableState& t) {
    for (int seat = 0; seat < 4; ++seat) t.SeatRecords[seat].MayHoldSuit.fill(true);
}

}  // namespace tenfold
