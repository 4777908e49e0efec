#include "DemoMode.h"

#include "ApplicationTitle.h"
#include "Dialogs.h"
#include "InstalledLayout.h"

#include <QDir>
#include <QStandardPaths>
#include <cstdio>

namespace app {

using namespace std::chrono_literals;

std::unique_ptr<DemoBoard> startDemoBoard(const QString& executableDirectory) {
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    const auto server = layout::boardServerExecutable(executableDirectory.toStdString());
    auto board = std::make_unique<DemoBoard>();
    const QString state = dataFolder + QStringLiteral("/demo-board-state.json");
    const QStringList arguments = {QStringLiteral("--port"), QStringLiteral("0"),
                                   QStringLiteral("--state"), state};
    if (!board->start(QString::fromStdString(server.string()), arguments, 10s)) {
        platform::MsgBox(QStringLiteral("The demo board could not be started.\n\n%1\n\n"
                                        "It keeps its changes in %2; delete that file to start "
                                        "afresh.\n\nThe calculator runs without the demo board.")
                             .arg(board->errorText(), state),
                         platform::vbExclamation);
        return nullptr;
    }
    std::printf("Demo board: %s\n"
                "            served at 127.0.0.1:%u; %s\n",
                qPrintable(DemoBoardUrl), static_cast<unsigned>(board->port()),
                qPrintable(DemoBoardUsers));
    std::fflush(stdout);
    return board;
}

QString demoWindowTitle() {
    return platform::applicationTitle() + QStringLiteral(" \u2014 demo board");
}

} // namespace app
