// The account manager against the board server: the list after a login, paging, deletion,
// reloads and a busy forum.
#include "FrmVaultmeres.h"

#include "AccountListView.h"
#include "AccountLoader.h"
#include "BoardE2e.h"
#include "Dialogs.h"
#include "Module1.h"
#include "StatusBar.h"
#include "Twips.h"
#include "WebBrowser.h"
#include "board_json.h"
#include "frmLog.h"

#include <memory>

namespace {

namespace board = zentab::board;
using board::testing::ForumClient;
using board::testing::TestServer;

const QString DemoBoardUrl = "http://vaultmeres.proboards.com/index.cgi?board=vaultmeres";

class Manager : public testing::Test {
protected:
    void TearDown() override {
        if (FrmVaultmeres::exists())
            FrmVaultmeres::instance().close();
        closeViewers();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        proxy.reset();
    }

    void serve(const board::BoardState& state, const QString& boardUrl, const QString& boardId) {
        server = std::make_unique<TestServer>(state);
        proxy = std::make_unique<ForumProxy>(server->port());
        Module1::BoardUrl = boardUrl;
        Module1::BoardId = boardId;
        calculator.setObjectName("ZentabCalc");
        calculator.setWindowTitle("Zentab Calculator SE");
        calculator.show();
        if (frmLog::exists()) { // a log of this test's own
            frmLog::instance().close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    static FrmVaultmeres& manager() { return FrmVaultmeres::instance(); }
    static AccountListView& list() { return manager().ListView1(); }
    static QString status() { return manager().findChild<StatusBar*>("StatusBar1")->text(2); }
    static qsizetype logged(const QString& part) { return frmLog::instance().text().count(part); }
    static QTreeWidgetItem* row(const QString& key) { return list().findRow(key); }

    // Runs the activation's load to its end.
    void activate(const std::function<void()>& activation) {
        const qsizetype loads = logged("Opening page 1 of accounts");
        activation();
        ASSERT_SOON(logged("Opening page 1 of accounts") > loads &&
                    !manager().loader().isLoading());
    }

    void open() {
        activate([] {
            manager().show();
            manager().activateWindow();
        });
    }

    void reactivate() {
        calculator.activateWindow();
        ASSERT_SOON(calculator.isActiveWindow());
        activate([] { manager().activateWindow(); });
    }

    std::unique_ptr<TestServer> server;
    std::unique_ptr<ForumProxy> proxy;
    ScriptedDialogs dialogs;
    QWidget calculator; // stands in for the calculator, which the deletion hands the focus to
};

class SmallBoard : public Manager {
protected:
    void SetUp() override {
        serve(board::testing::smallState(3), TestBoard, "accounts");
        ASSERT_TRUE(logInThroughForum(TestBoard, "teller"));
    }
};

TEST_F(SmallBoard, DeletesOnlyWhatTheUserConfirms) {
    const struct {
        const char* select;
        int answer;
        QString question;
        int style;
        bool deleted;
    } cases[] = {
        {"", 0, "", 0, false}, // the button is disabled: nothing is asked
        {"T3", platform::vbNo, "Are you sure you want to delete the Account 3 account?",
         platform::vbYesNo | platform::vbQuestion, false},
        {"T3", platform::vbYes, "Are you sure you want to delete the Account 3 account?",
         platform::vbYesNo | platform::vbQuestion, true},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question.toStdString() + " " + std::to_string(c.answer));
        list().clearSelection();
        if (*c.select)
            list().setCurrentItem(row(c.select));
        if (c.answer)
            dialogs.answer(c.answer);
        const qsizetype loads = logged("Opening page 1 of accounts");
        const auto press = [] {
            QTest::mouseClick(manager().findChild<QWidget*>("cmdDelete"), Qt::LeftButton);
        };
        if (c.deleted) // the list reloads once the focus is back
            activate(press);
        else
            press();
        const ScriptedDialogs::Shown last =
            dialogs.shown().empty() ? ScriptedDialogs::Shown{} : dialogs.shown().back();
        EXPECT_EQ(last.text, c.question);
        EXPECT_EQ(last.style, c.style);
        EXPECT_EQ(logged("Opening page 1 of accounts") > loads, c.deleted);
        EXPECT_EQ(viewers().size(), c.deleted ? 1 : 0); // the forum's answer
        EXPECT_EQ(list().topLevelItemCount(), c.deleted ? 2 : 3);
        ForumClient client(server->port());
        const std::string thread = client.page("board=accounts&action=display&thread=3");
        EXPECT_EQ(thread.find("does not exist") != std::string::npos, c.deleted);
    }
}

// However the window is sized, the status bar runs along its bottom edge, below the list; a
// window made smaller than 4800 by 3600 twips springs back to that.
TEST_F(SmallBoard, TheStatusBarRunsAlongTheBottomAtEverySize) {
    open();
    const auto* bar = manager().findChild<StatusBar*>("StatusBar1");
    const QSize first = manager().size();
    const QSize frame = manager().frameGeometry().size() - first;
    const std::pair<QSize, QSize> sizes[] = {
        // asked for, and the outer size it gives
        {first + QSize(200, 150), first + QSize(200, 150) + frame},
        {first + QSize(40, 300), first + QSize(40, 300) + frame},
        {QSize(100, 80), platform::Twips(manager()).size(4800, 3600)}};
    for (const auto& [asked, outer] : sizes) {
        SCOPED_TRACE(QString("%1x%2").arg(asked.width()).arg(asked.height()).toStdString());
        manager().resize(asked);
        ASSERT_SOON(manager().frameGeometry().size() == outer);
        const QSize size = manager().size();
        EXPECT_EQ(bar->geometry(),
                  QRect(0, size.height() - bar->height(), size.width(), bar->height()));
        EXPECT_LE(list().geometry().bottom(), bar->geometry().top());
    }
}

TEST_F(SmallBoard, AReloadReadsAgainOnlyForAnotherUser) {
    const struct {
        QString user;
        qsizetype threadsRead;
        bool mayDelete;
        QString caption;
    } cases[] = {
        {"teller", 0, true, "The teller(teller)-Vaultmere's Manager"},
        {"other", 3, false, "Zed Other(other)-Vaultmere's Manager"},
    };
    open();
    list().setCurrentItem(row("T2"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user.toStdString());
        ASSERT_TRUE(logInThroughForum(TestBoard, c.user));
        const qsizetype skipped = logged("Skipping duplicate key:");
        const qsizetype read = logged("WB2 (readystate=4)");
        QString whileReading; // the status once the board's page has come
        QObject::connect(
            manager().loader().WebBrowser1, &WebBrowser::DocumentComplete, &manager(),
            [&] { whileReading = status(); }, Qt::SingleShotConnection);
        reactivate();
        EXPECT_EQ(whileReading, "Reloading accounts, please wait...");
        EXPECT_EQ(logged("Skipping duplicate key:") - skipped, 3);
        EXPECT_EQ(logged("Skipping duplicate key:3 for Account 3"), c.user == "teller" ? 1 : 2);
        EXPECT_EQ(logged("WB2 (readystate=4)") - read, c.threadsRead);
        ASSERT_TRUE(row("T2"));
        EXPECT_EQ(AccountListView::mayDelete(*row("T2")), c.mayDelete);
        // The selected row's buttons follow its rights as the load found them.
        EXPECT_EQ(manager().findChild<QPushButton*>("cmdDelete")->isEnabled(), c.mayDelete);
        EXPECT_EQ(manager().windowTitle(), c.caption);
        EXPECT_EQ(status(), "3 accounts loaded: Ready");
    }
}

TEST_F(SmallBoard, ABusyForumEndsTheLoadAndKeepsItFromStartingAgain) {
    ASSERT_TRUE(server->faults("overload=1"));
    dialogs.answer(platform::vbOK);
    manager().show();
    manager().activateWindow();
    ASSERT_SOON(!dialogs.shown().empty());
    EXPECT_TRUE(boxes(dialogs)[0].startsWith("Server Overload Error: Too Many Connections"));
    EXPECT_EQ(dialogs.shown()[0].style, platform::vbCritical);
    EXPECT_TRUE(manager().loader().isLoading());
    EXPECT_EQ(status(), "Loading accounts, please wait...");

    calculator.activateWindow();
    ASSERT_SOON(calculator.isActiveWindow());
    manager().activateWindow();
    ASSERT_SOON(manager().isActiveWindow());
    QCoreApplication::processEvents();
    EXPECT_EQ(logged("Opening page 1 of accounts"), 1);
    EXPECT_EQ(list().topLevelItemCount(), 0);
}

TEST_F(SmallBoard, ABusyThreadPageIsReportedAndTheLoadIsNotReady) {
    // The forum turns busy once the first account's thread page has come.
    QObject::connect(
        manager().loader().WebBrowser2, &WebBrowser::DocumentComplete, &manager(),
        [this] { server->faults("overload=1"); }, Qt::SingleShotConnection);
    dialogs.answer(platform::vbOK);
    manager().show();
    // Every thread page has come when the third one has: the busy one is the second.
    ASSERT_SOON(logged("WB2 (readystate=4)") == 3);
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(boxes(dialogs)[0].startsWith("Server Overload Error: Too Many Connections"))
        << boxes(dialogs)[0].toStdString();
    EXPECT_NE(status(), "3 accounts loaded: Ready");
}

TEST_F(SmallBoard, ClosingTheWindowDuringALoadEndsItQuietly) {
    // Closed while the first thread page is being read, deep inside the load's waits.
    QObject::connect(manager().loader().WebBrowser2, &WebBrowser::DocumentComplete, &manager(),
                     [] { manager().close(); });
    QWidget dependent; // a window that lives only as long as the manager
    dependent.setObjectName("frmModify");
    dependent.setWindowTitle("Modify Account");
    dependent.show();
    manager().show();
    manager().activateWindow();
    ASSERT_SOON(!FrmVaultmeres::exists());
    EXPECT_FALSE(dependent.isVisible());
    EXPECT_EQ(logged("WB2 (readystate=4)"), 1);
    EXPECT_EQ(logged("Opening page 2 of accounts"), 0);

    open(); // a new window loads afresh
    EXPECT_EQ(status(), "3 accounts loaded: Ready");
}

class DemoBoard : public Manager {
protected:
    void SetUp() override {
        serve(board::loadStateFile(ZENTAB_BOARD_DEMO_SEED, board::unixNow()), DemoBoardUrl,
              "vaultmeres");
        ASSERT_TRUE(logInThroughForum(DemoBoardUrl, "teller"));
    }
};

TEST_F(DemoBoard, PagesToTheErrorPageAndLeavesOutWhatIsNoAccount) {
    open();
    EXPECT_EQ(status(), "24 accounts loaded: Ready");
    EXPECT_EQ(list().topLevelItemCount(), 24);
    EXPECT_EQ(logged("Opening page 3 of accounts"), 1);
    EXPECT_EQ(logged("Opening page 4 of accounts"), 0);
    EXPECT_EQ(logged("Thread: 126 text:Re: Loan"), 1);
    EXPECT_FALSE(list().findRow("T126"));
    EXPECT_EQ(logged("Neve Everard failed preliminary account format check "
                     "(galleon line not found)"),
              1);
    EXPECT_FALSE(list().findRow("T125"));
}

} // namespace
