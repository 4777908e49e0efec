#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the program sends as a post and what it reads back to know that the
// forum keeps it: the two fields of the forum's post form, their comparison,
// and the addresses of the edit pages that show a post as the forum holds it.
namespace bank {

struct PostFields {
    QString subject;
    QString message;
    bool operator==(const PostFields&) const = default;
};

// "&amp;", "&#233;", "&#xE9;" ... as the characters they stand for.
QString decodeCharacterReferences(const QString& text);

// True when the post the forum holds is the one that was sent: line ends,
// character references and blanks around the whole of each field aside.
bool holdsAsSent(const PostFields& sent, const PostFields& held);

// "[list]" or "[/list]", any case, as found in a text that is to go into a
// post; nothing when the text holds neither. Either would split the post's
// transaction list.
std::optional<QString> listMarkerIn(const QString& text);

// The message that refuses the first of the texts (what it is, the text)
// that holds a list marker; nothing when all of them may go into a post.
std::optional<QString> listMarkerRefusal(const QList<std::pair<QString, QString>>& texts);

// A text box and a page's text area give their lines with line feeds; posts use CR LF.
QString withCrLf(QString text);

// The thread number of a forum address: what follows "thread=" (any case) up
// to the next "&"; empty when there is none.
QString threadNumberIn(const QString& address);

// The posts of one thread that the edit links lead to, in the links' order,
// each once.
QStringList editedPosts(const QStringList& links, const QString& threadNumber);

// The largest of those post numbers; nothing when none of the links edits a
// post of that thread.
std::optional<QString> newestPostNumber(const QStringList& links, const QString& threadNumber);

} // namespace bank
