// The program's way to the bank manager: the module beside the executables, loaded by
// the first menu that needs it.
#include "BankSideLoader.h"
#include "OsServices.h"
#include "ZentabCalc.h"

#include <QAction>
#include <gtest/gtest.h>

TEST(BankSideModule, IsLoadedByTheFirstMenuThatNeedsItAndShowsItsWindows) {
    ZentabCalc calculator;
    calculator.show();
    EXPECT_EQ(loadedBankSide(), nullptr);

    auto* debug = calculator.findChild<QAction*>("mnuOptionsDebug");
    debug->trigger();
    ASSERT_NE(loadedBankSide(), nullptr);
    QWidget* log = platform::findOpenWindow("frmLog");
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible() && debug->isChecked());
    debug->trigger();
    EXPECT_FALSE(log->isVisible() || debug->isChecked());

    calculator.findChild<QAction*>("mnuToolsVaultmeres")->trigger();
    const QWidget* login = platform::findOpenWindow("frmLogin");
    EXPECT_TRUE(login && login->isVisible());

    calculator.findChild<QAction*>("mnuHelpAbout")->trigger();
    const QWidget* about = platform::findOpenWindow("frmAbout");
    EXPECT_TRUE(about && about->isVisible());
    calculator.close();
}

TEST(BankSideModule, OneThatCannotBeLoadedGivesItsReason) {
    QString error;
    EXPECT_EQ(loadBankSide("/nowhere/zentab-bank-side.so", error), nullptr);
    EXPECT_TRUE(error.contains("/nowhere/zentab-bank-side.so")) << error.toStdString();
}
