// One whole transaction from OK to the end of the manager's reload, against
// the board server on loopback: the amount typed on the calculator at once,
// both posts saved, the dialog closed and the list read again. The floor is
// what the procedure's own waits cost (a 500 ms poll for each of the two saves
// and for the counterpart's edit page) plus the floor of the reload (300 ms
// for each board page asked for, the error page after the last included, and
// 100 ms per account thread). cpu_ms is the program thread's processor time.
#include "AccountListView.h"
#include "AccountLoader.h"
#include "Dialogs.h"
#include "ForumProxy.h"
#include "FrmVaultmeres.h"
#include "Module1.h"
#include "StatusBar.h"
#include "ZentabCalc.h"
#include "board_test_support.h"
#include "frmModify.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

constexpr int Accounts = 2;
constexpr double FloorMs = 3 * 500.0 + 2 * 300.0 + Accounts * 100.0;

double threadCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 +
           usage.ru_stime.tv_sec * 1e3 + usage.ru_stime.tv_usec / 1e3;
}

// Answers every box with OK; asked for the amount, types it on the calculator.
class Teller : public platform::DialogResponder {
public:
    explicit Teller(ZentabCalc& calculator) : calculator_(calculator) {
        platform::setDialogResponder(this);
    }
    ~Teller() override { platform::setDialogResponder(nullptr); }

    int msgBox(const QString& text, int, const QString&) override {
        if (text.startsWith(QLatin1String("Enter the amount")))
            QTimer::singleShot(0, [this] {
                for (char key : std::string_view("1K="))
                    QTest::keyClick(&calculator_, key);
            });
        return platform::vbOK;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString&, const QString&) override {
        return std::nullopt;
    }

private:
    ZentabCalc& calculator_;
};

bool reloaded(FrmVaultmeres& manager) {
    return manager.isVisible() && !manager.loader().isLoading() &&
           manager.findChild<StatusBar*>("StatusBar1")->text(2).endsWith("loaded: Ready");
}

void OneTransaction(benchmark::State& state) {
    TestServer server{smallState(Accounts)};
    const ForumProxy proxy(server.port());
    Module1::BoardUrl = "http://testbank.proboards.com/index.cgi?board=accounts";
    Module1::BoardId = "accounts";
    ZentabCalc calculator;
    calculator.show();
    Teller teller(calculator);
    if (!logInThroughForum(Module1::BoardUrl, "teller")) {
        state.SkipWithError("the login failed");
        return;
    }
    FrmVaultmeres& manager = FrmVaultmeres::instance();
    manager.show();
    manager.activateWindow();
    if (!QTest::qWaitFor([&] { return reloaded(manager); }, 60000)) {
        state.SkipWithError("the manager never loaded");
        return;
    }
    double cpuMs = 0;
    for (auto _ : state) {
        manager.ListView1().setCurrentItem(manager.ListView1().findRow("T1"));
        QTest::mouseClick(manager.findChild<QPushButton*>("cmdModify"), Qt::LeftButton);
        frmModify& dialog = frmModify::instance();
        QWidget* ok = dialog.findChild<QWidget*>("cmdOK");
        if (!QTest::qWaitFor([&] { return ok->isEnabled(); }, 60000)) {
            state.SkipWithError("the edit page never loaded");
            return;
        }
        dialog.findChild<QCheckBox*>("Check4")->setChecked(false);
        auto* other = dialog.findChild<QComboBox*>("cmbOtherAccount");
        other->setCurrentIndex(0);
        dialog.findChild<QComboBox*>("cmbReasonIn")->setCurrentIndex(0);

        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = threadCpuMs();
        QTest::mouseClick(ok, Qt::LeftButton);
        const bool done =
            QTest::qWaitFor([&] { return !frmModify::exists() && reloaded(manager); }, 60000);
        cpuMs += threadCpuMs() - cpuBefore;
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (!done) {
            state.SkipWithError("the transaction never ended");
            return;
        }
    }
    state.counters["floor_ms"] = FloorMs;
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(OneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

} // namespace
