#include "CommandLine.h"
#include "DemoMode.h"
#include "SharedNetwork.h"
#include "ZentabCalc.h"
#include "frmLog.h"

#include <QApplication>
#include <QIcon>
#include <optional>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName("ZentabCalculator");
    QCoreApplication::setApplicationVersion(ZENTAB_VERSION);
}

// Help and version need no window system, so they are answered before one is opened. Any
// other command line waits for QApplication, which takes out Qt's own options (-platform).
std::optional<int> answerWithoutWindows(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    nameApplication();
    const app::CommandLine commandLine = app::parseCommandLine(QCoreApplication::arguments());
    if (commandLine.action == app::CommandLine::Action::ShowHelp ||
        commandLine.action == app::CommandLine::Action::ShowVersion)
        return app::answer(commandLine);
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const auto status = answerWithoutWindows(argc, argv))
        return *status;

    QApplication application(argc, argv);
    nameApplication();
    QGuiApplication::setDesktopFileName("org.example.ZentabCalculator");
    QApplication::setWindowIcon(
        QIcon::fromTheme("org.example.ZentabCalculator", QIcon(":/zentab.png")));
    const app::CommandLine commandLine = app::parseCommandLine(QApplication::arguments());
    if (commandLine.action != app::CommandLine::Action::Run)
        return app::answer(commandLine);
    setBrowserLog([](const QString& line) { Log(line); });

    const auto demoBoard =
        commandLine.demo ? app::startDemoBoard(QApplication::applicationDirPath()) : nullptr;
    ZentabCalc calculator;
    if (demoBoard)
        calculator.setWindowTitle(app::demoWindowTitle());
    calculator.show();
    return QApplication::exec();
}
