#pragma once

#include "TransactionItems.h"

#include <QList>
#include <QString>
#include <QStringList>

// The check of the books: every account post and archive reply of a board
// read together, to find what no longer balances. It reads; it never writes.
namespace bank {

// One account as the forum holds it.
struct AccountRecord {
    QString threadNumber;
    QString name;
    QString post;         // the account post, in forum markup
    QStringList archives; // its replies, in forum markup
};

struct BooksFinding {
    enum Kind { Unmirrored, BalanceDiffers, Unreadable };
    Kind kind = Unmirrored;
    QString threadNumber;
    QString account;
    QString date;   // of the item, as written
    QString amount; // of the item, as written
    QString detail;
};

struct BooksReport {
    QList<BooksFinding> findings;
    qint64 totalKnuts = 0;      // of every readable coin block
    qint64 unmirroredKnuts = 0; // what the unmirrored items add up to
};

BooksReport checkBooks(const QList<AccountRecord>& accounts);

// An account's balance after one of its transactions.
struct HistoryPoint {
    QDateTime made;
    qint64 balanceKnuts = 0;
    QString amount; // as written, with its dollar value
    QString party;
};

// The balance after each item of the post and its archives, oldest first;
// items whose date cannot be read are left out.
QList<HistoryPoint> balanceHistory(const AccountRecord& account);

// "G Galleons, S Sickles, K Knuts", for totals beyond what the calculator holds too.
QString coinsText(qint64 knuts);

// What a finding is, in a few words.
QString kindText(BooksFinding::Kind kind);

} // namespace bank
