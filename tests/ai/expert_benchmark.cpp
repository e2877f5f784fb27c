// How long the expert thinks: every decision of whole matches against the
// classic players, replayed one by one, with the percentiles of the times.
// A benchmark, not a test: the figures go into docs/STRENGTH.md.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "ai/expert_player.h"
#include "ai/headless_game.h"
#include "core/layout.h"

namespace tenfold {
namespace {

struct Questions {
    std::vector<ExpertQuestion> cards;
    std::vector<ExpertQuestion> contracts;
};

// Takes down every question the expert seats are asked in `matches` matches.
class Asker : public ComputerPlayer {
public:
    Asker(ExpertPlayer& expert, Questions& out) : expert_(expert), out_(out) {}
    void DealStarted(const TableState& t) override { expert_.DealStarted(t); }
    Contract ChooseContract(const TableState& t, int seat, RandomSource& chance) override {
        out_.contracts.push_back(expert_.ContractQuestion(t, seat));
        return expert_.ChooseContract(t, seat, chance);
    }
    Card ChooseCard(const TableState& t, int seat) override {
        const ExpertQuestion q = expert_.CardQuestion(t, seat);
        if (std::popcount(q.view.deal.Legal()) > 1) out_.cards.push_back(q);  // forced cards cost nothing
        return expert_.ChooseCard(t, seat);
    }
    void HearPlay(const TableState& t, int seat, Card card) override { expert_.HearPlay(t, seat, card); }

private:
    ExpertPlayer& expert_;
    Questions& out_;
};

const Questions& AskedQuestions() {
    static const Questions questions = [] {
        Questions q;
        for (std::uint64_t seed = 1; seed <= 2; ++seed) {
            HeadlessGame game(seed);
            ExpertPlayer expert(ExpertSeed(seed));
            Asker asker(expert, q);
            game.pilot.JudgeWith(asker);
            TableState& t = game.table;
            StartRun(t, game.services, asker);
            UseFewestAnimationFrames(t);
            while (!(t.flow.state == GameState::DealOver && t.match.over)) {
                if (t.flow.state == GameState::Waiting)
                    game.services.clock.now = std::max(game.services.clock.now, DelayEndTick(t));
                PlayerInput input;
                if (const auto click = game.pilot.Decide(t)) input = *click;
                RunFrame(t, game.services, asker, input);
                game.services.clock.Advance(1);
            }
        }
        return q;
    }();
    return questions;
}

// Wall time, and the thread's processor time (what the decision costs when it
// has a core to itself; on a loaded machine the wall time also counts other
// programs' turns).
void Percentiles(benchmark::State& state, std::vector<double> ms, const std::string& prefix) {
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double p) {
        return ms[static_cast<std::size_t>(p * static_cast<double>(ms.size() - 1))];
    };
    state.counters[prefix + "p50_ms"] = at(0.50);
    state.counters[prefix + "p95_ms"] = at(0.95);
    state.counters[prefix + "max_ms"] = ms.back();
}

double ThreadMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void Decide(benchmark::State& state, const std::vector<ExpertQuestion>& questions) {
    const ExpertPlayer expert(ExpertSeed(1));
    std::vector<double> wall, cpu;
    std::size_t i = 0;
    for (auto _ : state) {
        const ExpertQuestion& q = questions[i++ % questions.size()];
        const auto start = std::chrono::steady_clock::now();
        const double startCpu = ThreadMs();
        benchmark::DoNotOptimize(expert.Answer(q));
        cpu.push_back(ThreadMs() - startCpu);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["decisions"] = static_cast<double>(wall.size());
    Percentiles(state, wall, "wall_");
    Percentiles(state, cpu, "cpu_");
}

void BM_ExpertCard(benchmark::State& state) { Decide(state, AskedQuestions().cards); }
void BM_ExpertContract(benchmark::State& state) { Decide(state, AskedQuestions().contracts); }

// About one pass over the questions of two matches, every seat an expert.
BENCHMARK(BM_ExpertCard)->Iterations(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpertContract)->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tenfold

BENCHMARK_MAIN();
