#include "BooksCheck.h"

#include "AccountPost.h"

#include <algorithm>
#include <cmath>

namespace bank {
namespace {

struct Entry {
    qsizetype account;
    TransactionItem item;
    bool matched = false;
};

qint64 knutsOf(const CoinTexts& coins) {
    return std::llround(knutValueOf(coins));
}

bool names(const ItemParty& party, const AccountRecord& account) {
    return party.anonymous ? party.name == account.name
                           : party.threadNumber == account.threadNumber;
}

// The other account's half of the same transaction: the amount the other way round.
bool mirrors(const TransactionItem& item, const TransactionItem& other) {
    return !other.aborted && other.knuts == -item.knuts &&
           entryOfFields(other.fields) == entryOfFields(item.fields) &&
           other.amountDollars == item.amountDollars;
}

QString amountOf(const TransactionItem& item) {
    return amountText(item.fields) + " (" + item.amountDollars + " USD)";
}

class Checker {
public:
    explicit Checker(const QList<AccountRecord>& accounts) : accounts_(accounts) {}

    BooksReport run() {
        for (qsizetype a = 0; a < accounts_.size(); ++a)
            readAccount(a);
        for (Entry& entry : entries_)
            if (!entry.matched && !entry.item.aborted)
                findMirror(entry);
        return report_;
    }

private:
    void add(qsizetype account, BooksFinding::Kind kind, const QString& detail,
             const TransactionItem* item = nullptr) {
        const AccountRecord& record = accounts_[account];
        report_.findings.append(
            {kind, record.threadNumber, record.name,
             item ? item->dateLine.section(QLatin1String("  ("), 0, 0) : QString(),
             item ? amountOf(*item) : QString(), detail});
    }

    void readAccount(qsizetype a) {
        const AccountRecord& account = accounts_[a];
        const auto balance = readEditFormBalances(account.post);
        if (balance)
            report_.totalKnuts += knutsOf(*balance);
        else
            add(a, BooksFinding::Unreadable, "The post has no coin block");
        if (!account.post.contains(signatureStart()))
            add(a, BooksFinding::Unreadable, "The post has no signature");
        const PostItems post = readItems(account.post);
        if (balance && !post.items.isEmpty() &&
            knutsOf(*balance) != knutsOf(post.items.front().balance))
            add(a, BooksFinding::BalanceDiffers,
                "The coin block holds " + coinsText(knutsOf(*balance)) +
                    "; the newest item's balance is " +
                    coinsText(knutsOf(post.items.front().balance)),
                &post.items.front());
        keep(a, post);
        for (const QString& archive : account.archives)
            keep(a, readItems(archive));
    }

    void keep(qsizetype a, const PostItems& read) {
        if (read.unreadable)
            add(a, BooksFinding::Unreadable, "Cannot read the line: " + *read.unreadable);
        for (const TransactionItem& item : read.items)
            entries_.append({a, item});
    }

    void findMirror(Entry& entry) {
        const AccountRecord& account = accounts_[entry.account];
        for (Entry& other : entries_)
            if (!other.matched && other.account != entry.account &&
                names(entry.item.party, accounts_[other.account]) &&
                names(other.item.party, account) && mirrors(entry.item, other.item)) {
                entry.matched = other.matched = true;
                return;
            }
        report_.unmirroredKnuts += entry.item.knuts;
        add(entry.account, BooksFinding::Unmirrored,
            "No mirror in the account of " + entry.item.party.name, &entry.item);
    }

    const QList<AccountRecord>& accounts_;
    QList<Entry> entries_;
    BooksReport report_;
};

} // namespace

BooksReport checkBooks(const QList<AccountRecord>& accounts) {
    return Checker(accounts).run();
}

QString coinsText(qint64 knuts) {
    const qint64 sickles = knuts % 493 / 29;
    return QStringLiteral("%1 Galleons, %2 Sickles, %3 Knuts")
        .arg(knuts / 493)
        .arg(sickles)
        .arg(knuts % 493 - sickles * 29);
}

QList<HistoryPoint> balanceHistory(const AccountRecord& account) {
    QList<HistoryPoint> points;
    const QStringList posts = QStringList(account.archives) << account.post;
    for (const QString& post : posts)
        for (const TransactionItem& item : readItems(post).items)
            if (item.made)
                points.append({*item.made, knutsOf(item.balance), amountOf(item), item.party.name});
    std::stable_sort(points.begin(), points.end(),
                     [](const auto& a, const auto& b) { return a.made < b.made; });
    return points;
}

QString kindText(BooksFinding::Kind kind) {
    switch (kind) {
    case BooksFinding::Unmirrored:
        return QStringLiteral("Item without its other half");
    case BooksFinding::BalanceDiffers:
        return QStringLiteral("Balance differs from the newest item");
    case BooksFinding::Unreadable:
        return QStringLiteral("Post cannot be read");
    }
    return {};
}

} // namespace bank
