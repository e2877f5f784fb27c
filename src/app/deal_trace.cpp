#include "app/deal_trace.h"

#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace tenfold {

TraceFile::TraceFile(const std::string& path) : path_(path) {
    if (path_.empty()) return;
    temp_ = path_ + ".tmp" + std::to_string(::getpid());
    out_.open(temp_, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out_) throw std::invalid_argument("cannot write trace file " + path_);
}

TraceFile::~TraceFile() {
    if (!temp_.empty() && !committed_) {
        out_.close();
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
}

void TraceFile::Write(const std::string& line) {
    out_ << line << '\n';
    if (!out_) throw std::runtime_error("cannot write trace file " + path_);
}

void TraceFile::Commit() {
    if (path_.empty() || committed_) return;
    out_.close();
    if (!out_) throw std::runtime_error("cannot write trace file " + path_);
    std::filesystem::rename(temp_, path_);
    committed_ = true;
}

DealRecorder::DealRecorder(const TableState& t) : lastState_(t.GameState), lastMatchOver_(t.MatchOver) {
    StartDeal(t);
}

void DealRecorder::StartDeal(const TableState& t) {
    playsSeen_ = 0;
    firstSeat_ = t.FirstSeat;
    for (int i = 0; i < 52; ++i) deck_[static_cast<std::size_t>(i)] = t.Deck[i].Code;
    chooser_ = -1;
    contract_ = 0;
    plays_.clear();
    trickWinners_.clear();
}

bool DealRecorder::AfterFrame(const TableState& t) {
    if (lastState_ == "END OF MATCH") {
        // The score page is left by the click that deals anew (in the same frame).
        if (lastMatchOver_ && t.GameState != "END OF MATCH") ++match_;
        StartDeal(t);
    }
    while (playsSeen_ < t.CardsPlayed) {
        // One card lands per frame; the k-th card of a trick sits in TableCards[k].
        const CardSprite& card = t.TableCards[playsSeen_ % 4];
        plays_.push_back({card.TableSlot, card.Code});
        ++playsSeen_;
        if (playsSeen_ % 4 == 0) trickWinners_.push_back(t.TrickWinner);
    }
    if (t.GameState == "SHOW CONTRACT" && lastState_ != "SHOW CONTRACT") {
        chooser_ = (t.CurrentSeat + 1) % 4;
        contract_ = t.Contract;
    }
    const bool scored = t.GameState == "END OF MATCH" && lastState_ != "END OF MATCH";
    lastState_ = t.GameState;
    lastMatchOver_ = t.MatchOver;
    return scored;
}

std::string DealRecorder::Line(const TableState& t, const TraceOptions& options) const {
    nlohmann::ordered_json line;
    line["match"] = match_;
    line["deal"] = t.DealsPlayed;
    line["options"] = {{"seven_of_hearts_lead", options.sevenOfHeartsLead},
                       {"packet", options.dealPacketSize}};
    line["autopilot_seats"] = {0};
    line["first_seat"] = firstSeat_;
    line["deck"] = deck_;
    line["chooser"] = chooser_;
    line["contract"] = contract_;
    line["plays"] = plays_;
    line["trick_winners"] = trickWinners_;
    line["deal_scores"] = {t.DealScore0, t.DealScore1, t.DealScore2, t.DealScore3};
    line["match_totals"] = {t.MatchTotal0, t.MatchTotal1, t.MatchTotal2, t.MatchTotal3};
    line["result"] = t.MatchResult;
    return line.dump();
}

}  // namespace tenfold
