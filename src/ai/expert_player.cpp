#include "ai/expert_player.h"

#include <algorithm>
#include <bit>

#include "core/contract_choice.h"
#include "core/random.h"
#include "core/trick_play.h"

namespace tenfold {

namespace {

constexpr CardSet kWholeDeck = (CardSet{1} << kDeckSize) - 1;

// What the chooser takes home on average under each contract when the cards
// fall at random and every seat plays the quick judgement (measured over
// 200000 random deals, the chooser leading). A seat chooses two trump
// and three negative contracts a match whatever its hands, so a contract is
// worth what this hand gains over the average hand under it: a good trump
// hand is kept for a trump contract instead of being spent on a middling one.
constexpr std::array<double, kContractCount> kChooserMean = {
    165.5,  165.5,  165.7, 165.4,                  // clubs, diamonds, spades, hearts are trumps
    -168.4, -101.2, -91.1, -124.0, -102.6, -84.1,  // no tricks ... no king of hearts
};

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    // splitmix64's finaliser over the running value and the next input.
    std::uint64_t z = h ^ (v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// The decision's own generator: from the seed and what the seat sees only.
Pcg32 DecisionChance(std::uint64_t seed, const ExpertQuestion& q) {
    const SeatView& v = q.view;
    std::uint64_t h = Mix(seed, static_cast<std::uint64_t>(v.seat));
    h = Mix(h, static_cast<std::uint64_t>(q.dealsPlayed));
    h = Mix(h, static_cast<std::uint64_t>(v.deal.cardsPlayed));
    h = Mix(h, v.hand);
    h = Mix(h, static_cast<std::uint64_t>(Number(v.deal.contract)));
    h = Mix(h, ~v.unseen & ~v.hand & kWholeDeck);
    return Pcg32(h, 0x0e7);
}

std::uint32_t Below(Pcg32& rng, std::uint32_t n) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(rng.NextU32()) * n) >> 32);
}

// Deals the unseen cards into the other hands, each hand its size and no card
// into a suit its holder has shown out of. The most constrained cards go
// first; a dead end (rare) is answered by starting again.
bool TryLayout(const SeatView& v, Pcg32& rng, bool keepShowOuts, std::array<CardSet, kSeatCount>& hands) {
    std::array<Card, kDeckSize> cards{};
    int n = 0;
    for (CardSet rest = v.unseen; rest != 0; rest &= rest - 1)
        cards[static_cast<std::size_t>(n++)] = static_cast<Card>(std::countr_zero(rest));
    for (int i = n - 1; i > 0; --i)
        std::swap(cards[static_cast<std::size_t>(i)], cards[Below(rng, static_cast<std::uint32_t>(i + 1))]);
    const auto holders = [&](Card c) {
        int k = 0;
        for (int s = 0; s < kSeatCount; ++s) {
            if (s != v.seat && v.handSizes[static_cast<std::size_t>(s)] > 0 &&
                (!keepShowOuts ||
                 v.mayHold[static_cast<std::size_t>(s)][static_cast<std::size_t>(Index(SuitOf(c)))]))
                ++k;
        }
        return k;
    };
    std::stable_sort(cards.begin(), cards.begin() + n,
                     [&](Card a, Card b) { return holders(a) < holders(b); });
    std::array<int, kSeatCount> room = v.handSizes;
    room[static_cast<std::size_t>(v.seat)] = 0;
    hands = {};
    hands[static_cast<std::size_t>(v.seat)] = v.hand;
    for (int i = 0; i < n; ++i) {
        const Card c = cards[static_cast<std::size_t>(i)];
        const auto suit = static_cast<std::size_t>(Index(SuitOf(c)));
        std::array<int, kSeatCount> weight{};
        int total = 0;
        for (int s = 0; s < kSeatCount; ++s) {
            const auto si = static_cast<std::size_t>(s);
            if (room[si] > 0 && (!keepShowOuts || v.mayHold[si][suit])) weight[si] = room[si];
            total += weight[si];
        }
        if (total == 0) return false;
        auto pick = static_cast<int>(Below(rng, static_cast<std::uint32_t>(total)));
        int s = 0;
        while (pick >= weight[static_cast<std::size_t>(s)]) pick -= weight[static_cast<std::size_t>(s++)];
        hands[static_cast<std::size_t>(s)] |= CardBit(c);
        --room[static_cast<std::size_t>(s)];
    }
    return true;
}

