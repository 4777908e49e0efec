#include "BooksCheck.h"

#include "AccountPages.h"
#include "AccountPost.h"
#include "CoinTextsPrinting.h"
#include "CrLfLines.h"
#include "Csv.h"
#include "HtmlDocument.h"
#include "Module1.h"
#include "QtPrinting.h"
#include "TransactionRecord.h"
#include "markup.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace bank;

namespace {

const QString Board = "http://bank.proboards.com/index.cgi?board=vaultmeres";
const QDateTime Made(QDate(2026, 11, 3), QTime(13, 9, 38));

// The items of a post as read back, one line each, newest first.
QStringList readBack(const QString& post) {
    const PostItems read = readItems(post);
    QStringList lines{read.unreadable.value_or("")};
    for (const TransactionItem& item : read.items)
        lines.append(
            QString("%1 | %2 | %3 %4 %5 = %6 | %7 | %8 | %9%10 | %11 | %12/%13%14 | %15 | %16")
                .arg(item.dateLine, item.made ? dateText(*item.made) : "undated",
                     item.fields.galleons, item.fields.sickles, item.fields.knuts,
                     QString::number(item.knuts), item.amountDollars,
                     item.aborted ? QString("aborted") : "done", balanceCoins(item.balance),
                     item.balanceDollars, item.type, item.party.threadNumber, item.party.name,
                     item.party.anonymous ? QString(" anonymous") : "",
                     item.inDebt ? QString("in debt") : "", item.description));
    return lines;
}

// A board of accounts whose posts the program's own writers keep, as
// transactions between them would.
class Books {
public:
    Books() {
        for (const QString account : {"Alice 12 3 7", "Bob 1 0 0", "Renée 0 5 0"}) {
            const QStringList w = account.split(' ');
            const QString post =
                composeAccountPost(w[0], "jdoe", {w[1], w[2], w[3]}, Board).message;
            accounts.append({QString::number(accounts.size() + 1), w[0], post, {}});
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
                archive(index(words[1].front()));
            } else {
                pay(index(words[0].front()), index(words[0].back()), words[1],
                    words.contains("anon"), !words.contains("half"));
            }
        }
    }

    void pay(int from, int to, const QString& amountText, bool anonymous, bool otherHalf) {
        const QString count = amountText.chopped(1);
        const bool inGalleons = amountText.endsWith('G');
        const AmountFields amount{"- " + (inGalleons ? count : "0"), "0", inGalleons ? "0" : count};
        const qint64 knuts = *amountKnuts(amount);
        const QString dollars = "$" + QString::number(knuts * 7.33 / 493, 'f', 2);
        Transaction t;
        t.type = TransactionType::Expense;
        t.accountName = accounts[from].name;
        t.accountEditAddress = Board + "&action=modifypost&thread=" + accounts[from].threadNumber +
                               "&post=" + accounts[from].threadNumber;
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

    QList<AccountRecord> accounts;

private:
    static int index(QChar name) { return QString("ABR").indexOf(name); }
    void write(int account, const CoinTexts& coins, const QString& item) {
        accounts[account].post =
            rewriteAccountPost(accounts[account].post, accounts[account].threadNumber, coins, item);
    }
};

const AmountFields Expense{"- 5", "3", "2"};

} // namespace

