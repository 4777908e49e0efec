#include "AccountPages.h"

#include "PostText.h"

#include <QLocale>
#include <QRegularExpression>

namespace bank {
namespace {

const QString SectionStart = QStringLiteral("<!-- google_ad_section_start -->");
const QString SectionEnd = QStringLiteral("<!-- google_ad_section_end -->");
const QString StartedOn = QStringLiteral("Thread Started on ");
const QString LastEdit = QStringLiteral("<i>Last Edit:</i>");
const QString RightGuillemet = QString(QChar(0x00BB));
const QLatin1String RightGuillemetReference("&#187;");

QString lineBreaksAsCrLf(QString html, const QStringList& tags) {
    for (const QString& tag : tags)
        html.replace(tag, CrLf, Qt::CaseInsensitive);
    return html;
}

// The stretch of the page the preliminary check reads: after the first
// section marker, up to the second.
std::optional<QString> examinedPiece(const QString& pageHtml) {
    const qsizetype start = pageHtml.indexOf(SectionStart);
    if (start < 0)
        return std::nullopt;
    const qsizetype from = start + SectionStart.size();
    const qsizetype next = pageHtml.indexOf(SectionStart, from);
    return lineBreaksAsCrLf(pageHtml.mid(from, next < 0 ? -1 : next - from), {"<BR>"});
}

std::optional<CoinLine> missingCoinLine(const QString& pageHtml) {
    const auto piece = examinedPiece(pageHtml);
    if (!piece)
        return CoinLine::Galleon;
    const QStringList lines = piece->split(CrLf);
    for (const CoinLine coin : {CoinLine::Galleon, CoinLine::Sickle, CoinLine::Knut})
        if (!coinLine(lines, coin, RenderedListStart))
            return coin;
    return std::nullopt;
}

// The forum may write the guillemet that ends the thread's date as a reference.
qsizetype dateEnd(const QString& pageHtml, qsizetype from) {
    const qsizetype character = pageHtml.indexOf(RightGuillemet, from);
    const qsizetype reference = pageHtml.indexOf(RightGuillemetReference, from);
    return character < 0 || (reference >= 0 && reference < character) ? reference : character;
}

// A piece of the page with the guillemet references read as characters.
QString withGuillemets(QString piece) {
    piece.replace(RightGuillemetReference, RightGuillemet);
    piece.replace(QLatin1String("&#171;"), QString(QChar(0x00AB)));
    return piece;
}

QString dayText(const QDate& date) {
    return QLocale::system().toString(date, QStringLiteral("MMM dd, yyyy,"));
}

} // namespace

QList<ThreadLink> threadLinks(const QList<TableRow>& table) {
    QList<ThreadLink> links;
    for (const TableRow& row : table) {
        if (row.size() < 3)
            continue;
        const TableCell& subject = row[2];
        const qsizetype at = subject.innerHtml.indexOf(QLatin1String("thread="));
        if (at < 0)
            continue;
        const qsizetype from = at + 7;
        const qsizetype quote = subject.innerHtml.indexOf('"', from);
        ThreadLink link;
        link.threadNumber = subject.innerHtml.mid(from, quote < 0 ? -1 : quote - from);
        link.subject = subject.linkText.isEmpty() ? subject.innerText : subject.linkText;
        link.isAccount = link.subject != QLatin1String("Subject") && !link.subject.contains(':');
        for (qsizetype cell = 3; cell < row.size(); ++cell)
            link.activity += row[cell].innerText + '\t';
        links.append(link);
    }
    return links;
}

QString coinLineName(CoinLine line) {
    switch (line) {
    case CoinLine::Galleon:
        return QStringLiteral("galleon");
    case CoinLine::Sickle:
        return QStringLiteral("sickle");
    case CoinLine::Knut:
        return QStringLiteral("knut");
    }
    return {};
}

QString applyDayNames(const QString& text, const QDate& today) {
    QString result = text;
    result.replace(QLatin1String("<B>Yesterday</B> at"), dayText(today.addDays(-1)),
                   Qt::CaseInsensitive);
    result.replace(QLatin1String("<B>Today</B> at"), dayText(today), Qt::CaseInsensitive);
    return result;
}

QStringList postBodies(const QString& pageHtml) {
    QStringList bodies;
    for (qsizetype at = pageHtml.indexOf(SectionStart); at >= 0;
         at = pageHtml.indexOf(SectionStart, at)) {
        at += SectionStart.size();
        const qsizetype end = pageHtml.indexOf(SectionEnd, at);
        if (end < 0)
            break;
        bodies.append(pageHtml.mid(at, end - at));
        at = end;
    }
    return bodies;
}

QString forumMarkup(const QString& bodyHtml) {
    using Rule = std::pair<QRegularExpression, QString>;
    static const QList<Rule> rules = [] {
        const auto rule = [](const char* pattern, const char* markup) {
            return Rule(QRegularExpression(QString::fromLatin1(pattern),
                                           QRegularExpression::CaseInsensitiveOption),
                        QString::fromLatin1(markup));
        };
        return QList<Rule>{
            rule("<br\\s*/?>", "\r\n"),
            rule("<ul>", "[list]"),
            rule("</ul>", "[/list]"),
            rule("<li>", "[*]"),
            rule("<font (color|size)=\"([^\"]*)\">", "[\\1=\\2]"),
            rule("<font face=\"([^\"]*)\">", "[font=\\1]"),
            rule("</font>", "[/color]"),
            rule("<a href=\"([^\"]*)\"[^>]*>", "[url=\\1]"),
            rule("</a>", "[/url]"),
            rule("<(/?)(b|i|u|s)>", "[\\1\\2]"),
            rule("<[^>]*>", ""),
        };
    }();
    QString markup = bodyHtml;
    for (const auto& [pattern, replacement] : rules)
        markup.replace(pattern, replacement);
    return decodeCharacterReferences(markup);
}

// Offsets are taken in the page as given; only the pieces read out are copied.
AccountThread readAccountThread(const QString& page, const QDate& today) {
    AccountThread thread;
    thread.missingCoinLine = missingCoinLine(page);
    if (thread.missingCoinLine)
        return thread;

    const qsizetype started = page.indexOf(StartedOn, 0, Qt::CaseInsensitive);
    const qsizetype createdEnd = started < 0 ? -1 : dateEnd(page, started);
    if (createdEnd < 0)
        return thread;
    thread.dateFound = true;
    // A date or a name of the page, as the list shows it.
    const auto shown = [&](qsizetype from, qsizetype to) {
        return applyDayNames(withGuillemets(page.mid(from, to - from)), today);
    };
    thread.created = shown(started + StartedOn.size(), createdEnd);

    // A page without the body's markers leaves the body, balances and edit
    // note empty; the account keeps its name and date.
    qsizetype bodyEnd = page.size();
    const qsizetype marker = page.indexOf(SectionStart, createdEnd);
    if (marker >= 0) {
        const qsizetype bodyStart = marker + SectionStart.size();
        const qsizetype end = page.indexOf(SectionEnd, bodyStart);
        if (end >= 0) {
            bodyEnd = end;
            thread.body = lineBreaksAsCrLf(withGuillemets(page.mid(bodyStart, end - bodyStart)),
                                           {"<br>", "<br/>"});
            if (thread.body.contains(CrLf))
                thread.balances = readBalances(thread.body);
        }
    }

    const qsizetype edit = page.indexOf(LastEdit, bodyEnd, Qt::CaseInsensitive);
    if (edit < 0) {
        thread.lastTransaction = thread.created;
        thread.teller = QStringLiteral("N/A");
    } else {
        const qsizetype from = edit + LastEdit.size();
        const qsizetype by = page.indexOf(QLatin1String(" by "), from);
        if (by >= 0) {
            thread.lastTransaction = shown(from, by).trimmed();
            const qsizetype fontEnd =
                page.indexOf(QLatin1String("</font>"), by, Qt::CaseInsensitive);
            const qsizetype nameStart = fontEnd < 0 ? -1 : page.lastIndexOf('>', fontEnd);
            if (nameStart >= 0)
                thread.teller = shown(nameStart + 1, fontEnd).trimmed();
        }
    }

    const qsizetype rightsEnd = page.indexOf(QLatin1String("google_ad_section_end"));
    const QStringView head = rightsEnd < 0 ? QStringView() : QStringView(page).left(rightsEnd);
    thread.mayDelete = head.contains(QLatin1String("delete.gif"), Qt::CaseInsensitive);
    thread.mayModify = head.contains(QLatin1String("modify.gif"), Qt::CaseInsensitive);
    return thread;
}

} // namespace bank
