#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The text of an account post: the first post of an account's thread, with an
// optional owner line, the three coin balances, the transaction list and the
// program's signature. Written at creation, rewritten by every transaction and
// read back from the thread page.
namespace bank {

struct CoinTexts {
    QString galleons;
    QString sickles;
    QString knuts;
    bool operator==(const CoinTexts&) const = default;
};

struct NewAccountPost {
    QString subject;
    QString message;
};

inline const QString CrLf = QStringLiteral("\r\n");
inline const QString AccountNumberPlaceholder = QStringLiteral("]######## [");
// Where the transaction list starts in the thread page the forum renders.
inline const QString RenderedListStart = QStringLiteral("<ul");

enum class CoinLine { Galleon, Sickle, Knut };

// The line that holds a coin's balance: the first that begins, blanks and tabs
// aside, with the coin's label and a colon ("Galleons:", any case), taken only
// from above the line where the transaction list starts (the first holding
// listStart, any case). So neither the owner line, whose user and host names
// may hold coin words, nor the list's balances can stand in for it.
std::optional<QString> coinLine(const QStringList& lines, CoinLine coin, const QString& listStart);

// The board address cut after the character that follows "index.cgi".
QString boardPrefix(const QString& boardUrl);

QString signatureBlock();
// How the signature block begins: "[size=1]" and the left guillemet.
QString signatureStart();

// The post that creates an account; no owner line when the owner is empty.
NewAccountPost composeAccountPost(const QString& accountName, const QString& owner,
                                  const CoinTexts& coins, const QString& boardUrl);

// An old post cut for a transaction: the header without its coin lines (and
// with the account number filled in), and the tail from the list on, or a new
// empty list with the signature when the post had none.
struct PostParts {
    QString header;
    QString tail;
};
PostParts cutAccountPost(const QString& oldMessage, const QString& threadNumber);

QString coinBlock(const CoinTexts& coins);

// The tail with the new item first in its list.
QString withNewItem(const QString& tail, const QString& item);

// The post after a transaction: header, new coin block, tail with the new item.
QString rewriteAccountPost(const QString& oldMessage, const QString& threadNumber,
                           const CoinTexts& coins, const QString& newItem);

// The balances of a rendered post body whose lines end in CR LF: for each coin
// the text between its coin line's first and second colon; empty without one.
CoinTexts readBalances(const QString& body);

// The balances as the forum's edit form holds the post: for each coin the
// number between its coin line's first two colons, written as number text;
// nothing when a coin has no coin line.
std::optional<CoinTexts> readEditFormBalances(const QString& message);

} // namespace bank
