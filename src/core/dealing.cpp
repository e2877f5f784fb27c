#include "core/dealing.h"

#include <algorithm>
#include <array>

#include "core/contract_choice.h"
#include "core/layout.h"
#include "core/movement.h"
#include "core/state_machine.h"

namespace tenfold {

namespace {

// The match starts over: quotas, totals, deal counters and new opponents.
void NewMatchReset(TableState& t, RandomSource& chance) {
    t.contractUses.fill(0);
    t.match.over = false;
    t.match.dealsPlayed = 0;
    t.match.historyRows = 0;
    for (Seat& seat : t.seats) seat.matchTotal = 0;
    DrawPlayerNames(t, chance);
    for (Seat& seat : t.seats) {
        seat.trumpContractsChosen = 0;
        seat.negativeContractsChosen = 0;
    }
}

void Rest(TableState& t, CardSprite& card) {
    SetMoving(t, card, false);
    card.collect = false;
    card.x = card.home.x;
    card.y = card.home.y;
}

// Everything that lives for one deal goes back to its starting value.
void PerDealReset(TableState& t, ComputerPlayer& players) {
    t.trump.reset();
    players.DealStarted(t);
    for (Seat& seat : t.seats) seat.penaltyCardsShown = 0;
    if (t.match.historyFull) {
        t.match.historyFull = false;
        t.match.historyRows = 0;
    }
    t.trick.heartsBroken = false;
    t.deck.packetCardsDealt = 0;
    t.human.waiting = false;
    t.human.acted = false;
    t.trick.count = 0;
    for (Seat& seat : t.seats) seat.wonCount = 0;
    t.trick.cardsPlayed = 0;
    t.human.pickedSlot = -1;
    for (CardSprite& card : t.deck.cards) Rest(t, card);
    for (Seat& seat : t.seats) {
        for (CardSprite& card : seat.hand) Rest(t, card);
    }
    for (CardSprite& card : t.trick.cards) Rest(t, card);
}

// Card records of the new deal: piles empty, hands at home, table cleared.
void ResetCardRecords(TableState& t) {
    for (int seat = 0; seat < kSeatCount; ++seat) {
        Seat& s = t.seats[seat];
        for (CardSprite& card : s.wonPile) card.active = false;
        for (int i = 0; i < kHandSize; ++i) {
            CardSprite& card = s.hand[i];
            card.active = false;
            card.home = HandSlotHome(t, seat, i);
            card.x = card.home.x;
            card.y = card.home.y;
        }
    }
    for (CardSprite& card : t.trick.cards) {
        card.active = false;
        card.faceUp = true;
    }
}

}  // namespace

void DrawPlayerNames(TableState& t, RandomSource& chance) {
    constexpr int kNames = static_cast<int>(kPlayerNames.size());
    const int a = RndInt(chance, kNames);
    int b = RndInt(chance, kNames);
    while (b == a) b = RndInt(chance, kNames);
    int c = RndInt(chance, kNames);
    while (c == b || c == a) c = RndInt(chance, kNames);
    t.seats[1].name = kPlayerNames[static_cast<std::size_t>(a)];
    t.seats[2].name = kPlayerNames[static_cast<std::size_t>(b)];
    t.seats[3].name = kPlayerNames[static_cast<std::size_t>(c)];
}

void NewDeal(TableState& t, Services& s, ComputerPlayer& players) {
    if (t.match.over) NewMatchReset(t, s);
    PerDealReset(t, players);
    ResetCardRecords(t);
    Shuffle(t, s);

    t.deck.nextCard = 0;
    const std::int16_t first = NextFirstSeat(t, s);
    t.currentSeat = first;
    t.firstSeat = first;
    t.deck.turn = 0;
    t.flow.state = GameState::Dealing;

    // The pile stands in front of the seat before the one dealt to first.
    t.deck.pile = t.seats[PreviousSeat(first)].pileSpot;
    for (int i = 0; i < 12; ++i) {
        t.deck.cards[i].active = true;
        t.deck.cards[i].faceUp = false;
    }
    LayOutDeckPile(t);
    s.PlaySound(Sound::Shuffle);
    t.human.hasPlayed = false;
}

void Shuffle(TableState& t, RandomSource& chance) {
    std::array<bool, kDeckSize> drawn{};
    int count = 0;
    while (count < kDeckSize) {
        const int r = RndInt(chance, kDeckSize);
        if (drawn[static_cast<std::size_t>(r)]) continue;
        drawn[static_cast<std::size_t>(r)] = true;
        t.deck.cards[count].card = static_cast<Card>(r);
        ++count;
    }
}

std::int16_t NextFirstSeat(TableState& t, RandomSource& chance) {
    if (!t.firstSeatChosen) {
        t.firstSeatChosen = true;
        return static_cast<std::int16_t>(RndInt(chance, kSeatCount));
    }
    t.firstSeat = static_cast<std::int16_t>(NextSeat(t.firstSeat));
    return t.firstSeat;
}

void DealingStep(TableState& t, Services& s) {
    Deck& deck = t.deck;
    if (AnyCardMoving(t)) {
        CardStep(t, s, deck.cards[deck.nextCard - 1]);
        return;
    }
    if (deck.nextCard >= kDeckSize) return;  // every card is out; the last arrival moved on
    deck.flightSeat = static_cast<std::int8_t>((t.firstSeat + deck.turn) % kSeatCount);
    DealOneCard(t, s, deck.cards[deck.nextCard], deck.flightSeat);
    deck.nextCard = Narrow<std::int16_t>(deck.nextCard + 1);
    deck.packetCardsDealt = Narrow<std::int16_t>(deck.packetCardsDealt + 1);
    if (deck.packetCardsDealt == t.options.dealPacketSize) {
        deck.packetCardsDealt = 0;
        deck.turn = static_cast<std::int16_t>((deck.turn + 1) % kSeatCount);
    }
}

void DealOneCard(TableState& t, Services& s, CardSprite& card, int seat) {
    PlayCardSound(s);
    const Point target = HandSlotHome(t, seat, HandSize(t, seat));
    card.faceUp = seat == kHumanSeat;
    StartMove(t, card, target.x, target.y);
}

void DealtCardArrived(TableState& t, CardSprite& card) {
    const int seat = t.deck.flightSeat;
    CardSprite& slot = t.seats[seat].hand[HandSize(t, seat)];
    slot.card = card.card;
    slot.x = card.x;
    slot.y = card.y;
    slot.active = true;
    slot.faceUp = seat == kHumanSeat;
    card.active = false;
    card.x = card.home.x;
    card.y = card.home.y;
    if (t.deck.nextCard == kDeckSize) {
        t.currentSeat = static_cast<std::int16_t>(PreviousSeat(t.currentSeat));
        t.deck.packetCardsDealt = 0;
        t.flow.stepPhase = false;
        if (t.match.dealsPlayed == 0 && t.options.sevenOfHeartsLead) SetFirstChooser(t);
        t.flow.state = GameState::ChoosingContract;
    }
    LayOutDeckPile(t);
}

void LayOutDeckPile(TableState& t) {
    Deck& deck = t.deck;
    const int last = std::min(deck.nextCard + 7, kDeckSize - 1);
    for (int i = last; i >= deck.nextCard; --i) {
        CardSprite& card = deck.cards[i];
        card.active = true;
        card.faceUp = false;
        const int x = deck.pile.x + t.layout.pileOffsetX - (i - deck.nextCard) * t.layout.pileStepX;
        card.x = static_cast<float>(x);
        card.y = deck.pile.y;
        card.home = Point{Narrow<std::int16_t>(x), deck.pile.y};
    }
}

void SortHumanHand(TableState& t) {
    auto& hand = t.seats[kHumanSeat].hand;
    CardList cards = HandCards(t, kHumanSeat);
    std::stable_sort(cards.cards.begin(), cards.cards.begin() + cards.count, [](Card a, Card b) {
        if (SuitOf(a) != SuitOf(b)) return SuitOf(a) < SuitOf(b);
        return StrengthOf(a) > StrengthOf(b);
    });
    int next = 0;
    for (CardSprite& slot : hand) {
        if (slot.active) slot.card = cards.cards[next++];
    }
}

}  // namespace tenfold
