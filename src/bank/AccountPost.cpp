#include "AccountPost.h"

#include "NumberText.h"

#include <algorithm>

namespace bank {
namespace {

const QString HomePage = QStringLiteral("http://zentab.example.org/");
const QString ContactAddress = QStringLiteral("zentab@example.org");
const QString ListStart = QStringLiteral("[list]");
const QString CoinLabels[] = {QStringLiteral("Galleons:"), QStringLiteral("Sickles:"),
                              QStringLiteral("Knuts:")};

bool beginsWithLabel(const QString& line, const QString& label) {
    qsizetype at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    return QStringView(line).sliced(at).startsWith(label, Qt::CaseInsensitive);
}

// A line of a coin block, by the rule both readers use: the owner line and
// other free text keep what they say of coins.
bool isCoinLine(const QString& line) {
    return std::any_of(std::begin(CoinLabels), std::end(CoinLabels),
                       [&](const QString& label) { return beginsWithLabel(line, label); });
}

// The header without coin lines and without blank lines between what is left.
QString rewriteHeader(const QString& header, const QString& threadNumber) {
    QStringList kept;
    for (const QString& line : header.split(CrLf))
        if (!isCoinLine(line))
            kept.append(line);
    QString text = kept.join(CrLf);
    while (text.contains(CrLf + CrLf))
        text.replace(CrLf + CrLf, CrLf);
    text.replace(AccountNumberPlaceholder, "]" + threadNumber + " [");
    if (QString(text).remove('\r').remove('\n').isEmpty())
        return {};
    return text + CrLf;
}

QString valueBetweenColons(const QString& line) {
    return line.section(':', 1, 1).trimmed();
}

// The coin's balance as the edit form holds it, written as number text.
std::optional<QString> editFormBalance(const QStringList& lines, CoinLine coin) {
    const auto line = coinLine(lines, coin, ListStart);
    if (!line)
        return std::nullopt;
    const double number = calculator::LeadingNumber(line->section(':', 1, 1).toStdString());
    return QString::fromStdString(calculator::numberText(number));
}

} // namespace

QString boardPrefix(const QString& boardUrl) {
    const qsizetype at = boardUrl.indexOf(QLatin1String("index.cgi"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return boardUrl;
    return boardUrl.left(at + 10);
}

QString signatureStart() {
    return QStringLiteral("[size=1]") + QChar(0x00AB);
}

QString signatureBlock() {
    return signatureStart() + " [i]Created using:[/i] [font=Garamond][url=" + HomePage +
           "]Zentab Calculator-" + ContactAddress + "[/url][/font] Vaultmere's Edition" +
           QChar(0x00BB) + "[/size]";
}

NewAccountPost composeAccountPost(const QString& accountName, const QString& owner,
                                  const CoinTexts& coins, const QString& boardUrl) {
    QString message;
    if (!owner.isEmpty())
        message += "Account Number: [url=" + boardPrefix(boardUrl) +
                   "action=viewprofile&user=" + owner + " ]######## [/url]" + CrLf + CrLf;
    message += coinBlock(coins) + signatureBlock();
    return {accountName, message};
}

QString coinBlock(const CoinTexts& coins) {
    return "Galleons: " + coins.galleons + CrLf + "Sickles: " + coins.sickles + CrLf +
           "Knuts: " + coins.knuts + CrLf + CrLf;
}

PostParts cutAccountPost(const QString& oldMessage, const QString& threadNumber) {
    qsizetype headerEnd = oldMessage.indexOf(ListStart);
    QString tail;
    if (headerEnd >= 0) {
        tail = oldMessage.mid(headerEnd);
    } else {
        headerEnd = oldMessage.indexOf(signatureStart());
        if (headerEnd < 0)
            headerEnd = oldMessage.size();
        tail = ListStart + CrLf + "[/list]" + CrLf + CrLf + CrLf + signatureBlock();
    }
    return {rewriteHeader(oldMessage.left(headerEnd), threadNumber), tail};
}

QString withNewItem(const QString& tail, const QString& item) {
    return QString(tail).replace(ListStart, ListStart + CrLf + item);
}

QString rewriteAccountPost(const QString& oldMessage, const QString& threadNumber,
                           const CoinTexts& coins, const QString& newItem) {
    const PostParts parts = cutAccountPost(oldMessage, threadNumber);
    return parts.header + coinBlock(coins) + withNewItem(parts.tail, newItem);
}

std::optional<QString> coinLine(const QStringList& lines, CoinLine coin, const QString& listStart) {
    const QString& label = CoinLabels[static_cast<int>(coin)];
    for (const QString& line : lines) {
        if (line.contains(listStart, Qt::CaseInsensitive))
            break;
        if (beginsWithLabel(line, label))
            return line;
    }
    return std::nullopt;
}

CoinTexts readBalances(const QString& body) {
    const QStringList lines = body.split(CrLf);
    const auto balance = [&](CoinLine coin) {
        const auto line = coinLine(lines, coin, RenderedListStart);
        return line ? valueBetweenColons(*line) : QString();
    };
    return {balance(CoinLine::Galleon), balance(CoinLine::Sickle), balance(CoinLine::Knut)};
}

std::optional<CoinTexts> readEditFormBalances(const QString& message) {
    // A text box gives its lines with plain line feeds, a post with CR LF.
    const QStringList lines = QString(message).replace(CrLf, "\n").split('\n');
    const auto galleons = editFormBalance(lines, CoinLine::Galleon);
    const auto sickles = editFormBalance(lines, CoinLine::Sickle);
    const auto knuts = editFormBalance(lines, CoinLine::Knut);
    if (!galleons || !sickles || !knuts)
        return std::nullopt;
    return CoinTexts{*galleons, *sickles, *knuts};
}

} // namespace bank
