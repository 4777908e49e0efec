// Transactions as a user makes them: Modify in the manager, the dialog, the
// amount typed on the calculator's keys, and both account posts as the board
// server has stored them afterwards.
#include "AccountListView.h"
#include "AccountLoader.h"
#include "AccountPost.h"
#include "ForumProxy.h"
#include "FrmVaultmeres.h"
#include "Module1.h"
#include "OsServices.h"
#include "PageViewer.h"
#include "QtPrinting.h"
#include "ScriptedDialogs.h"
#include "StatusBar.h"
#include "ZentabCalc.h"
#include "board_json.h"
#include "board_test_support.h"
#include "frmBooks.h"
#include "frmLog.h"
#include "frmModify.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

namespace board = zentab::board;
using bank::CoinTexts;
using bank::CrLf;
using board::testing::ForumClient;
using board::testing::TestServer;
using platform::vbCritical;
using platform::vbInformation;
using platform::vbNo;
using platform::vbOK;
using platform::vbYes;

const QString BoardUrl = "http://testbank.proboards.com/index.cgi?board=accounts";
constexpr int Deadline = 60000;
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
    {"Dora", "teller", {"0", "0", "10"}},
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
};

int threadOf(const QString& name) {
    for (int i = 0; i < int(std::size(Accounts)); ++i)
        if (name == Accounts[i].name)
            return i + 1;
    return 0;
}

QString lines(std::initializer_list<QString> texts) {
    QString joined;
    for (const QString& text : texts)
        joined += text + CrLf;
    return joined;
}

// An income that Alice could not pay: it needs no other half in the books.
QString oldItem(int day) {
    return lines({QStringLiteral("[*]Sep %1,2026, 1:00:00 am  (UTC)").arg(day, 2, 10, QChar('0')),
                  "Amount: [color=lime]+ 1 Galleons 0 Sickles 0 Knuts ($7.33 USD)[/color]",
                  "[color=red]Insufficient funds! Transaction aborted.[/color]",
                  "Balance: Galleons:3 Sickles:0 Knuts:0  ($21.99 USD)", "Type:Prize ",
                  "Other party: [url=" + BoardUrl +
                      "&action=display&thread=1] Alice[/url] [color=red]***IN DEBT***[/color]",
                  "Description:", ""});
}

QString originalPost(const Account& account, int thread) {
    QString post =
        bank::composeAccountPost(account.name, account.owner, account.coins, BoardUrl).message;
    for (int day = 1; day <= account.items; ++day)
        post = bank::rewriteAccountPost(post, QString::number(thread), account.coins, oldItem(day));
    return post;
}

