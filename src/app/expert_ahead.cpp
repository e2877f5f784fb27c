#include "app/expert_ahead.h"

#include <chrono>

#include "core/trick_play.h"

namespace tenfold {

ExpertAhead::~ExpertAhead() {
    if (answer_.valid()) answer_.wait();
    for (auto& f : abandoned_) f.wait();
}

Card ExpertAhead::ChooseCard(const TableState& t, int seat) {
    const ExpertQuestion q = expert_.CardQuestion(t, seat);
    if (q.view.deal.Legal() == 0) return expert_.ChooseCard(t, seat);
    return static_cast<Card>(Resolve(q));
}

int ExpertAhead::Resolve(const ExpertQuestion& q) {
    if (asked_ && *asked_ == q && answer_.valid()) {
        ++answeredAhead;
        return answer_.get();
    }
    return expert_.Answer(q);
}

std::optional<ExpertQuestion> ExpertAhead::NextQuestion(const TableState& t,
                                                        const std::array<bool, kSeatCount>& seats) const {
    const auto wanted = [&](int seat) { return seats[static_cast<std::size_t>(seat)]; };
    if (t.cardsInMotion > 0 && t.flow.state != GameState::Dealing) return std::nullopt;
    switch (t.flow.state) {
        case GameState::Dealing: {
            // The first seat chooses once its thirteen cards are in.
            const int chooser = t.firstSeat;
            if (chooser == kHumanSeat || !wanted(chooser) || HandSize(t, chooser) != kHandSize)
                return std::nullopt;
            if (t.match.dealsPlayed == 0 && t.options.sevenOfHeartsLead) return std::nullopt;
            return expert_.ContractQuestion(t, chooser);
        }
        case GameState::ChoosingContract: {
            if (t.flow.stepPhase) return std::nullopt;
            const int chooser = t.human.waiting ? kHumanSeat : NextSeat(t.currentSeat);
            if (!wanted(chooser)) return std::nullopt;
            return expert_.ContractQuestion(t, chooser);
        }
        case GameState::ShowingContract:
        case GameState::Playing:
        case GameState::Waiting: {
            if (t.contract == Contract::None || t.trick.count >= kTrickSize) return std::nullopt;
            if (t.flow.state == GameState::Waiting && t.flow.stateAfterDelay != GameState::Playing &&
                t.flow.stateAfterDelay != GameState::ShowingContract)
                return std::nullopt;
            // While the human is to play, currentSeat is already his.
            const int next = t.human.waiting ? kHumanSeat : NextSeat(t.currentSeat);
            if (!wanted(next) || HandSize(t, next) == 0) return std::nullopt;
            return expert_.CardQuestion(t, next);
        }
        case GameState::GatheringTrick:
        case GameState::CarryingTrick: {
            // The winner leads next, once the trick lies in its pile.
            const int winner = t.trick.winner;
            if (!wanted(winner) || t.trick.count != kTrickSize || t.trick.cardsPlayed >= kDeckSize)
                return std::nullopt;
            TableState after = t;
            Seat& pile = after.seats[winner];
            for (int i = 0; i < after.trick.count; ++i)
                pile.wonPile[pile.wonCount++].card = after.trick.cards[i].card;
            after.trick.count = 0;
            return expert_.CardQuestion(after, winner);
        }
        default: return std::nullopt;
    }
}

void ExpertAhead::Foresee(const TableState& t, const std::array<bool, kSeatCount>& seats) {
    // Drop the finished ones among the abandoned.
    std::erase_if(abandoned_, [](const std::shared_future<int>& f) {
        return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    std::optional<ExpertQuestion> q = NextQuestion(t, seats);
    if (!q || (asked_ && *asked_ == *q)) return;
    if (answer_.valid() && answer_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        abandoned_.push_back(answer_);
    asked_ = q;
    // The expert's answer reads only the question and the seed: the copy is
    // the worker's alone, the player itself is not touched while it runs.
    answer_ = std::async(std::launch::async, [expert = expert_, question = *q] {
                  return expert.Answer(question);
              }).share();
}

std::optional<int> ExpertAhead::HintNow(const TableState& t) {
    if (!t.human.waiting || t.flow.paused) return std::nullopt;
    if (t.flow.state == GameState::ChoosingContract && t.menu.shown)
        return Resolve(expert_.ContractQuestion(t, kHumanSeat));
    if (t.flow.state == GameState::Playing && t.currentSeat == kHumanSeat && !t.human.hasPlayed) {
        const ExpertQuestion q = expert_.CardQuestion(t, kHumanSeat);
        if (q.view.deal.Legal() == 0) return std::nullopt;
        return Resolve(q);
    }
    return std::nullopt;
}

}  // namespace tenfold
