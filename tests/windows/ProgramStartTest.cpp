#include "ProgramStart.h"

#include "SharedNetwork.h"
#include "frmLog.h"

#include <QApplication>
#include <QIcon>
#include <gtest/gtest.h>

// The desktop finds the window's entry and icon by the desktop file's name; a failed page
// reaches the debug log.
TEST(ProgramStart, TellsTheDesktopItsEntryAndIconAndSendsBrowserFailuresToTheLog) {
    prepareApplication();
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.example.ZentabCalculator");
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(128, 128)));
    browser::logBrowserFailure("page failed");
    EXPECT_TRUE(frmLog::instance().text().endsWith("page failed\r\n"));
}
