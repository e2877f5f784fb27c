#include "core/movement.h"

#include <cmath>
#include <stdexcept>

#include "core/scoring.h"

namespace tenfold {

namespace {
std::int8_t Sign(float v) { return static_cast<std::int8_t>((v > 0) - (v < 0)); }

// Sets a card moving towards (tx, ty) over the given number of frames.
void Aim(TableState& t, CardSprite& card, float tx, float ty, float steps) {
    SetMoving(t, card, true);
    card.targetX = tx;
    card.targetY = ty;
    card.dirX = Sign(card.targetX - card.x);
    card.dirY = Sign(card.targetY - card.y);
    card.stepX = std::fabs(card.targetX - card.x) / steps;
    card.stepY = std::fabs(card.targetY - card.y) / steps;
}

float GroupSteps(const TableState& t) { return static_cast<float>(t.layout.animationSteps); }

#ifndef NDEBUG
template <class Cards>
bool AnyMoving(const Cards& cards) {
    for (const CardSprite& c : cards) {
        if (c.moving) return true;
    }
    return false;
}

// The cards that can move, looked at one by one.
bool ScanForMotion(const TableState& t) {
    for (const Seat& seat : t.seats) {
        if (AnyMoving(seat.hand)) return true;
    }
    if (AnyMoving(t.deck.cards)) return true;
    for (int i = 0; i < t.trick.count; ++i) {
        if (t.trick.cards[i].moving) return true;
    }
    return false;
}
#endif
}  // namespace

void SetMoving(TableState& t, CardSprite& card, bool moving) {
    if (card.moving == moving) return;
    card.moving = moving;
    t.cardsInMotion = Narrow<std::int16_t>(t.cardsInMotion + (moving ? 1 : -1));
}

void StartMove(TableState& t, CardSprite& card, int tx, int ty) {
    float steps = static_cast<float>(t.layout.moveSteps);
    if (t.flow.state == GameState::Dealing) steps /= static_cast<float>(t.layout.dealSpeedFactor);
    Aim(t, card, static_cast<float>(tx), static_cast<float>(ty), steps);
}

void MoveOneStep(CardSprite& card) {
    if (!card.moving) return;
    card.x += static_cast<float>(card.dirX) * card.stepX;
    card.y += static_cast<float>(card.dirY) * card.stepY;
}

bool IsWithinArrival(const Layout& layout, const CardSprite& card) {
    return card.moving && std::fabs(card.x - card.targetX) <= layout.arriveToleranceX &&
           std::fabs(card.y - card.targetY) <= layout.arriveToleranceY;
}

bool AnyCardMoving(const TableState& t) {
#ifndef NDEBUG
    if (ScanForMotion(t) != (t.cardsInMotion > 0)) {
        throw std::logic_error("a card's motion was changed without SetMoving");
    }
#endif
    return t.cardsInMotion > 0;
}

void PlayCardSound(Services& s) { s.PlaySound(static_cast<Sound>(Index(Sound::CardFlip1) + RndInt(s, 3))); }

void PlaySignSound(Services& s) { s.PlaySound(static_cast<Sound>(Index(Sound::Sign1) + RndInt(s, 3))); }

void ThrowToTable(TableState& t, Services& s, CardSprite& card, int seat) {
    PlayCardSound(s);
    const Point spot = t.seats[seat].throwSpot;
    const int dx = RndInt(s, t.layout.throwJitterX);
    const int dy = RndInt(s, t.layout.throwJitterY);
    StartMove(t, card, spot.x + dx, spot.y + dy);
}

void GatherTrick(TableState& t, Services& s) {
    PlayCardSound(s);
    const CardSprite& winner = t.trick.cards[t.trick.winnerCard];
    const float wx = winner.x;
    const float wy = winner.y;
    for (int i = 0; i < t.trick.count; ++i) {
        if (i == t.trick.winnerCard) continue;
        CardSprite& card = t.trick.cards[i];
        const int dx = RndInt(s, t.layout.gatherJitterX);
        const int dy = RndInt(s, t.layout.gatherJitterY);
        card.faceUp = true;
        Aim(t, card, wx + static_cast<float>(dx), wy + static_cast<float>(dy), GroupSteps(t));
    }
}

void CarryTrick(TableState& t, Services& s) {
    PlaySignSound(s);
    Seat& winner = t.seats[t.trick.winner];
    for (int i = 0; i < t.trick.count; ++i) {
        CardSprite& card = t.trick.cards[i];
        if (!card.collect && i != t.trick.count - 1) continue;
        const int dx = RndInt(s, t.layout.gatherJitterX);
        const int dy = RndInt(s, t.layout.gatherJitterY);
        if (CountsPenaltyCards(t.contract) && PenaltyUnit(t.contract, card.card) == 1) {
            card.faceUp = true;
            const int shown = winner.penaltyCardsShown;
            const int x = dx + winner.penaltyStep.x * 10 * shown + winner.penaltyRow.x;
            const int y = dy + winner.penaltyStep.y * 10 * shown + winner.penaltyRow.y;
            winner.penaltyCardsShown = Narrow<std::int16_t>(shown + 1);
            Aim(t, card, static_cast<float>(x), static_cast<float>(y), GroupSteps(t));
        } else {
            card.faceUp = false;
            Aim(t, card, static_cast<float>(winner.wonPileSpot.x + dx),
                static_cast<float>(winner.wonPileSpot.y + dy), GroupSteps(t));
        }
    }
}

void GatherHand(TableState& t, Services& s) {
    PlayCardSound(s);
    auto& hand = t.seats[kHumanSeat].hand;
    const float x0 = hand[0].x;
    const float y0 = hand[0].y;
    for (int i = 1; i < kHandSize; ++i) {
        CardSprite& card = hand[i];
        if (!card.active) continue;
        // Remember where the card lies so that the spread brings it back there.
        card.home.x = Narrow<std::int16_t>(static_cast<long>(std::nearbyint(card.x)));
        card.home.y = Narrow<std::int16_t>(static_cast<long>(std::nearbyint(card.y)));
        card.faceUp = true;
        Aim(t, card, x0, y0, GroupSteps(t));
    }
}

void SpreadHand(TableState& t, Services& s) {
    PlaySignSound(s);
    auto& hand = t.seats[kHumanSeat].hand;
    for (int i = 1; i < kHandSize; ++i) {
        CardSprite& card = hand[i];
        if (!card.active) continue;
        Aim(t, card, card.home.x, card.home.y, GroupSteps(t));
    }
}

}  // namespace tenfold
