#include "AccountPages.h"
#include "AccountPost.h"
#include "CoinTextsPrinting.h"
#include "HtmlDocument.h"
#include "QtPrinting.h"
#include "TransactionRecord.h"
#include "board_model.h"
#include "pages.h"

#include <gtest/gtest.h>
#include <random>

using namespace bank;

namespace {

const QDate Today(2026, 12, 6);
const zentab::board::UnixTime Now = 1796558400; // 2026-12-06, noon UTC

// Pieces of names and owners that have misled the readers: coin words with and
// without colons, markup characters and letters outside ASCII.
const QStringList Pieces = {
    "Knut",  "Knut's Fund", "galleons:", "Sickles: 9", "KNUTS:", "\"Quill\"", "A & B", "<b>",
    "a > b", "é",           "ö",         "Å",          "  ",     "Galleon",   "sickle"};
const QStringList Hosts = {"bank", "galleonbank", "knutsickle", "sicklesknuts"};
const QStringList NotableBalances = {"0", "-3", "4355950", "16", "28"};

class AccountGenerator {
public:
    QString text() {
        QString text;
        const int pieces = below(5) + 1;
        for (int i = 0; i < pieces; ++i)
            text += Pieces[below(Pieces.size())];
        if (below(8) == 0)
            return text.repeated(200).left(200);
        return text;
    }

    QString owner() { return below(5) == 0 ? QString() : text(); }

    CoinTexts coins() { return {balance(), balance(), balance()}; }

    QString boardUrl() {
        return "http://" + Hosts[below(Hosts.size())] + ".proboards.com/index.cgi?board=vaultmeres";
    }

private:
    QString balance() {
        if (below(2) == 0)
            return NotableBalances[below(NotableBalances.size())];
        return QString::number(std::uniform_int_distribution<int>(-500, 5'000'000)(random_));
    }

    int below(qsizetype bound) {
        return std::uniform_int_distribution<int>(0, int(bound) - 1)(random_);
    }

    std::mt19937 random_{20261206};
};

// A transaction's item, the account name as its description and an older
// balance on its "Balance:" line.
QString transactionItem(const QString& accountName, const CoinTexts& olderBalance,
                        const QString& boardUrl) {
    Transaction transaction;
    transaction.accountName = accountName;
    transaction.counterpartName = "Ada Quill";
    transaction.counterpartThread = "7";
    transaction.reason = "Deposit";
    transaction.description = accountName;
    transaction.boardUrl = boardUrl;
    ItemFacts facts;
    facts.fields = {"+ 1", "0", "0"};
    facts.amountDollarText = "7.33";
    facts.newBalance = olderBalance;
    facts.balanceDollarText = "100";
    facts.made = QDateTime(QDate(2026, 12, 5), QTime(13, 2));
    return accountItem(transaction, facts);
}

// The body of the thread page the board serves for the post, as the browser's
// document gives it.
QString threadPageBody(const QString& subject, const QString& message) {
    namespace board = zentab::board;
    board::Forum forum;
    forum.title = "Vaultmere's Bank";
    board::Board accounts;
    accounts.id = "vaultmeres";
    const int id = board::startThread(forum, accounts, "teller", subject.toStdString(),
                                      message.toStdString(), Now);
    const std::string html =
        board::threadPage({forum, nullptr, Now, accounts.id}, accounts, *accounts.findThread(id));
    return HtmlDocument::parse(QString::fromStdString(html),
                               QUrl("http://vaultmeres.proboards.com/index.cgi"), "UTF-8")
        .body()
        .innerHTML();
}

void expectBothReadersGive(const QString& subject, const QString& message, const CoinTexts& coins) {
    EXPECT_EQ(readEditFormBalances(message), coins);
    const AccountThread thread = readAccountThread(threadPageBody(subject, message), Today);
    EXPECT_FALSE(thread.missingCoinLine);
    EXPECT_EQ(thread.balances, coins);
}

} // namespace

TEST(AccountPostReadBack, BothReadersGiveTheWrittenBalancesOfAnyAccount) {
    AccountGenerator generate;
    for (int i = 0; i < 300; ++i) {
        const QString name = generate.text();
        const QString owner = generate.owner();
        const QString boardUrl = generate.boardUrl();
        const CoinTexts created = generate.coins();
        const CoinTexts afterTransaction = generate.coins();
        SCOPED_TRACE(QString("case %1: name '%2', owner '%3', %4")
                         .arg(i)
                         .arg(name, owner, boardUrl)
                         .toStdString());

        const NewAccountPost post = composeAccountPost(name, owner, created, boardUrl);
        expectBothReadersGive(post.subject, post.message, created);

        const QString rewritten = rewriteAccountPost(post.message, "42", afterTransaction,
                                                     transactionItem(name, created, boardUrl));
        expectBothReadersGive(post.subject, rewritten, afterTransaction);
    }
}
