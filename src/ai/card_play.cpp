#include "ai/card_play.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "ai/computer_players.h"
#include "ai/seen_cards.h"
#include "core/cards.h"
#include "core/scoring.h"

namespace tenfold {

namespace {

constexpr int kFaceAce = 1;
constexpr int kFaceJack = 11;
constexpr int kFaceQueen = 12;
constexpr int kFaceKing = 13;
// From this many cards played, a seat under "no last two tricks" starts ducking.
constexpr int kLateDealCards = 32;

// Everything one scoring rule needs about the card and the table.
struct Context {
    const TableState& t;
    const HandList& hand;
    const SeenCards& seen;
    int tableCount;       // cards already on the table: 0 leading, 3 playing last
    bool kingHeld;        // HoldsHeartKingPenalty of the hand
    double tablePenalty;  // TablePenaltyCount, as the single-precision value it is weighed as
};

// Trump contracts: lead a sure winner of a safe suit, else the weakest card
// (a trump weighs 8 more); when following, win if it can, cheaply.
double TrumpScore(const Context& x, int card, const CardAssessment& a) {
    const double v = a.Strength;
    const double trump = 8.0 * a.IsTrump;
    if (x.tableCount == 0) {
        const bool highestOut = 12 - Strength(x.t, card) - x.seen.Higher(x.t, card) == 0;
        if (IsSafeLead(x.t, x.seen, x.t.CardSuit[card]) && highestOut) return v + trump;
        return -v - trump;
    }
    double score = -v - trump;
    if (a.WinsFollowing) {
        if (x.tableCount == 2) score += 2.0 * v;
        score += 100.0;
    }
    if (a.WinsNow) score += 100.0;
    return score;
}

// No last two tricks: take tricks early with strong cards, duck late.
double LastTwoScore(const Context& x, std::int16_t placeInSuit, const CardAssessment& a) {
    double score = placeInSuit;
    const bool winsHere = x.tableCount > 0 && a.WinsNow;
    if (x.t.CardsPlayed < kLateDealCards) {
        if (winsHere) score += 100.0;
    } else {
        score = -score;
        if (winsHere) score -= 100.0;
    }
    return score;
}

// Following under the penalty contracts: avoid winning a trick that holds
// penalty cards, and shed penalty cards on tricks the seat will not win.
double DuckScore(const Context& x, int card, const CardAssessment& a) {
    const double v = a.Strength;
    const double pen = 50.0 * a.Penalty;
    if (x.tableCount == 3) {
        return a.WinsNow ? v - 1000.0 * x.tablePenalty - pen : v + pen;
    }
    if (!a.WinsNow) return v + pen;
    double score = -v - 1000.0 * x.tablePenalty;
    if (CaptureRisk(x.t, card, x.seen)) score -= 200.0;
    return score - pen;
}

// No tricks and no hearts: lead low, then duck.
double NoTricksScore(const Context& x, int card, const CardAssessment& a) {
    if (x.tableCount == 0) return -a.Strength;
    return DuckScore(x, card, a);
}

// No kings and jacks, no queens, no king of hearts.
double PenaltyCardScore(const Context& x, int card, const CardAssessment& a) {
    if (x.tableCount > 0) return DuckScore(x, card, a);
    const TableState& t = x.t;
    const int suit = t.CardSuit[card];
    const bool heart = suit == kSuitHearts;
    if (t.Contract == 10 && x.kingHeld) {
        // Holding the king of hearts: lead strong cards, keep hearts back.
        return heart ? a.Strength - 15.0 : a.Strength;
    }
    double score = -a.Strength;
    if ((t.Contract == 8 || t.Contract == 9) && HoldsSuitPenaltyCard(t, suit, x.hand)) {
        return score - 10.0;
    }
    const int strength = Strength(t, card);
    if (t.Contract == 10 && heart) score += 10.0;
    if (t.Contract == 8 && strength < t.ValueOrder[kFaceKing]) score += 10.0;
    if (t.Contract == 9 && strength < t.ValueOrder[kFaceAce]) score += 10.0;
    return score;
}

bool HandHoldsFace(const TableState& t, const HandList& hand, int face, int suit = -1) {
    for (int i = 0; i < hand.Count; ++i) {
        const int c = hand.Codes[i];
        if (t.CardValue[c] == face && (suit < 0 || t.CardSuit[c] == suit)) return true;
    }
    return false;
}

bool HandHoldsSuit(const TableState& t, const HandList& hand, int suit) {
    for (int i = 0; i < hand.Count; ++i) {
        if (t.CardSuit[hand.Codes[i]] == suit) return true;
    }
    return false;
}

// Pushes every card that `keep` rejects down to the excluded score.
template <class Keep>
void Exclude(const HandList& hand, Array<CardAssessment, 16>& scores, Keep&& keep) {
    for (int i = 0; i < hand.Count; ++i) {
        if (!keep(static_cast<int>(hand.Codes[i]))) scores[i].Score = kExcludedScore;
    }
}

// The seat's own rules of play. At most one of them applies to a play, and
// each leaves at least one card.
void ApplyFilters(const TableState& t, const HandList& hand, int tableCount,
                  Array<CardAssessment, 16>& scores) {
    const int contract = t.Contract;
    const bool following = tableCount > 0;
    const bool canFollow = following && HasLedSuit(t, hand);
    const bool voidInLed = following && !canFollow;
    const auto suitOf = [&t](int c) { return static_cast<int>(t.CardSuit[c]); };
    const auto faceOf = [&t](int c) { return static_cast<int>(t.CardValue[c]); };

    // F1: follow suit when it can.
    if (canFollow) {
        const int led = t.CardSuit[t.TableCards[0].Code];
        Exclude(hand, scores, [&](int c) { return suitOf(c) == led; });
    }
    // F2: no heart lead under the heart contracts while hearts are closed.
    // The won piles of seats 0 and 2 are the ones looked at, whoever leads.
    if ((contract == 6 || contract == 10) && tableCount == 0 && HasNonHeart(t, hand) &&
        ((t.WonCount0 == 0 && t.WonCount2 == 0) || !t.HeartsBroken)) {
        Exclude(hand, scores, [&](int c) { return suitOf(c) != kSuitHearts; });
    }
    // F3..F6: unable to follow, get rid of the contract's penalty cards.
    if (contract == 10 && voidInLed && HandHoldsFace(t, hand, kFaceKing, kSuitHearts)) {
        Exclude(hand, scores,
                [&](int c) { return faceOf(c) == kFaceKing && suitOf(c) == kSuitHearts; });
    }
    if (contract == 9 && voidInLed && HandHoldsFace(t, hand, kFaceQueen)) {
        Exclude(hand, scores, [&](int c) { return faceOf(c) == kFaceQueen; });
    }
    if (contract == 8 && voidInLed &&
        (HandHoldsFace(t, hand, kFaceJack) || HandHoldsFace(t, hand, kFaceKing))) {
        Exclude(hand, scores,
                [&](int c) { return faceOf(c) == kFaceJack || faceOf(c) == kFaceKing; });
    }
    if (contract == 6 && voidInLed && HandHoldsSuit(t, hand, kSuitHearts)) {
        Exclude(hand, scores, [&](int c) { return suitOf(c) == kSuitHearts; });
    }
    // F7: unable to follow under a trump contract, trump.
    if (contract >= 1 && contract <= 4 && voidInLed && HasTrump(t, hand)) {
        Exclude(hand, scores, [&](int c) { return suitOf(c) == t.TrumpSuit; });
    }
}

}  // namespace

Array<CardAssessment, 16> AssessHand(const TableState& t, const HandList& hand) {
    if (hand.Count < 1 || hand.Count > 13) {
        throw std::out_of_range("hand of " + std::to_string(hand.Count) + " cards to choose from");
    }
    const SeenCards seen = SeenCards::Gather(t, hand);
    Array<CardAssessment, 16> scores{};
    Array<std::int16_t, 16> placeInSuit{};  // |h - l| + strength, summed in 16 bits
    for (int i = 0; i < hand.Count; ++i) {
        const int card = hand.Codes[i];
        CardAssessment& a = scores[i];
        a.WinsNow = WinsTrickNow(t, card);
        a.WinsFollowing = WinsTrickFollowing(t, card);
        a.IsTrump = IsTrumpCard(t, card);
        a.Penalty = PenaltyUnit(t, card);
        const int h = seen.Higher(t, card);
        const int l = seen.Lower(t, card);
        placeInSuit[i] = Narrow<std::int16_t>(std::abs(h - l) + Strength(t, card));
        a.Strength = static_cast<double>(h + l) / 10.0 + placeInSuit[i];
    }

    const Context x{t,
                    hand,
                    seen,
                    t.TableCount,
                    HoldsHeartKingPenalty(t, hand),
                    static_cast<double>(static_cast<float>(TablePenaltyCount(t)))};
    for (int i = 0; i < hand.Count; ++i) {
        const int card = hand.Codes[i];
        CardAssessment& a = scores[i];
        switch (t.Contract) {
            case 1:
            case 2:
            case 3:
            case 4: a.Score = TrumpScore(x, card, a); break;
            case 7: a.Score = LastTwoScore(x, placeInSuit[i], a); break;
            case 5:
            case 6: a.Score = NoTricksScore(x, card, a); break;
            case 8:
            case 9:
            case 10: a.Score = PenaltyCardScore(x, card, a); break;
            default:
                throw std::out_of_range("contract " + std::to_string(t.Contract) +
                                        " outside 1..10");
        }
    }
    ApplyFilters(t, hand, t.TableCount, scores);
    return scores;
}

std::int16_t PickCard(const Array<CardAssessment, 16>& scores, int count) {
    double best = -500000.0;
    for (int i = 0; i < count; ++i) {
        if (scores[i].Score > best) best = scores[i].Score;
    }
    for (int i = 0; i < count; ++i) {
        if (scores[i].Score == best) return static_cast<std::int16_t>(i);
    }
    throw std::logic_error("no card to play");
}

std::int16_t ChooseCard(TableState& t, const HandList& hand) {
    const std::int16_t code = hand.Codes[PickCard(AssessHand(t, hand), hand.Count)];
    if (t.TableCount > 0) {
        const int led = t.CardSuit[t.TableCards[0].Code];
        if (t.CardSuit[code] != led) t.SeatRecords[t.CurrentSeat].MayHoldSuit[led] = false;
    }
    return code;
}

std::int16_t PlayComputerCard(TableState& t, int seat) {
    return ChooseCard(t, HandListOf(t, seat));
}

std::int16_t ChooseCardFor(const TableState& t, int seat) {
    const HandList hand = HandListOf(t, seat);
    return hand.Codes[PickCard(AssessHand(t, hand), hand.Count)];
}

}  // namespace tenfold
