// One operator key through the main window, painting included, at an empty
// tape and after a long session. A key must not slow down as the tape grows:
// compare the rows with 2000 and 5000 operations before against the row with 0.
#include "ZentabCalc.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>
#include <string_view>

namespace {

void typeKeys(ZentabCalc& calculator, std::string_view keys) {
    for (char key : keys)
        QTest::keyClick(&calculator, key);
}

void OperatorKeyAfterTapeOperations(benchmark::State& state) {
    ZentabCalc calculator;
    calculator.show();
    if (!QTest::qWaitForWindowExposed(&calculator)) {
        state.SkipWithError("the main window was never shown");
        return;
    }
    for (std::int64_t i = 0; i < state.range(0); ++i)
        typeKeys(calculator, "1K+");
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        typeKeys(calculator, "1K");
        QCoreApplication::processEvents();
        state.ResumeTiming();
        typeKeys(calculator, "+");
        QCoreApplication::processEvents(); // the repaint belongs to the key
    }
}
// A fixed count keeps the tape of each row within 300 operations of its argument.
BENCHMARK(OperatorKeyAfterTapeOperations)
    ->Arg(0)
    ->Arg(2000)
    ->Arg(5000)
    ->Iterations(300)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMicrosecond);

} // namespace