TEST(BooksCheck, FindsWhatNoLongerBalancesAndNothingElse) {
    // The total and the unmirrored knuts, then each finding as kind/account/detail/date/amount/
    // thread, or the start of it.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"two whole transactions", "A>B 5G, B>A 2K", "6648 0"},
        {"an anonymous pair, names of any letters", "A>R 2K anon", "6648 0"},
        {"a pair split across an archive", "A>B 5G, archive A, A>B 2K", "6648 0"},
        {"an aborted attempt needs no mirror", "B>A 9G half", "6648 0"},
        {"a missing mirror", "A>B 5G, A>B 2K half",
         "6646 -2 | 0/Alice/No mirror in the account of Bob/Nov 03,2026, 1:09:38 pm/- 0 Galleons 0 "
         "Sickles 2 Knuts ($0.03 USD)/1"},
        {"the same amount at another dollar value is no mirror",
         "A>B 2K, B~($0.03 USD)~($0.04 USD)", "6648 0 | 0/Alice/No mirror | 0/Bob/No mirror"},
        {"a wrong coin block", "A>B 5G, B~Galleons: 6~Galleons: 60",
         "33270 0 | 1/Bob/The coin block holds 60 Galleons, 0 Sickles, 0 Knuts; the newest item's "
         "balance is 6 Galleons, 0 Sickles, 0 Knuts"},
        {"a damaged item", "A>B 5G, A~Balance: Galleons:~Balance Galleons:",
         "6648 2465 | 2/Alice/Cannot read the line: Balance Galleons:7 Sickles:3 Knuts:7  "
         "($1.00 USD) | 0/Bob/No mirror in the account of Alice"},
        {"a damaged amount", "A>B 5G, B~+ 5 Galleons~+ 5 Galleon",
         "6648 -2465 | 2/Bob/Cannot read the line: Amount: [color=lime]+ 5 Galleon 0 Sickles | "
         "0/Alice/No mirror"},
        {"an amount beyond the calculator's range", "A>B 5G, B~+ 5 Galleons~+ 5000000 Galleons",
         "6648 -2465 | 2/Bob/Cannot read the line: Amount: [color=lime]+ 5000000 Galleons | "
         "0/Alice/No mirror"},
        {"a post without coin block and signature", "R~~Galleons: 1\r\nKnuts: 2\r\n",
         "6503 0 | 2/Renée/The post has no coin block | 2/Renée/The post has no signature"},
    };
    for (const auto& [what, script, expected] : cases) {
        SCOPED_TRACE(what);
        Books books;
        books.run(script);
        const BooksReport report = checkBooks(books.accounts);
        QStringList found{QString::number(report.totalKnuts) + " " +
                          QString::number(report.unmirroredKnuts)};
        for (const BooksFinding& f : report.findings)
            found.append(QStringList{QString::number(f.kind), f.account, f.detail, f.date, f.amount,
                                     f.threadNumber}
                             .join('/'));
        const QStringList wanted = QString(expected).split(" | ");
        for (qsizetype i = 1; i < qMin(found.size(), wanted.size()); ++i)
            if (found[i].startsWith(wanted[i]))
                found[i] = wanted[i]; // a row may give only the start of a long detail
        EXPECT_EQ(found, wanted);
    }
}

// Members who may not edit a post read it as the forum renders it: the same items.
TEST(TransactionItems, ItemsReadBackAsTheyWereWrittenAndAsTheForumRendersThem) {
    Books books;
    books.run("A>R 5G anon, B>A 2G"); // Bob lacks the funds
    const QString date = "Nov 03,2026, 1:09:38 pm  (UTC) | Nov 03,2026, 1:09:38 pm | ";
    EXPECT_EQ(readBack(books.accounts[0].post),
              QStringList({"",
                           date + "+ 2 0 0 = 986 | $14.66 | aborted | Galleons:7 Sickles:3 "
                                  "Knuts:7  $1.00 | Sale  | 2/Bob | in debt | ",
                           date + "- 5 0 0 = -2465 | $36.65 | done | Galleons:7 Sickles:3 "
                                  "Knuts:7  $1.00 | Purchase  | /Renée anonymous |  | "}));
    EXPECT_EQ(readBack(books.accounts[1].post),
              QStringList({"", date + "- 2 0 0 = -986 | $14.66 | aborted | Galleons:1 Sickles:0 "
                                      "Knuts:0  $1.00 | Purchase  | 1/Alice |  | "}));

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
        EXPECT_EQ(readBack(rendered[i].post), readBack(books.accounts[i].post));
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
    QStringList history;
    for (const HistoryPoint& point : balanceHistory(books.accounts[0]))
        history.append(QString::number(point.balanceKnuts) + " " + point.party + " " +
                       point.amount);
    // 7G 3S 7K after paying Bob, then 2 Knuts more.
    EXPECT_EQ(history, QStringList({"3545 Bob - 5 Galleons 0 Sickles 0 Knuts ($36.65 USD)",
                                    "3547 Bob + 0 Galleons 0 Sickles 2 Knuts ($0.03 USD)"}));
}

TEST(Csv, FieldsAreQuotedWhereSpreadsheetsNeedIt) {
    EXPECT_EQ(csvText({{"Account", "Galleons"},
                       {"Tom, Jerry", "5"},
                       {"Say \"hi\"", "line\nbreak"},
                       {"Renée", ""}}),
              "Account,Galleons\r\n\"Tom, Jerry\",5\r\n\"Say \"\"hi\"\"\",\"line\nbreak\"\r\n"
              "Renée,\r\n");
}

TEST(TransactionRecord, TheFundsCheckLetsTheWholeBalanceGo) {
    const CoinTexts balance{"1", "0", "0"};
    EXPECT_FALSE(lacksFunds(TransactionType::Expense, balance, {}, 493));
    EXPECT_TRUE(lacksFunds(TransactionType::Expense, balance, {}, 494));
    EXPECT_FALSE(lacksFunds(TransactionType::Income, {}, balance, 493));
    EXPECT_TRUE(lacksFunds(TransactionType::Income, {}, balance, 494));
}

