#include "BankSide.h"
#include "SharedNetwork.h"
#include "frmLog.h"

#include <gtest/gtest.h>

TEST(BankWindows, SendBrowserFailuresToTheDebugLog) {
    QString error;
    ASSERT_NE(bankSide(error), nullptr);
    browser::logBrowserFailure("page failed");
    EXPECT_TRUE(frmLog::instance().text().endsWith("page failed\r\n"));
}
