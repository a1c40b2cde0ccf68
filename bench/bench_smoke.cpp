// Placeholder so that the benchmark folder builds; real benchmarks sit beside it.
#include <benchmark/benchmark.h>

#include "util/numbers.h"

static void BM_NumericPrefix(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(brisko::numericPrefix(" 3530.1234"));
}
BENCHMARK(BM_NumericPrefix);
