// How long the calculator engine takes for one key.
#include "CalculatorEngine.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

// A realistic session: amounts, operators, parentheses, memory, clears.
constexpr std::string_view Session = "125G37S*3=+(4S9K-2K)=M17K/4=A~R2E5K+7G=C";

void pressKey(calculator::CalculatorEngine& engine, char key) {
    using calculator::OperatorSymbols;
    switch (key) {
    case 'G':
        return engine.CommandGalleons_Click();
    case 'S':
        return engine.CommandSickles_Click();
    case 'K':
        return engine.CommandKnuts_Click();
    case 'C':
        return engine.CommandClear_Click();
    case 'E':
        return engine.CommandClearE_Click();
    case '(':
        return engine.OpenParenthesis();
    case ')':
        engine.CloseParenthesis();
        return;
    case '~':
        return engine.cmdNumericKeySign_Click();
    case 'M':
        return engine.cmdMemoryStore_Click();
    case 'A':
        return engine.cmdMemoryAdd_Click();
    case 'R':
        return engine.cmdMemoryRecal_Click();
    default:
        if (key >= '0' && key <= '9')
            return engine.cmdNumericKey_Click(key == '0' ? 9 : key - '1');
        engine.cmdKeyOP_Click(static_cast<int>(OperatorSymbols.find(key)));
    }
}

void EngineKey(benchmark::State& state) {
    calculator::CalculatorEngine engine;
    std::size_t next = 0;
    for (auto _ : state) {
        pressKey(engine, Session[next]);
        next = (next + 1) % Session.size();
        benchmark::DoNotOptimize(engine.resultLine().data());
    }
}
BENCHMARK(EngineKey);

// Operators append to the tape; a long session must not slow each key down.
void EngineKeyAfterLongTape(benchmark::State& state) {
    calculator::CalculatorEngine engine;
    for (int i = 0; i < 2000; ++i)
        for (char key : std::string_view("3K+"))
            pressKey(engine, key);
    for (auto _ : state) {
        pressKey(engine, '1');
        pressKey(engine, 'K');
        pressKey(engine, '+');
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(EngineKeyAfterLongTape);

} // namespace

BENCHMARK_MAIN();
