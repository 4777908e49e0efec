// Opening an account through the forum's new-thread form on the board server.
#include "frmAccountCreate.h"

#include "AccountPost.h"
#include "BoardE2e.h"
#include "ModalWatchdog.h"
#include "Module1.h"
#include "WebBrowser.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

using zentab::board::testing::ForumClient;

class AccountCreation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logInThroughForum(TestBoard, "teller"));
        Module1::BoardUrl = TestBoard;
        dialog = new frmAccountCreate(
            {"Bob"},
            [](const QString& thread) {
                return TestBoard + "&action=modifypost&thread=" + thread + "&post=" + thread;
            },
            nullptr);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->WBCreate().Navigate(TestBoard + "&action=post");
        dialog->show();
        ASSERT_SOON(button("cmdOK")->isEnabled());
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
    void pressOK() const { QTest::mouseClick(button("cmdOK"), Qt::LeftButton); }

    // How many threads of the board carry this subject.
    int threadsNamed(const std::string& subject) {
        ForumClient client(server.port());
        return int(
            zentab::board::testing::countOf(client.page("board=accounts"), ">" + subject + "</a>"));
    }

    zentab::board::testing::TestServer server{zentab::board::testing::smallState(2)};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    ModalWatchdog modal{"frmAccountCreate"};
    QPointer<frmAccountCreate> dialog;
};

TEST_F(AccountCreation, PostsOnlyANamedAccountWithCoinsAndAsksAboutANameTheBoardHas) {
    const QString splits =
        ", which marks the list of transactions in an account's post, so nothing was posted";
    const struct {
        QString name, owner, galleons; // typed
        int answer;
        QString text;
        int style;
    } cases[] = {
        {"", "", "", platform::vbOK, "Enter a name for the account", platform::vbInformation},
        {"Ada Quill", "", "", platform::vbOK, "Enter values for the coins", platform::vbOKOnly},
        {"Loan [List] Book", "", "30", platform::vbOK,
         "The account name \"Loan [List] Book\" holds [list]" + splits, platform::vbExclamation},
        {"Ada", "jdoe[/list]", "30", platform::vbOK,
         "The user name \"jdoe[/list]\" holds [/list]" + splits, platform::vbExclamation},
        // The board's names are read without regard to case.
        {"BOB", "", "30", platform::vbNo, "An account named BOB exists. Create another?",
         platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        box("TextName")->setText(c.name);
        box("TextUser")->setText(c.owner);
        QTest::keyClicks(combo("ComboGalleons")->lineEdit(), c.galleons);
        dialogs.answer(c.answer);
        pressOK();
        EXPECT_EQ(dialogs.shown().back().text, c.text);
        EXPECT_EQ(dialogs.shown().back().style, c.style);
        EXPECT_EQ(dialog->postState(), frmAccountCreate::FormLoaded);
    }
    dialogs.answer(platform::vbYes);
    pressOK();
    ASSERT_SOON(dialog.isNull());
    EXPECT_EQ(threadsNamed("BOB"), 1);
    EXPECT_EQ(threadsNamed("Loan [List] Book"), 0);
}

TEST_F(AccountCreation, CoinBoxesTakeDigitsOrAPickAndOKPostsOnceHoweverOftenItIsPressed) {
    QTest::keyClicks(combo("ComboGalleons")->lineEdit(), "4x2");
    EXPECT_EQ(combo("ComboGalleons")->currentText(), "42");
    QTest::keyClick(combo("ComboGalleons")->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(combo("ComboGalleons")->currentText(), "42");
    QTest::keyClicks(combo("ComboSickles")->lineEdit(), "5");
    EXPECT_EQ(combo("ComboSickles")->currentText(), "Sickles");

    box("TextName")->setText("Typed Value");
    ASSERT_TRUE(server.faults("slow_ms=300"));
    // Pressed again, by mouse and by Enter, while the forum is still answering.
    QTimer::singleShot(100, dialog, [this] {
        EXPECT_FALSE(button("cmdOK")->isEnabled());
        pressOK();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    pressOK();
    ASSERT_SOON(dialog.isNull());
    ASSERT_TRUE(server.faults("reset=1"));
    EXPECT_EQ(threadsNamed("Typed Value"), 1);
    EXPECT_TRUE(dialogs.shown().empty());
    // The boxes left at their captions post 0.
    ForumClient client(server.port());
    EXPECT_NE(client.page("board=accounts&action=display&thread=3")
                  .find("Galleons: 42<br>Sickles: 0<br>Knuts: 0<br>"),
              std::string::npos);
}

// A Galleons pick puts 0 in a box still at its caption and keeps a count already picked.
TEST_F(AccountCreation, AGalleonsPickFillsCaptionsWithZeroAndKeepsPickedCounts) {
    combo("ComboSickles")->setCurrentIndex(5);
    QTest::keyClick(combo("ComboGalleons"), Qt::Key_Down);
    EXPECT_EQ(combo("ComboGalleons")->currentText() + "/" + combo("ComboSickles")->currentText() +
                  "/" + combo("ComboKnuts")->currentText(),
              "30/5/0");
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

// The page tests decide the letter for a name; here the answer picks the part of the name, and the
// list can be used while the dialog is modal.
TEST_F(AccountCreation, ListUsersOpensAMemberListTheModalDialogDoesNotBlock) {
    dialog->close();
    QWidget manager;
    manager.setWindowTitle("Vaultmere's Manager");
    manager.show();
    auto* modal = new frmAccountCreate(
        {}, [](const QString&) { return QString(); }, &manager);
    modal->setAttribute(Qt::WA_DeleteOnClose);
    modal->WBCreate().Navigate(TestBoard + "&action=post");
    modal->findChild<QLineEdit*>("TextUser")->setText("Smith, John");
    dialogs.answer(platform::vbYes); // by the first name
    BlockedWindows blocked;
    QTimer::singleShot(0, modal, [&] {
        QTest::mouseClick(modal->findChild<QPushButton*>("cmdSearchUser"), Qt::LeftButton);
        ASSERT_SOON(!viewers().isEmpty());
        QCoreApplication::processEvents();
        modal->close();
    });
    modal->exec();
    ASSERT_EQ(viewers().size(), 1);
    EXPECT_TRUE(viewers()[0]->findChild<QLineEdit*>("address")->text().endsWith("&letter=J"));
    EXPECT_FALSE(blocked.names.contains("PageViewer")) << blocked.names.join(' ').toStdString();
}

} // namespace