board::BoardState boardState() {
    const auto now = board::unixNow();
    nlohmann::json threads = nlohmann::json::array();
    for (int thread = 1; thread <= int(std::size(Accounts)); ++thread) {
        const Account& account = Accounts[thread - 1];
        threads.push_back({{"id", thread},
                           {"posts",
                            {{{"id", thread},
                              {"author", account.owner},
                              {"subject", account.name},
                              {"body", originalPost(account, thread).toStdString()},
                              {"time", now - thread * 3600}}}}});
    }
    nlohmann::json users = nlohmann::json::array();
    for (const char* role : {"admin", "teller", "member"})
        users.push_back({{"username", role},
                         {"password", role},
                         {"display_name", std::string("The ") + role},
                         {"role", role}});
    return board::stateFromJson(
        {{"forums",
          {{{"name", "testbank"},
            {"title", "Test Bank"},
            {"users", users},
            {"boards", {{{"id", "accounts"}, {"title", "Accounts"}, {"threads", threads}}}}}}}},
        now);
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

class Transactions : public testing::Test {
protected:
    void SetUp() override {
        Module1::BoardUrl = BoardUrl;
        Module1::BoardId = "accounts";
        calculator.show();
    }

    void TearDown() override {
        calculator.close(); // closes every other window with it
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<browser::PageViewer*>(window))
                window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static FrmVaultmeres& manager() { return FrmVaultmeres::instance(); }
    static AccountListView& list() { return manager().ListView1(); }
    static frmModify& dialog() { return frmModify::instance(); }
    template <typename Widget = QWidget> static Widget* control(const char* name) {
        return dialog().findChild<Widget*>(name);
    }
    static qsizetype loadsStarted() { return frmLog::instance().text().count("Opening page 1"); }
    static bool loaded() {
        return FrmVaultmeres::exists() && manager().isVisible() &&
               !manager().loader().isLoading() &&
               manager().findChild<StatusBar*>("StatusBar1")->text(2).endsWith("loaded: Ready");
    }

    void openManagerAs(const QString& user) {
        ASSERT_TRUE(logInThroughForum(BoardUrl, user));
        manager().show();
        manager().activateWindow();
        ASSERT_TRUE(QTest::qWaitFor(loaded, Deadline));
        ASSERT_EQ(list().topLevelItemCount(), int(std::size(Accounts)));
    }

    // The posts of an account's thread as the server stores them.
    QStringList posts(const QString& name) const {
        QFile file(stateDir.filePath("state.json"));
        if (!file.open(QIODevice::ReadOnly)) // nothing saved yet
            return {name + "|" + originalPost(Accounts[threadOf(name) - 1], threadOf(name))};
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

    void openDialog(const QString& account) {
        list().setCurrentItem(list().findRow("T" + QString::number(threadOf(account))));
        QTest::mouseClick(manager().findChild<QPushButton*>("cmdModify"), Qt::LeftButton);
        ASSERT_TRUE(frmModify::exists());
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                return frmModify::exists() && dialog().pageAction() == frmModify::NoAction &&
                       control("cmdOK")->isEnabled();
            },
            Deadline));
        EXPECT_FALSE(manager().isVisible());
    }

    static void choose(int type, const QString& counterpart, int reason) {
        auto* types = control<QComboBox>("cmbTType");
        types->setCurrentIndex(type);
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

    // A whole transaction without the question, to its success.
    void bookUnasked(const QString& account, int type, const QString& counterpart, int reason,
                     const char* amount) {
        prepareUnasked(account, type, counterpart, reason, amount);
        dialogs.answer(vbOK);
        pressOK();
    }

    // OK refused: the dialog is back and has read the account's page again.
    void pressOKRefused() {
        QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                return frmModify::exists() && dialog().isVisible() &&
                       control("cmdOK")->isEnabled() &&
                       dialog().pageAction() != frmModify::ShowChanges;
            },
            Deadline));
    }

    bool anyShown(const QString& part) const {
        return std::any_of(dialogs.shown().begin(), dialogs.shown().end(),
                           [&](const auto& box) { return box.text.contains(part); });
    }

    void expectUnchanged(std::initializer_list<const char*> names) {
        for (const char* name : names)
            EXPECT_EQ(post(name), originalPost(Accounts[threadOf(name) - 1], threadOf(name)))
                << name;
    }

    // OK, then the dialog's close and the manager's reload.
    void pressOK() {
        const qsizetype loads = loadsStarted();
        QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !frmModify::exists() && loadsStarted() > loads && loaded(); }, Deadline));
    }

    void expectRow(const QString& name, const CoinTexts& coins) {
        const QTreeWidgetItem* row = list().findRow("T" + QString::number(threadOf(name)));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(
            (CoinTexts{row->text(AccountListView::Galleons), row->text(AccountListView::Sickles),
                       row->text(AccountListView::Knuts)}),
            coins)
            << name.toStdString();
    }

    void expectBalance(const QString& name, const CoinTexts& coins) {
        EXPECT_TRUE(post(name).contains(bank::coinBlock(coins))) << post(name).toStdString();
        expectRow(name, coins);
    }

    QTemporaryDir stateDir;
    TestServer server{boardState(), stateDir.filePath("state.json").toStdString()};
    ForumProxy proxy{server.port()};
    ScriptedDialogs dialogs;
    ZentabCalc calculator;
};

