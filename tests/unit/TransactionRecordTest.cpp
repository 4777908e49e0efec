#include "TransactionRecord.h"

#include "CoinTextsPrinting.h"
#include "CrLfLines.h"
#include "Module1.h"
#include "QtPrinting.h"

#include <gtest/gtest.h>

using namespace bank;

namespace {

const QString Board = "http://bank.proboards.com/index.cgi?board=vaultmeres";
const QDateTime Made(QDate(2006, 10, 3), QTime(1, 9, 38));

Transaction aliceToBob() {
    Transaction t;
    t.type = TransactionType::Expense;
    t.accountName = "Alice";
    t.accountEditAddress = Board + "&action=modifypost&thread=42&post=42";
    t.counterpartName = "Bob";
    t.counterpartThread = "57";
    t.otherAccountText = "Bob";
    t.reason = "Purchase";
    t.counterpartReason = "Sale";
    t.boardUrl = Board;
    t.timeZoneText = " (Eastern Standard Time)";
    return t;
}

const AmountFields Expense{"- 5", "3", "2"};

} // namespace

TEST(TransactionRecord, BothItemsOfTheWorkedExample) {
    const Transaction t = aliceToBob();
    EXPECT_EQ(accountItem(t, {Expense, "$37.97", {"7", "0", "5"}, "$51.38", false, Made}),
              crLfLines({"[*]Oct 03,2006, 1:09:38 am  (Eastern Standard Time)",
                         "Amount: [color=red]- 5 Galleons 3 Sickles 2 Knuts ($37.97 USD)[/color]",
                         "Balance: Galleons:7 Sickles:0 Knuts:5  ($51.38 USD)", "Type:Purchase ",
                         "Other party: [url=" + Board + "&action=display&thread=57] Bob[/url]",
                         "Description:", ""}));
    const AmountFields bobs = counterpartFields(Expense, t.type);
    EXPECT_EQ(
        counterpartItem(t, {bobs, "$37.97", {"6", "3", "2"}, "$45.30", false, Made}),
        crLfLines({"[*]Oct 03,2006, 1:09:38 am  (Eastern Standard Time)",
                   "Amount: [color=lime]+ 5 Galleons 3 Sickles 2 Knuts ($37.97 USD)[/color]",
                   "Balance: Galleons:6 Sickles:3 Knuts:2  ($45.30 USD)", "Type:Sale ",
                   "Other party: [url=" + Board + "&action=display&thread=42&post=42] Alice[/url]",
                   "Description:", ""}));
    EXPECT_EQ(entryOfFields(bobs), (CoinTexts{"5", "3", "2"}));
}

TEST(TransactionRecord, AnAbortedIncomeMarksTheCounterpartInDebt) {
    Transaction t = aliceToBob();
    t.type = TransactionType::Income;
    t.reason = "Paycheck";
    t.counterpartReason = "Payroll";
    const AmountFields income{"+ 1", "0", "0"};
    ASSERT_TRUE(lacksFunds(t.type, {"0", "0", "0"}, {"0", "0", "10"}, *amountKnuts(income)));
    const QString item = accountItem(t, {income, "$7.33", {"12", "3", "7"}, "$90.48", true, Made});
    EXPECT_TRUE(item.contains("[/color]\r\n[color=red]Insufficient funds! Transaction aborted."
                              "[/color]\r\nBalance: Galleons:12"));
    EXPECT_TRUE(item.contains("Bob[/url] [color=red]***IN DEBT***[/color]\r\n"));
    EXPECT_TRUE(item.contains("\r\nType:Paycheck \r\n"));
    const QString theirs = counterpartItem(
        t, {counterpartFields(income, t.type), "$7.33", {"0", "0", "10"}, "$0.15", true, Made});
    EXPECT_TRUE(theirs.contains("Amount: [color=lime]- 1 Galleons"));
    EXPECT_TRUE(theirs.contains("Insufficient funds!"));
    EXPECT_FALSE(theirs.contains("IN DEBT"));
    EXPECT_TRUE(theirs.contains("\r\nType:Payroll \r\n"));
}

TEST(TransactionRecord, TheFundsCheckLetsTheWholeBalanceGo) {
    const CoinTexts balance{"1", "0", "0"};
    EXPECT_FALSE(lacksFunds(TransactionType::Expense, balance, {}, 493));
    EXPECT_TRUE(lacksFunds(TransactionType::Expense, balance, {}, 494));
    EXPECT_FALSE(lacksFunds(TransactionType::Income, {}, balance, 493));
    EXPECT_TRUE(lacksFunds(TransactionType::Income, {}, balance, 494));
}

