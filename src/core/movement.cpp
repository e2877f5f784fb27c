#include "core/movement.h"

#include <cmath>

#include "core/layout.h"
#include "core/scoring.h"

namespace tenfold {

namespace {
std::int16_t Sign(float v) { return static_cast<std::int16_t>((v > 0) - (v < 0)); }

// Sets a card moving towards (tx, ty) over the given number of frames.
void Aim(CardSprite& card, float tx, float ty, float steps) {
    card.Moving = true;
    card.TargetX = tx;
    card.TargetY = ty;
    card.DirX = Sign(card.TargetX - card.X);
    card.DirY = Sign(card.TargetY - card.Y);
    card.StepX = std::fabs(card.TargetX - card.X) / steps;
    card.StepY = std::fabs(card.TargetY - card.Y) / steps;
}

float GroupSteps(const TableState& t) { return static_cast<float>(t.AnimationSteps); }

// Penalty cards lie face up by the winner's hand under these contracts.
bool ShowsPenaltyRow(int contract) {
    return contract == 6 || contract == 8 || contract == 9 || contract == 10;
}
}  // namespace

void StartMove(TableState& t, CardSprite& card, int tx, int ty) {
    float steps = static_cast<float>(t.MoveSteps);
    if (t.GameState == "DEALING CARDS") {
        steps = static_cast<float>(t.MoveSteps) / static_cast<float>(t.DealSpeedFactor);
    }
    Aim(card, static_cast<float>(tx), static_cast<float>(ty), steps);
}

void MoveOneStep(CardSprite& card) {
    if (!card.Moving) return;
    card.X += static_cast<float>(card.DirX) * card.StepX;
    card.Y += static_cast<float>(card.DirY) * card.StepY;
}

bool IsWithinArrival(const TableState& t, const CardSprite& card) {
    return card.Moving && std::fabs(card.X - card.TargetX) <= t.ArriveToleranceX &&
           std::fabs(card.Y - card.TargetY) <= t.ArriveToleranceY;
}

bool AnyCardMoving(const TableState& t) {
    for (int seat = 0; seat < 4; ++seat) {
        const auto& hand = HandOf(t, seat);
        for (int i = 0; i <= 12; ++i)
            if (hand[i].Moving) return true;
    }
    for (int i = 0; i <= 51; ++i)
        if (t.Deck[i].Moving) return true;
    for (int i = 0; i < t.TableCount; ++i)
        if (t.TableCards[i].Moving) return true;
    return false;
}

void PlayCardSound(Services& s) {
    static constexpr const char* kNames[] = {"CARD_FLIP.WAV", "CARD_FLIP2.WAV", "CARD_FLIP3.WAV"};
    s.PlaySound(kNames[RndInt(s, 3)]);
}

void PlaySignSound(Services& s) {
    static constexpr const char* kNames[] = {"SIGN1.WAV", "SIGN2.WAV", "SIGN3.WAV"};
    s.PlaySound(kNames[RndInt(s, 3)]);
}

void ThrowToTable(TableState& t, Services& s, CardSprite& card, int seat) {
    if (AnyCardMoving(t)) return;
    PlayCardSound(s);
    const TableSpot& spot = t.TableSlotUsed[seat];
    const int dx = RndInt(s, t.ThrowJitterX);
    const int dy = RndInt(s, t.ThrowJitterY);
    StartMove(t, card, spot.X + dx, spot.Y + dy);
}

void GatherTrick(TableState& t, Services& s) {
    if (AnyCardMoving(t)) return;
    PlayCardSound(s);
    const CardSprite& winner = t.TableCards[t.TrickWinnerCard];
    const float wx = winner.X;
    const float wy = winner.Y;
    for (int i = 0; i < t.TableCount; ++i) {
        if (i == t.TrickWinnerCard) continue;
        CardSprite& card = t.TableCards[i];
        const int dx = RndInt(s, t.GatherJitterX);
        const int dy = RndInt(s, t.GatherJitterY);
        card.FaceUp = true;
        Aim(card, wx + static_cast<float>(dx), wy + static_cast<float>(dy), GroupSteps(t));
    }
}

void CarryTrick(TableState& t, Services& s) {
    if (AnyCardMoving(t)) return;
    PlaySignSound(s);
    SeatRecord& winner = t.SeatRecords[t.TrickWinner];
    const Point16 pile = WonPilePosition(t, t.TrickWinner);
    for (int i = 0; i < t.TableCount; ++i) {
        CardSprite& card = t.TableCards[i];
        if (!card.Collect && i != t.TableCount - 1) continue;
        card.Moving = true;
        const int dx = RndInt(s, t.GatherJitterX);
        const int dy = RndInt(s, t.GatherJitterY);
        if (ShowsPenaltyRow(t.Contract) && PenaltyUnit(t, card.Code) == 1) {
            card.FaceUp = true;
            const int shown = winner.PenaltyCardsShown;
            const int x = dx + winner.PenaltyRowStepX * 10 * shown + winner.PenaltyRowX;
            const int y = dy + winner.PenaltyRowStepY * 10 * shown + winner.PenaltyRowY;
            winner.PenaltyCardsShown = Narrow<std::int16_t>(shown + 1);
            Aim(card, static_cast<float>(x), static_cast<float>(y), GroupSteps(t));
        } else {
            card.FaceUp = false;
            Aim(card, static_cast<float>(pile.X + dx), static_cast<float>(pile.Y + dy),
                GroupSteps(t));
        }
    }
}

void GatherHand(TableState& t, Services& s) {
    if (AnyCardMoving(t)) return;
    PlayCardSound(s);
    const float x0 = t.Hand0[0].X;
    const float y0 = t.Hand0[0].Y;
    for (int i = 1; i <= 12; ++i) {
        CardSprite& card = t.Hand0[i];
        if (!card.Active) continue;
        // Remember where the card lies so that the spread brings it back there.
        card.HomeX = Narrow<std::int16_t>(static_cast<long>(std::nearbyint(card.X)));
        card.HomeY = Narrow<std::int16_t>(static_cast<long>(std::nearbyint(card.Y)));
        card.FaceUp = true;
        Aim(card, x0, y0, GroupSteps(t));
    }
}

void SpreadHand(TableState& t, Services& s) {
    if (AnyCardMoving(t)) return;
    PlaySignSound(s);
    for (int i = 1; i <= 12; ++i) {
        CardSprite& card = t.Hand0[i];
        if (!card.Active) continue;
        Aim(card, card.HomeX, card.HomeY, GroupSteps(t));
    }
}

}  // namespace tenfold
