#include "ai/classic_contract.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "core/contract_choice.h"

namespace tenfold {

namespace {

template <class P>
int CountCards(const CardList& hand, P&& pred) {
    int n = 0;
    for (int i = 0; i < hand.count; ++i) n += pred(hand.cards[i]) ? 1 : 0;
    return n;
}

// Strongest suit above the threshold, hearts first; on equal scores the suit
// compared first keeps the choice. Ignores the quotas: a seat over its trump
// quota can still be given a trump contract here.
Contract TrumpComparison(float threshold, float h, float c, float d, float s) {
    Contract r = Contract::NoKingOfHearts;
    float best = threshold;
    if (h > best) {
        best = h;
        r = Contract::Hearts;
    }
    if (c > best) {
        best = c;
        r = Contract::Clubs;
    }
    if (d > best) {
        best = d;
        r = Contract::Diamonds;
    }
    if (s > best) r = Contract::Spades;
    return r;
}

}  // namespace

int FindCard(const CardList& hand, int faceValue, Suit suit) {
    if (faceValue < 1 || faceValue > 13) return -1;
    const Card wanted = CardCode(static_cast<Rank>(faceValue), suit);
    for (int i = 0; i < hand.count; ++i) {
        if (hand.cards[i] == wanted) return i;
    }
    return -1;
}

float SuitHonourScore(const CardList& hand, Suit suit) {
    std::int16_t acc = 0;
    float w = 100.0f;
    for (int face = 12; face >= 0; --face) {
        if (FindCard(hand, face, suit) >= 0) {
            // The sum is rounded, not the weight: ten and eight make 25 + 12.5 -> 38.
            acc = Narrow<std::int16_t>(static_cast<long>(std::nearbyint(static_cast<float>(acc) + w)));
        } else {
            w /= 2.0f;
        }
    }
    return static_cast<float>(acc);
}

float HonourScore(const CardList& hand) {
    float sum = 0.0f;
    for (Suit suit : kSuits) sum += SuitHonourScore(hand, suit);
    return sum;
}

float HeartKingAceScore(const CardList& hand) {
    const int king = StrengthOf(Rank::King);
    return 160.0f * static_cast<float>(CountCards(
                        hand, [&](Card c) { return SuitOf(c) == Suit::Hearts && StrengthOf(c) >= king; }));
}

float QueenScore(const CardList& hand) {
    const int queen = StrengthOf(Rank::Queen);
    const int queens = CountCards(hand, [](Card c) { return RankOf(c) == Rank::Queen; });
    const int above = CountCards(hand, [&](Card c) { return StrengthOf(c) > queen; });
    return 35.0f * static_cast<float>(queens) + 15.0f * static_cast<float>(above);
}

float HighCardScore(const CardList& hand) {
    const int jack = StrengthOf(Rank::Jack);
    return 30.0f * static_cast<float>(CountCards(hand, [&](Card c) { return StrengthOf(c) >= jack; }));
}

bool ClassicMayChoose(const TableState& t, int seat, Contract c) {
    if (c == Contract::Hearts) return HasNegativeChoicesLeft(t.seats[seat]);
    if (c == Contract::NoKingOfHearts) return UnderUseLimit(t, c);
    return IsOpenTo(t, seat, c);
}

Contract ChooseClassicContract(const TableState& t, int seat, RandomSource& chance) {
    const CardList hand = HandCards(t, seat);
    auto may = [&](Contract c) { return ClassicMayChoose(t, seat, c); };

    const float kh = HeartKingAceScore(hand);
    const float q = QueenScore(hand);
    const float h = SuitHonourScore(hand, Suit::Hearts);
    const float sum = HonourScore(hand);
    const float kj = HighCardScore(hand);
    const float c = SuitHonourScore(hand, Suit::Clubs);
    const float d = SuitHonourScore(hand, Suit::Diamonds);
    const float s = SuitHonourScore(hand, Suit::Spades);

    std::optional<Contract> r;
    if (may(Contract::NoHearts) && h == 0.0f) {
        r = Contract::NoHearts;
    } else if (may(Contract::NoTricks) && sum < 136.0f) {
        r = Contract::NoTricks;
    } else if (may(Contract::NoKingsAndJacks) && kj < 74.0f) {
        r = Contract::NoKingsAndJacks;
    } else if (may(Contract::NoQueens) && q < 32.0f) {
        r = Contract::NoQueens;
    } else if (may(Contract::NoKingOfHearts) && kh == 0.0f) {
        r = TrumpComparison(135.0f, h, c, d, s);
    }

    if (!r) {
        if (may(Contract::NoHearts) && h < 15.0f) r = Contract::NoHearts;
    } else {
        // A first choice is looked at again with looser limits; the first rule
        // that holds replaces it, otherwise it stands.
        if (may(Contract::NoTricks) && sum < 177.0f) {
            r = Contract::NoTricks;
        } else if (may(Contract::NoKingsAndJacks) && kj < 88.0f) {
            r = Contract::NoKingsAndJacks;
        } else if (may(Contract::NoQueens) && q < 42.0f) {
            r = Contract::NoQueens;
        } else if (may(Contract::NoKingOfHearts) && kh == 0.0f) {
            r = TrumpComparison(110.0f, h, c, d, s);
        }
    }
    if (r) return *r;

    // No rule decided: draw among the open contracts 1..9. Some contract is
    // always open while the seat keeps its quotas; refuse to spin for ever on
    // a table where none is.
    bool any = false;
    for (int k = 1; k <= 9; ++k) any = any || may(ContractNumbered(k));
    if (!any) throw std::logic_error("no contract open to seat " + std::to_string(seat));
    Contract drawn = Contract::None;
    do {
        const int draw = static_cast<int>(chance.Rnd() * 9.0f);
        drawn = ContractNumbered((draw < 9 ? draw : 8) + 1);
    } while (!may(drawn));
    return drawn;
}

}  // namespace tenfold
