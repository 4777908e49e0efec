// The login window against the board server: typed and remembered board addresses, the guest
// and logged-in pages, logging in, and what closing the window stores.
#include "frmLogin.h"

#include "ApplicationTitle.h"
#include "BoardE2e.h"
#include "Dialogs.h"
#include "Module1.h"
#include "SettingsStore.h"
#include "WebBrowser.h"
#include "board_json.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

namespace {

const QString& Board = TestBoard;
using Boards = QList<QPair<QString, QString>>;

// The test forum with one more member, whose name and password hold letters beyond code 190
// of Windows-1252.
zentab::board::BoardState forumWithAccentedMember() {
    auto forum = zentab::board::testing::smallForum(3);
    forum["forums"][0]["users"].push_back(
        {{"username", "zoë"}, {"password", "pässword"}, {"role", "member"}});
    return zentab::board::stateFromJson(forum, zentab::board::unixNow());
}

class frmLoginOnBoard : public testing::Test {
protected:
    void SetUp() override {
        QSettings(QSettings::IniFormat, QSettings::UserScope, "ZentabCalculator").remove("Boards");
        Module1::BoardUrl.clear();
        Module1::BoardId.clear();
        frmLogin::setManagerOpener([this] { ++managerShown; });
        // A page that never completes must fail the test, not hang it: closing ends every wait.
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "the login window was still waiting";
            frmLogin::instance().close();
        });
        watchdog.start(30000);
    }

    void TearDown() override {
        if (frmLogin::exists())
            frmLogin::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmLogin::setManagerOpener({});
    }

    static void open() { frmLogin::instance().show(); }
    template <typename Control> static Control* control(const char* name) {
        return frmLogin::instance().findChild<Control*>(name);
    }
    static QComboBox* combo() { return control<QComboBox>("Combo1"); }
    static QString field(const char* name) { return control<QLineEdit>(name)->text(); }
    static bool enabled(const char* name) { return control<QWidget>(name)->isEnabled(); }

    static void type(QWidget* box, const QString& text) {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        // QTest names the keys of plain ASCII only; other letters come as text alone.
        for (const QChar letter : text) {
            if (letter.unicode() < 0x80)
                QTest::keyClick(box, static_cast<char>(letter.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(letter),
                                    Qt::NoModifier);
        }
    }
    // Returns once the window has handled the page, as the window waits for it.
    static void enterAddress(const QString& address) {
        type(combo()->lineEdit(), address);
        QTest::keyClick(combo()->lineEdit(), Qt::Key_Return);
    }
    static void logInAs(const QString& user, const QString& password) {
        type(control<QLineEdit>("txtUserName"), user);
        type(control<QLineEdit>("txtPassword"), password);
        QTest::keyClick(control<QLineEdit>("txtPassword"), Qt::Key_Return); // OK is the default
    }
    static Boards storedBoards() { return platform::GetAllSettings("Boards"); }
    // In a browser of its own: every browser of the process shares the login.
    static void logOut() {
        WebBrowser elsewhere;
        QSignalSpy completed(&elsewhere, &WebBrowser::DocumentComplete);
        elsewhere.Navigate(Board + "&action=logout");
        ASSERT_TRUE(completed.wait(10000));
    }

    zentab::board::testing::TestServer server{forumWithAccentedMember()};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    QTimer watchdog;
    int managerShown = 0;
};