TEST_F(Transactions, AnExpenseWritesBothItemsAsTheForumShowsThem) {
    openManagerAs("teller");
    openDialog("Alice");
    choose(Expense, "Bob", 0); // Purchase
    typeAmountWhenAsked("5G3S2K=");
    dialogs.answer(vbYes);
    dialogs.answer(vbOK);
    pressOK();

    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[0].text, EnterAmount);
    EXPECT_EQ(dialogs.shown()[1].text, "Subtract [ 5 Galleons 3 Sickles 2 Knuts] from \"Alice\" "
                                       "account and add  amount to \"Bob\" account?");
    EXPECT_EQ(dialogs.shown()[1].title, "Confirm");
    EXPECT_EQ(dialogs.shown()[2].text, "Suceessfully modified Alice and Bob");
    EXPECT_EQ(dialogs.shown()[2].title, "Success");

    EXPECT_EQ(firstItem(post("Alice")),
              lines({"Amount: [color=red]- 5 Galleons 3 Sickles 2 Knuts ($37.97 USD)[/color]",
                     "Balance: Galleons:7 Sickles:0 Knuts:5  ($51.38 USD)", "Type:Purchase ",
                     "Other party: [url=" + BoardUrl + "&action=display&thread=2] Bob[/url]",
                     "Description:", ""}));
    EXPECT_EQ(
        firstItem(post("Bob")),
        lines({"Amount: [color=lime]+ 5 Galleons 3 Sickles 2 Knuts ($37.97 USD)[/color]",
               "Balance: Galleons:6 Sickles:3 Knuts:2  ($45.30 USD)", "Type:Sale ",
               "Other party: [url=" + BoardUrl + "&action=display&thread=1&post=1] Alice[/url]",
               "Description:", ""}));
    EXPECT_TRUE(post("Alice").startsWith(
        "Account Number: [url=http://testbank.proboards.com/index.cgi?action=viewprofile&user="
        "teller ]1 [/url]"));
    EXPECT_TRUE(post("Alice").endsWith(bank::signatureBlock()));
    expectBalance("Alice", {"7", "0", "5"});
    expectBalance("Bob", {"6", "3", "2"});
}

TEST_F(Transactions, BalancesFollowASeriesOfTransactions) {
    // Balances written G/S/K, types as account/counterpart.
    const struct {
        const char* account;
        const char* counterpart;
        int type;
        int reason;
        const char* amount;
        QString balancesAfter[2];
        QString types;
        bool aborted;
    } ledger[] = {
        // The first income of an empty account.
        {"Carol", "Bob", Income, 1, "5S=", {"0/5/0", "0/12/0"}, "Paycheck/Payroll", false},
        // Dora holds 10 Knuts and cannot pay a Galleon.
        {"Alice", "Dora", Income, 0, "1G=", {"12/3/7", "0/0/10"}, "Sale/Purchase", true},
        // Bob's whole balance.
        {"Bob", "Carol", Expense, 2, "12S=", {"0/0/0", "1/0/0"}, "Refund/Refund", false},
    };
    openManagerAs("teller");
    for (const auto& entry : ledger) {
        SCOPED_TRACE(entry.account);
        bookUnasked(entry.account, entry.type, entry.counterpart, entry.reason, entry.amount);

        const QString sides[] = {entry.account, entry.counterpart};
        for (int side = 0; side < 2; ++side) {
            const QStringList coins = entry.balancesAfter[side].split('/');
            expectBalance(sides[side], {coins[0], coins[1], coins[2]});
            const QString item = firstItem(post(sides[side]));
            EXPECT_TRUE(
                item.contains(CrLf + "Type:" + entry.types.section('/', side, side) + " " + CrLf))
                << item.toStdString();
            EXPECT_EQ(item.contains(Aborted), entry.aborted);
            // The debt mark stands by the party that lacks the funds: the counterpart here.
            EXPECT_EQ(item.contains("***IN DEBT***"), entry.aborted && side == 0);
        }
    }
}