TEST(TransactionRecord, ABalanceFollowsOnlyFromTheAmountOnTheTape) {
    const std::tuple<CoinTexts, CoinTexts, qint64, bool> cases[] = {
        {{"12", "3", "7"}, {"7", "0", "5"}, -2554, true},
        {{"0", "0", "0"}, {"0", "5", "0"}, 145, true},
        {{"1", "0", "0"}, {"0", "17", "0"}, 0, true},                  // unsorted, the same value
        {{"0", "0", "0"}, {"5", "3", "2"}, -2554, false},              // Clear before the amount
        {{"12", "3", "7"}, {"14", "6", "14"}, -2554, false},           // another operator
        {{"4355000", "0", "0"}, {"4356000", "0", "0"}, 493000, false}, // beyond the range
    };
    for (const auto& [before, after, change, follows] : cases)
        EXPECT_EQ(balanceFollows(before, after, change), follows) << after.galleons.toStdString();
}

// Other reasons and anonymous parties are written by the booking tests; a private
// transaction hides the reason too.
TEST(TransactionRecord, APrivateTransactionHidesTheReasonAndKeepsTheDescription) {
    Transaction t;
    t.otherAccountText = "Bob";
    t.reason = t.counterpartReason = "Other";
    t.isPrivate = t.anonymous = true;
    t.description = "for the broom";
    const QString item = accountItem(t, {Expense, "$1.00", {"1", "0", "0"}, "$7.33", false, Made});
    EXPECT_TRUE(item.contains("Type:private transaction(" + *Module1::Scramble("Other") + ")"));
    EXPECT_TRUE(item.contains("Other party: anonymous(" + *Module1::Scramble("Bob") + ")\r\n"));
    EXPECT_TRUE(item.endsWith("Description:for the broom\r\n"));
}

TEST(TransactionRecord, AmountFieldsComeFromTheTape) {
    const QString rule = "--------------------\r\n", head = "Galleon\tSickle\tKnut\r\n" + rule;
    EXPECT_EQ(amountFieldsFromTape(head + "  12\t3\t7\r\n- 5\t3\t2\r\n-=7\t0\t5\r\n" + rule,
                                   TransactionType::Expense),
              Expense);
    // An empty balance: the operator had nothing to work on and left no mark.
    EXPECT_EQ(
        amountFieldsFromTape(head + "  5\t3\t2\r\n =5\t3\t2\r\n" + rule, TransactionType::Income),
        (AmountFields{"+ 5", "3", "2"}));
    EXPECT_EQ(amountFieldsFromTape("", TransactionType::Income), std::nullopt);
    EXPECT_EQ(amountKnuts(Expense), 5 * 493 + 3 * 29 + 2);
    EXPECT_EQ(entryOfFields(counterpartFields(Expense, TransactionType::Expense)),
              (CoinTexts{"5", "3", "2"}));
}

TEST(TransactionRecord, TextsOfMoneyDatesAndBalances) {
    const QDate day(2026, 12, 6);
    EXPECT_EQ(
        QStringList({moneyText("$1234.5"), moneyText("-$37.97"), moneyText("not money"),
                     dateText({day, QTime(13, 5, 9)}), dateText({day, QTime(0, 0, 0)}),
                     balanceCoins({"12", "3", "7"})})
            .join(" | "),
        "$1,234.50 | -$37.97 | not money | Dec 06,2026, 1:05:09 pm | Dec 06,2026, 12:00:00 am "
        "| Galleons:12 Sickles:3 Knuts:7  ");
}

TEST(TransactionRecord, ALongListIsArchivedBeforeTheNewItem) {
    auto tailWith = [](int items) {
        QString list = "[list]\r\n";
        for (int i = items; i >= 1; --i)
            list += QStringLiteral("[*]Item %1 date\r\nAmount: %1\r\n").arg(i);
        return list + "[/list]\r\n\r\n\r\n" + signatureBlock();
    };
    EXPECT_EQ(archiveBlock(tailWith(15)), std::nullopt);
    const QString tail = tailWith(16);
    const auto block = archiveBlock(tail);
    ASSERT_EQ(block, tail.left(tail.indexOf("[/list]") + 8));

    // Its heading of dates is checked where a booking archives a list.
    const auto reply = archiveReply(*block, "Re: Alice", true);
    EXPECT_EQ(reply->subject, "Archive: Alice");
    EXPECT_TRUE(reply->message.endsWith("[/list]\r\n\r\n\r\n" + signatureBlock()));
    EXPECT_EQ(archiveReply("[list]\r\n[/list]\r", "Alice", false), std::nullopt);
}
