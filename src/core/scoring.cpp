#include "core/scoring.h"

#include <cmath>

#include "core/cards.h"

namespace tenfold {

namespace {
constexpr int kSeats = 4;

// Sum of penalty units over the cards a seat has won in this deal.
int UnitsWonBy(const TableState& t, int seat) {
    const auto& pile = WonPileOf(t, seat);
    const int count = WonCountOf(t, seat);
    int units = 0;
    for (int i = 0; i < count; ++i) units += PenaltyUnit(t, pile[i].Code);
    return units;
}

// Points per counted card for the card-based negative contracts, 0 otherwise.
int PointsPerUnit(int contract) {
    switch (contract) {
        case 6: return 30;
        case 8: return 60;
        case 9: return 100;
        case 10: return 320;
        default: return 0;
    }
}
}  // namespace

std::int16_t PenaltyUnit(const TableState& t, int code) {
    const int suit = t.CardSuit[code];
    const int face = t.CardValue[code];
    switch (t.Contract) {
        case 6: return suit == kSuitHearts ? 1 : 0;
        case 7: return 0;
        case 8: return (face == 11 || face == 13) ? 1 : 0;
        case 9: return face == 12 ? 1 : 0;
        case 10: return (face == 13 && suit == kSuitHearts) ? 1 : 0;
        default: return 1;
    }
}

std::int16_t PenaltyTaken(const TableState& t) {
    int units = 0;
    for (int seat = 0; seat < kSeats; ++seat) units += UnitsWonBy(t, seat);
    const int per = PointsPerUnit(t.Contract);
    return Narrow<std::int16_t>(per == 0 ? units : per * units);
}

void CheckDealEnd(TableState& t, Services& s) {
    if (PenaltyTaken(t) == t.ContractTotal[t.Contract] || t.CardsPlayed == 52) {
        t.GameState = "END OF MATCH";
        EndDeal(t, s);
    }
}

void ScoreDeal(TableState& t) {
    for (int seat = 0; seat < kSeats; ++seat) {
        const int units = UnitsWonBy(t, seat);
        int score = 0;
        switch (t.Contract) {
            case 1: case 2: case 3: case 4:
                score = static_cast<int>(std::nearbyint(units / 4.0 * 50.0));
                break;
            case 5:
                score = -static_cast<int>(std::nearbyint(units / 4.0 * 50.0));
                break;
            case 7:
                score = 0;
                break;
            default:
                score = -PointsPerUnit(t.Contract) * units;
                break;
        }
        DealScoreOf(t, seat) = Narrow<std::int16_t>(score);
    }
    if (t.Contract == 7) {
        // The tricks completed by the 44th and the 48th card carry the penalty.
        std::int16_t& eleventh = DealScoreOf(t, t.Trick11Winner);
        eleventh = Narrow<std::int16_t>(eleventh - 180);
        std::int16_t& twelfth = DealScoreOf(t, t.Trick12Winner);
        twelfth = Narrow<std::int16_t>(twelfth - 180);
    }
}

void EndDeal(TableState& t, Services& s) {
    ScoreDeal(t);
    for (int seat = 0; seat < kSeats; ++seat) {
        DealHistoryOf(t, seat)[t.DealIndex] = Narrow<std::int16_t>(-DealScoreOf(t, seat));
    }
    t.DealIndex = Narrow<std::int16_t>(t.DealIndex + 1);
    for (int seat = 0; seat < kSeats; ++seat) {
        std::int16_t& total = MatchTotalOf(t, seat);
        total = Narrow<std::int16_t>(total - DealScoreOf(t, seat));
    }
    t.MatchResult = "";
    if (t.DealIndex > 9) t.HistoryFull = true;
    t.DealsPlayed = Narrow<std::int16_t>(t.DealsPlayed + 1);
    if (t.DealsPlayed == 20) {
        t.MatchOver = true;
        // A tie for the lowest total is the human's win.
        if (t.MatchTotal0 <= t.MatchTotal1 && t.MatchTotal0 <= t.MatchTotal2 &&
            t.MatchTotal0 <= t.MatchTotal3) {
            t.MatchResult = "We Won!";
            s.PlaySound("WIN_GAME.WAV");
        } else {
            t.MatchResult = "We lost!";
            s.PlaySound("LOSE_GAME.WAV");
        }
    } else {
        s.PlaySound("INTRO.WAV");
    }
}

}  // namespace tenfold
