// Runs GoogleTest inside a QApplication on the offscreen platform, with the
// per-user folders redirected to a fresh home, and fails any test that leaves a modal window
// nobody expected in the way or shows a window whose controls are cut off, covered or
// unnamed.
#include "ModalWatchdog.h"
#include "WindowChecks.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tests run in processes of their own, often in parallel: a home folder per
    // process keeps their settings, cookie files and caches apart.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    QApplication::setApplicationName("ZentabCalculator");
    testing::InitGoogleTest(&argc, argv);

    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &ModalWatchdog::check);
    watchdog.start(50);
    WindowWatch windowWatch;
    application.installEventFilter(&windowWatch);
    return RUN_ALL_TESTS();
}
