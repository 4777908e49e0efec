// Loading the account manager: 100 accounts on five board pages from the board
// server on loopback. One load against the floor its waits set (300 ms per
// board page asked for, the error page after the last included, and 100 ms per
// account thread); and the process's resident memory over many loads in a row,
// which must stop growing.
#include "AccountLoader.h"
#include "ForumProxy.h"
#include "FrmVaultmeres.h"
#include "Module1.h"
#include "StatusBar.h"
#include "WebBrowser.h"
#include "board_test_support.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <benchmark/benchmark.h>
#include <fstream>
#include <unistd.h>

namespace {

using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

constexpr int Accounts = 100;
constexpr int PagesAskedFor = 6; // five board pages and the error page after them
constexpr double FloorMs = PagesAskedFor * 300.0 + Accounts * 100.0;

// The board on loopback and a teller logged in to it.
struct LoggedInBoard {
    TestServer server{smallState(Accounts)};
    const ForumProxy proxy{server.port()};

    bool logIn() {
        Module1::BoardUrl = "http://testbank.proboards.com/index.cgi?board=accounts";
        Module1::BoardId = "accounts";
        return logInThroughForum(Module1::BoardUrl, "teller");
    }
};

// Opens the manager, waits for its list and closes it again.
bool loadOnce() {
    QPointer<FrmVaultmeres> manager = &FrmVaultmeres::instance();
    const StatusBar* status = manager->findChild<StatusBar*>("StatusBar1");
    manager->show();
    manager->activateWindow();
    const bool loaded =
        QTest::qWaitFor([&] { return status->text(2).endsWith("loaded: Ready"); }, 120000);
    manager->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return loaded;
}

double residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024;
}

void LoadAHundredAccounts(benchmark::State& state) {
    LoggedInBoard board;
    if (!board.logIn()) {
        state.SkipWithError("the login failed");
        return;
    }
    for (auto _ : state) {
        if (!loadOnce())
            state.SkipWithError("the load never ended");
    }
    state.counters["floor_ms"] = FloorMs;
}
// Real time against the floor; CPU time is the program thread's alone (the
// board server's thread stands in for the forum).
BENCHMARK(LoadAHundredAccounts)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The debug log keeps its last 10,000 lines, about 47 loads' worth: from then
// on nothing should grow.
void ResidentMemoryOverSixtyLoads(benchmark::State& state) {
    constexpr int Loads = 60;
    LoggedInBoard board;
    if (!board.logIn()) {
        state.SkipWithError("the login failed");
        return;
    }
    std::vector<double> residentAfter{0}; // indexed by load, from 1
    for (auto _ : state) {
        for (int load = 1; load <= Loads; ++load) {
            if (!loadOnce()) {
                state.SkipWithError("a load never ended");
                return;
            }
            residentAfter.push_back(residentKb());
        }
    }
    const auto perLoad = [&](int from, int to) {
        return (residentAfter[to] - residentAfter[from]) / (to - from);
    };
    // The first load brings in what every later one reuses.
    state.counters["kb_after_load_2"] = residentAfter[2];
    state.counters["kb_per_load_2_to_20"] = perLoad(2, 20);
    state.counters["kb_per_load_50_to_60"] = perLoad(50, Loads);
}
BENCHMARK(ResidentMemoryOverSixtyLoads)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
