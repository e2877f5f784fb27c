#pragma once
// The expert at the game's table thinks ahead: after every frame the game
// works out which question the table will put to an expert seat next (or to
// the human's hint) and starts answering it on a worker thread while the
// cards fly and the delays run, so the frame that asks finds the answer
// ready. The answer is the expert's own, a function of the question and the
// seed (ExpertPlayer::Answer): thought ahead or not, the game plays the same.

#include <array>
#include <future>
#include <optional>
#include <vector>

#include "ai/expert_player.h"

namespace tenfold {

class ExpertAhead : public ComputerPlayer {
public:
    explicit ExpertAhead(std::uint64_t seed) : expert_(seed) {}
    ~ExpertAhead() override;
    ExpertAhead(const ExpertAhead&) = delete;
    ExpertAhead& operator=(const ExpertAhead&) = delete;

    void DealStarted(const TableState& t) override { expert_.DealStarted(t); }
    Contract ChooseContract(const TableState& t, int seat, RandomSource&) override {
        return ContractNumbered(Resolve(expert_.ContractQuestion(t, seat)));
    }
    Card ChooseCard(const TableState& t, int seat) override;
    void HearPlay(const TableState& t, int seat, Card card) override { expert_.HearPlay(t, seat, card); }

    // After a frame: starts on the next question the table will ask of one of
    // `seats` (seat 0: the human's hint), unless it is being answered already.
    void Foresee(const TableState& t, const std::array<bool, kSeatCount>& seats);
    // The question the table will ask next of a seat among `seats`, if one is
    // known now.
    std::optional<ExpertQuestion> NextQuestion(const TableState& t,
                                               const std::array<bool, kSeatCount>& seats) const;
    // The expert's choice for the human now: a card while he is to play, a
    // contract while his menu is open (card code or contract number).
    std::optional<int> HintNow(const TableState& t);

    // Questions answered ahead and found ready (or running) when asked; for the tests.
    int answeredAhead = 0;

private:
    int Resolve(const ExpertQuestion& q);

    ExpertPlayer expert_;
    std::optional<ExpertQuestion> asked_;
    std::shared_future<int> answer_;
    std::vector<std::shared_future<int>> abandoned_;  // still running, never waited for
};

}  // namespace tenfold
