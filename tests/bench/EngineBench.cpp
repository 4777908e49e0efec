// How long the calculator engine takes for one key.
#include "CalculatorEngine.h"
#include "EngineKeys.h"

#include <benchmark/benchmark.h>
#include <string_view>

namespace {

// A realistic session: amounts, operators, parentheses, memory, clears.
constexpr std::string_view Session = "125G37S*3=+(4S9K-2K)=M17K/4=A~R2E5K+7G=C";

void EngineKey(benchmark::State& state) {
    calculator::CalculatorEngine engine;
    std::size_t next = 0;
    for (auto _ : state) {
        press(engine, Session.substr(next, 1));
        next = (next + 1) % Session.size();
        benchmark::DoNotOptimize(engine.resultLine().data());
    }
}
BENCHMARK(EngineKey);

// Operators append to the tape; a long session must not slow each key down.
void EngineKeyAfterLongTape(benchmark::State& state) {
    calculator::CalculatorEngine engine;
    for (int i = 0; i < 2000; ++i)
        press(engine, "3K+");
    for (auto _ : state) {
        press(engine, "1K+");
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(EngineKeyAfterLongTape);

} // namespace

BENCHMARK_MAIN();