TEST_F(Transactions, DecliningTheQuestionPostsNothing) {
    openManagerAs("teller");
    openDialog("Alice");
    choose(Income, "Bob", 0);
    typeAmountWhenAsked("1G=");
    dialogs.answer(vbNo);
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);

    // The dialog is back with the balance as read, and reads the page again.
    ASSERT_TRUE(frmModify::exists());
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(control<QComboBox>("ComboGalleons")->currentText(), "12");
    ASSERT_TRUE(QTest::qWaitFor([] { return control("cmdOK")->isEnabled(); }, Deadline));
    EXPECT_EQ(dialog().pageAction(), frmModify::NoAction);
    EXPECT_EQ(post("Alice"), originalPost(Accounts[0], 1));
    EXPECT_EQ(post("Bob"), originalPost(Accounts[1], 2));

    const qsizetype loads = loadsStarted();
    QTest::mouseClick(control("cmdCancel"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return loadsStarted() > loads && loaded(); }, Deadline));
}

TEST_F(Transactions, ShowChangesOpensEachSavedPost) {
    openManagerAs("teller");
    dialogs.answerInput("Gift");
    prepareUnasked("Bob", Expense, "Carol", 9, "3K="); // Other
    control<QCheckBox>("Check3")->setChecked(true);
    dialogs.answer(vbOK);
    pressOK();

    QStringList shown;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<browser::PageViewer*>(window) && window->isVisible())
            shown.append(window->windowTitle());
    shown.sort();
    EXPECT_EQ(shown, QStringList({BoardUrl + "&action=display&thread=2",
                                  BoardUrl + "&action=display&thread=3"}));
    EXPECT_TRUE(firstItem(post("Bob")).contains(CrLf + "Type:Other(Gift)" + CrLf));
    EXPECT_TRUE(firstItem(post("Carol")).contains(CrLf + "Type:Other(Gift)" + CrLf));
}

TEST_F(Transactions, ACounterpartTheUserMayNotModifyStopsTheTransactionBeforeAnySave) {
    openManagerAs("member");
    prepareUnasked("Mina", Expense, "Bob", 0, "1G=");
    dialogs.answer(vbOK); // the warning
    dialogs.answer(vbOK); // the refusal
    pressOKRefused();

    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[1].text,
              "You may not have the proper permissions needed to modify the Bob account");
    EXPECT_EQ(dialogs.shown()[1].title, "Warning");
    EXPECT_EQ(dialogs.shown()[2].text,
              "The forum did not show the post of Bob for editing, so nothing was posted");
    EXPECT_EQ(dialogs.shown()[2].title, "Failed: Bob");
    expectUnchanged({"Mina", "Bob"});
    EXPECT_FALSE(frmLog::instance().text().contains("Out of step"));
}

TEST_F(Transactions, ABusyForumIsAPauseNotAStop) {
    openManagerAs("teller");
    // Busy for the edit page and again when OK asks for it once more.
    ASSERT_TRUE(server.faults("overload=2"));
    dialogs.answer(vbOK);
    list().setCurrentItem(list().findRow("T1"));
    QTest::mouseClick(manager().findChild<QPushButton*>("cmdModify"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.shown().size() == 1; }, Deadline));
    EXPECT_EQ(dialogs.shown()[0].title, "Server Overload Error");
    EXPECT_EQ(dialogs.shown()[0].style, vbCritical);

    control<QCheckBox>("Check4")->setChecked(false);
    choose(Expense, "Bob", 0);
    dialogs.answer(vbOK);
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].title, "Server Overload Error");
    EXPECT_TRUE(dialogs.shown()[1].text.contains("Too Many Connections"));
    ASSERT_TRUE(frmModify::exists());
    EXPECT_TRUE(dialog().isVisible());

    // The forum answers again: the next OK makes the transaction.
    typeAmountWhenAsked("1K=");
    dialogs.answer(vbOK);
    pressOK();
    EXPECT_EQ(dialogs.shown().back().title, "Success");
    expectBalance("Alice", {"12", "3", "6"});
    expectBalance("Bob", {"1", "0", "1"});
}