TEST_F(frmLoginOnBoard, AGuestTriesAgainAfterAFailedLoginAndCredentialsAreKeptOnlyWhenAsked) {
    open();
    EXPECT_EQ(combo()->currentText(), "Choose, type or paste url");
    EXPECT_FALSE(enabled("Frame1"));
    QTest::keyClicks(combo()->lineEdit(), "http://x"); // typing over the hint replaces it
    EXPECT_EQ(combo()->currentText(), "http://x");
    enterAddress(Board);
    EXPECT_TRUE(enabled("Frame1") && enabled("lblLabels_0") && enabled("cmdOK"));
    EXPECT_EQ(Module1::BoardUrl + " " + Module1::BoardId, Board + " accounts");
    dialogs.answer(platform::vbOK);
    logInAs("teller", "wrong");
    ASSERT_TRUE(frmLogin::exists() && frmLogin::instance().isVisible());
    EXPECT_EQ(managerShown, 0);

    const struct {
        QString user, password;
        bool remember;
        QString remembered;
    } cases[] = {
        {"Teller", "teller", true, "Teller!teller"}, // the forum's name check ignores case
        {"teller", "teller", false, ""},
        {"zoë", "pässword", true, "zoë!pässword"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user.toStdString());
        if (!frmLogin::exists()) {
            logOut();
            open();
            enterAddress(Board);
        }
        if (!c.remember)
            QTest::keyClick(control<QWidget>("Check1"), Qt::Key_Space);
        dialogs.answer(platform::vbOK);
        logInAs(c.user, c.password);
        ASSERT_EQ(boxes(dialogs).back(), "Login: Success");
        ASSERT_FALSE(frmLogin::exists());
        // Stored scrambled, and kept by a later window closed before it opened a board.
        open();
        frmLogin::instance().close();
        EXPECT_EQ(storedBoards().size(), 1);
        EXPECT_TRUE(c.remembered.isEmpty() ||
                    platform::GetSetting("Boards", Board) != c.remembered);
        EXPECT_EQ(Module1::Unscramble(platform::GetSetting("Boards", Board)), c.remembered);
    }
    EXPECT_EQ(boxes(dialogs).first(), "Login: Failed");
    EXPECT_EQ(managerShown, 3);
}

TEST_F(frmLoginOnBoard, AnAlreadyLoggedInBrowserGoesStraightToTheManager) {
    ASSERT_TRUE(logInThroughForum(Board, "member"));
    open();
    enterAddress(Board + "&action=display&thread=1");
    EXPECT_TRUE(dialogs.shown().empty());
    ASSERT_TRUE(frmLogin::exists() && !frmLogin::instance().isVisible());
    EXPECT_EQ(managerShown, 1);
    EXPECT_EQ(Module1::CurrentUser + " " + Module1::BoardUrl, "member " + Board);
    frmLogin::instance().close(); // as the manager does when it closes
    EXPECT_EQ(storedBoards(), Boards({{Board, ""}}));
}

