#include "core/dealing.h"

#include <algorithm>
#include <array>
#include <vector>

#include "ai/card_memory.h"
#include "core/cards.h"
#include "core/layout.h"
#include "core/movement.h"
#include "core/state_machine.h"

namespace tenfold {

namespace {
constexpr int kSeats = 4;

// The match starts over: quotas, totals, deal counters and new opponents.
void NewMatchReset(TableState& t, Services& s) {
    t.ContractUseCount.fill(0);
    t.MatchOver = false;
    t.DealsPlayed = 0;
    t.DealIndex = 0;
    for (int seat = 0; seat < kSeats; ++seat) MatchTotalOf(t, seat) = 0;
    DrawPlayerNames(t, s);
    for (int seat = 0; seat < kSeats; ++seat) {
        t.SeatRecords[seat].TrumpContractsChosen = 0;
        t.SeatRecords[seat].NegativeContractsChosen = 0;
    }
}

// Everything that lives for one deal goes back to its starting value.
void PerDealReset(TableState& t) {
    for (int seat = 0; seat < kSeats; ++seat) HandSizeOf(t, seat) = 0;
    t.TrumpSuit = kNoTrump;
    ResetCardMemory(t);
    for (int seat = 0; seat < kSeats; ++seat) t.SeatRecords[seat].PenaltyCardsShown = 0;
    if (t.HistoryFull) {
        t.HistoryFull = false;
        t.DealIndex = 0;
    }
    t.HeartsBroken = false;
    t.CardsInTrick = 0;
    t.PacketCardsDealt = 0;
    t.WaitingForHuman = false;
    t.HumanActed = false;
    t.TableCount = 0;
    for (int seat = 0; seat < kSeats; ++seat) WonCountOf(t, seat) = 0;
    t.CardsPlayed = 0;
    t.HumanPickIndex = -1;
    t.SeenFaceCount.fill(0);
    // Every card comes to rest where it lies at home.
    auto rest = [](CardSprite& card) {
        card.Moving = false;
        card.Collect = false;
        card.X = card.HomeX;
        card.Y = card.HomeY;
    };
    for (auto& card : t.Deck) rest(card);
    for (int seat = 0; seat < kSeats; ++seat)
        for (auto& card : HandOf(t, seat)) rest(card);
    for (auto& card : t.TableCards) rest(card);
}

// The seat's penalty row starts beside slot 0 of its hand.
void SetPenaltyRow(TableState& t, int seat) {
    static constexpr std::array<std::array<int, 4>, 4> kRow = {{
        {30, -30, 1, 0},  // bottom: to the right, above the hand
        {-30, 5, 0, 1},   // right: downwards, left of the hand
        {30, 30, 1, 0},   // top: to the right, below the hand's top
        {30, 5, 0, 1},    // left: downwards
    }};
    const auto& row = kRow[static_cast<std::size_t>(seat)];
    const CardSprite& slot0 = HandOf(t, seat)[0];
    SeatRecord& rec = t.SeatRecords[seat];
    rec.PenaltyRowX = Narrow<std::int16_t>(slot0.HomeX + row[0]);
    rec.PenaltyRowY = Narrow<std::int16_t>(slot0.HomeY + row[1]);
    rec.PenaltyRowStepX = static_cast<std::int16_t>(row[2]);
    rec.PenaltyRowStepY = static_cast<std::int16_t>(row[3]);
    rec.PenaltyCardsShown = 0;
}

// Card records of the new deal: piles empty, hands at home, table cleared.
void ResetCardRecords(TableState& t) {
    for (int seat = 0; seat < kSeats; ++seat) {
        auto& pile = WonPileOf(t, seat);
        for (int i = 0; i <= 50; ++i) pile[i].Active = false;
    }
    for (int i = 0; i <= 51; ++i) {
        t.Deck[i].Width = t.CardWidth;
        t.Deck[i].Height = t.CardPictureHeight;
    }
    for (int seat = 0; seat < kSeats; ++seat) {
        auto& hand = HandOf(t, seat);
        for (int i = 0; i <= 12; ++i) {
            CardSprite& card = hand[i];
            const Point16 home = HandSlotHome(t, seat, i);
            card.Active = false;
            card.HomeX = home.X;
            card.HomeY = home.Y;
            card.X = home.X;
            card.Y = home.Y;
            card.Width = t.CardWidth;
            card.Height = t.CardPictureHeight;
        }
    }
    for (int i = 0; i <= 20; ++i) {
        t.TableCards[i].Active = false;
        t.TableCards[i].FaceUp = true;
    }
    for (int seat = 0; seat < kSeats; ++seat) SetPenaltyRow(t, seat);
    ResetTrickSpots(t);
}
}  // namespace

void NewDeal(TableState& t, Services& s) {
    for (int seat = 0; seat < kSeats; ++seat) HandSizeOf(t, seat) = 0;
    t.TrumpSuit = kNoTrump;
    for (int row = 0; row <= 9; ++row) {
        t.ContractButtons[row].Width = 283;
        t.ContractButtons[row].Height = 46;
    }
    if (t.MatchOver) NewMatchReset(t, s);
    PerDealReset(t);
    ResetCardRecords(t);
    Shuffle(t, s);

    t.NextDeckCard = 0;
    const std::int16_t first = NextFirstSeat(t, s);
    t.CurrentSeat = first;
    t.FirstSeat = first;
    t.DealFirstSeat = first;
    t.DealTurn = 0;
    BuildDealOrder(t);
    t.GameState = "DEALING CARDS";

    // The pile stands in front of the seat before the one dealt to first.
    const int pileSeat = (t.CurrentSeat + 3) % 4;
    t.PileX = t.PilePosX[pileSeat];
    t.PileY = t.PilePosY[pileSeat];
    for (int i = 0; i <= 11; ++i) {
        t.Deck[i].Active = true;
        t.Deck[i].FaceUp = false;
    }
    LayOutDeckPile(t);
    s.PlaySound("SHUFFLE.WAV");
    t.CardsDealt = 0;
    t.HumanHasPlayed = false;
}

void Shuffle(TableState& t, Services& s) {
    std::array<int, 53> drawn{};
    drawn.fill(-1);
    int count = 0;
    while (count < 52) {
        const int r = RndInt(s, 52);
        if (std::find(drawn.begin(), drawn.begin() + count, r) != drawn.begin() + count) continue;
        t.Deck[count].Code = static_cast<std::int16_t>(r);
        drawn[static_cast<std::size_t>(count)] = r;
        ++count;
    }
    for (int i = 0; i < 52; ++i) {
        if (drawn[static_cast<std::size_t>(i)] == -1) s.ShowMessage("Error in Shuffle");
    }
}

std::int16_t NextFirstSeat(TableState& t, Services& s) {
    if (!t.FirstSeatChosen) {
        t.FirstSeatChosen = true;
        return static_cast<std::int16_t>(RndInt(s, 4));
    }
    t.FirstSeat = static_cast<std::int16_t>((t.FirstSeat + 1) % 4);
    return t.FirstSeat;
}

void BuildDealOrder(TableState& t) {
    for (int i = 0; i < 4; ++i) t.DealOrder[i] = static_cast<std::int16_t>((t.CurrentSeat + i) % 4);
}

void DealingStep(TableState& t, Services& s) {
    if (AnyCardMoving(t)) {
        CardStep(t, s, t.Deck[t.NextDeckCard - 1]);
        return;
    }
    if (t.NextDeckCard > 51) return;  // every card is out; the last arrival moved on
    t.DealCardTurn = t.DealTurn;
    DealOneCard(t, s, t.Deck[t.NextDeckCard], t.DealOrder[t.DealTurn]);
    t.NextDeckCard = Narrow<std::int16_t>(t.NextDeckCard + 1);
    t.PacketCardsDealt = Narrow<std::int16_t>(t.PacketCardsDealt + 1);
    t.CardsDealt = Narrow<std::int16_t>(t.CardsDealt + 1);
    if (t.PacketCardsDealt == t.DealPacketSize) {
        t.PacketCardsDealt = 0;
        t.DealTurn = static_cast<std::int16_t>((t.DealTurn + 1) % 4);
    }
}

void DealOneCard(TableState& t, Services& s, CardSprite& card, int seat) {
    if (AnyCardMoving(t)) return;
    PlayCardSound(s);
    const Point16 target = HandSlotHome(t, seat, HandSizeOf(t, seat));
    card.FaceUp = seat == 0;
    StartMove(t, card, target.X, target.Y);
}

void TakeDealtCard(TableState& t, CardSprite& card) {
    const int seat = t.DealOrder[t.DealCardTurn];
    std::int16_t& size = HandSizeOf(t, seat);
    CardSprite& slot = HandOf(t, seat)[size];
    slot.Code = card.Code;
    slot.X = card.X;
    slot.Y = card.Y;
    slot.Active = true;
    slot.FaceUp = seat == 0;
    HandCodesOf(t, seat)[size] = card.Code;
    size = Narrow<std::int16_t>(size + 1);
    card.Active = false;
    card.X = card.HomeX;
    card.Y = card.HomeY;
}

void DealtCardArrived(TableState& t, Services&, CardSprite& card) {
    TakeDealtCard(t, card);
    if (t.NextDeckCard == 52) {
        t.CurrentSeat = static_cast<std::int16_t>((t.CurrentSeat + 3) % 4);
        t.PacketCardsDealt = 0;
        t.StepPhase = false;
        if (t.DealsPlayed == 0 && t.SevenOfHeartsLead) SetFirstChooser(t);
        t.GameState = "SELECT TRUMPS";
    }
    LayOutDeckPile(t);
}

void LayOutDeckPile(TableState& t) {
    const int last = std::min(t.NextDeckCard + 7, 51);
    for (int i = last; i >= t.NextDeckCard; --i) {
        CardSprite& card = t.Deck[i];
        card.Active = true;
        card.FaceUp = false;
        const int x = t.PileX + t.PileOffsetX - (i - t.NextDeckCard) * t.PileStepX;
        card.X = static_cast<float>(x);
        card.Y = t.PileY;
        card.HomeX = Narrow<std::int16_t>(x);
        card.HomeY = t.PileY;
    }
}

void SortHumanHand(TableState& t) {
    std::vector<int> slots;
    std::vector<std::int16_t> codes;
    for (int i = 0; i <= 12; ++i) {
        if (!t.Hand0[i].Active) continue;
        slots.push_back(i);
        codes.push_back(t.Hand0[i].Code);
    }
    std::stable_sort(codes.begin(), codes.end(), [&t](int a, int b) {
        if (t.CardSuit[a] != t.CardSuit[b]) return t.CardSuit[a] < t.CardSuit[b];
        return Strength(t, a) > Strength(t, b);
    });
    for (std::size_t k = 0; k < slots.size(); ++k) t.Hand0[slots[k]].Code = codes[k];
}

}  // namespace tenfold
