#include "PostText.h"

#include <QUrlQuery>
#include <algorithm>

namespace bank {
namespace {

const std::pair<QLatin1String, char16_t> NamedReferences[] = {
    {QLatin1String("amp"), u'&'},  {QLatin1String("lt"), u'<'},    {QLatin1String("gt"), u'>'},
    {QLatin1String("quot"), u'"'}, {QLatin1String("apos"), u'\''}, {QLatin1String("nbsp"), 0xA0},
};

std::optional<QString> referencedCharacter(QStringView name) {
    if (name.startsWith(u'#')) {
        bool ok = false;
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        const char32_t character = code;
        return QString::fromUcs4(&character, 1);
    }
    for (const auto& [reference, character] : NamedReferences)
        if (name == reference)
            return QString(QChar(character));
    return std::nullopt;
}

// Line ends as line feeds and references as characters, without the blanks
// and line ends around the whole text, which forums commonly drop.
QString comparable(const QString& text) {
    QString plain = decodeCharacterReferences(text);
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    return plain.trimmed();
}

} // namespace

QString decodeCharacterReferences(const QString& text) {
    QString decoded;
    decoded.reserve(text.size());
    qsizetype at = 0;
    for (qsizetype amp; (amp = text.indexOf(u'&', at)) >= 0;) {
        decoded += QStringView(text).mid(at, amp - at);
        // A name or number is at most ten characters; an ampersand that starts none stays.
        const qsizetype length = QStringView(text).mid(amp + 1, 10).indexOf(u';');
        const auto character =
            length < 0 ? std::nullopt : referencedCharacter(QStringView(text).mid(amp + 1, length));
        decoded += character ? *character : QStringLiteral("&");
        at = character ? amp + length + 2 : amp + 1;
    }
    decoded += QStringView(text).mid(at);
    return decoded;
}

bool holdsAsSent(const PostFields& sent, const PostFields& held) {
    return comparable(sent.subject) == comparable(held.subject) &&
           comparable(sent.message) == comparable(held.message);
}

std::optional<QString> listMarkerIn(const QString& text) {
    for (const QLatin1String marker : {QLatin1String("[list]"), QLatin1String("[/list]")})
        if (text.contains(marker, Qt::CaseInsensitive))
            return QString(marker);
    return std::nullopt;
}

std::optional<QString> listMarkerRefusal(const QList<std::pair<QString, QString>>& texts) {
    for (const auto& [what, text] : texts)
        if (const auto marker = listMarkerIn(text))
            return what + " \"" + text + "\" holds " + *marker +
                   ", which marks the list of transactions in an account's post, so nothing was "
                   "posted";
    return std::nullopt;
}

QString withCrLf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.replace(u'\n', QLatin1String("\r\n"));
}

QString threadNumberIn(const QString& address) {
    const qsizetype at = address.indexOf(QLatin1String("thread="), 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : address.mid(at + 7).section(u'&', 0, 0);
}

QStringList editedPosts(const QStringList& links, const QString& threadNumber) {
    QStringList posts;
    for (const QString& link : links) {
        const QUrlQuery query(link.section(u'?', 1).section(u'#', 0, 0));
        const QString post = query.queryItemValue(QStringLiteral("post"));
        if (query.queryItemValue(QStringLiteral("action")) == QLatin1String("modifypost") &&
            query.queryItemValue(QStringLiteral("thread")) == threadNumber && !post.isEmpty() &&
            !posts.contains(post))
            posts.append(post);
    }
    return posts;
}

std::optional<QString> newestPostNumber(const QStringList& links, const QString& threadNumber) {
    const QStringList posts = editedPosts(links, threadNumber);
    const auto newest = std::max_element(posts.begin(), posts.end(), [](auto& a, auto& b) {
        return a.toULongLong() < b.toULongLong();
    });
    return newest == posts.end() ? std::nullopt : std::optional(*newest);
}

} // namespace bank
