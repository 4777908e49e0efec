// The bank manager as a user reaches it from the calculator, and transactions as the user makes
// them: Modify in the manager, the dialog, the amount typed on the calculator's keys, and both
// account posts as the board server has stored them afterwards.
#include "AccountListView.h"
#include "AccountLoader.h"
#include "AccountPost.h"
#include "BoardE2e.h"
#include "CrLfLines.h"
#include "FrmVaultmeres.h"
#include "ModalWatchdog.h"
#include "Module1.h"
#include "OsServices.h"
#include "StatusBar.h"
#include "ZentabCalc.h"
#include "board_json.h"
#include "frmAccountCreate.h"
#include "frmBooks.h"
#include "frmLog.h"
#include "frmLogin.h"
#include "frmModify.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

namespace {

namespace board = zentab::board;
using bank::CoinTexts;
using bank::CrLf;
using platform::vbOK;

enum { Income = 0, Expense = 1 };
const QString EnterAmount =
    "Enter the amount for this transaction then hit the equal key when done";
const QString Aborted = "[color=red]Insufficient funds! Transaction aborted.[/color]";

struct Account {
    const char* name;
    const char* owner;
    CoinTexts coins;
    int items = 0; // transactions already in its list
};
// Threads 1, 2, ... in this order; thread 1 is the most recent.
const Account Accounts[] = {
    {"Alice", "teller", {"12", "3", "7"}},
    {"Bob", "teller", {"1", "0", "0"}},
    {"Carol", "teller", {"0", "0", "0"}},
    // Dora's and Penny's Knuts were written by hand, never sorted into Sickles.
    {"Dora", "teller", {"0", "0", "40"}},
    {"Ernie", "teller", {"3", "0", "0"}, 16},
    {"Mina", "member", {"2", "0", "0"}},
    {"Ed", "teller", {"5", "0", "0"}},
    {"O'Brien", "teller", {"1", "0", "0"}},
    // Owned by "knut": the owner line names a coin.
    {"Knut's Fund", "knut", {"12", "3", "7"}},
    // The most the calculator holds: 2147483647 Knuts.
    {"Rich", "teller", {"4355950", "10", "7"}},
    {"Renée", "teller", {"2", "0", "0"}},
    {"Bob  Smith", "teller", {"3", "0", "0"}},
    {"Penny", "teller", {"0", "0", "30"}},
};

int threadOf(const QString& name) {
    for (int i = 0; i < int(std::size(Accounts)); ++i)
        if (name == Accounts[i].name)
            return i + 1;
    return 0;
}

// An income that Alice could not pay: it needs no other half in the books.
QString oldItem(int day) {
    return crLfLines(
        {QStringLiteral("[*]Sep %1,2026, 1:00:00 am  (UTC)").arg(day, 2, 10, QChar('0')),
         "Amount: [color=lime]+ 1 Galleons 0 Sickles 0 Knuts ($7.33 USD)[/color]", Aborted,
         "Balance: Galleons:3 Sickles:0 Knuts:0  ($21.99 USD)", "Type:Prize ",
         "Other party: [url=" + TestBoard +
             "&action=display&thread=1] Alice[/url] [color=red]***IN DEBT***[/color]",
         "Description:", ""});
}

QString originalPost(const QString& name) {
    const int thread = threadOf(name);
    const Account& account = Accounts[thread - 1];
    QString post =
        bank::composeAccountPost(account.name, account.owner, account.coins, TestBoard).message;
    for (int day = 1; day <= account.items; ++day)
        post = bank::rewriteAccountPost(post, QString::number(thread), account.coins, oldItem(day));
    return post;
}

board::BoardState boardState() {
    auto forum = board::testing::smallForum(0);
    const auto now = board::unixNow();
    for (const Account& account : Accounts) {
        const int thread = threadOf(account.name);
        const nlohmann::json post = {{"id", thread},
                                     {"author", account.owner},
                                     {"subject", account.name},
                                     {"body", originalPost(account.name).toStdString()},
                                     {"time", now - thread * 3600}};
        forum["forums"][0]["boards"][0]["threads"].push_back(
            {{"id", thread}, {"posts", nlohmann::json::array({post})}});
    }
    return board::stateFromJson(forum, now);
}

// The newest item of a post's list, without its date line.
QString firstItem(const QString& post) {
    const qsizetype start = post.indexOf("[*]");
    if (start < 0)
        return {};
    qsizetype end = post.indexOf("[*]", start + 3);
    if (end < 0) // the last item, followed by the list's own line break
        end = post.indexOf("[/list]", start) - CrLf.size();
    return post.mid(start, end - start).section(CrLf, 1);
}

// The other party of a post's newest item, as written.
QString otherParty(const QString& post) {
    return firstItem(post).section("Other party: ", 1).section(CrLf, 0, 0);
}

class Transactions : public testing::Test {
protected:
    void SetUp() override {
        Module1::BoardUrl = TestBoard;
        Module1::BoardId = "accounts";
        calculator.show();
    }

