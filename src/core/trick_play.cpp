#include "core/trick_play.h"

#include "core/movement.h"
#include "core/scoring.h"
#include "core/state_machine.h"

namespace tenfold {

namespace {
constexpr std::int32_t kDelayAfterCardMs = 1250;

bool HeartContract(Contract c) { return c == Contract::NoHearts || c == Contract::NoKingOfHearts; }
}  // namespace

std::optional<Suit> LedSuit(const TableState& t) {
    if (t.trick.count <= 0) return std::nullopt;
    return SuitOf(t.trick.cards[0].card);
}

Card WinningCard(const TableState& t) {
    std::array<Card, kTrickSize> cards{};
    for (int i = 0; i < t.trick.count; ++i) cards[static_cast<std::size_t>(i)] = t.trick.cards[i].card;
    return cards[static_cast<std::size_t>(WinningCardIndex(cards.data(), t.trick.count, t.trump))];
}

PlayRules::PlayRules(const TableState& t, const CardList& hand)
    : contract_(t.contract), trump_(t.trump), led_(LedSuit(t)), heartsBroken_(t.trick.heartsBroken) {
    // The suits and ranks held, as bit sets: every card is asked about, so a
    // pass without a branch per card is what a card choice can afford.
    unsigned suits = 0;
    unsigned ranks = 0;
    bool kingOfHearts = false;
    for (const Card c : hand.cards.First(hand.count)) {
        suits |= 1u << Index(SuitOf(c));
        ranks |= 1u << static_cast<int>(RankOf(c));
        kingOfHearts |= c == CardCode(Rank::King, Suit::Hearts);
    }
    const auto holds = [suits](Suit s) { return ((suits >> Index(s)) & 1u) != 0; };
    const auto rankHeld = [ranks](Rank r) { return ((ranks >> static_cast<int>(r)) & 1u) != 0; };
    holdsLed_ = led_ && holds(*led_);
    holdsTrump_ = trump_ && holds(*trump_);
    holdsHeart_ = holds(Suit::Hearts);
    holdsNonHeart_ = (suits & ~(1u << Index(Suit::Hearts))) != 0;
    holdsKingOfHearts_ = kingOfHearts;
    holdsQueen_ = rankHeld(Rank::Queen);
    holdsKingOrJack_ = rankHeld(Rank::King) || rankHeld(Rank::Jack);
}

bool PlayRules::Allows(Card c) const {
    const Suit suit = SuitOf(c);
    const Rank rank = RankOf(c);
    if (Following() && suit != led_ && holdsLed_) return false;
    const bool isVoid = Following() && !holdsLed_;
    if (isVoid) {
        switch (contract_) {
            case Contract::NoKingOfHearts:
                if (holdsKingOfHearts_ && !(suit == Suit::Hearts && rank == Rank::King)) return false;
                break;
            case Contract::NoQueens:
                if (holdsQueen_ && rank != Rank::Queen) return false;
                break;
            case Contract::NoKingsAndJacks:
                if (holdsKingOrJack_ && rank != Rank::King && rank != Rank::Jack) return false;
                break;
            case Contract::NoHearts:
                if (holdsHeart_ && suit != Suit::Hearts) return false;
                break;
            default: break;
        }
    }
    // A heart may always be discarded, but not led before hearts are broken.
    if (HeartContract(contract_) && suit == Suit::Hearts && !heartsBroken_ && holdsNonHeart_ && !isVoid) {
        return false;
    }
    if (IsTrumpContract(contract_) && isVoid && suit != trump_ && holdsTrump_) return false;
    return true;
}

bool IsLegalForHuman(const TableState& t, Card c) { return PlayRules(t, HandCards(t, kHumanSeat)).Allows(c); }

std::int16_t CardHitTest(TableState& t, ComputerPlayer& players, std::int32_t x, std::int32_t y) {
    if (t.human.hasPlayed) return -1;
    const auto& hand = t.seats[kHumanSeat].hand;
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    // Cards overlap from left to right: the highest slot lies on top. An illegal
    // card does not hide a legal one underneath it.
    for (int i = kHandSize - 1; i >= 0; --i) {
        const CardSprite& card = hand[i];
        if (!card.active || card.moving) continue;
        if (!(card.x < fx && fx < card.x + kCardWidth && card.y < fy && fy < card.y + kCardHeight)) continue;
        if (!IsLegalForHuman(t, card.card)) continue;
        players.HearPlay(t, kHumanSeat, card.card);
        t.human.acted = true;
        t.human.hasPlayed = true;
        return static_cast<std::int16_t>(i);
    }
    return -1;
}

void ThrowCard(TableState& t, Services& s, CardSprite& card) {
    if (AnyCardMoving(t)) return;
    t.human.pickedSlot = -1;
    ThrowToTable(t, s, card, t.currentSeat);
    card.seat = static_cast<std::int8_t>(t.currentSeat);
}

void PlayStep(TableState& t, Services& s, ComputerPlayer& players) {
    t.contractAnnounced = false;
    auto& humanHand = t.seats[kHumanSeat].hand;
    if (AnyCardMoving(t)) {
        for (int i = 0; i < kHandSize && t.flow.state == GameState::Playing; ++i)
            CardStep(t, s, humanHand[i]);
    }
    if (t.flow.state != GameState::Playing || t.human.waiting) return;
    if (AnyCardMoving(t)) {
        if (t.currentSeat != kHumanSeat) CardStep(t, s, t.seats[t.currentSeat].hand[t.trick.computerSlot]);
        return;
    }
    t.flow.delayJustEnded = false;
    t.currentSeat = static_cast<std::int16_t>(NextSeat(t.currentSeat));
    if (t.currentSeat == kHumanSeat) {
        t.human.hasPlayed = false;
        t.human.acted = false;
        t.human.waiting = true;
        return;
    }
    const int seat = t.currentSeat;
    const Card chosen = players.ChooseCard(t, seat);
    players.HearPlay(t, seat, chosen);
    auto& hand = t.seats[seat].hand;
    int slot = -1;
    for (int i = 0; i < kHandSize && slot < 0; ++i) {
        if (hand[i].active && hand[i].card == chosen) slot = i;
    }
    t.trick.computerSlot = static_cast<std::int16_t>(slot);
    CardSprite& card = hand[slot];  // a card not in the hand stops here
    card.faceUp = true;
    ThrowCard(t, s, card);
}

void CardLanded(TableState& t, Services& s, CardSprite& card) {
    Trick& trick = t.trick;
    trick.cardsPlayed = Narrow<std::int16_t>(trick.cardsPlayed + 1);

    CardSprite& onTable = trick.cards[trick.count];
    onTable.card = card.card;
    onTable.x = card.x;
    onTable.y = card.y;
    onTable.seat = card.seat;
    onTable.active = true;
    onTable.faceUp = true;
    SetMoving(t, onTable, false);
    trick.count = Narrow<std::int16_t>(trick.count + 1);
    if (SuitOf(card.card) == Suit::Hearts) trick.heartsBroken = true;

    card.active = false;
    card.x = card.home.x;
    card.y = card.home.y;
    card.faceUp = t.currentSeat == kHumanSeat;

    DecideTrickWinner(t);
    if (t.human.acted) t.human.waiting = false;
    if (t.flow.state == GameState::Playing) CheckDealEnd(t, s);
    if (!t.flow.delayJustEnded) Delay(t, s, kDelayAfterCardMs);
}

void DecideTrickWinner(TableState& t) {
    Trick& trick = t.trick;
    if (trick.count != kTrickSize) return;
    std::array<Card, kTrickSize> cards{};
    for (int i = 0; i < kTrickSize; ++i) cards[static_cast<std::size_t>(i)] = trick.cards[i].card;
    const int win = WinningCardIndex(cards.data(), kTrickSize, t.trump);
    trick.winner = trick.cards[win].seat;
    trick.winnerCard = static_cast<std::int16_t>(win);
    t.currentSeat = trick.winner;
    for (CardSprite& card : trick.cards) card.collect = true;
    t.flow.state = GameState::GatheringTrick;
    if (trick.cardsPlayed == 44) trick.eleventhWinner = trick.winner;
    if (trick.cardsPlayed == 48) trick.twelfthWinner = trick.winner;
}

void TrickHandOver(TableState& t, Services& s) {
    Trick& trick = t.trick;
    Seat& winner = t.seats[trick.winner];
    for (int i = 0; i < trick.count; ++i) {
        CardSprite& card = trick.cards[i];
        CardSprite& dest = winner.wonPile[winner.wonCount];
        dest.card = card.card;
        dest.x = card.x;
        dest.y = card.y;
        dest.active = true;
        dest.faceUp = card.faceUp;
        SetMoving(t, dest, false);
        winner.wonCount = Narrow<std::int16_t>(winner.wonCount + 1);
        SetMoving(t, card, false);
        card.active = false;
        card.collect = false;
    }
    trick.count = 0;
    t.flow.state = GameState::Playing;
    CheckDealEnd(t, s);
    t.currentSeat = static_cast<std::int16_t>(PreviousSeat(t.currentSeat));
}

}  // namespace tenfold
