// The bank manager as a user reaches it: from the calculator's Tools menu,
// through the login window, to the list, and on to a new account.
#include "AccountListView.h"
#include "AccountLoader.h"
#include "ForumProxy.h"
#include "FrmVaultmeres.h"
#include "ModalWatchdog.h"
#include "PageViewer.h"
#include "ScriptedDialogs.h"
#include "StatusBar.h"
#include "ZentabCalc.h"
#include "board_test_support.h"
#include "frmAccountCreate.h"
#include "frmLogin.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

const QString Board = "http://testbank.proboards.com/index.cgi?board=accounts";
constexpr int Deadline = 30000;

template <typename Widget = QWidget> Widget* child(QWidget& window, const char* name) {
    return window.findChild<Widget*>(name);
}

bool managerReady(int rows) {
    if (!FrmVaultmeres::exists())
        return false;
    FrmVaultmeres& manager = FrmVaultmeres::instance();
    return manager.isVisible() && !manager.loader().isLoading() &&
           manager.ListView1().topLevelItemCount() == rows &&
           child<StatusBar>(manager, "StatusBar1")->text(2).endsWith("accounts loaded: Ready");
}

// Fills the creation dialog once the forum's form has loaded in it.
void openAccountInDialog(const QString& name) {
    auto* dialog = qobject_cast<frmAccountCreate*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return child(*dialog, "cmdOK")->isEnabled(); }, Deadline));
    child<QLineEdit>(*dialog, "TextName")->setText(name);
    auto* galleons = child<QComboBox>(*dialog, "ComboGalleons");
    galleons->setCurrentIndex(1);
    emit galleons->activated(1);
    QTest::mouseClick(child(*dialog, "cmdOK"), Qt::LeftButton);
}

class FromTheCalculator : public testing::Test {
protected:
    void SetUp() override { calculator.show(); }

    void TearDown() override {
        calculator.close(); // closes every other window with it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TestServer server{smallState(2)};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    ModalWatchdog creation{"frmAccountCreate"};
    ZentabCalc calculator;
};

TEST_F(FromTheCalculator, LogInListTheAccountsAndOpenANewOne) {
    calculator.findChild<QAction*>("mnuToolsVaultmeres")->trigger();
    ASSERT_TRUE(frmLogin::exists());
    frmLogin& login = frmLogin::instance();
    ASSERT_TRUE(login.isVisible());

    auto* address = child<QComboBox>(login, "Combo1");
    address->setEditText(Board);
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return child(login, "cmdOK")->isEnabled(); }, Deadline));
    child<QLineEdit>(login, "txtUserName")->setText("teller");
    child<QLineEdit>(login, "txtPassword")->setText("teller");
    dialogs.answer(platform::vbOK); // "Success"
    QTest::mouseClick(child(login, "cmdOK"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([] { return managerReady(2); }, Deadline));
    EXPECT_FALSE(frmLogin::exists() && frmLogin::instance().isVisible());

    FrmVaultmeres& manager = FrmVaultmeres::instance();
    QTimer::singleShot(0, [] { openAccountInDialog("Ada Quill"); });
    QTest::mouseClick(child(manager, "cmdCreate"), Qt::LeftButton);

    // The forum's answer opens in a window of its own; back in the manager the
    // list is read again and holds the new account.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<browser::PageViewer*>(window))
            window->close();
    manager.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([] { return managerReady(3); }, Deadline));
    const QList<QTreeWidgetItem*> found =
        manager.ListView1().findItems("Ada Quill", Qt::MatchExactly, AccountListView::Account);
    QTreeWidgetItem* created = found.value(0);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->text(AccountListView::Galleons), "50");
    EXPECT_EQ(created->text(AccountListView::Sickles), "0");
    EXPECT_EQ(created->text(AccountListView::Knuts), "0");
    EXPECT_EQ(created->text(AccountListView::Teller), "N/A");
}

} // namespace