TEST_F(Transactions, TheSeventeenthTransactionArchivesTheListIntoAReply) {
    openManagerAs("teller");
    bookUnasked("Ernie", Expense, "Bob", 0, "1G=");

    const QStringList ernie = posts("Ernie");
    ASSERT_EQ(ernie.size(), 2);
    EXPECT_EQ(ernie[0].count("[*]"), 1); // only the new item
    const QString reply = ernie[1];
    EXPECT_TRUE(reply.startsWith("Archive: Ernie|[color=lime]Sep 16,2026, 1:00:00 am  (UTC)[/color]"
                                 " - [color=lime]Sep 01,2026, 1:00:00 am  (UTC)[/color]" +
                                 CrLf + "[list]" + CrLf + "[*]Sep 16"))
        << reply.toStdString();
    EXPECT_EQ(reply.count("[*]"), 16);
    expectBalance("Ernie", {"2", "0", "0"});
    expectBalance("Bob", {"2", "0", "0"});
}

TEST_F(Transactions, TheDialogRefusesWhatCannotBeATransaction) {
    openManagerAs("teller");
    openDialog("Alice");
    auto* types = control<QComboBox>("cmbTType");
    QTest::keyClicks(types->lineEdit(), "xyz");
    EXPECT_EQ(types->currentText(), "income");
    types->setCurrentIndex(Expense);
    EXPECT_TRUE(control("cmbReasonOut")->isVisible());
    EXPECT_FALSE(control("cmbReasonIn")->isVisible());
    types->setCurrentIndex(Income);
    EXPECT_TRUE(control("cmbReasonIn")->isVisible());

    const struct {
        const char* counterpart;
        int reason; // -1 none chosen
        QString refusal;
    } cases[] = {
        {"With Who?", 0, "Choose the name of the person this transaction is with"},
        {"Nobody", 0, "Choose the name of the person this transaction is with"},
        {"Bob", -1, "Choose a reason for the transaction"},
    };
    for (const auto& c : cases) {
        auto* other = control<QComboBox>("cmbOtherAccount");
        other->setEditText(c.counterpart);
        auto* reasons = control<QComboBox>("cmbReasonIn");
        reasons->setCurrentIndex(c.reason);
        if (c.reason < 0)
            reasons->setEditText("Reason");
        dialogs.answer(vbOK);
        QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
        EXPECT_EQ(dialogs.shown().back().text, c.refusal);
    }

    auto* reasons = control<QComboBox>("cmbReasonIn");
    const std::pair<std::optional<QString>, QString> otherNames[] = {{std::nullopt, ""},
                                                                     {"Lottery", "Lottery"}};
    for (const auto& [answer, kept] : otherNames) {
        dialogs.answerInput(answer);
        reasons->setCurrentIndex(9);
        emit reasons->activated(9);
        EXPECT_EQ(dialog().otherReasonName(), kept);
        EXPECT_EQ(dialogs.shown().back().title, "Enter Other");
    }
    emit reasons->activated(0);
    EXPECT_EQ(dialog().otherReasonName(), "");
    EXPECT_EQ(post("Alice"), originalPost(Accounts[0], 1));
}

