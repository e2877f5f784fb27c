#include "ai/open_deal.h"

#include <bit>

namespace tenfold {

namespace {

constexpr std::array<CardSet, kSuitCount> MakeSuitSets() {
    std::array<CardSet, kSuitCount> sets{};
    for (int c = 0; c < kDeckSize; ++c)
        sets[static_cast<std::size_t>(Index(SuitOf(static_cast<Card>(c))))] |= CardSet{1} << c;
    return sets;
}
constexpr std::array<CardSet, kSuitCount> kSuitSets = MakeSuitSets();

constexpr CardSet RankSet(Rank r) {
    CardSet set = 0;
    for (const Suit s : kSuits) set |= CardBit(CardCode(r, s));
    return set;
}
constexpr CardSet kQueens = RankSet(Rank::Queen);
constexpr CardSet kKingsAndJacks = RankSet(Rank::King) | RankSet(Rank::Jack);
constexpr CardSet kKingOfHearts = CardBit(CardCode(Rank::King, Suit::Hearts));

CardSet PenaltyCards(Contract c) {
    switch (c) {
        case Contract::NoHearts: return kSuitSets[Index(Suit::Hearts)];
        case Contract::NoKingsAndJacks: return kKingsAndJacks;
        case Contract::NoQueens: return kQueens;
        case Contract::NoKingOfHearts: return kKingOfHearts;
        default: return 0;
    }
}

std::optional<Suit> TrumpSuit(std::int8_t trump) {
    if (trump < 0) return std::nullopt;
    return static_cast<Suit>(trump);
}

Card First(CardSet set) { return static_cast<Card>(std::countr_zero(set)); }

// The strongest / weakest card of a set (ties between suits go to the lower code).
Card Strongest(CardSet set) {
    Card best = First(set);
    for (CardSet rest = set & (set - 1); rest != 0; rest &= rest - 1) {
        const Card c = First(rest);
        if (StrengthOf(c) > StrengthOf(best)) best = c;
    }
    return best;
}
Card Weakest(CardSet set) {
    Card best = First(set);
    for (CardSet rest = set & (set - 1); rest != 0; rest &= rest - 1) {
        const Card c = First(rest);
        if (StrengthOf(c) < StrengthOf(best)) best = c;
    }
    return best;
}

// Cards of the set stronger than c in c's suit.
CardSet StrongerInSuit(CardSet set, Card c) {
    CardSet out = 0;
    for (CardSet rest = set & kSuitSets[Index(SuitOf(c))]; rest != 0; rest &= rest - 1) {
        const Card o = First(rest);
        if (StrengthOf(o) > StrengthOf(c)) out |= CardBit(o);
    }
    return out;
}

}  // namespace

CardSet SuitCards(Suit s) { return kSuitSets[static_cast<std::size_t>(Index(s))]; }

int CardPoints(Contract c, Card card) {
    switch (c) {
        case Contract::NoHearts: return SuitOf(card) == Suit::Hearts ? 30 : 0;
        case Contract::NoKingsAndJacks: return (kKingsAndJacks & CardBit(card)) ? 60 : 0;
        case Contract::NoQueens: return (kQueens & CardBit(card)) ? 100 : 0;
        case Contract::NoKingOfHearts: return (kKingOfHearts & CardBit(card)) ? 320 : 0;
        default: return 0;
    }
}

OpenDeal OpenDeal::Fresh(const std::array<CardSet, kSeatCount>& hands, Contract c, int leader) {
    OpenDeal d;
    d.hands = hands;
    d.contract = c;
    const auto trump = TrumpOf(c);
    d.trump = trump ? static_cast<std::int8_t>(Index(*trump)) : std::int8_t{-1};
    d.leader = static_cast<std::int8_t>(leader);
    d.toPlay = static_cast<std::int8_t>(leader);
    d.penaltyLeft = PenaltyCards(c);
    return d;
}

CardSet OpenDeal::Legal() const {
    const CardSet hand = hands[static_cast<std::size_t>(toPlay)];
    const CardSet hearts = kSuitSets[Index(Suit::Hearts)];
    if (trickCount == 0) {
        // No heart lead before hearts are broken under the two heart contracts,
        // unless the hand holds nothing else.
        const bool heartContract = contract == Contract::NoHearts || contract == Contract::NoKingOfHearts;
        if (heartContract && !heartsBroken && (hand & ~hearts) != 0) return hand & ~hearts;
        return hand;
    }
    const CardSet led = hand & kSuitSets[Index(SuitOf(trick[0]))];
    if (led != 0) return led;
    // Unable to follow: shed the contract's counted cards, or trump.
    CardSet must = 0;
    switch (contract) {
        case Contract::NoKingOfHearts: must = hand & kKingOfHearts; break;
        case Contract::NoQueens: must = hand & kQueens; break;
        case Contract::NoKingsAndJacks: must = hand & kKingsAndJacks; break;
        case Contract::NoHearts: must = hand & hearts; break;
        default:
            if (trump >= 0) must = hand & kSuitSets[static_cast<std::size_t>(trump)];
            break;
    }
    return must != 0 ? must : hand;
}

Card OpenDeal::Winning() const {
    return trick[static_cast<std::size_t>(WinningCardIndex(trick.data(), trickCount, TrumpSuit(trump)))];
}

void OpenDeal::Play(Card c) {
    hands[static_cast<std::size_t>(toPlay)] &= ~CardBit(c);
    if (trickCount == 0) leader = toPlay;
    trick[static_cast<std::size_t>(trickCount++)] = c;
    if (SuitOf(c) == Suit::Hearts) heartsBroken = true;
    ++cardsPlayed;
    if (trickCount < kTrickSize) {
        toPlay = static_cast<std::int8_t>(NextSeat(toPlay));
        return;
    }
    const int win = WinningCardIndex(trick.data(), kTrickSize, TrumpSuit(trump));
    const int winner = (leader + win) % kSeatCount;
    auto& s = score[static_cast<std::size_t>(winner)];
    if (IsTrumpContract(contract)) {
        s = static_cast<std::int16_t>(s + 50);
    } else if (contract == Contract::NoTricks) {
        s = static_cast<std::int16_t>(s - 50);
    } else if (contract == Contract::NoLastTwoTricks) {
        if (cardsPlayed == 44 || cardsPlayed == 48) s = static_cast<std::int16_t>(s - 180);
    } else {
        for (const Card card : trick) {
            s = static_cast<std::int16_t>(s - CardPoints(contract, card));
            penaltyLeft &= ~CardBit(card);
        }
        if (penaltyLeft == 0) over = true;
    }
    trickCount = 0;
    leader = toPlay = static_cast<std::int8_t>(winner);
    if (cardsPlayed == kDeckSize) over = true;
}

namespace {

// The trick contracts: take what can be taken.
Card QuickTrickCard(const OpenDeal& d, CardSet legal, CardSet others) {
    const CardSet trumps = d.trump >= 0 ? kSuitSets[static_cast<std::size_t>(d.trump)] : 0;
    CardSet masters = 0;
    for (CardSet rest = legal; rest != 0; rest &= rest - 1) {
        const Card c = First(rest);
        if (StrongerInSuit(others, c) == 0) masters |= CardBit(c);
    }
    if (d.trickCount == 0) {
        const CardSet othersTrumps = others & trumps;
        if (CardSet m = masters & ~trumps; m != 0 && (othersTrumps == 0 || (m & ~trumps) != 0)) {
            return Strongest(m);
        }
        if ((masters & trumps) != 0 && othersTrumps != 0) return Strongest(masters & trumps);
        if ((legal & ~trumps) != 0) return Weakest(legal & ~trumps);
        return Weakest(legal);
    }
    const Card winning = d.Winning();
    const auto trump = TrumpSuit(d.trump);
    CardSet winners = 0;
    for (CardSet rest = legal; rest != 0; rest &= rest - 1) {
        const Card c = First(rest);
        if (Beats(c, winning, trump)) winners |= CardBit(c);
    }
    if (winners != 0) {
        if (d.trickCount == kTrickSize - 1) return Weakest(winners);
        if ((winners & masters) != 0) return Weakest(winners & masters);
        if ((winners & trumps) != 0 && (legal & ~trumps) == 0) return Weakest(winners & trumps);
        return Strongest(winners);
    }
    if ((legal & ~trumps) != 0) return Weakest(legal & ~trumps);
    return Weakest(legal);
}

// The negative contracts: take nothing that costs.
Card QuickAvoidCard(const OpenDeal& d, CardSet legal, CardSet others) {
    const Contract c = d.contract;
    const auto danger = [c](Card card) { return CardPoints(c, card); };
    if (d.trickCount == 0) {
        // Lead the card most likely to be beaten: fewest cards out below it,
        // never a suit nobody else holds, counted cards last.
        Card best = First(legal);
        int bestRisk = 1 << 30;
        for (CardSet rest = legal; rest != 0; rest &= rest - 1) {
            const Card card = First(rest);
            const CardSet suitOut = others & kSuitSets[Index(SuitOf(card))];
            const CardSet above = StrongerInSuit(others, card);
            const int below = std::popcount(suitOut & ~above);
            const int risk = (suitOut == 0 ? 1000 : 0) + (above == 0 ? 100 : 0) + danger(card) + 4 * below +
                             StrengthOf(card);
            if (risk < bestRisk) {
                bestRisk = risk;
                best = card;
            }
        }
        return best;
    }
    const Card winning = d.Winning();
    const Suit led = SuitOf(d.trick[0]);
    const bool following = (legal & kSuitSets[Index(led)]) != 0;
    if (!following) {
        // Shed the costliest card, then the strongest.
        Card best = First(legal);
        for (CardSet rest = legal; rest != 0; rest &= rest - 1) {
            const Card card = First(rest);
            const int key = danger(card) * 16 + StrengthOf(card);
            if (key > danger(best) * 16 + StrengthOf(best)) best = card;
        }
        return best;
    }
    CardSet under = 0;
    for (CardSet rest = legal; rest != 0; rest &= rest - 1) {
        const Card card = First(rest);
        if (!Beats(card, winning, std::nullopt)) under |= CardBit(card);
    }
    if (under != 0) {
        Card best = First(under);
        for (CardSet rest = under; rest != 0; rest &= rest - 1) {
            const Card card = First(rest);
            if (danger(card) * 16 + StrengthOf(card) > danger(best) * 16 + StrengthOf(best)) best = card;
        }
        return best;
    }
    // Every card takes the trick so far: last, take it with the strongest card
    // that costs nothing; otherwise hope a later seat goes over.
    CardSet harmless = 0;
    for (CardSet rest = legal; rest != 0; rest &= rest - 1) {
        if (danger(First(rest)) == 0) harmless |= rest & (~rest + 1);
    }
    if (d.trickCount == kTrickSize - 1 || StrongerInSuit(others, Weakest(legal)) == 0) {
        return harmless != 0 ? Strongest(harmless) : Weakest(legal);
    }
    return Weakest(legal);
}

}  // namespace

Card QuickCard(const OpenDeal& d) {
    const CardSet legal = d.Legal();
    if ((legal & (legal - 1)) == 0) return First(legal);
    CardSet others = 0;
    for (int s = 0; s < kSeatCount; ++s) {
        if (s != d.toPlay) others |= d.hands[static_cast<std::size_t>(s)];
    }
    if (IsTrumpContract(d.contract)) return QuickTrickCard(d, legal, others);
    if (d.contract == Contract::NoLastTwoTricks) {
        // Only the eleventh and twelfth tricks cost: until then, shed the high cards.
        const int trickIndex = (d.cardsPlayed - d.trickCount) / kTrickSize;
        if (trickIndex < 10) return Strongest(legal);
        if (trickIndex > 11) return First(legal);
    }
    return QuickAvoidCard(d, legal, others);
}

void PlayOut(OpenDeal& d) {
    while (!d.over) d.Play(QuickCard(d));
}

}  // namespace tenfold
