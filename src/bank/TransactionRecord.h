#pragma once

#include "AccountPost.h"

#include <QDateTime>
#include <QString>
#include <optional>

// What a transaction between two accounts writes: the amount text, the funds
// check, the item on top of each account's list, and the archive reply that
// takes over a long list. Plain texts in, forum markup out.
namespace bank {

enum class TransactionType { Income = 0, Expense = 1 };

// The operand line of the amount on the calculator's tape, split at its tabs:
// field 1 holds the operator mark and the Galleons.
struct AmountFields {
    QString galleons;
    QString sickles;
    QString knuts;
    bool operator==(const AmountFields&) const = default;
};

// The amount's operand line: the last one marked "+ " (income) or "- "
// (expense); for an empty balance, where the operator left no mark, the
// block's first operand line, given the sign of the transaction.
std::optional<AmountFields> amountFieldsFromTape(const QString& tape, TransactionType type);

// The fields as the counterpart sees them: the sign turned the other way.
AmountFields counterpartFields(const AmountFields& fields, TransactionType type);

// "+ 5 Galleons 3 Sickles 2 Knuts"
QString amountText(const AmountFields& fields);

// The knut value of the fields, whatever their marks; nothing past the range.
std::optional<qint32> amountKnuts(const AmountFields& fields);

// The counterpart's calculator entry: each field made positive, as number text.
CoinTexts entryOfFields(const AmountFields& fields);

// Galleons x 493 + Sickles x 29 + Knuts, each read as a leading number.
double knutValueOf(const CoinTexts& balance);

// True when the paying side cannot cover the amount.
bool lacksFunds(TransactionType type, const CoinTexts& account, const CoinTexts& counterpart,
                qint32 amount);

// A dollar text formatted "$#,###,###,##0.00"; a text that is no number stays.
QString moneyText(const QString& dollarText);

// True when the balance after is the balance before moved by the change in
// knuts: the calculator's result agrees with the amount the item records.
bool balanceFollows(const CoinTexts& before, const CoinTexts& after, qint64 change);

// The balance moved by the change in knuts, sorted into the three coins as the
// calculator shows it; nothing when the calculator could not hold it.
std::optional<CoinTexts> movedBalance(const CoinTexts& before, qint64 change);

// "Oct 03,2006, 1:09:38 am"
QString dateText(const QDateTime& when);

// "Galleons:12 Sickles:3 Knuts:7  ": the coin block on one line.
QString balanceCoins(const CoinTexts& coins);

struct Transaction {
    TransactionType type = TransactionType::Income;
    QString accountName;
    QString accountEditAddress; // the account post's edit page
    QString counterpartName;
    QString counterpartThread;
    QString otherAccountText; // what the counterpart box shows
    QString reason;
    QString counterpartReason;
    QString otherName; // the name typed for the reason "Other"
    bool isPrivate = false;
    bool anonymous = false;
    QString description;
    QString boardUrl;
    QString timeZoneText;
};

// One side's new state, for its item.
struct ItemFacts {
    AmountFields fields; // as this side sees them
    QString amountDollarText;
    CoinTexts newBalance;
    QString balanceDollarText;
    bool aborted = false;
    QDateTime made;
};

QString accountItem(const Transaction& transaction, const ItemFacts& facts);
QString counterpartItem(const Transaction& transaction, const ItemFacts& facts);

// The list block of a tail that holds 16 items or more, to be archived.
std::optional<QString> archiveBlock(const QString& tail);

struct ArchiveReply {
    QString subject;
    QString message;
};

// The reply that archives a list block; nothing when there is nothing to archive.
std::optional<ArchiveReply> archiveReply(const QString& block, const QString& replyFormSubject,
                                         bool noReorder);

} // namespace bank
