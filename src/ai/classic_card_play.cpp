#include "ai/classic_card_play.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "core/scoring.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {

// From this many cards played, a seat under "no last two tricks" starts ducking.
constexpr int kLateDealCards = 32;

// Everything one scoring rule needs about the card and the table.
struct Context {
    const TableState& t;
    const CardMemory& memory;
    const CardList& hand;
    const SeenCards& seen;
    int tableCount;       // cards already on the table: 0 leading, 3 playing last
    bool kingHeld;        // HoldsHeartKingPenalty of the hand
    double tablePenalty;  // TablePenaltyCount, as the single-precision value it is weighed as
};

// Trump contracts: lead a sure winner of a safe suit, else the weakest card
// (a trump weighs 8 more); when following, win if it can, cheaply.
double TrumpScore(const Context& x, Card card, const CardAssessment& a) {
    const double v = a.strength;
    const double trump = 8.0 * a.isTrump;
    if (x.tableCount == 0) {
        const bool highestOut = 12 - StrengthOf(card) - x.seen.Higher(card) == 0;
        if (IsSafeLead(x.t, x.memory, x.seen, SuitOf(card)) && highestOut) return v + trump;
        return -v - trump;
    }
    double score = -v - trump;
    if (a.winsFollowing) {
        if (x.tableCount == 2) score += 2.0 * v;
        score += 100.0;
    }
    if (a.winsNow) score += 100.0;
    return score;
}

// No last two tricks: take tricks early with strong cards, duck late.
double LastTwoScore(const Context& x, std::int16_t placeInSuit, const CardAssessment& a) {
    double score = placeInSuit;
    const bool winsHere = x.tableCount > 0 && a.winsNow;
    if (x.t.trick.cardsPlayed < kLateDealCards) {
        if (winsHere) score += 100.0;
    } else {
        score = -score;
        if (winsHere) score -= 100.0;
    }
    return score;
}

// Following under the penalty contracts: avoid winning a trick that holds
// penalty cards, and shed penalty cards on tricks the seat will not win.
double DuckScore(const Context& x, Card card, const CardAssessment& a) {
    const double v = a.strength;
    const double pen = 50.0 * a.penalty;
    if (x.tableCount == 3) {
        return a.winsNow ? v - 1000.0 * x.tablePenalty - pen : v + pen;
    }
    if (!a.winsNow) return v + pen;
    double score = -v - 1000.0 * x.tablePenalty;
    if (CaptureRisk(x.t, card, x.seen)) score -= 200.0;
    return score - pen;
}

// No tricks and no hearts: lead low, then duck.
double NoTricksScore(const Context& x, Card card, const CardAssessment& a) {
    if (x.tableCount == 0) return -a.strength;
    return DuckScore(x, card, a);
}

// No kings and jacks, no queens, no king of hearts.
double PenaltyCardScore(const Context& x, Card card, const CardAssessment& a) {
    if (x.tableCount > 0) return DuckScore(x, card, a);
    const Contract contract = x.t.contract;
    const Suit suit = SuitOf(card);
    const bool heart = suit == Suit::Hearts;
    if (contract == Contract::NoKingOfHearts && x.kingHeld) {
        // Holding the king of hearts: lead strong cards, keep hearts back.
        return heart ? a.strength - 15.0 : a.strength;
    }
    double score = -a.strength;
    if ((contract == Contract::NoKingsAndJacks || contract == Contract::NoQueens) &&
        HoldsSuitPenaltyCard(x.t, suit, x.hand)) {
        return score - 10.0;
    }
    const int strength = StrengthOf(card);
    if (contract == Contract::NoKingOfHearts && heart) score += 10.0;
    if (contract == Contract::NoKingsAndJacks && strength < StrengthOf(Rank::King)) score += 10.0;
    if (contract == Contract::NoQueens && strength < StrengthOf(Rank::Ace)) score += 10.0;
    return score;
}

double Score(const Context& x, Card card, std::int16_t placeInSuit, const CardAssessment& a) {
    switch (x.t.contract) {
        case Contract::Clubs:
        case Contract::Diamonds:
        case Contract::Spades:
        case Contract::Hearts: return TrumpScore(x, card, a);
        case Contract::NoLastTwoTricks: return LastTwoScore(x, placeInSuit, a);
        case Contract::NoTricks:
        case Contract::NoHearts: return NoTricksScore(x, card, a);
        case Contract::NoKingsAndJacks:
        case Contract::NoQueens:
        case Contract::NoKingOfHearts: return PenaltyCardScore(x, card, a);
        case Contract::None: break;
    }
    throw std::out_of_range("contract " + std::to_string(Number(x.t.contract)) + " outside 1..10");
}

}  // namespace

bool ClassicHeartLeadHabit(const TableState& t, const PlayRules& rules, Card c) {
    const bool heartContract = t.contract == Contract::NoHearts || t.contract == Contract::NoKingOfHearts;
    return heartContract && !rules.Following() && SuitOf(c) == Suit::Hearts && rules.HoldsNonHeart() &&
           t.seats[0].wonCount == 0 && t.seats[2].wonCount == 0;
}

Array<CardAssessment, kHandSize> AssessHand(const TableState& t, const CardMemory& memory,
                                            const CardList& hand) {
    if (hand.count < 1 || hand.count > kHandSize) {
        throw std::out_of_range("hand of " + std::to_string(hand.count) + " cards to choose from");
    }
    const SeenCards seen = SeenCards::Gather(t, hand);
    Array<CardAssessment, kHandSize> scores{};
    Array<std::int16_t, kHandSize> placeInSuit{};  // |h - l| + strength, summed in 16 bits
    const bool following = t.trick.count > 0;
    const Card winning = following ? WinningCard(t) : Card{0};
    for (int i = 0; i < hand.count; ++i) {
        const Card card = hand.cards[i];
        CardAssessment& a = scores[i];
        a.winsNow = following && Beats(card, winning, t.trump);  // WinsTrickNow, the winner found once
        a.winsFollowing = WinsTrickFollowing(t, card);
        a.isTrump = IsTrumpCard(t, card);
        a.penalty = PenaltyUnit(t.contract, card);
        const int h = seen.Higher(card);
        const int l = seen.Lower(card);
        placeInSuit[i] = Narrow<std::int16_t>(std::abs(h - l) + StrengthOf(card));
        a.strength = static_cast<double>(h + l) / 10.0 + placeInSuit[i];
    }

    const Context x{t,
                    memory,
                    hand,
                    seen,
                    t.trick.count,
                    HoldsHeartKingPenalty(t, hand),
                    static_cast<double>(static_cast<float>(TablePenaltyCount(t)))};
    const PlayRules rules(t, hand);
    for (int i = 0; i < hand.count; ++i) {
        const Card card = hand.cards[i];
        CardAssessment& a = scores[i];
        a.score = Score(x, card, placeInSuit[i], a);
        if (!rules.Allows(card) || ClassicHeartLeadHabit(t, rules, card)) a.score = kExcludedScore;
    }
    return scores;
}

int PickCard(const Array<CardAssessment, kHandSize>& scores, int count) {
    double best = -500000.0;
    for (int i = 0; i < count; ++i) {
        if (scores[i].score > best) best = scores[i].score;
    }
    for (int i = 0; i < count; ++i) {
        if (scores[i].score == best) return i;
    }
    throw std::logic_error("no card to play");
}

Card ChooseClassicCard(const TableState& t, const CardMemory& memory, const CardList& hand) {
    return hand.cards[PickCard(AssessHand(t, memory, hand), hand.count)];
}

}  // namespace tenfold
