#include "core/table_state.h"

#include <stdexcept>

namespace tenfold {

namespace {
// Picks the member for a seat by comparing against the seat constants in order.
template <class T>
T& BySeat(const TableState& t, int seat, T& s0, T& s1, T& s2, T& s3) {
    if (seat == t.SeatBottom) return s0;
    if (seat == t.SeatRight) return s1;
    if (seat == t.SeatTop) return s2;
    if (seat == t.SeatLeft) return s3;
    throw std::out_of_range("seat " + std::to_string(seat) + " outside 0..3");
}
}  // namespace

Array<CardSprite, 16>& HandOf(TableState& t, int seat) {
    return BySeat(t, seat, t.Hand0, t.Hand1, t.Hand2, t.Hand3);
}
const Array<CardSprite, 16>& HandOf(const TableState& t, int seat) {
    return BySeat(t, seat, t.Hand0, t.Hand1, t.Hand2, t.Hand3);
}
Array<std::int16_t, 16>& HandCodesOf(TableState& t, int seat) {
    return BySeat(t, seat, t.HandCodes0, t.HandCodes1, t.HandCodes2, t.HandCodes3);
}
std::int16_t& HandSizeOf(TableState& t, int seat) {
    return BySeat(t, seat, t.HandSize0, t.HandSize1, t.HandSize2, t.HandSize3);
}
Array<CardSprite, 53>& WonPileOf(TableState& t, int seat) {
    return BySeat(t, seat, t.WonPile0, t.WonPile1, t.WonPile2, t.WonPile3);
}
std::int16_t& WonCountOf(TableState& t, int seat) {
    return BySeat(t, seat, t.WonCount0, t.WonCount1, t.WonCount2, t.WonCount3);
}
std::int16_t& DealScoreOf(TableState& t, int seat) {
    return BySeat(t, seat, t.DealScore0, t.DealScore1, t.DealScore2, t.DealScore3);
}
std::int16_t& MatchTotalOf(TableState& t, int seat) {
    return BySeat(t, seat, t.MatchTotal0, t.MatchTotal1, t.MatchTotal2, t.MatchTotal3);
}
const Array<CardSprite, 53>& WonPileOf(const TableState& t, int seat) {
    return BySeat(t, seat, t.WonPile0, t.WonPile1, t.WonPile2, t.WonPile3);
}
std::int16_t WonCountOf(const TableState& t, int seat) {
    return BySeat(t, seat, t.WonCount0, t.WonCount1, t.WonCount2, t.WonCount3);
}
const Array<std::int16_t, 16>& HandCodesOf(const TableState& t, int seat) {
    return BySeat(t, seat, t.HandCodes0, t.HandCodes1, t.HandCodes2, t.HandCodes3);
}
std::int16_t HandSizeOf(const TableState& t, int seat) {
    return BySeat(t, seat, t.HandSize0, t.HandSize1, t.HandSize2, t.HandSize3);
}
Array<std::int16_t, 41>& DealHistoryOf(TableState& t, int seat) {
    return BySeat(t, seat, t.DealHistory0, t.DealHistory1, t.DealHistory2, t.DealHistory3);
}

}  // namespace tenfold
