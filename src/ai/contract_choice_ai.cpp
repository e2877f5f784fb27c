#include "ai/contract_choice_ai.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "ai/computer_players.h"
#include "core/cards.h"

namespace tenfold {

namespace {

constexpr int kFaceJack = 11;
constexpr int kFaceQueen = 12;
constexpr int kFaceKing = 13;

// Counts the hand's cards that satisfy the predicate.
template <class P>
int CountCards(const HandList& hand, P&& pred) {
    int n = 0;
    for (int i = 0; i < hand.Count; ++i) {
        if (pred(static_cast<int>(hand.Codes[i]))) ++n;
    }
    return n;
}

const SeatRecord& RecordOf(const TableState& t, int seat) {
    if (seat < 0 || seat > 3)
        throw std::out_of_range("seat " + std::to_string(seat) + " outside 0..3");
    return t.SeatRecords[seat];
}

// Strongest suit above the threshold, hearts first; on equal scores the suit
// compared first keeps the choice. Ignores the trump marks: a seat over its
// trump quota can still be given a trump contract here.
std::int16_t TrumpComparison(float threshold, float h, float c, float d, float s) {
    std::int16_t r = 10;
    float best = threshold;
    if (h > best) {
        best = h;
        r = 4;
    }
    if (c > best) {
        best = c;
        r = 1;
    }
    if (d > best) {
        best = d;
        r = 2;
    }
    if (s > best) {
        r = 3;
    }
    return r;
}

}  // namespace

std::int16_t FindCard(const TableState& t, int faceValue, int suit, const HandList& hand) {
    for (int i = 0; i < hand.Count; ++i) {
        const int c = hand.Codes[i];
        if (t.CardValue[c] == faceValue && t.CardSuit[c] == suit)
            return static_cast<std::int16_t>(i);
    }
    return -1;
}

float SuitHonourScore(const TableState& t, const HandList& hand, int suit) {
    std::int16_t acc = 0;
    float w = 100.0f;
    for (int face = 12; face >= 0; --face) {
        if (FindCard(t, face, suit, hand) >= 0) {
            // The sum is rounded, not the weight: ten and eight make 25 + 12.5 -> 38.
            acc = Narrow<std::int16_t>(
                static_cast<long>(std::nearbyint(static_cast<float>(acc) + w)));
        } else {
            w /= 2.0f;
        }
    }
    return static_cast<float>(acc);
}

float HonourScore(const TableState& t, const HandList& hand) {
    float sum = 0.0f;
    for (int suit = 0; suit < 4; ++suit) sum += SuitHonourScore(t, hand, suit);
    return sum;
}

float HeartKingAceScore(const TableState& t, const HandList& hand) {
    const int king = t.ValueOrder[kFaceKing];
    return 160.0f * static_cast<float>(CountCards(hand, [&](int c) {
               return t.CardSuit[c] == kSuitHearts && Strength(t, c) >= king;
           }));
}

float QueenScore(const TableState& t, const HandList& hand) {
    const int queen = t.ValueOrder[kFaceQueen];
    const int queens = CountCards(hand, [&](int c) { return t.CardValue[c] == kFaceQueen; });
    const int above = CountCards(hand, [&](int c) { return Strength(t, c) > queen; });
    return 35.0f * static_cast<float>(queens) + 15.0f * static_cast<float>(above);
}

float HighCardScore(const TableState& t, const HandList& hand) {
    const int jack = t.ValueOrder[kFaceJack];
    return 30.0f *
           static_cast<float>(CountCards(hand, [&](int c) { return Strength(t, c) >= jack; }));
}

Array<bool, 12> ContractMarks(const TableState& t, int seat) {
    const SeatRecord& record = RecordOf(t, seat);
    Array<bool, 12> allowed{};
    for (int k = 1; k <= 4; ++k) allowed[k] = true;
    for (int k = 5; k <= 10; ++k) allowed[k] = t.ContractUseCount[k] < 2;
    // The closing ranges are one entry below the contracts they mean to close;
    // kept as the computer seats have always played them.
    if (record.NegativeContractsChosen >= 3) {
        for (int k = 4; k <= 9; ++k) allowed[k] = false;
    }
    if (record.TrumpContractsChosen >= 2) {
        for (int k = 0; k <= 3; ++k) allowed[k] = false;
    }
    return allowed;
}

std::int16_t ChooseContractFor(const TableState& t, const std::function<float()>& rnd, int seat) {
    const HandList hand = HandListOf(t, seat);
    const Array<bool, 12> allowed = ContractMarks(t, seat);

    const float kh = HeartKingAceScore(t, hand);
    const float q = QueenScore(t, hand);
    const float h = SuitHonourScore(t, hand, kSuitHearts);
    const float sum = HonourScore(t, hand);
    const float kj = HighCardScore(t, hand);
    const float c = SuitHonourScore(t, hand, kSuitClubs);
    const float d = SuitHonourScore(t, hand, kSuitDiamonds);
    const float s = SuitHonourScore(t, hand, kSuitSpades);

    std::int16_t r = -1;
    if (allowed[6] && h == 0.0f) {
        r = 6;
    } else if (allowed[5] && sum < 136.0f) {
        r = 5;
    } else if (allowed[8] && kj < 74.0f) {
        r = 8;
    } else if (allowed[9] && q < 32.0f) {
        r = 9;
    } else if (allowed[10] && kh == 0.0f) {
        r = TrumpComparison(135.0f, h, c, d, s);
    }

    if (r == -1) {
        if (allowed[6] && h < 15.0f) r = 6;
    } else {
        // A first choice is looked at again with looser limits; the first rule
        // that holds replaces it, otherwise it stands.
        if (allowed[5] && sum < 177.0f) {
            r = 5;
        } else if (allowed[8] && kj < 88.0f) {
            r = 8;
        } else if (allowed[9] && q < 42.0f) {
            r = 9;
        } else if (allowed[10] && kh == 0.0f) {
            r = TrumpComparison(110.0f, h, c, d, s);
        }
    }

    if (r == -1) {
        // No rule decided: draw among the open contracts 1..9. Some entry is
        // always open while the seat keeps its quotas; refuse to spin for ever
        // on a table where none is.
        bool any = false;
        for (int k = 1; k <= 9; ++k) any = any || allowed[k];
        if (!any) throw std::logic_error("no contract open to seat " + std::to_string(seat));
        do {
            const int draw = static_cast<int>(rnd() * 9.0f);
            r = static_cast<std::int16_t>((draw < 9 ? draw : 8) + 1);
        } while (!allowed[r]);
    }
    return r;
}

void BookContract(TableState& t, int seat, int contract) {
    if (contract < 1 || contract > 10) {
        throw std::out_of_range("contract " + std::to_string(contract) + " outside 1..10");
    }
    SeatRecord& record = t.SeatRecords[seat];
    record.ContractChosen[contract] = true;
    if (contract < 5) {
        record.TrumpContractsChosen = Narrow<std::int16_t>(record.TrumpContractsChosen + 1);
    } else {
        record.NegativeContractsChosen = Narrow<std::int16_t>(record.NegativeContractsChosen + 1);
    }
    t.ContractUseCount[contract] = Narrow<std::int16_t>(t.ContractUseCount[contract] + 1);
}

std::int16_t ChooseContract(TableState& t, Services& s, int seat) {
    const std::int16_t r = ChooseContractFor(
        t, [&s] { return s.Rnd(); }, seat);
    BookContract(t, seat, r);
    return r;
}

}  // namespace tenfold
