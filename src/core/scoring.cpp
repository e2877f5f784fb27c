#include "core/scoring.h"

#include <cmath>

namespace tenfold {

namespace {

// Sum of penalty units over the cards a seat has won in this deal.
int UnitsWonBy(const TableState& t, int seat) {
    const Seat& s = t.seats[seat];
    int units = 0;
    for (const CardSprite& won : s.wonPile.First(s.wonCount)) units += PenaltyUnit(t.contract, won.card);
    return units;
}

// Points per counted card for the card-based negative contracts, 0 otherwise.
int PointsPerUnit(Contract c) {
    switch (c) {
        case Contract::NoHearts: return 30;
        case Contract::NoKingsAndJacks: return 60;
        case Contract::NoQueens: return 100;
        case Contract::NoKingOfHearts: return 320;
        default: return 0;
    }
}

// Points of whole tricks, 50 a trick, from the cards won (four a trick).
int TrickPoints(int units) { return static_cast<int>(std::nearbyint(units / 4.0 * 50.0)); }

}  // namespace

std::int16_t PenaltyTaken(const TableState& t) {
    int units = 0;
    for (int seat = 0; seat < kSeatCount; ++seat) units += UnitsWonBy(t, seat);
    const int per = PointsPerUnit(t.contract);
    return Narrow<std::int16_t>(per == 0 ? units : per * units);
}

void CheckDealEnd(TableState& t, Services& s) {
    // Only the contracts that count cards can be settled before the last card.
    const bool allTaken = CountsPenaltyCards(t.contract) && PenaltyTaken(t) == FullValue(t.contract);
    if (allTaken || t.trick.cardsPlayed == kDeckSize) {
        t.flow.state = GameState::DealOver;
        EndDeal(t, s);
    }
}

void ScoreDeal(TableState& t) {
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const int units = UnitsWonBy(t, seat);
        int score = 0;
        if (IsTrumpContract(t.contract)) {
            score = TrickPoints(units);
        } else if (t.contract == Contract::NoTricks) {
            score = -TrickPoints(units);
        } else if (t.contract != Contract::NoLastTwoTricks) {
            score = -PointsPerUnit(t.contract) * units;
        }
        t.seats[seat].dealScore = Narrow<std::int16_t>(score);
    }
    if (t.contract == Contract::NoLastTwoTricks) {
        // The tricks ended by the 44th and the 48th card carry the penalty.
        std::int16_t& eleventh = t.seats[t.trick.eleventhWinner].dealScore;
        eleventh = Narrow<std::int16_t>(eleventh - 180);
        std::int16_t& twelfth = t.seats[t.trick.twelfthWinner].dealScore;
        twelfth = Narrow<std::int16_t>(twelfth - 180);
    }
}

std::int16_t DealPointsSoFar(const TableState& t, int seat) {
    const int units = UnitsWonBy(t, seat);
    int score = 0;
    if (IsTrumpContract(t.contract)) {
        score = TrickPoints(units);
    } else if (t.contract == Contract::NoTricks) {
        score = -TrickPoints(units);
    } else if (t.contract == Contract::NoLastTwoTricks) {
        if (t.trick.cardsPlayed >= 44 && t.trick.eleventhWinner == seat) score -= 180;
        if (t.trick.cardsPlayed >= 48 && t.trick.twelfthWinner == seat) score -= 180;
    } else {
        score = -PointsPerUnit(t.contract) * units;
    }
    return Narrow<std::int16_t>(score);
}

void EndDeal(TableState& t, Services& s) {
    ScoreDeal(t);
    Match& m = t.match;
    for (Seat& seat : t.seats) {
        seat.history[m.historyRows] = Narrow<std::int16_t>(-seat.dealScore);
        seat.matchTotal = Narrow<std::int16_t>(seat.matchTotal - seat.dealScore);
    }
    if (m.dealsPlayed < kDealsPerMatch) {
        DealRecord& record = m.log[m.dealsPlayed];
        record.contract = t.contract;
        record.chooser = static_cast<std::int8_t>(t.firstSeat);
        for (int seat = 0; seat < kSeatCount; ++seat)
            record.points[seat] = t.seats[seat].history[m.historyRows];
    }
    m.historyRows = Narrow<std::int16_t>(m.historyRows + 1);
    m.result = MatchResult::None;
    if (m.historyRows >= kHistoryRows) m.historyFull = true;
    m.dealsPlayed = Narrow<std::int16_t>(m.dealsPlayed + 1);
    if (m.dealsPlayed < kDealsPerMatch) {
        s.PlaySound(Sound::Intro);
        return;
    }
    m.over = true;
    // A tie for the lowest total is the human's win.
    const std::int16_t human = t.seats[kHumanSeat].matchTotal;
    bool won = true;
    for (int seat = 1; seat < kSeatCount; ++seat) won = won && human <= t.seats[seat].matchTotal;
    m.result = won ? MatchResult::Won : MatchResult::Lost;
    s.PlaySound(won ? Sound::Win : Sound::Lose);
}

}  // namespace tenfold
