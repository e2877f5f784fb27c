#include "app/match_replay.h"

#include <algorithm>
#include <sstream>

#include "ai/autopilot.h"
#include "core/state_machine.h"

namespace tenfold {

namespace {

// A whole match is some 40,000 frames at the slowest animation; a journal
// that keeps the replay going far longer does not belong to a match.
constexpr long kMaxReplayFrames = 2'000'000;

// The replay's chance is the game's own generator; its clock jumps past every
// delay, as the simulator's does; nothing is heard.
class ReplayServices : public Services {
public:
    explicit ReplayServices(Pcg32& rng) : rng_(rng) {}
    float Rnd() override { return rng_.NextFloat(); }
    std::uint32_t TickCount() override { return now; }
    void PlaySound(Sound) override {}
    std::uint32_t now = 0;

private:
    Pcg32& rng_;
};

PlayerInput ClickAt(std::int32_t x, std::int32_t y) {
    PlayerInput in;
    in.x = x;
    in.y = y;
    in.click = true;
    return in;
}

HumanAct ActFor(HumanWanted w) {
    switch (w) {
        case HumanWanted::Card: return HumanAct::Card;
        case HumanWanted::Contract: return HumanAct::Contract;
        default: return HumanAct::NextDeal;
    }
}

// The slot of the human's hand that started moving in the last frame: the card he threw.
int ThrownSlot(const TableState& t, const std::array<bool, kHandSize>& movingBefore) {
    const auto& hand = t.seats[kHumanSeat].hand;
    for (int i = 0; i < kHandSize; ++i) {
        if (hand[i].moving && !movingBefore[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

std::string Describe(const JournalEntry& e, std::size_t index) {
    return "decision " + std::to_string(index + 1) + " (" + static_cast<char>(e.act) + " " +
           std::to_string(e.value) + ")";
}

}  // namespace

HumanWanted WhatHumanIsWanted(const TableState& t) {
    const GameState state = t.flow.state;
    if (state == GameState::DealOver) return HumanWanted::NextDeal;
    if (state == GameState::ChoosingContract && t.menu.shown && t.human.waiting) return HumanWanted::Contract;
    if (state == GameState::Playing && t.human.waiting && t.currentSeat == kHumanSeat && !t.human.hasPlayed) {
        return HumanWanted::Card;
    }
    return HumanWanted::Nothing;
}

bool ReplayMatch(const MatchSave& save, bool fullScreen, TableState& t, Pcg32& rng, ComputerPlayer& players,
                 std::string& why, const std::function<void(const TableState&)>& afterFrame) {
    // The looks are this run's (classic table, dimming); the rules are the match's.
    const Options run = t.options;
    t = TableState{};
    t.options = run;
    t.options.deckName = save.deck;
    t.options.expertOpponents = save.expertOpponents;
    t.options.fullScreen = fullScreen;
    t.options.sevenOfHeartsLead = save.sevenOfHeartsLead;
    t.options.slowAnimation = save.slowAnimation;
    t.options.dealPacketSize = save.dealPackets;
    t.firstSeat = save.firstSeat;
    t.firstSeatChosen = save.firstSeatChosen;
    MoveTo(rng, save.start);
    ReplayServices s(rng);
    StartRun(t, s, players);

    GeneratorPosition dealStart = save.start;
    std::array<std::int16_t, 4> totals{};
    std::size_t next = 0;
    const std::size_t count = save.journal.size();
    for (long frame = 0;; ++frame) {
        if (frame > kMaxReplayFrames) {
            why = "its journal never comes to the table it left";
            return false;
        }
        if (t.flow.state == GameState::Waiting) s.now = std::max(s.now, DelayEndTick(t));
        const HumanWanted wanted = WhatHumanIsWanted(t);
        if (next == count) {
            if (wanted != HumanWanted::Nothing) break;
        }
        PlayerInput in;
        const JournalEntry* entry = next < count ? &save.journal[next] : nullptr;
        const std::uint64_t at = rng.Where().state;
        if (entry != nullptr && entry->act == HumanAct::Sort) {
            if (at == entry->at && MaySortHand(t)) {
                in.sort = true;
            } else if (wanted != HumanWanted::Nothing) {
                why = Describe(*entry, next) + " was not made where the match waits for the human";
                return false;
            }
        } else if (entry != nullptr && wanted != HumanWanted::Nothing) {
            if (at != entry->at || ActFor(wanted) != entry->act) {
                why = Describe(*entry, next) + " does not fit the match at that point";
                return false;
            }
            if (wanted == HumanWanted::NextDeal) {
                in = ClickAt(400, 300);
                dealStart = PositionOf(rng);
                for (int seat = 0; seat < kSeatCount; ++seat) totals[seat] = t.seats[seat].matchTotal;
            } else if (wanted == HumanWanted::Contract) {
                const MenuRow& row = t.menu.rows[entry->value - 1];
                if (!row.enabled) {
                    why = Describe(*entry, next) + " chooses a contract the menu does not offer";
                    return false;
                }
                in = ClickAt(row.x + kMenuRowWidth / 2, row.y + kMenuRowHeight / 2);
            } else {
                int slot = -1;
                const auto& hand = t.seats[kHumanSeat].hand;
                for (int i = 0; i < kHandSize; ++i) {
                    if (hand[i].active && hand[i].card == entry->value) slot = i;
                }
                if (slot < 0) {
                    why = Describe(*entry, next) + " plays a card the hand does not hold";
                    return false;
                }
                in = Autopilot::ClickOnCard(t, slot);
            }
        }

        std::array<bool, kHandSize> movingBefore{};
        for (int i = 0; i < kHandSize; ++i) movingBefore[i] = t.seats[kHumanSeat].hand[i].moving;
        const GameState before = t.flow.state;
        RunFrame(t, s, players, in);
        if (in.sort || in.click) {
            bool took = false;
            switch (entry->act) {
                case HumanAct::Sort: took = t.flow.state != before; break;
                case HumanAct::NextDeal: took = t.flow.state != GameState::DealOver; break;
                case HumanAct::Contract: took = t.human.acted && Number(t.contract) == entry->value; break;
                case HumanAct::Card: {
                    const int slot = ThrownSlot(t, movingBefore);
                    took = slot >= 0 && t.seats[kHumanSeat].hand[slot].card == entry->value;
                    break;
                }
            }
            if (!took) {
                why = Describe(*entry, next) + " is refused by the table";
                return false;
            }
            ++next;
        }
        if (afterFrame) afterFrame(t);
        s.now += 1;
    }

    // The save also says where the last deal began: a journal that was
    // changed yet still fits somewhere comes out elsewhere.
    const int deal = t.match.dealsPlayed + (t.flow.state == GameState::DealOver ? 0 : 1);
    if (dealStart != save.dealStart || totals != save.totalsAtDealStart || deal != save.deal) {
        why = "its journal leads to another deal than the one it names";
        return false;
    }
    return true;
}

std::string TableText(const TableState& t) {
    // Values the game writes before it reads them again are left out: where
    // a card at rest last travelled to, the menu's rows while it is closed,
    // the winners of tricks not yet played, the result of a match under way,
    // the state to go back to when no sort or delay runs, the contract before
    // the deal's is chosen, the winners of tricks not yet finished,
    // the slot of a computer card no longer flying.
    // A match taken up in the same run after another one would still hold
    // them from that one; a resumed match never does.
    std::ostringstream o;
    const auto sprite = [&o](const CardSprite& c, bool withSeat) {
        o << c.x << ',' << c.y << ',' << int(c.card) << ',' << c.active << c.faceUp << c.moving << c.collect
          << ',' << c.home.x << ',' << c.home.y;
        if (c.moving) {
            o << ',' << c.targetX << ',' << c.targetY << ',' << c.stepX << ',' << c.stepY << ','
              << int(c.dirX) << ',' << int(c.dirY);
        }
        if (withSeat || c.moving) o << ',' << int(c.seat);
        o << ';';
    };
    o << t.options.deckName << t.options.sevenOfHeartsLead << t.options.slowAnimation
      << t.options.dealPacketSize << '\n';
    for (const Seat& seat : t.seats) {
        for (const CardSprite& c : seat.hand) sprite(c, false);
        for (int i = 0; i < seat.wonCount; ++i) sprite(seat.wonPile[i], false);
        o << '|' << seat.wonCount << ',' << seat.matchTotal << ',';
        // The score page's rows so far, and the last deal's score once it is shown.
        for (int row = 0; row < t.match.historyRows; ++row) o << seat.history[row] << ',';
        if (t.match.dealsPlayed > 0) o << seat.dealScore;
        o << ',' << seat.trumpContractsChosen << ',' << seat.negativeContractsChosen << ',' << seat.name
          << ',' << seat.penaltyCardsShown << '\n';
    }
    for (const CardSprite& c : t.deck.cards) sprite(c, false);
    o << '|' << t.deck.nextCard << ',' << t.deck.turn << ',' << t.deck.packetCardsDealt << ','
      << int(t.deck.flightSeat) << ',' << t.deck.pile.x << ',' << t.deck.pile.y << '\n';
    const bool sorting = t.flow.state == GameState::GatheringHand || t.flow.state == GameState::SpreadingHand;
    const GameState settled = sorting ? t.flow.stateBeforeSort : t.flow.state;
    const bool booked = settled != GameState::Dealing && settled != GameState::NotStarted &&
                        !(settled == GameState::ChoosingContract && !t.flow.stepPhase);
    o << t.currentSeat << ',' << t.firstSeat << ',' << t.firstSeatChosen << ','
      << (booked ? Number(t.contract) : -1) << ',' << (t.trump ? static_cast<int>(*t.trump) : -1) << ','
      << t.contractAnnounced << ',' << t.menu.shown << '\n';
    for (std::int16_t u : t.contractUses) o << u << ',';
    if (t.menu.shown) {
        for (const MenuRow& r : t.menu.rows) o << r.x << ',' << r.y << ',' << r.enabled << ';';
    }
    o << '\n';
    for (int i = 0; i < t.trick.count; ++i) sprite(t.trick.cards[i], true);
    o << '|' << t.trick.count << ',' << (t.trick.cardsPlayed >= kTrickSize ? t.trick.winner : -1) << ','
      << (t.trick.count == kTrickSize ? t.trick.winnerCard : -1) << ',' << t.trick.cardsPlayed << ','
      << (t.trick.cardsPlayed >= 44 ? t.trick.eleventhWinner : -1) << ','
      << (t.trick.cardsPlayed >= 48 ? t.trick.twelfthWinner : -1) << ',' << t.trick.heartsBroken << ','
      << (t.cardsInMotion > 0 && t.currentSeat != kHumanSeat ? t.trick.computerSlot : -1) << '\n';
    o << t.human.waiting << t.human.acted << t.human.hasPlayed << ',' << t.human.pickedSlot << '\n';
    // The state to return to after a sort or a delay, while one runs.
    const bool waiting = t.flow.state == GameState::Waiting;
    const bool showing = t.flow.state == GameState::ShowingContract || waiting;
    o << static_cast<int>(t.flow.state) << ',' << (sorting ? static_cast<int>(t.flow.stateBeforeSort) : -1)
      << ',' << (waiting ? static_cast<int>(t.flow.stateAfterDelay) : -1) << ','
      << (waiting ? t.flow.delayLength : -1) << ',' << (showing && t.flow.delayJustEnded) << t.flow.stepPhase
      << '\n';
    o << t.match.dealsPlayed << ',' << t.match.over << ','
      << (t.match.over ? static_cast<int>(t.match.result) : 0) << ',' << t.match.historyRows << ','
      << t.match.historyFull << ',' << t.cardsInMotion << '\n';
    return o.str();
}

std::string TableFingerprint(const TableState& t) { return Sha256Hex(TableText(t)); }

}  // namespace tenfold