TEST_F(Transactions, APostWithoutItsCoinLinesIsAWarningAtOK) {
    openManagerAs("teller");
    ForumClient teller(server.port());
    ASSERT_TRUE(teller.login("teller"));
    const auto edit = teller.post({{"action", "modifypost2"},
                                   {"board", "accounts"},
                                   {"thread", "1"},
                                   {"post", "1"},
                                   {"subject", "Alice"},
                                   {"message", "Galleons: 12\r\nSickles: 3\r\n"},
                                   {"nextaction", "post"}});
    ASSERT_TRUE(edit && edit->status == 303);
    list().setCurrentItem(list().findRow("T1"));
    QTest::mouseClick(manager().findChild<QPushButton*>("cmdModify"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([] { return control("cmdOK")->isEnabled(); }, Deadline));
    EXPECT_EQ(dialog().pageAction(), frmModify::ReadPost);

    dialogs.answer(vbOK);
    QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "Account denomination field(s) missing");
    EXPECT_EQ(dialogs.shown()[0].title, "Warning");
    EXPECT_EQ(dialogs.shown()[0].style, vbInformation);
    EXPECT_EQ(manager().waitingError().kind, bank::WaitingError::None);
    EXPECT_TRUE(dialog().isVisible());
}

} // namespace

namespace {

// The other party of a post's newest item, as written.
QString otherParty(const QString& post) {
    return firstItem(post).section("Other party: ", 1).section(CrLf, 0, 0);
}

} // namespace

TEST_F(Transactions, AnAccountWhoseThreadWentAwayPostsNothing) {
    openManagerAs("teller");
    prepareUnasked("Ed", Expense, "O'Brien", 0, "1G=");
    // Deleted by another teller while the dialog is open: the forum's error
    // page then holds "ed" in its title, which is no sign of a save.
    ForumClient teller(server.port());
    ASSERT_TRUE(teller.login("teller"));
    ASSERT_TRUE(teller.get("board=accounts&action=deletepost&thread=7&post=7"));
    dialogs.answer(vbOK);
    pressOKRefused();

    EXPECT_EQ(dialogs.shown().back().title, "Failed: Ed");
    EXPECT_FALSE(anyShown("Suceessfully"));
    expectUnchanged({"O'Brien"});
}

TEST_F(Transactions, ASaveThatCannotBeReadBackStopsAndIsLogged) {
    openManagerAs("teller");
    prepareUnasked("Alice", Expense, "Bob", 0, "1K=");
    // The forum is busy from the moment it has shown the saved thread, so the
    // post cannot be read back.
    QObject::connect(&dialog().WBModify(), &WebBrowser::DocumentComplete, &dialog(), [this] {
        if (dialog().WBModify().LocationName() == "Test Bank - Alice")
            server.faults("overload=100");
    });
    dialogs.answer(vbOK, [this] { server.faults("reset=1"); });
    pressOK();

    EXPECT_EQ(dialogs.shown().back().text.section(CrLf, -1),
              "The post of Alice could not be read back, so Bob was not changed. The debug log "
              "names the transaction");
    EXPECT_TRUE(frmLog::instance().text().contains(
        "Out of step: Alice may have been saved with - 0 Galleons 0 Sickles 1 Knuts to Bob, but "
        "Bob was not"))
        << frmLog::instance().text().right(400).toStdString();
    expectBalance("Alice", {"12", "3", "6"});
    expectUnchanged({"Bob"});
}

TEST_F(Transactions, AnOwnerNamedAfterACoinLeavesTheBalanceAlone) {
    openManagerAs("teller");
    bookUnasked("Knut's Fund", Income, "Alice", 0, "1K=");
    expectBalance("Knut's Fund", {"12", "3", "8"});
    expectBalance("Alice", {"12", "3", "6"});
}

