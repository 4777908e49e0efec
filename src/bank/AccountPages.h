#pragma once

#include "AccountPost.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Reading a board's account threads from the forum's pages: the thread table
// of a board page and the account post of a thread page. Plain values in,
// plain values out, so saved pages can be read without a browser.
namespace bank {

struct TableCell {
    QString innerHtml;
    QString innerText;
    // The text of the cell's first thread link as the forum wrote it: blanks
    // are not collapsed, so a subject reads back exactly.
    QString linkText;
};
using TableRow = QList<TableCell>;

// One subject cell of a board page that names a thread.
struct ThreadLink {
    QString threadNumber;
    QString subject;
    bool isAccount = false; // false for the heading row and subjects with a colon
    QString activity;       // the row's other cells: replies, last post and its author
};

// The threads of a board page's thread table, in document order.
QList<ThreadLink> threadLinks(const QList<TableRow>& table);

// A coin line as the preliminary check names it when it is missing.
QString coinLineName(CoinLine line);

struct AccountThread {
    std::optional<CoinLine> missingCoinLine; // the account is not one: drop it
    bool dateFound = false;                  // without it only the name is known
    QString created;
    QString lastTransaction;
    QString teller;
    QString body; // the post body with CR LF line ends
    CoinTexts balances;
    bool mayDelete = false;
    bool mayModify = false;
};

// Reads a thread page's body markup, with recent dates written as days.
AccountThread readAccountThread(const QString& pageHtml, const QDate& today);

// The body of every post of a thread page, in page order: the markup between
// each pair of section markers.
QStringList postBodies(const QString& pageHtml);

// A post body as the forum renders it, turned back into the forum markup the
// program writes, so that the readers of posts read it.
QString forumMarkup(const QString& bodyHtml);

// "<B>Today</B> at" and "<B>Yesterday</B> at" become "Dec 05, 2026,".
QString applyDayNames(const QString& text, const QDate& today);

} // namespace bank