void DealLayout(const SeatView& v, Pcg32& rng, std::array<CardSet, kSeatCount>& hands) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        if (TryLayout(v, rng, true, hands)) return;
    }
    // The show-outs cannot all be kept (the table disagrees with the memory):
    // a layout that ignores them is better than none.
    TryLayout(v, rng, false, hands);
}

}  // namespace

std::uint64_t ExpertSeed(std::uint64_t gameSeed) { return Mix(gameSeed, 0x6578706572740000ULL); }

SeatView ViewOf(const TableState& t, int seat, const CardMemory& memory) {
    SeatView v;
    v.seat = seat;
    const CardList hand = HandCards(t, seat);
    for (int i = 0; i < hand.count; ++i) v.hand |= CardBit(hand.cards[i]);
    CardSet taken = 0;
    for (const Seat& s : t.seats) {
        for (int i = 0; i < s.wonCount; ++i) taken |= CardBit(s.wonPile[i].card);
    }
    CardSet onTable = 0;
    for (int i = 0; i < t.trick.count; ++i) onTable |= CardBit(t.trick.cards[i].card);
    v.unseen = kWholeDeck & ~v.hand & ~taken & ~onTable;
    for (int s = 0; s < kSeatCount; ++s) {
        const auto si = static_cast<std::size_t>(s);
        v.handSizes[si] = s == seat ? hand.count : HandSize(t, s);
        for (const Suit suit : kSuits)
            v.mayHold[si][static_cast<std::size_t>(Index(suit))] = memory.MayHoldSuit(s, suit);
    }
    OpenDeal& d = v.deal;
    // Play goes round in seat order, so the trick was led this many seats back.
    d = OpenDeal::Fresh({}, t.contract, (seat + kSeatCount - t.trick.count % kSeatCount) % kSeatCount);
    d.hands[static_cast<std::size_t>(seat)] = v.hand;
    d.toPlay = static_cast<std::int8_t>(seat);
    d.heartsBroken = t.trick.heartsBroken;
    d.cardsPlayed = static_cast<std::int8_t>(t.trick.cardsPlayed);
    d.trickCount = static_cast<std::int8_t>(t.trick.count);
    for (int i = 0; i < t.trick.count; ++i) d.trick[static_cast<std::size_t>(i)] = t.trick.cards[i].card;
    d.penaltyLeft &= ~taken;
    return v;
}

ExpertQuestion ExpertPlayer::CardQuestion(const TableState& t, int seat) const {
    ExpertQuestion q;
    q.view = ViewOf(t, seat, memory_);
    q.dealsPlayed = t.match.dealsPlayed;
    return q;
}

ExpertQuestion ExpertPlayer::ContractQuestion(const TableState& t, int seat) const {
    ExpertQuestion q;
    q.contract = true;
    // Before the first card: nothing to remember yet, whatever the memory holds.
    q.view = ViewOf(t, seat, CardMemory{});
    // Every hand holds thirteen cards when the choice comes (asked ahead, while
    // the last cards are still being dealt, the question is the same).
    q.view.handSizes.fill(kHandSize);
    q.dealsPlayed = t.match.dealsPlayed;
    for (int k = 1; k <= kContractCount; ++k)
        q.open[static_cast<std::size_t>(k - 1)] = IsOpenTo(t, seat, ContractNumbered(k));
    return q;
}