TEST_F(Transactions, TextsThatWouldSplitTheListAreRefused) {
    openManagerAs("teller");
    const struct {
        QString description;
        std::optional<QString> otherName; // typed for the reason Other
        QString refused;
    } cases[] = {
        {"Paid [list] twice", std::nullopt, "The description \"Paid [list] twice\" holds [list]"},
        {"Comment\n", "Lot [/LIST]", "The name for the reason Other \"Lot [/LIST]\" holds [/list]"},
    };
    openDialog("Alice");
    for (const auto& c : cases) {
        if (c.otherName)
            dialogs.answerInput(c.otherName);
        choose(Expense, "Bob", c.otherName ? 9 : 0);
        control<QPlainTextEdit>("TextComment")->setPlainText(c.description);
        dialogs.answer(vbOK);
        QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
        EXPECT_TRUE(dialogs.shown().back().text.startsWith(c.refused))
            << dialogs.shown().back().text.toStdString();
        EXPECT_TRUE(dialogs.shown().back().text.endsWith("so nothing was posted"));
    }
    EXPECT_FALSE(anyShown(EnterAmount));
    expectUnchanged({"Alice", "Bob"});
}

TEST_F(Transactions, ACounterpartBeyondTheCalculatorsRangeIsRefusedBeforeAnySave) {
    openManagerAs("teller");
    prepareUnasked("Alice", Expense, "Rich", 0, "1G=");
    dialogs.answer(vbOK);
    pressOKRefused();
    EXPECT_EQ(dialogs.shown().back().text,
              "The new balance of Rich would be beyond what the calculator can hold, so nothing "
              "was posted");
    expectUnchanged({"Alice", "Rich"});
    EXPECT_EQ(control<QComboBox>("ComboGalleons")->currentText(), "12");
}

TEST_F(Transactions, HiddenNamesReadBackWhateverTheirLetters) {
    openManagerAs("teller");
    prepareUnasked("Alice", Expense, "Renée", 0, "1K=");
    control<QCheckBox>("Check1")->setChecked(true); // anonymous
    dialogs.answer(vbOK);
    pressOK();

    const std::pair<QString, QString> hidden[] = {{"Alice", "Renée"}, {"Renée", "Alice"}};
    for (const auto& [account, party] : hidden) {
        const QString written = otherParty(post(account));
        ASSERT_TRUE(written.startsWith("anonymous(") && written.endsWith(")"))
            << written.toStdString();
        EXPECT_EQ(Module1::Unscramble(written.mid(10).chopped(1)), party);
    }
}

TEST_F(Transactions, AThreadKeepsItsSubjectAsTheForumHoldsIt) {
    openManagerAs("teller");
    EXPECT_EQ(list().findRow("T12")->text(AccountListView::Account), "Bob  Smith");
    bookUnasked("Bob  Smith", Expense, "Alice", 0, "1K=");
    EXPECT_EQ(posts("Bob  Smith").value(0).section('|', 0, 0), "Bob  Smith");
    EXPECT_EQ(otherParty(post("Alice")),
              "[url=" + BoardUrl + "&action=display&thread=12&post=12] Bob  Smith[/url]");
    expectBalance("Bob  Smith", {"2", "16", "28"});
}

TEST_F(Transactions, TheListShowsTheBoardAfterChanges) {
    openManagerAs("teller");
    bookUnasked("Alice", Expense, "Bob", 0, "1K=");
    // Both threads were read again: their rows name the teller who edited them.
    for (const char* key : {"T1", "T2"}) {
        const QTreeWidgetItem* row = list().findRow(key);
        EXPECT_EQ(row->text(AccountListView::Teller), "The teller") << key;
        EXPECT_NE(row->text(AccountListView::DateModified),
                  row->text(AccountListView::DateCreated));
    }

    // A thread deleted by someone else leaves the list at the next load.
    ForumClient teller(server.port());
    ASSERT_TRUE(teller.login("teller"));
    ASSERT_TRUE(teller.get("board=accounts&action=deletepost&thread=3&post=3"));
    const qsizetype loads = loadsStarted();
    manager().showAndReload();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loadsStarted() > loads && loaded(); }, Deadline));
    EXPECT_EQ(list().findRow("T3"), nullptr);
    EXPECT_EQ(list().topLevelItemCount(), int(std::size(Accounts)) - 1);
}

