// The debug log over many account reloads, without the board: each reload
// writes the lines that loading 100 accounts on five board pages writes (two
// per page asked for, the error page after the last included, and two per
// account). Heap in use is measured after every reload; once the log is full
// it must stay flat. Argument: 0 with the log window hidden, 1 shown.
#include "frmLog.h"

#include <QApplication>
#include <QPointer>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int Accounts = 100;
constexpr int AccountsPerPage = 20;
constexpr int PagesAskedFor = Accounts / AccountsPerPage + 1;
constexpr int Reloads = 100;

void logOneReload() {
    for (int page = 1; page <= PagesAskedFor; ++page) {
        Log(QStringLiteral("Opening page %1 of accounts").arg(page));
        Log(QStringLiteral("WB1  (readystate=4)"));
        for (int n = 1; page < PagesAskedFor && n <= AccountsPerPage; ++n) {
            const int thread = (page - 1) * AccountsPerPage + n;
            Log(QStringLiteral("Thread: %1 text:Account %1").arg(thread));
            Log(QStringLiteral("WB2 (readystate=4)"));
        }
    }
}

double heapInUseKb() {
    return static_cast<double>(mallinfo2().uordblks) / 1024;
}

void discardLog() {
    if (!frmLog::exists())
        return;
    QPointer<frmLog> log = &frmLog::instance();
    log->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void LogLinesOfAHundredReloads(benchmark::State& state) {
    std::vector<double> heapKb;
    for (auto _ : state) {
        state.PauseTiming();
        discardLog();
        Log();
        if (state.range(0) == 1)
            frmLog::instance().show();
        heapKb.assign(1, heapInUseKb());
        state.ResumeTiming();
        for (int reload = 0; reload < Reloads; ++reload) {
            logOneReload();
            QCoreApplication::processEvents();
            heapKb.push_back(heapInUseKb());
        }
    }
    discardLog();
    // The first 20 reloads fill the log; from reload 60 on it is full.
    state.counters["kb_per_reload_1_to_20"] = (heapKb[20] - heapKb[0]) / 20;
    state.counters["kb_per_reload_60_to_100"] = (heapKb[Reloads] - heapKb[60]) / (Reloads - 60);
}
BENCHMARK(LogLinesOfAHundredReloads)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