    void TearDown() override {
        calculator.close(); // closes every other window with it
        closeViewers();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static FrmVaultmeres& manager() { return FrmVaultmeres::instance(); }
    static AccountListView& list() { return manager().ListView1(); }
    static frmModify& dialog() { return frmModify::instance(); }
    template <typename Widget = QWidget> static Widget* control(const char* name) {
        return dialog().findChild<Widget*>(name);
    }
    static void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static qsizetype loadsStarted() { return frmLog::instance().text().count("Opening page 1"); }
    static bool loaded() {
        return FrmVaultmeres::exists() && manager().isVisible() &&
               !manager().loader().isLoading() &&
               manager().findChild<StatusBar*>("StatusBar1")->text(2).endsWith("loaded: Ready");
    }
    // Runs a step after which the manager reads the board again, to that load's end.
    static void reloadAfter(const std::function<void()>& step) {
        const qsizetype loads = loadsStarted();
        step();
        ASSERT_SOON(loadsStarted() > loads && loaded());
    }
    void openManagerAs(const QString& user) {
        ASSERT_TRUE(logInThroughForum(TestBoard, user));
        manager().show();
        manager().activateWindow();
        ASSERT_SOON(loaded());
        ASSERT_EQ(list().topLevelItemCount(), int(std::size(Accounts)));
    }
    const ScriptedDialogs::Shown& lastBox() const { return dialogs.shown().back(); }
    bool anyShown(const QString& part) const { return boxes(dialogs).join('\n').contains(part); }
    // A row's texts in these columns, joined by '/'.
    static QString columns(const QTreeWidgetItem& row, std::initializer_list<int> which) {
        QStringList texts;
        for (const int column : which)
            texts.append(row.text(column));
        return texts.join('/');
    }

    // The posts of an account's thread as the server stores them, each "subject|body".
    QStringList posts(const QString& name) const {
        QFile file(stateDir.filePath("state.json"));
        if (!file.open(QIODevice::ReadOnly)) // nothing saved yet
            return {name + "|" + originalPost(name)};
        const auto state = nlohmann::json::parse(file.readAll().toStdString());
        QStringList bodies;
        for (const auto& thread : state["forums"][0]["boards"][0]["threads"])
            if (thread["id"] == threadOf(name))
                for (const auto& post : thread["posts"])
                    bodies.append(QString::fromStdString(post["subject"].get<std::string>() + "|" +
                                                         post["body"].get<std::string>()));
        return bodies;
    }
    QString post(const QString& name) const { return posts(name).value(0).section('|', 1); }
    // The balance in the account's post and in its row of the list.
    void expectBalance(const QString& name, const QString& gsk) {
        const QStringList coins = gsk.split('/');
        EXPECT_TRUE(post(name).contains(bank::coinBlock({coins[0], coins[1], coins[2]})))
            << post(name).toStdString();
        const QTreeWidgetItem* row = list().findRow("T" + QString::number(threadOf(name)));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(columns(*row, {AccountListView::Galleons, AccountListView::Sickles,
                                 AccountListView::Knuts}),
                  gsk)
            << name.toStdString();
    }

    void openDialog(const QString& account) {
        list().setCurrentItem(list().findRow("T" + QString::number(threadOf(account))));
        click(manager().findChild<QPushButton*>("cmdModify"));
        ASSERT_SOON(frmModify::exists() && dialog().pageAction() == frmModify::NoAction &&
                    control("cmdOK")->isEnabled());
        EXPECT_FALSE(manager().isVisible());
    }
    static void choose(int type, const QString& counterpart, int reason) {
        control<QComboBox>("cmbTType")->setCurrentIndex(type);
        auto* other = control<QComboBox>("cmbOtherAccount");
        other->setCurrentIndex(other->findText(counterpart));
        auto* reasons = control<QComboBox>(type == Income ? "cmbReasonIn" : "cmbReasonOut");
        reasons->setCurrentIndex(reason);
        emit reasons->activated(reason);
    }
    // Answers the request for the amount by typing it on the calculator.
    void typeAmountWhenAsked(const char* keys) {
        dialogs.answer(vbOK, [this, keys] {
            for (const char* key = keys; *key; ++key) {
                QWidget* focused = QApplication::focusWidget();
                QTest::keyClick(focused && calculator.isAncestorOf(focused) ? focused : &calculator,
                                *key);
            }
        });
    }
    // A transaction ready for OK, without the question before the saves.
    void prepareUnasked(const QString& account, int type, const QString& counterpart, int reason,
                        const char* amount) {
        openDialog(account);
        control<QCheckBox>("Check4")->setChecked(false);
        choose(type, counterpart, reason);
        typeAmountWhenAsked(amount);
    }
    // OK, then the dialog's close and the manager's reload.
    void pressOK() {
        reloadAfter([] { click(control("cmdOK")); });
        EXPECT_FALSE(frmModify::exists());
    }
    // A whole transaction, then both items and balances. Each side is written "G/S/K type".
    enum Option { Plain = 0, Aborts = 1, ShowsChanges = 2, HidesNames = 4, Asks = 8 };
    struct Booking {
        const char* behaviour;
        const char* account;
        int type;
        const char* counterpart;
        int reason;
        const char* keys;
        QString sides[2]; // the account's and the counterpart's
        int options = Plain;
    };
    void book(const Booking& b) {
        SCOPED_TRACE(b.behaviour);
        prepareUnasked(b.account, b.type, b.counterpart, b.reason, b.keys);
        const std::pair<const char*, int> boxes[] = {
            {"Check4", Asks}, {"Check3", ShowsChanges}, {"Check1", HidesNames}};
        for (const auto& [box, option] : boxes)
            control<QCheckBox>(box)->setChecked(b.options & option);
        if (b.options & Asks)
            dialogs.answer(platform::vbYes);
        dialogs.answer(vbOK);
        pressOK();
        EXPECT_EQ(lastBox().title, "Success");
        for (int side = 0; side < 2; ++side) {
            const QString name = side == 0 ? b.account : b.counterpart;
            SCOPED_TRACE(name.toStdString());
            expectBalance(name, b.sides[side].section(' ', 0, 0));
            const QString item = firstItem(post(name));
            // The counterpart's amount is lime either way.
            const bool gains = (b.type == Income) == (side == 0);
            EXPECT_TRUE(
                item.startsWith(QString("Amount: [color=%1]%2 ")
                                    .arg(side == 0 && !gains ? "red" : "lime", gains ? "+" : "-")))
                << item.toStdString();
            EXPECT_EQ(item.section("Type:", 1).section(CrLf, 0, 0).trimmed(),
                      b.sides[side].section(' ', 1));
            EXPECT_EQ(item.contains(Aborted), bool(b.options & Aborts));
            // The debt mark stands by the party that lacks the funds: the counterpart here.
            EXPECT_EQ(item.contains("***IN DEBT***"), (b.options & Aborts) && side == 0);
        }
    }
    // OK refused: the dialog is back and has read the account's page again.
    static void pressOKRefused() {
        click(control("cmdOK"));
        ASSERT_SOON(frmModify::exists() && dialog().isVisible() && control("cmdOK")->isEnabled() &&
                    dialog().pageAction() != frmModify::ShowChanges);
    }

    QTemporaryDir stateDir;
    board::testing::TestServer server{boardState(), stateDir.filePath("state.json").toStdString()};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    ZentabCalc calculator;
};

// The findings of Check Books, once it has read every account.
QStringList checkBooks() {
    FrmVaultmeres::instance().findChild<QAction*>("mnuCheckBooks")->trigger();
    frmBooks& books = frmBooks::instance();
    // While it reads, the button stops the check; once done, it closes the window.
    auto* stop = books.findChild<QPushButton*>("cmdCancel");
    EXPECT_EQ(stop->text(), "Cancel");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !books.checking() && books.findChild<QWidget*>("cmdExport")->isEnabled(); },
        Deadline));
    EXPECT_EQ(stop->text(), "Close");
    auto* findings = books.findChild<QTreeWidget*>("lstFindings");
    QStringList found;
    for (int i = 0; i < findings->topLevelItemCount(); ++i)
        found.append(findings->topLevelItem(i)->text(frmBooks::Account) + ": " +
                     findings->topLevelItem(i)->text(frmBooks::Details));
    return found;
}

