#include "BooksCheck.h"

#include "AccountPages.h"
#include "AccountPost.h"
#include "CoinTextsPrinting.h"
#include "Csv.h"
#include "HtmlDocument.h"
#include "QtPrinting.h"
#include "markup.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

using namespace bank;

namespace {

const QString Board = "http://bank.proboards.com/index.cgi?board=vaultmeres";
const QDateTime Made(QDate(2026, 11, 3), QTime(13, 9, 38));

// A board of accounts whose posts the program's own writers keep, as
// transactions between them would.
class Books {
public:
    Books() {
        for (const auto& [name, balance] :
             {std::pair<QString, CoinTexts>{"Alice", {"12", "3", "7"}},
              {"Bob", {"1", "0", "0"}},
              {"Renée", {"0", "5", "0"}}}) {
            const QString thread = QString::number(accounts.size() + 1);
            accounts.append(
                {thread, name, composeAccountPost(name, "jdoe", balance, Board).message, {}});
        }
    }

    // Runs a script of steps split by commas: "A>B 5G" Alice pays Bob 5 Galleons
    // ("2K" two knuts), "anon" makes it anonymous, "half" leaves out Bob's half;
    // "archive A" moves Alice's list into an archive reply; "B~x~y" replaces x by y
    // in Bob's post, "B~~y" the whole post, as a hand edit would.
    void run(const QString& script) {
        for (const QString& step : script.split(", ", Qt::SkipEmptyParts)) {
            const QStringList words = step.split(' '), edit = step.split('~');
            if (edit.size() == 3) {
                QString& post = accounts[index(step.front())].post;
                post = edit[1].isEmpty() ? edit[2] : post.replace(edit[1], edit[2]);
            } else if (words[0] == "archive") {
                archive(index(words[1]));
            } else {
                pay(index(words[0].front()), index(words[0].back()), words[1],
                    words.contains("anon"), !words.contains("half"));
            }
        }
    }

    void pay(int from, int to, const QString& amountText, bool anonymous, bool otherHalf) {
        const int count = amountText.chopped(1).toInt();
        const bool inGalleons = amountText.endsWith('G');
        const AmountFields amount{"- " + QString::number(inGalleons ? count : 0), "0",
                                  QString::number(inGalleons ? 0 : count)};
        const qint64 knuts = *amountKnuts(amount);
        const QString dollars = "$" + QString::number(knuts * 7.33 / 493, 'f', 2);
        Transaction t;
        t.type = TransactionType::Expense;
        t.accountName = accounts[from].name;
        t.accountEditAddress = editAddress(from);
        t.counterpartName = t.otherAccountText = accounts[to].name;
        t.counterpartThread = accounts[to].threadNumber;
        t.reason = "Purchase";
        t.counterpartReason = "Sale";
        t.anonymous = anonymous;
        t.boardUrl = Board;
        t.timeZoneText = " (UTC)";
        const bool aborted = knutValueOf(balance(from)) < knuts;
        const CoinTexts payer = aborted ? balance(from) : *movedBalance(balance(from), -knuts);
        const CoinTexts payee = aborted ? balance(to) : *movedBalance(balance(to), knuts);
        write(from, payer, accountItem(t, {amount, dollars, payer, "$1.00", aborted, Made}));
        if (otherHalf)
            write(to, payee,
                  counterpartItem(t, {counterpartFields(amount, t.type), dollars, payee, "$1.00",
                                      aborted, Made}));
    }

    // Moves the account's list into an archive reply, as a long list would be.
    void archive(int account) {
        AccountRecord& record = accounts[account];
        const qsizetype start = record.post.indexOf("[list]");
        const QString list = record.post.mid(start, record.post.indexOf("[/list]") + 8 - start);
        record.archives.append(archiveReply(list, "Re: x", true)->message);
        record.post.replace(list, "[list][/list]");
    }

    CoinTexts balance(int account) const { return *readEditFormBalances(accounts[account].post); }
    QString editAddress(int account) const {
        return Board + "&action=modifypost&thread=" + accounts[account].threadNumber +
               "&post=" + accounts[account].threadNumber;
    }

