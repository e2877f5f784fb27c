// Speed of whole headless matches (run by hand: build/tests/sim/sim_benchmark).
#include <benchmark/benchmark.h>

#include "app/simulator.h"

static void WholeMatch(benchmark::State& state) {
    std::uint64_t seed = 1;
    for (auto _ : state) {
        tenfold::SimOptions options;
        options.matches = 1;
        options.seed = seed++;
        benchmark::DoNotOptimize(tenfold::RunSimulation(options));
    }
    state.counters["matches/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(WholeMatch)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
