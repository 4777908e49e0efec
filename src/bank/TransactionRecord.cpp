#include "TransactionRecord.h"

#include "CoinAmount.h"
#include "DollarValue.h"
#include "Module1.h"
#include "NumberText.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <limits>

namespace bank {
namespace {

const QString AbortLine =
    QStringLiteral("[color=red]Insufficient funds! Transaction aborted.[/color]") + CrLf;
const QString DebtMark = QStringLiteral(" [color=red]***IN DEBT***[/color]");
constexpr int ArchiveThreshold = 16;

double leading(const QString& text) {
    return calculator::LeadingNumber(text.toStdString());
}

QString operatorMark(TransactionType type) {
    return type == TransactionType::Income ? QStringLiteral("+ ") : QStringLiteral("- ");
}

AmountFields fieldsOf(const QString& line) {
    const QStringList fields = line.split('\t');
    return {fields.value(0), fields.value(1), fields.value(2)};
}

QString scrambled(const QString& text) {
    return Module1::Scramble(text).value_or(QString());
}

QString typeText(const Transaction& t, const QString& reason) {
    if (t.isPrivate)
        return "private transaction(" +
               scrambled(t.otherName.isEmpty() ? t.counterpartReason : t.otherName) + ")";
    return reason + (t.otherName.isEmpty() ? QStringLiteral(" ") : "(" + t.otherName + ")");
}

QString item(const Transaction& t, const ItemFacts& facts, const QString& colour,
             const QString& reason, const QString& party, bool inDebt) {
    QString text = "[*]" + dateText(facts.made) + " " + t.timeZoneText + CrLf;
    text += "Amount: [color=" + colour + "]" + amountText(facts.fields) + " (" +
            moneyText(facts.amountDollarText) + " USD)[/color]" + CrLf;
    if (facts.aborted)
        text += AbortLine;
    text += "Balance: " + balanceCoins(facts.newBalance) + "(" +
            moneyText(facts.balanceDollarText) + " USD)" + CrLf;
    text += "Type:" + typeText(t, reason) + CrLf;
    text += "Other party: " + party + (inDebt ? DebtMark : QString()) + CrLf;
    text += "Description:" + (t.description.isEmpty() ? CrLf : t.description) + CrLf;
    return text;
}

// The first line of each archived item, up to its CR LF: its date line.
QString firstLine(const QString& text) {
    return text.section(CrLf, 0, 0);
}

} // namespace

std::optional<AmountFields> amountFieldsFromTape(const QString& tape, TransactionType type) {
    const QStringList lines = tape.split(CrLf);
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (lines[i].contains(operatorMark(type)))
            return fieldsOf(lines[i]);
    // An empty balance: equals alone began the block, so its operand line
    // carries two blanks where the operator's mark would stand.
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (lines[i].startsWith(QLatin1String("  ")) && i > 0 &&
            lines[i - 1].startsWith(QLatin1String("----"))) {
            AmountFields fields = fieldsOf(lines[i]);
            fields.galleons.replace(0, 2, operatorMark(type));
            return fields;
        }
    return std::nullopt;
}

AmountFields counterpartFields(const AmountFields& fields, TransactionType type) {
    AmountFields turned = fields;
    if (type == TransactionType::Income)
        turned.galleons.replace('+', '-');
    else
        turned.galleons.replace('-', '+');
    return turned;
}

QString amountText(const AmountFields& fields) {
    return fields.galleons + " Galleons " + fields.sickles + " Sickles " + fields.knuts + " Knuts";
}

std::optional<qint32> amountKnuts(const AmountFields& fields) {
    const CoinTexts entry = entryOfFields(fields);
    return calculator::knutRound(knutValueOf(entry));
}

CoinTexts entryOfFields(const AmountFields& fields) {
    auto positive = [](const QString& field) {
        // The mark is read with the number: "- 5" reads as -5.
        return QString::fromStdString(calculator::numberText(std::fabs(leading(field))));
    };
    return {positive(fields.galleons), positive(fields.sickles), positive(fields.knuts)};
}

double knutValueOf(const CoinTexts& balance) {
    return leading(balance.galleons) * 493 + leading(balance.sickles) * 29 + leading(balance.knuts);
}

bool lacksFunds(TransactionType type, const CoinTexts& account, const CoinTexts& counterpart,
                qint32 amount) {
    if (type == TransactionType::Expense)
        return knutValueOf(account) - amount < 0;
    const auto counterpartKnuts = calculator::knutRound(knutValueOf(counterpart));
    return !counterpartKnuts || static_cast<qint64>(*counterpartKnuts) - amount < 0;
}

bool balanceFollows(const CoinTexts& before, const CoinTexts& after, qint64 change) {
    const auto from = calculator::knutRound(knutValueOf(before));
    const auto to = calculator::knutRound(knutValueOf(after));
    return from && to && qint64{*to} == qint64{*from} + change;
}

std::optional<CoinTexts> movedBalance(const CoinTexts& before, qint64 change) {
    const auto from = calculator::knutRound(knutValueOf(before));
    if (!from)
        return std::nullopt;
    const qint64 total = qint64{*from} + change;
    if (total < std::numeric_limits<qint32>::min() || total > std::numeric_limits<qint32>::max())
        return std::nullopt;
    const calculator::SortedCoins coins = calculator::sortKnuts(static_cast<qint32>(total));
    auto text = [](std::int32_t count) {
        return QString::fromStdString(calculator::numberText(std::int64_t{count}));
    };
    return CoinTexts{text(coins.galleons), text(coins.sickles), text(coins.knuts)};
}

QString moneyText(const QString& dollarText) {
    QString number = dollarText.trimmed();
    const bool negative = number.startsWith('-');
    number.remove('$').remove(',').remove('-');
    bool readable = false;
    const double value = number.toDouble(&readable);
    if (!readable)
        return dollarText;
    return QString::fromStdString(calculator::dollarText(negative ? -value : value));
}

QString dateText(const QDateTime& when) {
    const QTime time = when.time();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QLocale::system().toString(when.date(), QStringLiteral("MMM dd,yyyy, ")) +
           QStringLiteral("%1:%2:%3 %4")
               .arg(hour)
               .arg(time.minute(), 2, 10, QChar('0'))
               .arg(time.second(), 2, 10, QChar('0'))
               .arg(time.hour() < 12 ? "am" : "pm");
}

QString balanceCoins(const CoinTexts& coins) {
    return coinBlock(coins).replace(CrLf, " ").replace(": ", ":");
}

QString accountItem(const Transaction& t, const ItemFacts& facts) {
    const QString colour = facts.fields.galleons.startsWith('-') ? "red" : "lime";
    const QString party = t.anonymous ? "anonymous(" + scrambled(t.otherAccountText) + ")"
                                      : "[url=" + t.boardUrl +
                                            "&action=display&thread=" + t.counterpartThread + "] " +
                                            t.counterpartName + "[/url]";
    const bool inDebt = t.type == TransactionType::Income && facts.aborted;
    return item(t, facts, colour, t.reason, party, inDebt);
}

QString counterpartItem(const Transaction& t, const ItemFacts& facts) {
    const QString party =
        t.anonymous ? "anonymous(" + scrambled(t.accountName) + ")"
                    : "[url=" + QString(t.accountEditAddress).replace("modifypost", "display") +
                          "] " + t.accountName + "[/url]";
    const bool inDebt = t.type == TransactionType::Expense && facts.aborted;
    return item(t, facts, "lime", t.counterpartReason, party, inDebt);
}

std::optional<QString> archiveBlock(const QString& tail) {
    if (tail.split("[*]").size() <= ArchiveThreshold)
        return std::nullopt;
    const qsizetype start = tail.indexOf("[list]", 0, Qt::CaseInsensitive);
    const qsizetype end = tail.indexOf("[/list]", start, Qt::CaseInsensitive);
    if (start < 0 || end < 0)
        return std::nullopt;
    return tail.mid(start, end + 7 + 1 - start);
}

std::optional<ArchiveReply> archiveReply(const QString& block, const QString& replyFormSubject,
                                         bool noReorder) {
    QString text = block;
    const qsizetype listEnd = text.lastIndexOf("[/list]", -1, Qt::CaseInsensitive);
    if (listEnd >= 0)
        text.remove(text.mid(listEnd));
    const qsizetype opening = text.indexOf("[list]" + CrLf, 0, Qt::CaseInsensitive);
    if (opening >= 0)
        text.remove(opening, 6 + CrLf.size());
    const qsizetype second = text.indexOf("[list]", 0, Qt::CaseInsensitive);
    if (second >= 0)
        text.remove(second, 6);

    QStringList items;
    for (const QString& piece : text.split("[*]"))
        if (piece.contains(':'))
            items.append(piece);
    if (items.isEmpty())
        return std::nullopt;
    if (!noReorder && items.size() != 1) {
        std::reverse(items.begin(), items.end());
        text = "[*]" + items.join("[*]");
    }
    const QString body = "[list]" + CrLf + text + "[/list]" + CrLf + CrLf + CrLf + signatureBlock();
    QString subject = replyFormSubject;
    subject.remove("Re: ", Qt::CaseInsensitive);
    return ArchiveReply{"Archive: " + subject,
                        "[color=lime]" + firstLine(items.first()) + "[/color] - [color=lime]" +
                            firstLine(items.last()) + "[/color]" + CrLf + body};
}

} // namespace bank
