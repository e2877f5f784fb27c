#include "app/match_keeper.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <ostream>

#include "app/match_replay.h"
#include "core/state_machine.h"

namespace tenfold {

namespace {

std::int64_t SecondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string UtcDate(std::int64_t seconds) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string Hex64(std::uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

void TakeOptions(MatchSave& save, const TableState& t) {
    save.deck = t.options.deckName;
    save.sevenOfHeartsLead = t.options.sevenOfHeartsLead;
    save.dealPackets = t.options.dealPacketSize;
    save.slowAnimation = t.options.slowAnimation;
    save.expertOpponents = t.options.expertOpponents;
}

}  // namespace

MatchKeeper::MatchKeeper(KeeperFiles files, std::ostream& err) : files_(std::move(files)), err_(err) {}

void MatchKeeper::StartNew(TableState& t, Pcg32& rng, Services& s, ComputerPlayer& players) {
    save_ = MatchSave{};
    TakeOptions(save_, t);
    save_.start = PositionOf(rng);
    save_.firstSeat = t.firstSeat;
    save_.firstSeatChosen = t.firstSeatChosen;
    save_.startedAt = SecondsNow();
    save_.deal = 1;
    save_.dealStart = save_.start;
    deals_.clear();
    dealsNoted_ = 0;
    over_ = false;
    StartRun(t, s, players);
    Store();
}

bool MatchKeeper::Resume(const MatchSave& save, bool fullScreen, TableState& t, Pcg32& rng,
                         ComputerPlayer& players) {
    deals_.clear();
    dealsNoted_ = 0;
    over_ = false;
    std::string why;
    if (!ReplayMatch(save, fullScreen, t, rng, players, why,
                     [this](const TableState& table) { NoteDeals(table); })) {
        err_ << SetAsideMatchSave(files_.save, why) << "\n";
        err_.flush();
        return false;
    }
    save_ = save;
    if (autopilot_ != nullptr && save.autopilot) MoveTo(*autopilot_, *save.autopilot);
    // Ended on the last score page before the record was made: make it now.
    if (t.match.over) FinishMatch(t);
    return true;
}

void MatchKeeper::BeforeFrame(const TableState& t, const Pcg32& rng) {
    Before& b = before_;
    b.state = t.flow.state;
    b.menuWaiting = t.flow.state == GameState::ChoosingContract && t.human.waiting;
    b.hasPlayed = t.human.hasPlayed;
    b.matchOver = t.match.over;
    b.firstSeat = t.firstSeat;
    b.firstSeatChosen = t.firstSeatChosen;
    b.rng = PositionOf(rng);
    for (int seat = 0; seat < kSeatCount; ++seat) b.totals[seat] = t.seats[seat].matchTotal;
    for (int i = 0; i < kHandSize; ++i) b.handMoving[i] = t.seats[kHumanSeat].hand[i].moving;
    if (!fingerprintLog_.empty()) b.fingerprint = TableFingerprint(t);
}

void MatchKeeper::AfterFrame(const TableState& t, const Pcg32& rng) {
    const Before& b = before_;
    bool changed = false;
    if (b.state == GameState::DealOver && t.flow.state != GameState::DealOver) {
        if (b.matchOver) {
            // The click on the last score page started the next match.
            save_ = MatchSave{};
            TakeOptions(save_, t);
            save_.start = b.rng;
            save_.firstSeat = b.firstSeat;
            save_.firstSeatChosen = b.firstSeatChosen;
            save_.startedAt = SecondsNow();
            deals_.clear();
            dealsNoted_ = 0;
            over_ = false;
        } else {
            Note({b.rng.state, HumanAct::NextDeal, 0});
        }
        save_.deal = static_cast<std::int16_t>(t.match.dealsPlayed + 1);
        save_.dealStart = b.rng;
        save_.totalsAtDealStart = b.matchOver ? std::array<std::int16_t, 4>{} : b.totals;
        changed = true;
    }
    if (b.state != GameState::GatheringHand && t.flow.state == GameState::GatheringHand) {
        Note({b.rng.state, HumanAct::Sort, 0});
        changed = true;
    }
    if (b.menuWaiting && t.human.acted && !t.human.waiting && t.contract != Contract::None) {
        Note({b.rng.state, HumanAct::Contract, static_cast<std::int16_t>(Number(t.contract))});
        changed = true;
    }
    if (!b.hasPlayed && t.human.hasPlayed) {
        const auto& hand = t.seats[kHumanSeat].hand;
        for (int i = 0; i < kHandSize; ++i) {
            if (hand[i].moving && !b.handMoving[i]) {
                Note({b.rng.state, HumanAct::Card, static_cast<std::int16_t>(hand[i].card)});
                changed = true;
                break;
            }
        }
    }
    (void)rng;
    NoteDeals(t);
    if (changed) Store();
    if (t.match.over && !b.matchOver) FinishMatch(t);
}

void MatchKeeper::Note(const JournalEntry& e) {
    if (!fingerprintLog_.empty()) {
        std::ofstream log(fingerprintLog_, std::ios::app);
        log << save_.journal.size() << " " << static_cast<char>(e.act) << " " << e.value << " "
            << before_.fingerprint << "\n";
    }
    save_.journal.push_back(e);
}

void MatchKeeper::NoteDeals(const TableState& t) {
    if (t.match.dealsPlayed < dealsNoted_) dealsNoted_ = 0;
    if (t.match.dealsPlayed > dealsNoted_) {
        deals_.push_back({static_cast<std::int16_t>(Number(t.contract)),
                          static_cast<std::int16_t>(-t.seats[kHumanSeat].dealScore)});
        dealsNoted_ = t.match.dealsPlayed;
    }
}

void MatchKeeper::Store() {
    if (files_.save.empty() || over_) return;
    if (autopilot_ != nullptr) save_.autopilot = PositionOf(*autopilot_);
    const std::string problem = StoreMatchSave(files_.save, save_);
    if (!problem.empty() && !saveFailing_) {
        err_ << "tenfold: cannot save the match: " << problem << "; the game goes on without it\n";
        err_.flush();
    }
    saveFailing_ = !problem.empty();
}

void MatchKeeper::FinishMatch(const TableState& t) {
    over_ = true;
    ++finished_;
    if (const std::string problem = RemoveMatchSave(files_.save); !problem.empty()) {
        err_ << "tenfold: " << problem << "\n";
    }
    MatchRecord record;
    record.id =
        Hex64(save_.start.state) + Hex64(save_.start.increment) + "-" + std::to_string(save_.startedAt);
    record.date = UtcDate(SecondsNow());
    record.deck = save_.deck;
    record.sevenOfHeartsLead = save_.sevenOfHeartsLead;
    record.dealPackets = save_.dealPackets;
    for (int seat = 0; seat < kSeatCount; ++seat) record.totals[seat] = t.seats[seat].matchTotal;
    record.won = t.match.result == MatchResult::Won;
    record.deals = deals_;
    if (!files_.statistics.empty()) {
        std::string warning;
        const std::string problem = RecordMatch(files_.statistics, record, warning);
        if (!warning.empty()) err_ << warning << "\n";
        if (!problem.empty())
            err_ << "tenfold: cannot record the match in the statistics: " << problem << "\n";
    }
    err_.flush();
    if (out_ != nullptr) {
        *out_ << "match " << finished_ << ":";
        for (std::int16_t total : record.totals) *out_ << " " << total;
        *out_ << " " << ResultText(t.match.result) << "\n";
        out_->flush();
    }
}

}  // namespace tenfold
