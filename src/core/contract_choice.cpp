#include "core/contract_choice.h"

namespace tenfold {

namespace {
constexpr int kUsesPerNegativeContract = 2;
constexpr int kTrumpChoicesPerSeat = 2;
constexpr int kNegativeChoicesPerSeat = 3;
// Menu columns: trump contracts and no tricks on the left, the rest on the
// right; enabled rows stack upward from the menu's base without gaps.
constexpr int kRowsPerColumn = 5;
constexpr int kLeftColumnX = 100;
constexpr int kRightColumnX = 380;
constexpr int kRowStep = 42;
constexpr int kFirstRowAbove = 60;

void LayOutContractMenu(TableState& t) {
    for (int column = 0; column < 2; ++column) {
        int n = 0;
        for (int row = column * kRowsPerColumn; row < (column + 1) * kRowsPerColumn; ++row) {
            MenuRow& r = t.menu.rows[row];
            if (!r.enabled) continue;
            r.x = static_cast<std::int16_t>(column == 0 ? kLeftColumnX : kRightColumnX);
            r.y = Narrow<std::int16_t>(t.layout.menuBaseY - (n * kRowStep + kFirstRowAbove));
            ++n;
        }
    }
}
}  // namespace

bool UnderUseLimit(const TableState& t, Contract c) {
    return t.contractUses[Index(c)] < kUsesPerNegativeContract;
}
bool HasTrumpChoicesLeft(const Seat& seat) { return seat.trumpContractsChosen < kTrumpChoicesPerSeat; }
bool HasNegativeChoicesLeft(const Seat& seat) {
    return seat.negativeContractsChosen < kNegativeChoicesPerSeat;
}

bool IsOpenTo(const TableState& t, int seat, Contract c) {
    const Seat& s = t.seats[seat];
    if (IsTrumpContract(c)) return HasTrumpChoicesLeft(s);
    return HasNegativeChoicesLeft(s) && UnderUseLimit(t, c);
}

void BookContract(TableState& t, int seat, Contract c) {
    if (c < Contract::Clubs || c > Contract::NoKingOfHearts) {
        throw std::out_of_range("contract " + std::to_string(Number(c)) + " outside 1..10");
    }
    Seat& s = t.seats[seat];
    if (IsTrumpContract(c)) {
        s.trumpContractsChosen = Narrow<std::int16_t>(s.trumpContractsChosen + 1);
    } else {
        s.negativeContractsChosen = Narrow<std::int16_t>(s.negativeContractsChosen + 1);
    }
    t.contractUses[Index(c)] = Narrow<std::int16_t>(t.contractUses[Index(c)] + 1);
}

int SevenOfHeartsHolder(const TableState& t) {
    constexpr Card kSevenOfHearts = CardCode(Rank::Seven, Suit::Hearts);
    for (int seat = 0; seat < kSeatCount; ++seat) {
        for (const CardSprite& slot : t.seats[seat].hand) {
            if (slot.active && slot.card == kSevenOfHearts) return seat;
        }
    }
    return kHumanSeat;
}

void SetFirstChooser(TableState& t) {
    if (t.match.dealsPlayed != 0) return;
    const int holder = SevenOfHeartsHolder(t);
    t.firstSeat = static_cast<std::int16_t>(holder);
    t.currentSeat = static_cast<std::int16_t>(PreviousSeat(holder));
}

void ContractStep(TableState& t, Services& s, ComputerPlayer& players) {
    if (t.human.waiting) return;
    if (!t.flow.stepPhase) {
        t.currentSeat = static_cast<std::int16_t>(NextSeat(t.currentSeat));
        if (t.currentSeat == kHumanSeat) {
            t.menu.shown = true;
            OpenContractMenu(t);
            t.human.acted = false;
            t.human.waiting = true;
        } else {
            const Contract c = players.ChooseContract(t, t.currentSeat, s);
            BookContract(t, t.currentSeat, c);
            t.contract = c;
            t.trump = TrumpOf(c);
            t.flow.stepPhase = true;
        }
        return;
    }
    if (t.human.acted) t.human.waiting = false;
    t.currentSeat = static_cast<std::int16_t>(PreviousSeat(t.currentSeat));
    t.flow.state = GameState::ShowingContract;
    t.contractAnnounced = true;
    t.flow.stepPhase = false;
}

void OpenContractMenu(TableState& t) {
    bool any = false;
    for (int row = 0; row < kContractCount; ++row) {
        const bool open = IsOpenTo(t, kHumanSeat, ContractNumbered(row + 1));
        t.menu.rows[row].enabled = open;
        any = any || open;
    }
    if (!any) {
        // The computer seats used up what the quotas left the human: a trump
        // contract beyond his quota is better than a table that waits for ever.
        for (int row = 0; row < Index(Contract::NoTricks); ++row) t.menu.rows[row].enabled = true;
    }
    LayOutContractMenu(t);
}

bool MenuHitTest(TableState& t, std::int32_t x, std::int32_t y) {
    for (int row = kContractCount - 1; row >= 0; --row) {
        const MenuRow& r = t.menu.rows[row];
        if (!(x > r.x && r.enabled && x < r.x + kMenuRowWidth && y > r.y && y < r.y + kMenuRowHeight))
            continue;
        // Only the first row hit is booked: rows overlap by a few pixels.
        const Contract c = ContractNumbered(row + 1);
        t.contract = c;
        t.trump = TrumpOf(c);
        BookContract(t, kHumanSeat, c);
        t.human.acted = true;
        t.human.waiting = false;
        t.flow.stepPhase = true;
        t.menu.shown = false;
        return true;
    }
    return false;
}

}  // namespace tenfold
