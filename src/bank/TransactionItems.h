#pragma once

#include "TransactionRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// Reading back the transaction items that TransactionRecord writes: the
// items of every list in a post (an account post or an archive reply).
namespace bank {

// Whom an item names as the other party: a thread of the board, or a hidden name.
struct ItemParty {
    QString threadNumber; // empty for a hidden party
    QString name;         // as written, or unscrambled
    bool anonymous = false;
    bool operator==(const ItemParty&) const = default;
};

struct TransactionItem {
    QString dateLine; // the first line, as written
    std::optional<QDateTime> made;
    AmountFields fields; // the first holds the mark: "+ 5", "- 5"
    qint64 knuts = 0;    // signed by the mark
    QString amountDollars;
    bool aborted = false;
    CoinTexts balance;
    QString balanceDollars;
    QString type;
    ItemParty party;
    bool inDebt = false;
    QString description;
};

struct PostItems {
    QList<TransactionItem> items; // newest first, as the lists hold them
    // The line that stopped the reader: an item or a list it cannot read.
    std::optional<QString> unreadable;
};

PostItems readItems(const QString& post);

} // namespace bank
