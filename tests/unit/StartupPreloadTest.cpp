#include "StartupPreload.h"

#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>
#include <thread>

// The work runs on a thread of its own and is done once waited for, but only where
// QApplication has a display to wait on; the platforms of tests and scripts leave it undone.
TEST(StartupPreload, RunsItsWorkBesideADisplayOnly) {
    const bool platformWasSet = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    const QByteArray platformBefore = qgetenv("QT_QPA_PLATFORM");
    const std::pair<QByteArray, bool> cases[] = {
        {"", true},
        {"xcb", true},
        {"wayland;xcb", true},
        {"offscreen", false},
        {"offscreen:fontengine=freetype", false},
        {"minimal", false},
        {"minimal;xcb", false},
    };
    for (const auto& [platform, runs] : cases) {
        qputenv("QT_QPA_PLATFORM", platform);
        std::thread::id ranOn;
        platform::StartupPreload preload([&ranOn] { ranOn = std::this_thread::get_id(); });
        preload.wait();
        EXPECT_EQ(ranOn != std::thread::id(), runs) << platform.constData();
        EXPECT_NE(ranOn, std::this_thread::get_id()) << platform.constData();
    }
    if (platformWasSet)
        qputenv("QT_QPA_PLATFORM", platformBefore);
    else
        qunsetenv("QT_QPA_PLATFORM");
}
