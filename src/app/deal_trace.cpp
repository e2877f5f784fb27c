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

DealRecorder::DealRecorder(const TableState& t) : lastState_(t.flow.state), lastMatchOver_(t.match.over) {
    StartDeal(t);
}

void DealRecorder::StartDeal(const TableState& t) {
    playsSeen_ = 0;
    firstSeat_ = t.firstSeat;
    for (int i = 0; i < kDeckSize; ++i) deck_[static_cast<std::size_t>(i)] = t.deck.cards[i].card;
    chooser_ = -1;
    contract_ = 0;
    plays_.clear();
    trickWinners_.clear();
}

bool DealRecorder::AfterFrame(const TableState& t) {
    if (lastState_ == GameState::DealOver) {
        // The score page is left by the click that deals anew (in the same frame).
        if (lastMatchOver_ && t.flow.state != GameState::DealOver) ++match_;
        StartDeal(t);
    }
    while (playsSeen_ < t.trick.cardsPlayed) {
        // One card lands per frame; the k-th card of a trick lies in trick.cards[k].
        const CardSprite& card = t.trick.cards[playsSeen_ % kTrickSize];
        plays_.push_back({card.seat, card.card});
        ++playsSeen_;
        if (playsSeen_ % kTrickSize == 0) trickWinners_.push_back(t.trick.winner);
    }
    if (t.flow.state == GameState::ShowingContract && lastState_ != GameState::ShowingContract) {
        chooser_ = NextSeat(t.currentSeat);
        contract_ = Number(t.contract);
    }
    const bool scored = t.flow.state == GameState::DealOver && lastState_ != GameState::DealOver;
    lastState_ = t.flow.state;
    lastMatchOver_ = t.match.over;
    return scored;
}

std::string DealRecorder::Line(const TableState& t, const TraceOptions& options) const {
    nlohmann::ordered_json line;
    line["match"] = match_;
    line["deal"] = t.match.dealsPlayed;
    line["options"] = {{"seven_of_hearts_lead", options.sevenOfHeartsLead},
                       {"packet", options.dealPacketSize}};
    line["autopilot_seats"] = {0};
    line["players"] = options.players;
    line["first_seat"] = firstSeat_;
    line["deck"] = deck_;
    line["chooser"] = chooser_;
    line["contract"] = contract_;
    line["plays"] = plays_;
    line["trick_winners"] = trickWinners_;
    nlohmann::ordered_json scores = nlohmann::ordered_json::array();
    nlohmann::ordered_json totals = nlohmann::ordered_json::array();
    for (const Seat& seat : t.seats) {
        scores.push_back(seat.dealScore);
        totals.push_back(seat.matchTotal);
    }
    line["deal_scores"] = scores;
    line["match_totals"] = totals;
    line["result"] = ResultText(t.match.result);
    return line.dump();
}

}  // namespace tenfold
