// One operator key through the main window, painting included, at a long tape
// against the same key at an empty tape. The two windows take their keys in
// turns, so that a busy machine slows both alike; a key must not slow down as
// the tape grows, so the ratio should stay near 1.
#include "Median.h"
#include "ZentabCalc.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>
#include <chrono>
#include <string_view>
#include <vector>

namespace {

void typeKeys(ZentabCalc& calculator, std::string_view keys) {
    for (char key : keys)
        QTest::keyClick(&calculator, key);
    QCoreApplication::processEvents(); // the repaint belongs to the keys
}

// Microseconds of a plus key, once the next operand has been typed.
double plusKeyUs(ZentabCalc& calculator) {
    typeKeys(calculator, "1K");
    const auto start = std::chrono::steady_clock::now();
    typeKeys(calculator, "+");
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

void clear(ZentabCalc& calculator) {
    QTest::keyClick(&calculator, Qt::Key_Backspace, Qt::ShiftModifier);
    typeKeys(calculator, "1K+");
}

void OperatorKeyAtALongTapeInTurnsWithAnEmptyOne(benchmark::State& state) {
    ZentabCalc empty;
    ZentabCalc tall;
    for (ZentabCalc* calculator : {&empty, &tall}) {
        calculator->show();
        if (!QTest::qWaitForWindowExposed(calculator)) {
            state.SkipWithError("a main window was never shown");
            return;
        }
    }
    for (std::int64_t i = 0; i < state.range(0); ++i)
        typeKeys(tall, "1K+");
    std::vector<double> emptyUs, tallUs, ratios;
    for (auto _ : state) {
        clear(empty);
        if (empty.engine().tape().size() > 100) {
            state.SkipWithError("Clear left the tape as it was");
            return;
        }
        emptyUs.push_back(plusKeyUs(empty));
        tallUs.push_back(plusKeyUs(tall));
        ratios.push_back(tallUs.back() / emptyUs.back());
    }
    state.counters["us_at_empty_tape"] = median(emptyUs);
    state.counters["us_at_long_tape"] = median(tallUs);
    state.counters["long_per_empty"] = median(ratios);
}
// A fixed count keeps the long tape within 300 operations of its argument.
BENCHMARK(OperatorKeyAtALongTapeInTurnsWithAnEmptyOne)
    ->Arg(30)
    ->Arg(2000)
    ->Arg(5000)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

} // namespace