    QList<AccountRecord> accounts;

private:
    static int index(QChar name) { return QString("ABR").indexOf(name); }
    static int index(const QString& name) { return index(name.front()); }
    void write(int account, const CoinTexts& coins, const QString& item) {
        accounts[account].post =
            rewriteAccountPost(accounts[account].post, accounts[account].threadNumber, coins, item);
    }
};

} // namespace

TEST(BooksCheck, FindsWhatNoLongerBalancesAndNothingElse) {
    const struct {
        const char* what;
        const char* script;
        // Each finding as kind/account/line or detail start; empty for none.
        QStringList found;
        qint64 unmirrored;
    } cases[] = {
        {"two whole transactions", "A>B 5G, B>A 2K", {}, 0},
        {"an anonymous pair, names of any letters", "A>R 2K anon", {}, 0},
        {"a pair split across an archive", "A>B 5G, archive A, A>B 2K", {}, 0},
        {"an aborted attempt needs no mirror", "B>A 9G half", {}, 0},
        {"a missing mirror",
         "A>B 5G, A>B 2K half",
         {"0/Alice/No mirror in the account of Bob"},
         -2},
        {"the same amount at another dollar value is no mirror",
         "A>B 2K, B~($0.03 USD)~($0.04 USD)",
         {"0/Alice/No mirror", "0/Bob/No mirror"},
         0},
        {"a wrong coin block",
         "A>B 5G, B~Galleons: 6~Galleons: 60",
         {"1/Bob/The coin block holds 60 Galleons, 0 Sickles, 0 Knuts; the newest item's "
          "balance is 6 Galleons, 0 Sickles, 0 Knuts"},
         0},
        {"a damaged item",
         "A>B 5G, A~Balance: Galleons:~Balance Galleons:",
         {"2/Alice/Cannot read the line: Balance Galleons:7 Sickles:3 Knuts:7  ($1.00 USD)",
          "0/Bob/No mirror in the account of Alice"},
         5 * 493},
        {"a post without coin block and signature",
         "R~~Galleons: 1\r\nKnuts: 2\r\n",
         {"2/Renée/The post has no coin block", "2/Renée/The post has no signature"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Books books;
        books.run(c.script);
        const BooksReport report = checkBooks(books.accounts);
        QStringList found;
        for (const BooksFinding& finding : report.findings)
            found.append(QString::number(finding.kind) + "/" + finding.account + "/" +
                         finding.detail);
        ASSERT_EQ(found.size(), c.found.size()) << found.join(" | ").toStdString();
        for (qsizetype i = 0; i < found.size(); ++i)
            EXPECT_TRUE(found[i].startsWith(c.found[i])) << found[i].toStdString();
        EXPECT_EQ(report.unmirroredKnuts, c.unmirrored);
    }
}

TEST(BooksCheck, TheTotalIsEveryCoinBlockAndUnmirroredItemsSayWhere) {
    Books books;
    books.run("A>B 5G, A>B 5G half"); // money gone from the books
    const BooksReport report = checkBooks(books.accounts);
    const qint64 before = (12 * 493 + 3 * 29 + 7) + 493 + 5 * 29;
    EXPECT_EQ(report.totalKnuts, before - 5 * 493);
    EXPECT_EQ(report.unmirroredKnuts, -5 * 493);
    ASSERT_EQ(report.findings.size(), 1);
    EXPECT_EQ(report.findings[0].date, "Nov 03,2026, 1:09:38 pm");
    EXPECT_EQ(report.findings[0].amount, "- 5 Galleons 0 Sickles 0 Knuts ($36.65 USD)");
    EXPECT_EQ(report.findings[0].threadNumber, "1");
}

TEST(TransactionItems, ItemsReadBackAsTheyWereWritten) {
    Books books;
    books.run("A>R 5G anon, B>A 2G"); // Bob lacks the funds
    const PostItems alice = readItems(books.accounts[0].post);
    ASSERT_FALSE(alice.unreadable);
    ASSERT_EQ(alice.items.size(), 2);
    const TransactionItem& income = alice.items[0];
    EXPECT_TRUE(income.aborted);
    EXPECT_EQ(income.knuts, 2 * 493);
    EXPECT_EQ(income.party, (ItemParty{"2", "Bob", false}));
    EXPECT_EQ(income.made, Made);
    EXPECT_TRUE(income.inDebt); // Bob lacks the funds
    const TransactionItem& payment = alice.items[1];
    EXPECT_FALSE(payment.aborted);
    EXPECT_EQ(payment.knuts, -5 * 493);
    EXPECT_EQ(payment.balance, (CoinTexts{"7", "3", "7"}));
    EXPECT_EQ(payment.amountDollars, "$36.65");
    EXPECT_EQ(payment.party, (ItemParty{"", "Renée", true}));
    EXPECT_EQ(payment.type, "Purchase ");
    EXPECT_EQ(payment.description, "");
    const PostItems bob = readItems(books.accounts[1].post);
    ASSERT_EQ(bob.items.size(), 1);
    EXPECT_FALSE(bob.items[0].inDebt);
    EXPECT_EQ(bob.items[0].knuts, -2 * 493);
}

TEST(BooksCheck, APostReadFromItsThreadPageChecksAsItsMarkupDoes) {
    // Members who may not edit a post read it as the forum renders it.
    Books books;
    books.run("A>B 5G, B>R 2K anon, R>A 3G"); // Renée lacks the funds
    books.accounts[1].post.replace("Description:\r\n", "Description:Tom & <Jerry> [b]2[/b]\r\n");
    QList<AccountRecord> rendered = books.accounts;
    for (AccountRecord& account : rendered) {
        // As the browser's document gives the page back: parsed, then written out again.
        const QString html =
            "<body><!-- google_ad_section_start -->" +
            QString::fromStdString(zentab::board::renderMarkup(account.post.toStdString())) +
            "<!-- google_ad_section_end --></body>";
        account.post = forumMarkup(
            postBodies(HtmlDocument::parse(html, QUrl(), "UTF-8").body().innerHTML()).value(0));
    }
    for (qsizetype i = 0; i < rendered.size(); ++i) {
        const PostItems written = readItems(books.accounts[i].post);
        const PostItems read = readItems(rendered[i].post);
        EXPECT_FALSE(read.unreadable) << read.unreadable.value_or("").toStdString();
        ASSERT_EQ(read.items.size(), written.items.size());
        for (qsizetype item = 0; item < read.items.size(); ++item) {
            EXPECT_EQ(read.items[item].knuts, written.items[item].knuts);
            EXPECT_EQ(read.items[item].party, written.items[item].party);
            EXPECT_EQ(read.items[item].inDebt, written.items[item].inDebt);
            EXPECT_EQ(read.items[item].aborted, written.items[item].aborted);
            EXPECT_EQ(read.items[item].description, written.items[item].description);
        }
        EXPECT_EQ(readEditFormBalances(rendered[i].post),
                  readEditFormBalances(books.accounts[i].post));
    }
    const BooksReport report = checkBooks(rendered);
    EXPECT_TRUE(report.findings.isEmpty()) << report.findings.size();
    EXPECT_EQ(report.totalKnuts, checkBooks(books.accounts).totalKnuts);
}

TEST(BooksCheck, TheHistoryRunsFromTheOldestItemInTheArchives) {
    Books books;
    books.run("A>B 5G, archive A, B>A 2K");
    const QList<HistoryPoint> history = balanceHistory(books.accounts[0]);
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].balanceKnuts, 7 * 493 + 3 * 29 + 7);
    EXPECT_EQ(history[1].balanceKnuts, 7 * 493 + 3 * 29 + 9);
    EXPECT_EQ(history[1].party, "Bob");
    EXPECT_EQ(history[1].amount, "+ 0 Galleons 0 Sickles 2 Knuts ($0.03 USD)");
}

TEST(Csv, FieldsAreQuotedWhereSpreadsheetsNeedIt) {
    EXPECT_EQ(csvText({{"Account", "Galleons"},
                       {"Tom, Jerry", "5"},
                       {"Say \"hi\"", "line\nbreak"},
                       {"Renée", ""}}),
              "Account,Galleons\r\n\"Tom, Jerry\",5\r\n\"Say \"\"hi\"\"\",\"line\nbreak\"\r\n"
              "Renée,\r\n");
}