TEST_F(Transactions, ABookingWritesBothPostsAndCheckBooksFindsAHalfBrokenInTheForum) {
    openManagerAs("teller");
    book({"asked first", "Alice", Expense, "Bob", 0, "5G3S2K=", "7/0/5 Purchase", "6/3/2 Sale",
          Asks});
    EXPECT_EQ(boxes(dialogs),
              QStringList({"Zentab Calculator SE: " + EnterAmount,
                           "Confirm: Subtract [ 5 Galleons 3 Sickles 2 Knuts] from \"Alice\" "
                           "account and add  amount to \"Bob\" account?",
                           "Success: Suceessfully modified Alice and Bob"}));
    // The items' texts are the record's own; the dialog gives them the parties' threads.
    EXPECT_EQ(otherParty(post("Alice")),
              "[url=" + TestBoard + "&action=display&thread=2] Bob[/url]");
    EXPECT_EQ(otherParty(post("Bob")),
              "[url=" + TestBoard + "&action=display&thread=1&post=1] Alice[/url]");

    book({"a second booking", "Carol", Income, "Bob", 1, "2K=", "0/0/2 Paycheck", "6/3/0 Payroll"});
    EXPECT_EQ(checkBooks(), QStringList());
    // A teller takes Bob's half of the first transaction out by hand.
    QString bob = post("Bob");
    const qsizetype older = bob.indexOf("[*]", bob.indexOf("[*]") + 3);
    bob.remove(older, bob.indexOf("[/list]") - older);
    editInForum(server.port(), 2, "Bob", bob.toStdString());
    const QStringList broken{"Alice: No mirror in the account of Bob"};
    EXPECT_EQ(checkBooks(), broken);

    // A member reads most posts as the thread pages show them, and finds the same.
    ASSERT_TRUE(logInThroughForum(TestBoard, "member"));
    reloadAfter([] { manager().showAndReload(); });
    EXPECT_EQ(checkBooks(), broken);

    // The list and the findings go to files a spreadsheet reads.
    for (const char* name : {"accounts.csv", "findings.csv"})
        dialogs.answerInput(stateDir.filePath(name));
    manager().findChild<QAction*>("mnuExport")->trigger();
    click(frmBooks::instance().findChild<QPushButton*>("cmdExport"));
    const auto written = [&](const char* name) {
        QFile file(stateDir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_TRUE(written("accounts.csv")
                    .startsWith("Account,Galleons,Sickles,Knuts,Date Created,Last Transaction,"
                                "Teller\r\nAlice,7,0,5,"));
    EXPECT_EQ(written("findings.csv").count("\r\n"), 2);
}

TEST_F(Transactions, BalancesAndItemsFollowASeriesOfBookings) {
    openManagerAs("teller");
    book({"the first income of an empty account", "Carol", Income, "Bob", 1,
          "5S=", "0/5/0 Paycheck", "0/12/0 Payroll"});
    book({"Dora holds 40 Knuts and cannot pay a Galleon", "Alice", Income, "Dora", 0,
          "1G=", "12/3/7 Sale", "0/0/40 Purchase", Aborts});
    book({"Bob pays his whole balance", "Bob", Expense, "Carol", 2, "12S=", "0/0/0 Refund",
          "1/0/0 Refund"});
    book({"an owner named after a coin leaves the balance alone", "Knut's Fund", Income, "Alice", 0,
          "1K=", "12/3/8 Sale", "12/3/6 Purchase"});

    // Hidden names read back whatever their letters, among them characters a post holds only
    // when its reader keeps control characters.
    book({"hidden names", "Alice", Expense, "Renée", 0, "1K=", "12/3/5 Purchase", "2/0/1 Sale",
          HidesNames});
    EXPECT_EQ(otherParty(post("Alice")), "anonymous(" + *Module1::Scramble("Renée") + ")");
    EXPECT_EQ(otherParty(post("Renée")), "anonymous(" + *Module1::Scramble("Alice") + ")");

    book({"a subject with two blanks", "Bob  Smith", Expense, "Alice", 0, "1K=", "2/16/28 Purchase",
          "12/3/6 Sale"});
    // The thread keeps its subject as the forum holds it.
    EXPECT_EQ(list().findRow("T12")->text(AccountListView::Account), "Bob  Smith");
    EXPECT_EQ(posts("Bob  Smith").value(0).section('|', 0, 0), "Bob  Smith");
    EXPECT_EQ(otherParty(post("Alice")),
              "[url=" + TestBoard + "&action=display&thread=12&post=12] Bob  Smith[/url]");

    dialogs.answerInput("Gift"); // the name of the reason Other, asked when it is chosen
    book({"show changes", "Carol", Expense, "Bob", 9, "3K=", "0/16/26 Other(Gift)",
          "0/0/3 Other(Gift)", ShowsChanges});
    QStringList shown;
    for (QWidget* viewer : viewers())
        shown.append(viewer->windowTitle());
    shown.sort();
    EXPECT_EQ(shown, QStringList({TestBoard + "&action=display&thread=2",
                                  TestBoard + "&action=display&thread=3"}));
    closeViewers();

    book({"both balances with Knuts never sorted", "Penny", Expense, "Dora", 0,
          "1K=", "0/1/0 Purchase", "0/1/12 Sale"});
    book({"the seventeenth item", "Ernie", Expense, "Bob", 0, "1G=", "2/0/0 Purchase",
          "1/0/3 Sale"});
    // The list of sixteen moves into a reply of its own.
    const QStringList ernie = posts("Ernie");
    ASSERT_EQ(ernie.size(), 2);
    EXPECT_EQ(ernie[0].count("[*]"), 1); // only the new item
    EXPECT_TRUE(ernie[1].startsWith("Archive: Ernie|[color=lime]Sep 16,2026, 1:00:00 am  "
                                    "(UTC)[/color] - [color=lime]Sep 01,2026, 1:00:00 am  "
                                    "(UTC)[/color]" +
                                    CrLf + "[list]" + CrLf + "[*]Sep 16"))
        << ernie[1].toStdString();
    EXPECT_EQ(ernie[1].count("[*]"), 16);

    book({"an income after the archive", "Ernie", Income, "Alice", 1, "1G=", "3/0/0 Paycheck",
          "11/3/6 Payroll"});
    // The history shows every balance, archived or not.
    list().setCurrentItem(list().findRow("T5"));
    manager().findChild<QAction*>("mnuHistory")->trigger();
    const auto items = [] {
        QWidget* history = platform::findOpenWindow("frmHistory");
        return history ? history->findChild<QTreeWidget*>("lstItems") : nullptr;
    };
    ASSERT_SOON(items() && items()->topLevelItemCount() == 18);
    EXPECT_TRUE(items()->window()->isVisible());
    // The chart, from its module, not the reason it is missing.
    EXPECT_TRUE(items()->window()->findChild<QWidget*>("chtBalance")->inherits("QChartView"));
    EXPECT_EQ(columns(*items()->topLevelItem(16), {1, 3}) + "|" +
                  columns(*items()->topLevelItem(17), {1, 3}),
              "- 1 Galleons 0 Sickles 0 Knuts ($7.33 USD)/2 Galleons, 0 Sickles, 0 Knuts|"
              "+ 1 Galleons 0 Sickles 0 Knuts ($7.33 USD)/3 Galleons, 0 Sickles, 0 Knuts");
    // Closed, the history is gone, chart and all: each one opened is a window of its own.
    const QPointer<QWidget> history = items()->window();
    history->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(history.isNull());
    // The threads were read again: their rows name the teller who edited them, and when.
    const QTreeWidgetItem* alice = list().findRow("T1");
    EXPECT_EQ(alice->text(AccountListView::Teller), "The teller");
    EXPECT_FALSE(alice->text(AccountListView::DateModified).isEmpty());
    EXPECT_NE(alice->text(AccountListView::DateModified),
              alice->text(AccountListView::DateCreated));
}

TEST_F(Transactions, NothingIsPostedWhenTheBookingCannotBeWhole) {
    // The question is asked only when the row declines it; a thread may be deleted by another
    // teller while the dialog is open; the boxes are those after the request for the amount.
    const struct {
        const char *behaviour, *user, *account, *counterpart;
        int answer, threadDeleted;
        QString boxes;
    } cases[] = {
        {"the question declined", "teller", "Alice", "Bob", platform::vbNo, 0,
         "Confirm: Subtract [ 1 Galleons 0 Sickles 0 Knuts] from \"Alice\" account and add  "
         "amount to \"Bob\" account?"},
        {"a counterpart beyond the calculator's range", "teller", "Alice", "Rich", vbOK, 0,
         "Zentab Calculator SE: The new balance of Rich would be beyond what the calculator can "
         "hold, so nothing was posted"},
        // The forum's error page then holds "ed" in its title, which is no sign of a save.
        {"a thread deleted while the dialog is open", "teller", "Ed", "O'Brien", vbOK, 7,
         "Failed: Ed: The post of Ed is not as the dialog read it any more, so nothing was "
         "posted. Its balance is read again; press OK once it shows"},
        {"a counterpart the user may not modify", "member", "Mina", "Bob", vbOK, 0,
         "Warning: You may not have the proper permissions needed to modify the Bob account\n"
         "Failed: Bob: The forum did not show the post of Bob for editing, so nothing was "
         "posted"},
    };
    openManagerAs("teller");
    for (QString user = "teller"; const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        if (c.user != std::exchange(user, c.user)) {
            ASSERT_TRUE(logInThroughForum(TestBoard, c.user));
            reloadAfter([] { manager().showAndReload(); });
        }
        prepareUnasked(c.account, Expense, c.counterpart, 0, "1G=");
        control<QCheckBox>("Check4")->setChecked(c.answer == platform::vbNo);
        if (c.threadDeleted)
            deleteInForum(server.port(), c.threadDeleted);
        const qsizetype asked = dialogs.shown().size() + 1;
        for (qsizetype i = 0; i <= c.boxes.count('\n'); ++i)
            dialogs.answer(c.answer);
        pressOKRefused();
        EXPECT_EQ(boxes(dialogs).mid(asked).join('\n'), c.boxes);
        // The dialog shows the balance as read.
        EXPECT_EQ(control<QComboBox>("ComboGalleons")->currentText(),
                  Accounts[threadOf(c.account) - 1].coins.galleons);
        for (const char* name : {c.account, c.counterpart})
            EXPECT_TRUE(threadOf(name) == c.threadDeleted || post(name) == originalPost(name))
                << name;
        reloadAfter([] { click(control("cmdCancel")); });
    }
    // Closed while the calculator waits for the amount: the wait ends with nothing posted.
    openDialog("Mina");
    control<QCheckBox>("Check4")->setChecked(false);
    choose(Expense, "Bob", 0);
    dialogs.answer(vbOK, [] { dialog().close(); });
    reloadAfter([] { click(control("cmdOK")); });
    EXPECT_FALSE(frmModify::exists());
    EXPECT_TRUE(post("Mina") == originalPost("Mina") && post("Bob") == originalPost("Bob"));
    EXPECT_FALSE(anyShown("Suceessfully"));
    EXPECT_FALSE(frmLog::instance().text().contains("Out of step"));
    // The dialog shows a teller's edit in the list; a reload while it is open puts Carol at Bob's.
    editInForum(server.port(), threadOf("Mina"), "Mina",
                post("Mina").replace("Galleons: 2", "Galleons: 9").toStdString());
    openDialog("Mina");
    expectBalance("Mina", "9/0/0");
    choose(Expense, "Bob", 0);
    deleteInForum(server.port(), threadOf("Alice"));
    reloadAfter([] { manager().showAndReload(); });
    dialogs.answer(vbOK, [] { dialog().close(); });
    click(control("cmdOK"));
    EXPECT_EQ(lastBox().text, "Choose the name of the person this transaction is with");
}

TEST_F(Transactions, ABusyForumIsAPauseButASaveNotReadBackStopsAndAnArchiveNotPostedKeepsTheList) {
    openManagerAs("teller");
    // Busy for the edit page and again when OK asks for it once more.
    ASSERT_TRUE(server.faults("overload=2"));
    dialogs.answer(vbOK);
    list().setCurrentItem(list().findRow("T1"));
    click(manager().findChild<QPushButton*>("cmdModify"));
    ASSERT_SOON(dialogs.shown().size() == 1);
    control<QCheckBox>("Check4")->setChecked(false);
    choose(Expense, "Bob", 0);
    dialogs.answer(vbOK);
    click(control("cmdOK"));
    ASSERT_EQ(dialogs.shown().size(), 2u);
    for (const auto& box : dialogs.shown()) {
        EXPECT_EQ(box.title, "Server Overload Error");
        EXPECT_EQ(box.style, platform::vbCritical);
        EXPECT_TRUE(box.text.contains("Too Many Connections"));
    }
    ASSERT_TRUE(frmModify::exists() && dialog().isVisible());
    // The forum answers again: the next OK makes the transaction.
    typeAmountWhenAsked("1K=");
    dialogs.answer(vbOK);
    pressOK();
    EXPECT_EQ(lastBox().title, "Success");
    expectBalance("Alice", "12/3/6");
    expectBalance("Bob", "1/0/1");

    // The forum is busy from the moment it has shown the saved thread, so the post cannot be
    // read back.
    const QString bob = post("Bob");
    prepareUnasked("Alice", Expense, "Bob", 0, "1K=");
    QObject::connect(&dialog().WBModify(), &WebBrowser::DocumentComplete, &dialog(), [this] {
        if (dialog().WBModify().LocationName() == "Test Bank - Alice")
            server.faults("overload=100");
    });
    dialogs.answer(vbOK, [this] { server.faults("reset=1"); });
    pressOK();
    EXPECT_EQ(lastBox().text.section(CrLf, -1),
              "The post of Alice could not be read back, so Bob was not changed. The debug log "
              "names the transaction");
    EXPECT_TRUE(frmLog::instance().text().contains(
        "Out of step: Alice may have been saved with - 0 Galleons 0 Sickles 1 Knuts to Bob, but "
        "Bob was not"))
        << frmLog::instance().text().right(400).toStdString();
    expectBalance("Alice", "12/3/5");
    EXPECT_EQ(post("Bob"), bob);

    // Busy when a full list's archive reply is asked for: the list stays whole in the post.
    ASSERT_TRUE(server.faults("overload=1&overload_action=post"));
    prepareUnasked("Ernie", Expense, "Bob", 0, "1G=");
    dialogs.answer(vbOK);
    dialogs.answer(vbOK);
    pressOK();
    EXPECT_EQ(boxes(dialogs).mid(dialogs.shown().size() - 2),
              QStringList({"Warning: Failed to archive Ernie account",
                           "Success: Suceessfully modified Ernie and Bob"}));
    EXPECT_EQ(posts("Ernie").size(), 1);
    EXPECT_EQ(post("Ernie").count("[*]"), 17);
    expectBalance("Ernie", "2/0/0");
    expectBalance("Bob", "2/0/1");

    // Busy when Bob's edit page is asked for once Alice is saved (the list then shows Bob as the
    // one being modified): a pause, then Bob's save.
    prepareUnasked("Alice", Expense, "Bob", 0, "1K=");
    QObject::connect(&list(), &QTreeWidget::currentItemChanged, &dialog(),
                     [this](QTreeWidgetItem* current) {
                         if (current && current->text(AccountListView::Account) == "Bob")
                             server.faults("overload=1&overload_action=modifypost");
                     });
    dialogs.answer(vbOK);
    dialogs.answer(vbOK);
    pressOK();
    const QStringList last = boxes(dialogs).mid(dialogs.shown().size() - 2);
    EXPECT_TRUE(last.value(0).startsWith("Server Overload Error: Too Many Connections"));
    EXPECT_EQ(last.value(1), "Success: Suceessfully modified Alice and Bob");
    expectBalance("Alice", "12/3/4");
    expectBalance("Bob", "2/0/2");

    // Busy at Bob's edit page on every attempt: Alice is booked, Bob is not, and the user is
    // told so.
    const QString bobBefore = post("Bob");
    prepareUnasked("Alice", Expense, "Bob", 0, "1K=");
    QObject::connect(&list(), &QTreeWidget::currentItemChanged, &dialog(),
                     [this](QTreeWidgetItem* current) {
                         if (current && current->text(AccountListView::Account) == "Bob")
                             server.faults("overload=3&overload_action=modifypost");
                     });
    for (int box = 0; box < 4; ++box)
        dialogs.answer(vbOK);
    pressOK();
    const QStringList told = boxes(dialogs).mid(dialogs.shown().size() - 4);
    for (const QString& busy : told.mid(0, 3))
        EXPECT_TRUE(busy.startsWith("Server Overload Error: Too Many Connections"))
            << busy.toStdString();
    EXPECT_EQ(told.value(3), "Bob: Too Many Connections" + CrLf + CrLf +
                                 "The post of Bob was not saved, though the post of Alice was. "
                                 "The debug log names the transaction");
    EXPECT_TRUE(frmLog::instance().text().contains(
        "Out of step: Alice was saved with - 0 Galleons 0 Sickles 1 Knuts to Bob, but Bob was not"))
        << frmLog::instance().text().right(400).toStdString();
    expectBalance("Alice", "12/3/3");
    EXPECT_EQ(post("Bob"), bobBefore);
}

// The manager brought back while a booking waits for its amount (from the calculator's menu, say)
// reads the board again only once the booking has ended: the rows the booking reads stay put.
TEST_F(Transactions, TheListIsReadAgainOnlyOnceABookingHasEnded) {
    openManagerAs("teller");
    const qsizetype loads = loadsStarted();
    openDialog("Alice");
    control<QCheckBox>("Check4")->setChecked(false);
    choose(Expense, "Bob", 0);
    qsizetype loadsWhileBooking = -1;
    dialogs.answer(vbOK, [&] {
        manager().showAndReload();
        ASSERT_SOON(manager().isActiveWindow());
        QCoreApplication::sendPostedEvents(); // the activation's load, if it were not held
        loadsWhileBooking = loadsStarted() - loads;
        for (const char key : {'1', 'K', '='})
            QTest::keyClick(&calculator, key);
    });
    dialogs.answer(vbOK);
    pressOK();
    EXPECT_EQ(lastBox().title, "Success");
    EXPECT_EQ(loadsWhileBooking, 0);
    EXPECT_EQ(loadsStarted() - loads, 1);
    expectBalance("Alice", "12/3/6");
    expectBalance("Bob", "1/0/1");
}

TEST_F(Transactions, TheDialogRefusesWhatCannotBeATransaction) {
    openManagerAs("teller");
    openDialog("Alice");
    auto* types = control<QComboBox>("cmbTType");
    QTest::keyClicks(types->lineEdit(), "xyz");
    EXPECT_EQ(types->currentText(), "income");
    // The balance shown is the forum's; typing in it changes nothing.
    auto* galleons = control<QComboBox>("ComboGalleons");
    const QString balance = galleons->currentText();
    QTest::keyClicks(galleons->lineEdit(), "9");
    EXPECT_EQ(galleons->currentText(), balance);
    for (const int type : {Expense, Income}) {
        types->setCurrentIndex(type);
        EXPECT_EQ(control("cmbReasonIn")->isVisible(), type == Income);
        EXPECT_EQ(control("cmbReasonOut")->isVisible(), type == Expense);
    }

    auto* reasons = control<QComboBox>("cmbReasonIn");
    const QString MarksTheList =
        ", which marks the list of transactions in an account's post, so nothing was posted";
    const struct {
        const char* counterpart;
        int reason; // -1 none chosen, 9 Other named as typed
        QString description, refusal;
        std::optional<QString> otherName = {};
    } cases[] = {
        {"With Who?", 0, "", "Choose the name of the person this transaction is with"},
        {"Nobody", 0, "", "Choose the name of the person this transaction is with"},
        {"Bob", -1, "", "Choose a reason for the transaction"},
        {"Bob", 0, "Paid [list] twice",
         "The description \"Paid [list] twice\" holds [list]" + MarksTheList},
        {"Bob", 9, "Comment\n",
         "The name for the reason Other \"Lot [/LIST]\" holds [/list]" + MarksTheList,
         "Lot [/LIST]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal.toStdString());
        control<QComboBox>("cmbOtherAccount")->setEditText(c.counterpart);
        if (c.otherName)
            dialogs.answerInput(c.otherName);
        reasons->setCurrentIndex(c.reason);
        if (c.reason < 0)
            reasons->setEditText("Reason");
        else
            emit reasons->activated(c.reason);
        control<QPlainTextEdit>("TextComment")->setPlainText(c.description);
        dialogs.answer(vbOK);
        click(control("cmdOK"));
        EXPECT_EQ(lastBox().text, c.refusal);
    }

    // Other keeps the name typed for it, or none when the question is cancelled.
    for (const QString answer : {"", "Lottery"}) {
        dialogs.answerInput(answer.isEmpty() ? std::nullopt : std::optional(answer));
        reasons->setCurrentIndex(9);
        emit reasons->activated(9);
        EXPECT_EQ(dialog().otherReasonName(), answer);
        EXPECT_EQ(lastBox().title, "Enter Other");
    }
    emit reasons->activated(0);
    EXPECT_EQ(dialog().otherReasonName(), "");
    EXPECT_FALSE(anyShown(EnterAmount));
    for (const char* name : {"Alice", "Bob"})
        EXPECT_EQ(post(name), originalPost(name)) << name;

    // A post without its coin lines is a warning at OK.
    reloadAfter([] { click(control("cmdCancel")); });
    editInForum(server.port(), 1, "Alice", "Galleons: 12\r\nSickles: 3\r\n");
    list().setCurrentItem(list().findRow("T1"));
    click(manager().findChild<QPushButton*>("cmdModify"));
    ASSERT_SOON(frmModify::exists() && control("cmdOK")->isEnabled());
    EXPECT_EQ(dialog().pageAction(), frmModify::ReadPost);
    dialogs.answer(vbOK);
    click(control("cmdOK"));
    EXPECT_EQ(boxes(dialogs).back(), "Warning: Account denomination field(s) missing");
    EXPECT_EQ(lastBox().style, platform::vbInformation);
    EXPECT_EQ(manager().waitingError().kind, bank::WaitingError::None);
    EXPECT_TRUE(dialog().isVisible());
}

TEST_F(Transactions, FromTheCalculatorsMenuThroughTheLoginToTheListAndANewAccount) {
    ModalWatchdog creation{"frmAccountCreate"};
    calculator.findChild<QAction*>("mnuToolsVaultmeres")->trigger();
    ASSERT_TRUE(frmLogin::exists() && frmLogin::instance().isVisible());
    frmLogin& login = frmLogin::instance();
    auto* address = login.findChild<QComboBox*>("Combo1");
    address->setEditText(TestBoard);
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_SOON(login.findChild<QWidget*>("cmdOK")->isEnabled());
    login.findChild<QLineEdit*>("txtUserName")->setText("teller");
    login.findChild<QLineEdit*>("txtPassword")->setText("teller");
    dialogs.answer(vbOK); // "Success"
    click(login.findChild<QWidget*>("cmdOK"));
    ASSERT_SOON(loaded() && list().topLevelItemCount() == int(std::size(Accounts)));
    EXPECT_FALSE(frmLogin::exists() && frmLogin::instance().isVisible());

    // The creation dialog is filled once the forum's form has loaded in it.
    QTimer::singleShot(0, [] {
        auto* created = qobject_cast<frmAccountCreate*>(QApplication::activeModalWidget());
        ASSERT_NE(created, nullptr);
        ASSERT_SOON(created->findChild<QWidget*>("cmdOK")->isEnabled());
        created->findChild<QLineEdit*>("TextName")->setText("Ada Quill");
        auto* galleons = created->findChild<QComboBox*>("ComboGalleons");
        galleons->setCurrentIndex(1);
        emit galleons->activated(1);
        click(created->findChild<QWidget*>("cmdOK"));
    });
    click(manager().findChild<QWidget*>("cmdCreate"));
    // The forum's answer opens in a window of its own; back in the manager the list is read
    // again and holds the new account.
    closeViewers();
    manager().activateWindow();
    ASSERT_SOON(loaded() && list().topLevelItemCount() == int(std::size(Accounts)) + 1);
    const auto found = list().findItems("Ada Quill", Qt::MatchExactly, AccountListView::Account);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(columns(*found[0], {AccountListView::Galleons, AccountListView::Sickles,
                                  AccountListView::Knuts, AccountListView::Teller}),
              "50/0/0/N/A");
    // Never edited: its last change is its creation.
    EXPECT_FALSE(found[0]->text(AccountListView::DateCreated).isEmpty());
    EXPECT_EQ(found[0]->text(AccountListView::DateModified),
              found[0]->text(AccountListView::DateCreated));
}

} // namespace
