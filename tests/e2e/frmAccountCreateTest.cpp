// Opening an account through the forum's new-thread form on the board server.
#include "frmAccountCreate.h"

#include "AccountPost.h"
#include "ForumProxy.h"
#include "ModalWatchdog.h"
#include "Module1.h"
#include "QtPrinting.h"
#include "ScriptedDialogs.h"
#include "WebBrowser.h"
#include "board_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using zentab::board::testing::ForumClient;
using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

const QString Board = "http://testbank.proboards.com/index.cgi?board=accounts";

QWidget* findViewer() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == "PageViewer" && window->isVisible())
            return window;
    return nullptr;
}

class AccountCreation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logInThroughForum(Board, "teller"));
        Module1::BoardUrl = Board;
        dialog = new frmAccountCreate(
            {"Bob"},
            [](const QString& thread) {
                return Board + "&action=modifypost&thread=" + thread + "&post=" + thread;
            },
            nullptr);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->WBCreate().Navigate(Board + "&action=post");
        dialog->show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return button("cmdOK")->isEnabled(); }, 10000));
    }

    void TearDown() override {
        if (dialog)
            dialog->close();
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    }

    QPushButton* button(const char* name) const { return dialog->findChild<QPushButton*>(name); }
    QComboBox* combo(const char* name) const { return dialog->findChild<QComboBox*>(name); }
    QLineEdit* box(const char* name) const { return dialog->findChild<QLineEdit*>(name); }

    // Chooses the name and 30 Galleons, as a user would.
    void fillIn(const QString& name, const QString& owner = {}) {
        box("TextName")->setText(name);
        box("TextUser")->setText(owner);
        QTest::keyClicks(combo("ComboGalleons")->lineEdit(), "30");
    }

    // How many threads of the board carry this subject.
    int threadsNamed(const std::string& subject) {
        ForumClient client(server.port());
        return int(
            zentab::board::testing::countOf(client.page("board=accounts"), ">" + subject + "</a>"));
    }

    TestServer server{smallState(2)};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    ModalWatchdog modal{"frmAccountCreate"};
    QPointer<frmAccountCreate> dialog;
};

TEST_F(AccountCreation, ANameAndAGalleonsValueAreNeeded) {
    dialogs.answer(platform::vbOK);
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    box("TextName")->setText("Ada Quill");
    dialogs.answer(platform::vbOK);
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);

    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].text, "Enter a name for the account");
    EXPECT_EQ(dialogs.shown()[0].style, platform::vbInformation);
    EXPECT_EQ(dialogs.shown()[1].text, "Enter values for the coins");
    EXPECT_EQ(dialogs.shown()[1].style, platform::vbOKOnly);
    EXPECT_EQ(dialog->postState(), frmAccountCreate::FormLoaded);
}

TEST_F(AccountCreation, CoinBoxesTakeDigitsOrAPickOnly) {
    QTest::keyClicks(combo("ComboGalleons")->lineEdit(), "4x2");
    EXPECT_EQ(combo("ComboGalleons")->currentText(), "42");
    QTest::keyClick(combo("ComboGalleons")->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(combo("ComboGalleons")->currentText(), "42");
    QTest::keyClicks(combo("ComboSickles")->lineEdit(), "5");
    EXPECT_EQ(combo("ComboSickles")->currentText(), "Sickles");

    // A typed Galleons value leaves the other boxes at their captions: they post 0.
    box("TextName")->setText("Typed Value");
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 10000));
    ForumClient client(server.port());
    const std::string index = client.page("board=accounts");
    const auto at = index.find("thread=", index.find("Typed Value") - 80);
    const std::string thread = index.substr(at + 7, index.find('"', at) - at - 7);
    const std::string page = client.page("board=accounts&action=display&thread=" + thread);
    EXPECT_NE(page.find("Galleons: 42<br>Sickles: 0<br>Knuts: 0<br>"), std::string::npos);
}

TEST_F(AccountCreation, OKPostsOnceHoweverOftenItIsPressed) {
    fillIn("Twice");
    ASSERT_TRUE(server.faults("slow_ms=300"));
    // Pressed again, by mouse and by Enter, while the forum is still answering.
    QTimer::singleShot(100, dialog, [this] {
        EXPECT_FALSE(button("cmdOK")->isEnabled());
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 30000));
    ASSERT_TRUE(server.faults("reset=1"));
    EXPECT_EQ(threadsNamed("Twice"), 1);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(AccountCreation, ANameTheBoardHasAlreadyIsAskedAbout) {
    fillIn("BOB");
    for (const int answer : {platform::vbNo, platform::vbYes}) {
        dialogs.answer(answer);
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        EXPECT_EQ(dialogs.shown().back().text, "An account named BOB exists. Create another?");
        EXPECT_TRUE(dialogs.shown().back().style & platform::vbDefaultButton2);
        if (answer == platform::vbNo) {
            EXPECT_EQ(dialog->postState(), frmAccountCreate::FormLoaded);
        }
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 30000));
    EXPECT_EQ(threadsNamed("BOB"), 1);
}

TEST_F(AccountCreation, ANameThatWouldSplitTheListIsRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"Loan [List] Book", ""},
        {"Ada", "jdoe[/list]"},
    };
    for (const auto& [name, owner] : cases) {
        fillIn(name, owner);
        dialogs.answer(platform::vbOK);
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        EXPECT_TRUE(dialogs.shown().back().text.contains("so nothing was posted")) << name;
        EXPECT_EQ(dialog->postState(), frmAccountCreate::FormLoaded);
    }
    EXPECT_EQ(threadsNamed("Loan [List] Book"), 0);
}

// Records the windows that a modal dialog blocks, as Qt tells them.
class BlockedWindows : public QObject {
public:
    BlockedWindows() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked && watched->isWidgetType())
            names.append(watched->objectName());
        return false;
    }
    QStringList names;
};

TEST_F(AccountCreation, TheMemberListCanBeUsedWhileTheDialogIsOpen) {
    dialog->close();
    QWidget manager;
    manager.show();
    auto* modal = new frmAccountCreate(
        {}, [](const QString&) { return QString(); }, &manager);
    modal->setAttribute(Qt::WA_DeleteOnClose);
    modal->WBCreate().Navigate(Board + "&action=post");
    BlockedWindows blocked;
    QTimer::singleShot(0, modal, [&] {
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdSearchUser"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([] { return findViewer() != nullptr; }, 10000));
        QCoreApplication::processEvents();
        modal->close();
    });
    modal->exec();
    EXPECT_FALSE(blocked.names.contains("PageViewer")) << blocked.names.join(' ').toStdString();
}

TEST_F(AccountCreation, ListUsersOpensTheMemberListByTheChosenLetter) {
    box("TextUser")->setText("Smith, John");
    dialogs.answer(platform::vbYes);
    QTest::mouseClick(button("cmdSearchUser"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].style & platform::vbDefaultButton3);

    ASSERT_TRUE(QTest::qWaitFor([] { return findViewer() != nullptr; }, 10000));
    const auto* address = findViewer()->findChild<QLineEdit*>("address");
    EXPECT_TRUE(address->text().endsWith("?action=members&view=letter&letter=J"))
        << address->text().toStdString();
}

} // namespace
