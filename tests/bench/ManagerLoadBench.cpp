// One full load of the account manager: 100 accounts on five board pages from
// the board server on loopback, against the floor its waits set (300 ms per
// board page asked for, the error page after the last included, and 100 ms per
// account thread), and the share of a core the program's thread uses meanwhile.
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

namespace {

using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

constexpr int Accounts = 100;
constexpr int PagesAskedFor = 6; // five board pages and the error page after them
constexpr double FloorMs = PagesAskedFor * 300.0 + Accounts * 100.0;

void LoadAHundredAccounts(benchmark::State& state) {
    TestServer server{smallState(Accounts)};
    const ForumProxy proxy(server.port());
    Module1::BoardUrl = "http://testbank.proboards.com/index.cgi?board=accounts";
    Module1::BoardId = "accounts";
    if (!logInThroughForum(Module1::BoardUrl, "teller")) {
        state.SkipWithError("the login failed");
        return;
    }
    for (auto _ : state) {
        QPointer<FrmVaultmeres> manager = &FrmVaultmeres::instance();
        const StatusBar* status = manager->findChild<StatusBar*>("StatusBar1");
        manager->show();
        manager->activateWindow();
        if (!QTest::qWaitFor([&] { return status->text(2).endsWith("loaded: Ready"); }, 120000))
            state.SkipWithError("the load never ended");
        state.PauseTiming();
        manager->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["floor_ms"] = FloorMs;
}
// Real time against the floor; CPU time is the program thread's alone (the
// board server's thread stands in for the forum).
BENCHMARK(LoadAHundredAccounts)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
