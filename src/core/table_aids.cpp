#include "core/table_aids.h"

#include <algorithm>
#include <vector>

#include "core/movement.h"
#include "core/trick_play.h"

namespace tenfold {

Refusal WhyRefused(const TableState& t, const CardList& hand, Card c) {
    const PlayRules rules(t, hand);
    if (rules.Allows(c)) return Refusal::None;
    // PlayRules refuses for one of these reasons only; they are told apart in
    // the order it tests them.
    const std::optional<Suit> led = LedSuit(t);
    if (led && SuitOf(c) != *led && rules.HoldsLedSuit()) return Refusal::FollowSuit;
    if (led) {
        switch (t.contract) {
            case Contract::NoKingOfHearts: return Refusal::ShedKingOfHearts;
            case Contract::NoQueens: return Refusal::ShedQueen;
            case Contract::NoKingsAndJacks: return Refusal::ShedKingOrJack;
            case Contract::NoHearts: return Refusal::ShedHeart;
            default: return Refusal::PlayTrump;
        }
    }
    return Refusal::HeartsNotBroken;
}

Refusal WhyHumanRefused(const TableState& t, Card c) { return WhyRefused(t, HandCards(t, kHumanSeat), c); }

std::string_view SuitName(Suit s) {
    switch (s) {
        case Suit::Clubs: return "clubs";
        case Suit::Diamonds: return "diamonds";
        case Suit::Spades: return "spades";
        case Suit::Hearts: return "hearts";
    }
    return "";
}

std::string_view ContractName(Contract c) {
    switch (c) {
        case Contract::Clubs: return "Clubs are trumps";
        case Contract::Diamonds: return "Diamonds are trumps";
        case Contract::Spades: return "Spades are trumps";
        case Contract::Hearts: return "Hearts are trumps";
        case Contract::NoTricks: return "No tricks";
        case Contract::NoHearts: return "No hearts";
        case Contract::NoLastTwoTricks: return "No last two tricks";
        case Contract::NoKingsAndJacks: return "No kings and jacks";
        case Contract::NoQueens: return "No queens";
        case Contract::NoKingOfHearts: return "No king of hearts";
        case Contract::None: break;
    }
    return "";
}

std::string RefusalHint(const TableState& t, Refusal why) {
    const std::optional<Suit> led = LedSuit(t);
    const std::string none = led ? "No " + std::string(SuitName(*led)) + " left: " : std::string();
    switch (why) {
        case Refusal::None: return "";
        case Refusal::FollowSuit: return "Follow suit: " + std::string(led ? SuitName(*led) : "");
        case Refusal::HeartsNotBroken: return "Hearts may not be led yet";
        case Refusal::ShedKingOfHearts: return none + "play the king of hearts";
        case Refusal::ShedQueen: return none + "play a queen";
        case Refusal::ShedKingOrJack: return none + "play a king or a jack";
        case Refusal::ShedHeart: return none + "play a heart";
        case Refusal::PlayTrump:
            return none + "play a trump (" + std::string(t.trump ? SuitName(*t.trump) : "") + ")";
    }
    return "";
}

bool HumanToPlay(const TableState& t) {
    return t.flow.state == GameState::Playing && t.currentSeat == kHumanSeat && t.human.waiting &&
           !t.human.hasPlayed;
}

bool MayPlaySlot(const TableState& t, int slot) {
    if (slot < 0 || slot >= kHandSize) return false;
    const CardSprite& card = t.seats[kHumanSeat].hand[slot];
    return card.active && !card.moving && IsLegalForHuman(t, card.card);
}

int StepFocus(const TableState& t, int from, int dir) {
    const int step = dir < 0 ? -1 : 1;
    int slot = MayPlaySlot(t, from) ? from : (step > 0 ? -1 : kHandSize);
    for (int n = 0; n < kHandSize; ++n) {
        slot += step;
        if (slot < 0 || slot >= kHandSize) slot = step > 0 ? 0 : kHandSize - 1;
        if (MayPlaySlot(t, slot)) return slot;
    }
    return -1;
}

Point SlotClickPoint(const TableState& t, int slot) {
    const CardSprite& card = t.seats[kHumanSeat].hand[slot];
    // Cards lie from left to right, each higher slot over the one before, at
    // least a few pixels further right: the left edge strip stays in view.
    return Point{static_cast<std::int16_t>(static_cast<int>(card.x) + 2),
                 static_cast<std::int16_t>(static_cast<int>(card.y) + kCardHeight / 2)};
}

int TopSlotAt(const TableState& t, std::int32_t x, std::int32_t y) {
    const auto& hand = t.seats[kHumanSeat].hand;
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    for (int i = kHandSize - 1; i >= 0; --i) {
        const CardSprite& card = hand[i];
        if (!card.active || card.moving) continue;
        if (card.x < fx && fx < card.x + kCardWidth && card.y < fy && fy < card.y + kCardHeight) return i;
    }
    return -1;
}

namespace {
std::vector<int> MenuReadingOrder(const TableState& t) {
    std::vector<int> rows;
    for (int row = 0; row < kContractCount; ++row)
        if (t.menu.rows[row].enabled) rows.push_back(row);
    constexpr int kColumnRows = kContractCount / 2;
    std::stable_sort(rows.begin(), rows.end(), [&t](int a, int b) {
        const int ca = a / kColumnRows, cb = b / kColumnRows;
        if (ca != cb) return ca < cb;
        return t.menu.rows[a].y < t.menu.rows[b].y;
    });
    return rows;
}
}  // namespace

int StepMenuFocus(const TableState& t, int from, int dir) {
    const std::vector<int> rows = MenuReadingOrder(t);
    if (rows.empty()) return -1;
    const auto at = std::find(rows.begin(), rows.end(), from);
    const int n = static_cast<int>(rows.size());
    if (at == rows.end()) return dir < 0 ? rows.back() : rows.front();
    const int i = static_cast<int>(at - rows.begin());
    return rows[static_cast<std::size_t>((i + (dir < 0 ? n - 1 : 1)) % n)];
}

Point MenuRowClickPoint(const TableState& t, int row) {
    const MenuRow& r = t.menu.rows[row];
    return Point{static_cast<std::int16_t>(r.x + kMenuRowWidth / 2),
                 static_cast<std::int16_t>(r.y + kMenuRowHeight / 2)};
}

int SeatToAct(const TableState& t) {
    GameState state = t.flow.state == GameState::Waiting ? t.flow.stateAfterDelay : t.flow.state;
    if (state == GameState::GatheringHand || state == GameState::SpreadingHand)
        state = t.flow.stateBeforeSort;
    switch (state) {
        case GameState::ChoosingContract:
        case GameState::ShowingContract: return t.firstSeat;
        case GameState::Playing:
            if (t.human.waiting && t.currentSeat == kHumanSeat) return kHumanSeat;
            // A card in flight is its player's; at rest, the turn has passed on.
            return AnyCardMoving(t) ? t.currentSeat : NextSeat(t.currentSeat);
        case GameState::GatheringTrick:
        case GameState::CarryingTrick: return t.trick.winner;
        default: return -1;
    }
}

int TricksWon(const TableState& t, int seat) { return t.seats[seat].wonCount / kTrickSize; }

std::optional<TrickView> LastTrick(const TableState& t) {
    TrickView view;
    const Trick& trick = t.trick;
    if (trick.count == kTrickSize) {
        // Finished and still on the table, on its way to the winner.
        for (int i = 0; i < kTrickSize; ++i) {
            view.cards[static_cast<std::size_t>(i)] = trick.cards[i].card;
            view.seats[static_cast<std::size_t>(i)] = trick.cards[i].seat;
        }
        view.winnerIndex = trick.winnerCard;
        return view;
    }
    if (trick.cardsPlayed < kTrickSize) return std::nullopt;
    // Handed over: the winner's last four won cards, in play order; the seats
    // played in turn from the leader, who sat winnerCard places before the winner.
    const Seat& winner = t.seats[trick.winner];
    if (winner.wonCount < kTrickSize) return std::nullopt;
    const int leader = (trick.winner - trick.winnerCard + kSeatCount) % kSeatCount;
    for (int i = 0; i < kTrickSize; ++i) {
        view.cards[static_cast<std::size_t>(i)] = winner.wonPile[winner.wonCount - kTrickSize + i].card;
        view.seats[static_cast<std::size_t>(i)] = static_cast<std::int8_t>((leader + i) % kSeatCount);
    }
    view.winnerIndex = trick.winnerCard;
    return view;
}

bool MatchInProgress(const TableState& t) {
    if (t.flow.state == GameState::NotStarted) return false;
    return !(t.flow.state == GameState::DealOver && t.match.over);
}

}  // namespace tenfold