Card ExpertPlayer::ChooseCard(const TableState& t, int seat) {
    const ExpertQuestion q = CardQuestion(t, seat);
    if (q.view.deal.Legal() == 0)
        return HandCards(t, seat).cards[0];  // not its turn: nothing sensible to say
    return static_cast<Card>(Answer(q));
}

Contract ExpertPlayer::ChooseContract(const TableState& t, int seat, RandomSource& /*chance*/) {
    return ContractNumbered(Answer(ContractQuestion(t, seat)));
}

int ExpertPlayer::Answer(const ExpertQuestion& q) const {
    return q.contract ? Number(BestContract(q)) : BestCard(q);
}

Card ExpertPlayer::BestCard(const ExpertQuestion& q) const {
    const SeatView& v = q.view;
    const int seat = v.seat;
    const CardSet legal = v.deal.Legal();
    std::array<Card, kHandSize> candidates{};
    int n = 0;
    for (CardSet rest = legal; rest != 0; rest &= rest - 1)
        candidates[static_cast<std::size_t>(n++)] = static_cast<Card>(std::countr_zero(rest));
    if (n <= 1) return candidates[0];

    Pcg32 rng = DecisionChance(seed_, q);
    const int layouts = std::max(effort_.minCardLayouts, effort_.cardPlayOuts / n);
    std::array<std::int64_t, kHandSize> sum{};
    std::array<CardSet, kSeatCount> hands{};
    for (int i = 0; i < layouts; ++i) {
        DealLayout(v, rng, hands);
        OpenDeal d = v.deal;
        d.hands = hands;
        for (int k = 0; k < n; ++k) {
            OpenDeal e = d;
            e.Play(candidates[static_cast<std::size_t>(k)]);
            PlayOut(e);
            sum[static_cast<std::size_t>(k)] += e.score[static_cast<std::size_t>(seat)];
        }
    }
    int best = 0;
    for (int k = 1; k < n; ++k) {
        if (sum[static_cast<std::size_t>(k)] > sum[static_cast<std::size_t>(best)]) best = k;
    }
    return candidates[static_cast<std::size_t>(best)];
}

Contract ExpertPlayer::BestContract(const ExpertQuestion& q) const {
    const SeatView& v = q.view;
    const int seat = v.seat;
    std::array<Contract, kContractCount> open{};
    int n = 0;
    for (int k = 1; k <= kContractCount; ++k) {
        if (q.open[static_cast<std::size_t>(k - 1)])
            open[static_cast<std::size_t>(n++)] = ContractNumbered(k);
    }
    if (n == 0) {
        // The quotas leave this seat nothing: a trump contract, as the human's menu offers.
        for (int k = 1; k <= 4; ++k) open[static_cast<std::size_t>(n++)] = ContractNumbered(k);
    }
    if (n == 1) return open[0];

    Pcg32 rng = DecisionChance(seed_, q);
    std::array<std::int64_t, kContractCount> sum{};
    std::array<CardSet, kSeatCount> hands{};
    for (int i = 0; i < effort_.contractLayouts; ++i) {
        DealLayout(v, rng, hands);
        for (int k = 0; k < n; ++k) {
            OpenDeal d = OpenDeal::Fresh(hands, open[static_cast<std::size_t>(k)], seat);
            PlayOut(d);
            sum[static_cast<std::size_t>(k)] += d.score[static_cast<std::size_t>(seat)];
        }
    }
    int best = 0;
    double bestValue = -1e300;
    for (int k = 0; k < n; ++k) {
        const Contract c = open[static_cast<std::size_t>(k)];
        const double value = static_cast<double>(sum[static_cast<std::size_t>(k)]) / effort_.contractLayouts -
                             kChooserMean[static_cast<std::size_t>(Index(c))];
        if (value > bestValue) {
            bestValue = value;
            best = k;
        }
    }
    return open[static_cast<std::size_t>(best)];
}

}  // namespace tenfold
