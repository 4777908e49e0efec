// The bank manager as a user reaches it: from the calculator's Tools menu, through the login
// window, to the list, and on to a new account.
#include "AccountListView.h"
#include "AccountLoader.h"
#include "BoardE2e.h"
#include "FrmVaultmeres.h"
#include "ModalWatchdog.h"
#include "StatusBar.h"
#include "ZentabCalc.h"
#include "frmAccountCreate.h"
#include "frmLogin.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

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
    ASSERT_SOON(child(*dialog, "cmdOK")->isEnabled());
    child<QLineEdit>(*dialog, "TextName")->setText(name);
    auto* galleons = child<QComboBox>(*dialog, "ComboGalleons");
    galleons->setCurrentIndex(1);
    emit galleons->activated(1);
    QTest::mouseClick(child(*dialog, "cmdOK"), Qt::LeftButton);
}

TEST(FromTheCalculator, LogInListTheAccountsAndOpenANewOne) {
    zentab::board::testing::TestServer server{zentab::board::testing::smallState(2)};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    ModalWatchdog creation{"frmAccountCreate"};
    ZentabCalc calculator;
    calculator.show();
    calculator.findChild<QAction*>("mnuToolsVaultmeres")->trigger();
    ASSERT_TRUE(frmLogin::exists());
    frmLogin& login = frmLogin::instance();
    ASSERT_TRUE(login.isVisible());

    auto* address = child<QComboBox>(login, "Combo1");
    address->setEditText(TestBoard);
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_SOON(child(login, "cmdOK")->isEnabled());
    child<QLineEdit>(login, "txtUserName")->setText("teller");
    child<QLineEdit>(login, "txtPassword")->setText("teller");
    dialogs.answer(platform::vbOK); // "Success"
    QTest::mouseClick(child(login, "cmdOK"), Qt::LeftButton);
    ASSERT_SOON(managerReady(2));
    EXPECT_FALSE(frmLogin::exists() && frmLogin::instance().isVisible());

    FrmVaultmeres& manager = FrmVaultmeres::instance();
    QTimer::singleShot(0, [] { openAccountInDialog("Ada Quill"); });
    QTest::mouseClick(child(manager, "cmdCreate"), Qt::LeftButton);
    // The forum's answer opens in a window of its own; back in the manager the list is read
    // again and holds the new account.
    closeViewers();
    manager.activateWindow();
    ASSERT_SOON(managerReady(3));
    const auto found =
        manager.ListView1().findItems("Ada Quill", Qt::MatchExactly, AccountListView::Account);
    ASSERT_EQ(found.size(), 1);
    QStringList shown;
    for (const auto column : {AccountListView::Galleons, AccountListView::Sickles,
                              AccountListView::Knuts, AccountListView::Teller})
        shown.append(found[0]->text(column));
    EXPECT_EQ(shown, QStringList({"50", "0", "0", "N/A"}));
    calculator.close(); // closes every other window with it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