TEST_F(frmLoginOnBoard, NormalisesTheTypedAddress) {
    const struct {
        QString typed, loginPage, boardUrl, boardId, storedUrl;
    } cases[] = {
        {Board + "&action=display&thread=2",
         "http://testbank.proboards.com/index.cgi?action=login&board=accounts", Board, "accounts",
         Board},
        {"  HTTP://TestBank.ProBoards.COM/index.cgi",
         "http://testbank.proboards.com/index.cgi?action=login&",
         "http://testbank.proboards.com/index.cgi?board=vaultmeres&", "vaultmeres",
         "http://testbank.proboards.com/index.cgi?board=vaultmeres"},
        {"http://testbank.comics.proboards.com/index.cgi?page=2&board=Accounts",
         "http://testbank.comics.proboards.com/index.cgi?action=login&board=accounts",
         "http://testbank.comics.proboards.com/index.cgi?board=accounts", "accounts",
         "http://testbank.comics.proboards.com/index.cgi?board=accounts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        open();
        enterAddress(c.typed);
        EXPECT_EQ(QStringList({control<WebBrowser>("WBLogin")->History().value(0),
                               Module1::BoardUrl, Module1::BoardId, field("Text1")}),
                  QStringList({c.loginPage, c.boardUrl, c.boardId, c.boardId}));
        QTest::keyClick(control<QWidget>("cmdCancel"), Qt::Key_Space);
        EXPECT_FALSE(frmLogin::exists());
        EXPECT_EQ(Module1::BoardUrl, c.storedUrl);
        EXPECT_TRUE(storedBoards().contains({c.storedUrl, ""}));
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(frmLoginOnBoard, ChoosingARememberedBoardFillsTheFields) {
    const QString other = "http://testbank.proboards.com/index.cgi?board=other";
    platform::SaveSetting("Boards", Board, *Module1::Scramble(" member !pa!ss! "));
    platform::SaveSetting("Boards", other, "");
    open();
    ASSERT_EQ(combo()->count(), 2);
    EXPECT_EQ(combo()->itemText(1), other);
    const QString chosen[] = {Board + " member pa!ss!", other + "  "};
    for (const QString& fields : chosen) {
        QTest::keyClick(combo(), Qt::Key_Down);
        EXPECT_EQ(
            QStringList({Module1::BoardUrl, field("txtUserName"), field("txtPassword")}).join(' '),
            fields);
    }
    EXPECT_EQ(Module1::BoardId, "other");

    // OK with empty fields does not log in, yet hands over to the manager.
    const QPointer<frmLogin> window = &frmLogin::instance();
    QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(frmLogin::exists());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()); // gone, not hidden
    EXPECT_EQ(managerShown, 1);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(storedBoards(),
              Boards({{Board, *Module1::Scramble(" member !pa!ss! ")}, {other, ""}}));
}

TEST_F(frmLoginOnBoard, ARememberedBoardTypedInOtherLettersOpensOnce) {
    platform::SaveSetting("Boards", Board, "");
    open();
    enterAddress(QString(Board).replace("testbank", "TestBank"));
    // Leaving the box would choose the matching entry, and so open the board again.
    QTest::keyClick(combo()->lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(control<WebBrowser>("WBLogin")->History(),
              QStringList({"http://testbank.proboards.com/index.cgi?action=login&board=accounts"}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(frmLoginOnBoard, NoManagerOpensWhenTheAddressFailsOrTheWindowIsClosedWhileWaiting) {
    const struct {
        const char* behaviour;
        QString typed;
        const char* faults;
        bool loginFirst; // the board's page has come and the login is sent; the board is stored
        QString box;     // none when Escape closes the window in its wait
    } cases[] = {
        {"no board's address", "http://testbank.example.com/index.cgi?board=accounts", "reset=1",
         false, "Invalid Proboards url"},
        {"a busy forum", Board, "overload=1", false,
         "Url might be invalid, incorrect or has timed out"},
        {"closed waiting for the board's page", Board, "slow_ms=3000", false, ""},
        {"closed waiting for the login's answer", Board, "slow_ms=3000", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        const auto shown = dialogs.shown().size();
        open();
        if (c.loginFirst)
            enterAddress(Board);
        ASSERT_TRUE(server.faults(c.faults));
        if (!c.box.isEmpty())
            dialogs.answer(platform::vbOK);
        else // the first events to run after the key or click are those of the window's wait
            QTimer::singleShot(0, [] { QTest::keyClick(&frmLogin::instance(), Qt::Key_Escape); });
        if (c.loginFirst)
            logInAs("teller", "teller");
        else
            enterAddress(c.typed);
        if (!c.box.isEmpty()) {
            EXPECT_EQ(boxes(dialogs).back(), platform::applicationTitle() + ": " + c.box);
            EXPECT_FALSE(enabled("Frame1") || enabled("cmdOK"));
            frmLogin::instance().close();
        }
        EXPECT_FALSE(frmLogin::exists());
        EXPECT_EQ(dialogs.shown().size() - shown, c.box.isEmpty() ? 0u : 1u);
        EXPECT_EQ(managerShown, 0);
        EXPECT_EQ(storedBoards(), c.loginFirst ? Boards({{Board, ""}}) : Boards());
        ASSERT_TRUE(server.faults("reset=1"));
    }
}

} // namespace
