#include "CommandLine.h"
#include "DemoMode.h"
#include "ProgramStart.h"
#include "ZentabCalc.h"

#include <QApplication>
#include <optional>

namespace {

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

    auto fontConfiguration = preloadFontConfiguration();
    QApplication application(argc, argv);
    prepareApplication();
    fontConfiguration.wait();
    const app::CommandLine commandLine = app::parseCommandLine(QApplication::arguments());
    if (commandLine.action != app::CommandLine::Action::Run)
        return app::answer(commandLine);

    const auto demoBoard =
        commandLine.demo ? app::startDemoBoard(QApplication::applicationDirPath()) : nullptr;
    ZentabCalc calculator;
    if (demoBoard)
        calculator.setWindowTitle(app::demoWindowTitle());
    calculator.show();
    return QApplication::exec();
}
