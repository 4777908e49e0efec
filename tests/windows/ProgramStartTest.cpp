#include "ProgramStart.h"

#include <QApplication>
#include <QIcon>
#include <QProxyStyle>
#include <gtest/gtest.h>

// The program's name decides where its settings and cookies live; the desktop finds the
// window's entry and icon by the desktop file's name.
TEST(ProgramStart, NamesTheProgramAndTellsTheDesktopItsEntryAndIcon) {
    QCoreApplication::setApplicationName("another program");
    QCoreApplication::setApplicationVersion({});
    prepareApplication();
    EXPECT_EQ(QCoreApplication::applicationName(), "ZentabCalculator");
    EXPECT_FALSE(QCoreApplication::applicationVersion().isEmpty());
    EXPECT_EQ(QGuiApplication::desktopFileName(), "org.example.ZentabCalculator");
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(128, 128)));
}

// The style reads the menu bar's overflow arrows late, but they are still the desktop style's.
TEST(ProgramStart, KeepsTheStylesOwnOverflowArrows) {
    prepareApplication();
    const auto* style = qobject_cast<const QProxyStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    for (const auto arrow :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QList<QSize> sizes = style->standardIcon(arrow).availableSizes();
        EXPECT_FALSE(sizes.isEmpty());
        EXPECT_EQ(sizes, style->baseStyle()->standardIcon(arrow).availableSizes());
    }
}