namespace {

// The findings of Check Books, once it has read every account.
QStringList checkBooks() {
    FrmVaultmeres::instance().findChild<QAction*>("mnuCheckBooks")->trigger();
    auto* findings = frmBooks::instance().findChild<QTreeWidget*>("lstFindings");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !frmBooks::instance().checking() &&
                   frmBooks::instance().findChild<QPushButton*>("cmdExport")->isEnabled();
        },
        Deadline));
    QStringList found;
    for (int i = 0; i < findings->topLevelItemCount(); ++i)
        found.append(findings->topLevelItem(i)->text(frmBooks::Account) + ": " +
                     findings->topLevelItem(i)->text(frmBooks::Details));
    return found;
}

} // namespace

TEST_F(Transactions, CheckBooksFindsTheHalfThatWasBrokenInTheForum) {
    openManagerAs("teller");
    bookUnasked("Alice", Expense, "Bob", 0, "5G3S2K=");
    bookUnasked("Carol", Income, "Bob", 1, "2K=");
    EXPECT_EQ(checkBooks(), QStringList());

    // A teller takes Bob's half of the first transaction out by hand.
    QString bob = post("Bob");
    const qsizetype older = bob.indexOf("[*]", bob.indexOf("[*]") + 3);
    bob.remove(older, bob.indexOf("[/list]") - older);
    ForumClient teller(server.port());
    ASSERT_TRUE(teller.login("teller"));
    ASSERT_TRUE(teller.post({{"action", "modifypost2"},
                             {"board", "accounts"},
                             {"thread", "2"},
                             {"post", "2"},
                             {"subject", "Bob"},
                             {"message", bob.toStdString()},
                             {"nextaction", "post"}}));
    const QStringList broken{"Alice: No mirror in the account of Bob"};
    EXPECT_EQ(checkBooks(), broken);

    // A member reads most posts as the thread pages show them, and finds the same.
    ASSERT_TRUE(logInThroughForum(BoardUrl, "member"));
    const qsizetype loads = loadsStarted();
    manager().showAndReload();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loadsStarted() > loads && loaded(); }, Deadline));
    EXPECT_EQ(checkBooks(), broken);

    // The list and the findings go to files a spreadsheet reads.
    for (const char* name : {"accounts.csv", "findings.csv"})
        dialogs.answerInput(stateDir.filePath(name));
    manager().findChild<QAction*>("mnuExport")->trigger();
    QTest::mouseClick(frmBooks::instance().findChild<QPushButton*>("cmdExport"), Qt::LeftButton);
    QFile accounts(stateDir.filePath("accounts.csv"));
    ASSERT_TRUE(accounts.open(QIODevice::ReadOnly));
    EXPECT_TRUE(accounts.readAll().startsWith(
        "Account,Galleons,Sickles,Knuts,Date Created,Last Transaction,Teller\r\nAlice,7,0,5,"));
    QFile findings(stateDir.filePath("findings.csv"));
    ASSERT_TRUE(findings.open(QIODevice::ReadOnly));
    EXPECT_EQ(findings.readAll().count("\r\n"), 2);
}

TEST_F(Transactions, TheHistoryShowsEveryBalanceOfAnAccount) {
    openManagerAs("teller");
    bookUnasked("Ernie", Income, "Alice", 1, "1G=");
    list().setCurrentItem(list().findRow("T5"));
    manager().findChild<QAction*>("mnuHistory")->trigger();
    QTreeWidget* items = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QWidget* history = platform::findOpenWindow("frmHistory");
            items = history ? history->findChild<QTreeWidget*>("lstItems") : nullptr;
            return items && items->topLevelItemCount() > 0;
        },
        Deadline));
    // Sixteen old items in the archive reply, and the new one.
    ASSERT_EQ(items->topLevelItemCount(), 17);
    EXPECT_EQ(items->topLevelItem(16)->text(1), "+ 1 Galleons 0 Sickles 0 Knuts ($7.33 USD)");
    EXPECT_EQ(items->topLevelItem(16)->text(3), "4 Galleons, 0 Sickles, 0 Knuts");
}