TEST(TransactionRecord, ABalanceFollowsOnlyFromTheAmountOnTheTape) {
    const struct {
        CoinTexts before;
        CoinTexts after;
        qint64 change;
        bool follows;
    } cases[] = {
        {{"12", "3", "7"}, {"7", "0", "5"}, -2554, true},
        {{"0", "0", "0"}, {"0", "5", "0"}, 145, true},
        {{"1", "0", "0"}, {"0", "17", "0"}, 0, true},                  // unsorted, the same value
        {{"0", "0", "0"}, {"5", "3", "2"}, -2554, false},              // Clear before the amount
        {{"12", "3", "7"}, {"14", "6", "14"}, -2554, false},           // another operator
        {{"4355000", "0", "0"}, {"4356000", "0", "0"}, 493000, false}, // beyond the range
    };
    for (const auto& c : cases)
        EXPECT_EQ(balanceFollows(c.before, c.after, c.change), c.follows)
            << c.after.galleons.toStdString();
}

TEST(TransactionRecord, PrivateAnonymousAndOtherNamesAreWrittenOnBothSides) {
    Transaction t = aliceToBob();
    t.reason = "Other";
    t.counterpartReason = "Other";
    t.otherName = "Lottery";
    const ItemFacts facts{Expense, "$1.00", {"1", "0", "0"}, "$7.33", false, Made};
    EXPECT_TRUE(accountItem(t, facts).contains("\r\nType:Other(Lottery)\r\n"));
    EXPECT_TRUE(counterpartItem(t, facts).contains("\r\nType:Other(Lottery)\r\n"));

    t.isPrivate = true;
    t.anonymous = true;
    t.otherName.clear();
    t.description = "for the broom";
    const QString item = accountItem(t, facts);
    EXPECT_TRUE(item.contains("Type:private transaction(" + *Module1::Scramble("Other") + ")"));
    EXPECT_TRUE(item.contains("Other party: anonymous(" + *Module1::Scramble("Bob") + ")\r\n"));
    EXPECT_TRUE(item.endsWith("Description:for the broom\r\n"));
    EXPECT_TRUE(counterpartItem(t, facts).contains("anonymous(" + *Module1::Scramble("Alice")));
}

TEST(TransactionRecord, AmountFieldsComeFromTheTape) {
    const QString head = "Galleon\tSickle\tKnut\r\n--------------------\r\n";
    const QString rule = "--------------------\r\n";
    const QString withBalance = head + "  12\t3\t7\r\n- 5\t3\t2\r\n-=7\t0\t5\r\n" + rule;
    EXPECT_EQ(amountFieldsFromTape(withBalance, TransactionType::Expense), Expense);
    // An empty balance: the operator had nothing to work on and left no mark.
    const QString emptyBalance = head + "  5\t3\t2\r\n =5\t3\t2\r\n" + rule;
    EXPECT_EQ(amountFieldsFromTape(emptyBalance, TransactionType::Income),
              (AmountFields{"+ 5", "3", "2"}));
    EXPECT_EQ(amountFieldsFromTape("", TransactionType::Income), std::nullopt);
    EXPECT_EQ(amountKnuts(Expense), 5 * 493 + 3 * 29 + 2);
}

TEST(TransactionRecord, TextsOfMoneyDatesAndBalances) {
    EXPECT_EQ(moneyText("$1234.5"), "$1,234.50");
    EXPECT_EQ(moneyText("-$37.97"), "-$37.97");
    EXPECT_EQ(moneyText("not money"), "not money");
    EXPECT_EQ(dateText(QDateTime(QDate(2026, 12, 6), QTime(13, 5, 9))), "Dec 06,2026, 1:05:09 pm");
    EXPECT_EQ(dateText(QDateTime(QDate(2026, 12, 6), QTime(0, 0, 0))), "Dec 06,2026, 12:00:00 am");
    EXPECT_EQ(balanceCoins({"12", "3", "7"}), "Galleons:12 Sickles:3 Knuts:7  ");
}

TEST(TransactionRecord, ALongListIsArchivedBeforeTheNewItem) {
    auto tailWith = [](int items) {
        QString list = "[list]\r\n";
        for (int i = items; i >= 1; --i)
            list += QStringLiteral("[*]Item %1 date\r\nAmount: %1\r\n").arg(i);
        return list + "[/list]\r\n\r\n\r\n" + signatureBlock();
    };
    EXPECT_EQ(archiveBlock(tailWith(15)), std::nullopt);
    const auto block = archiveBlock(tailWith(16));
    ASSERT_TRUE(block);
    EXPECT_TRUE(block->startsWith("[list]\r\n[*]Item 16 date"));
    EXPECT_TRUE(block->endsWith("[/list]\r"));

    const auto reply = archiveReply(*block, "Re: Alice", true);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->subject, "Archive: Alice");
    EXPECT_TRUE(reply->message.startsWith("[color=lime]Item 16 date[/color] - [color=lime]Item 1 "
                                          "date[/color]\r\n[list]\r\n[*]Item 16 date"));
    EXPECT_TRUE(reply->message.endsWith("[/list]\r\n\r\n\r\n" + signatureBlock()));
    EXPECT_EQ(archiveReply("[list]\r\n[/list]\r", "Alice", false), std::nullopt);
}
