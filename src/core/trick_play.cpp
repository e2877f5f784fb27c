#include "core/trick_play.h"

#include "ai/card_memory.h"
#include "ai/computer_players.h"
#include "core/cards.h"
#include "core/movement.h"
#include "core/scoring.h"
#include "core/state_machine.h"

namespace tenfold {

namespace {
// What the human holds, as far as the legality rules ask.
struct Holdings {
    bool ledSuit = false;
    bool trump = false;
    bool heart = false;
    bool nonHeart = false;
    bool kingOfHearts = false;
    bool queen = false;
    bool kingOrJack = false;
};

Holdings ReadHoldings(const TableState& t, int ledSuit) {
    Holdings h;
    // Suit questions read the active slots.
    for (int i = 0; i <= 12; ++i) {
        const CardSprite& card = t.Hand0[i];
        if (!card.Active) continue;
        if (t.CardSuit[card.Code] == ledSuit) h.ledSuit = true;
        if (t.CardSuit[card.Code] == t.TrumpSuit) h.trump = true;
    }
    // Penalty-card questions read the code list, which holds the same cards.
    for (int i = 0; i < t.HandSize0; ++i) {
        const int code = t.HandCodes0[i];
        const int suit = t.CardSuit[code];
        const int face = t.CardValue[code];
        if (suit == kSuitHearts) h.heart = true; else h.nonHeart = true;
        if (suit == kSuitHearts && face == 13) h.kingOfHearts = true;
        if (face == 12) h.queen = true;
        if (face == 11 || face == 13) h.kingOrJack = true;
    }
    return h;
}

enum class Verdict { Illegal, Legal, LegalBreaksHearts };

Verdict Judge(const TableState& t, int code) {
    const bool following = t.TableCount > 0;
    const int ledSuit = following ? t.CardSuit[t.TableCards[0].Code] : -1;
    const Holdings h = ReadHoldings(t, ledSuit);
    const int suit = t.CardSuit[code];
    const int face = t.CardValue[code];
    const bool isVoid = following && !h.ledSuit;

    if (following && suit != ledSuit && h.ledSuit) return Verdict::Illegal;
    if (isVoid) {
        switch (t.Contract) {
            case 10:
                if (h.kingOfHearts && !(suit == kSuitHearts && face == 13)) return Verdict::Illegal;
                break;
            case 9:
                if (h.queen && face != 12) return Verdict::Illegal;
                break;
            case 8:
                if (h.kingOrJack && face != 11 && face != 13) return Verdict::Illegal;
                break;
            case 6:
                if (h.heart && suit != kSuitHearts) return Verdict::Illegal;
                break;
            default:
                break;
        }
    }
    if ((t.Contract == 6 || t.Contract == 10) && suit == kSuitHearts && !t.HeartsBroken &&
        h.nonHeart) {
        // No heart lead before hearts are broken, but a heart may always be discarded.
        return isVoid ? Verdict::LegalBreaksHearts : Verdict::Illegal;
    }
    if (t.Contract >= 1 && t.Contract <= 4 && isVoid && suit != t.TrumpSuit && h.trump) {
        return Verdict::Illegal;
    }
    return Verdict::Legal;
}

// Rebuilds a seat's code list from its active slots, in slot order.
void RebuildHandCodes(TableState& t, int seat) {
    const auto& hand = HandOf(t, seat);
    auto& codes = HandCodesOf(t, seat);
    std::int16_t n = 0;
    for (int i = 0; i <= 12; ++i) {
        if (!hand[i].Active) continue;
        codes[n] = hand[i].Code;
        ++n;
    }
    HandSizeOf(t, seat) = n;
}
}  // namespace

bool WouldBeLegalForHuman(const TableState& t, int code) {
    return Judge(t, code) != Verdict::Illegal;
}

bool IsLegalForHuman(TableState& t, int code) {
    const Verdict v = Judge(t, code);
    if (v == Verdict::LegalBreaksHearts) t.HeartsBroken = true;
    return v != Verdict::Illegal;
}

std::int16_t CardHitTest(TableState& t, std::int32_t x, std::int32_t y) {
    if (t.HumanHasPlayed) return -1;
    // Cards overlap from left to right: the highest slot lies on top. An illegal
    // card does not hide a legal one underneath it.
    for (int i = 12; i >= 0; --i) {
        const CardSprite& card = t.Hand0[i];
        if (!card.Active || card.Moving) continue;
        const float fx = static_cast<float>(x);
        const float fy = static_cast<float>(y);
        if (!(card.X < fx && fx < card.X + card.Width && card.Y < fy && fy < card.Y + card.Height))
            continue;
        if (!IsLegalForHuman(t, card.Code)) continue;
        NoteHumanPlay(t, i);
        t.HumanActed = true;
        t.HumanHasPlayed = true;
        return static_cast<std::int16_t>(i);
    }
    return -1;
}

void ThrowCard(TableState& t, Services& s, CardSprite& card) {
    if (AnyCardMoving(t)) return;
    t.HumanPickIndex = -1;
    ThrowToTable(t, s, card, t.CurrentSeat);
    card.TableSlot = t.CurrentSeat;
    t.TableSlotUsed[t.CurrentSeat].Used = true;
}

void PlayStep(TableState& t, Services& s) {
    t.ContractAnnounced = false;
    if (AnyCardMoving(t)) {
        for (int i = 0; i <= 12 && t.GameState == "NORMAL PLAY"; ++i) CardStep(t, s, t.Hand0[i]);
    }
    if (t.GameState != "NORMAL PLAY" || t.WaitingForHuman) return;
    if (AnyCardMoving(t)) {
        if (t.CurrentSeat == t.SeatLeft || t.CurrentSeat == t.SeatRight ||
            t.CurrentSeat == t.SeatTop) {
            CardStep(t, s, HandOf(t, t.CurrentSeat)[t.ComputerCardIndex]);
        }
        return;
    }
    t.DelayJustEnded = false;
    t.CurrentSeat = static_cast<std::int16_t>((t.CurrentSeat + 1) % 4);
    if (t.CurrentSeat == 0) {
        t.HumanHasPlayed = false;
        t.HumanActed = false;
        t.WaitingForHuman = true;
        return;
    }
    const std::int16_t code = PlayComputerCard(t, t.CurrentSeat);
    auto& hand = HandOf(t, t.CurrentSeat);
    int slot = -1;
    for (int i = 0; i <= 12 && slot < 0; ++i)
        if (hand[i].Code == code) slot = i;
    t.ComputerCardIndex = static_cast<std::int16_t>(slot);
    CardSprite& card = hand[t.ComputerCardIndex];  // a code not in the hand stops here
    card.FaceUp = true;
    ThrowCard(t, s, card);
}

void CardLanded(TableState& t, Services& s, CardSprite& card) {
    t.CardsPlayed = Narrow<std::int16_t>(t.CardsPlayed + 1);
    t.CardsInTrick = Narrow<std::int16_t>(t.CardsInTrick + 1);

    CardSprite& onTable = t.TableCards[t.TableCount];
    onTable.Code = card.Code;
    onTable.X = card.X;
    onTable.Y = card.Y;
    onTable.TableSlot = card.TableSlot;
    onTable.Active = true;
    onTable.FaceUp = true;
    onTable.Moving = false;
    t.TableSlotUsed[card.TableSlot].Used = true;
    t.TableCodes[t.TableCount] = card.Code;
    t.TableCount = Narrow<std::int16_t>(t.TableCount + 1);
    if (t.CardSuit[card.Code] == kSuitHearts) t.HeartsBroken = true;
    std::int16_t& seen = t.SeenFaceCount[t.CardValue[card.Code]];
    seen = Narrow<std::int16_t>(seen + 1);

    card.Active = false;
    card.X = card.HomeX;
    card.Y = card.HomeY;
    card.FaceUp = t.CurrentSeat == 0;
    RebuildHandCodes(t, t.CurrentSeat);

    DecideTrickWinner(t);
    if (t.HumanActed) t.WaitingForHuman = false;
    if (t.GameState == "NORMAL PLAY") CheckDealEnd(t, s);
    if (!t.DelayJustEnded) Delay(t, s, 1250);
}

void TrickHandOver(TableState& t, Services& s) {
    for (int i = 0; i < t.TableCount; ++i) t.TableCards[i].Moving = false;

    auto& pile = WonPileOf(t, t.TrickWinner);
    std::int16_t& won = WonCountOf(t, t.TrickWinner);
    int kept = 0;
    for (int i = 0; i < t.TableCount; ++i) {
        CardSprite& card = t.TableCards[i];
        if (card.Collect || i == t.TableCount - 1) {
            CardSprite& dest = pile[won];
            dest.Code = card.Code;
            dest.X = card.X;
            dest.Y = card.Y;
            dest.Active = true;
            dest.FaceUp = card.FaceUp;
            dest.Moving = false;
            won = Narrow<std::int16_t>(won + 1);
            t.TableSlotUsed[card.TableSlot].Used = false;
            card.Active = false;
            card.Collect = false;
        } else {
            // Never the case in this game: every card of a trick is collected.
            t.TableCards[kept] = card;
            ++kept;
        }
    }
    t.TableCount = static_cast<std::int16_t>(kept);
    for (int i = 0; i < kept; ++i) t.TableCodes[i] = t.TableCards[i].Code;

    t.GameState = "NORMAL PLAY";
    CheckDealEnd(t, s);
    t.CurrentSeat = static_cast<std::int16_t>((t.CurrentSeat + 3) % 4);
}

}  // namespace tenfold
