#include "TransactionItems.h"

#include "Module1.h"
#include "PostText.h"

#include <QLocale>
#include <QRegularExpression>

namespace bank {
namespace {

const QString AbortText = QStringLiteral("Insufficient funds! Transaction aborted.");
const QString DebtMark = QStringLiteral(" [color=red]***IN DEBT***[/color]");

QString withoutColour(QString line) {
    static const QRegularExpression colour(QStringLiteral("\\[/?color(=[^\\]]*)?\\]"),
                                           QRegularExpression::CaseInsensitiveOption);
    return line.remove(colour);
}

std::optional<QDateTime> madeAt(const QString& dateLine) {
    // The writer puts two blanks between the time and the zone's name.
    const QDateTime made = QLocale::system().toDateTime(
        dateLine.section(QLatin1String("  ("), 0, 0), QStringLiteral("MMM dd,yyyy, h:mm:ss ap"));
    return made.isValid() ? std::optional(made) : std::nullopt;
}

bool readAmount(const QString& line, TransactionItem& item) {
    static const QRegularExpression amount(
        QStringLiteral("^Amount: (.*) Galleons (.*) Sickles (.*) Knuts \\((.*) USD\\)$"));
    const auto match = amount.match(withoutColour(line));
    if (!match.hasMatch())
        return false;
    item.fields = {match.captured(1), match.captured(2), match.captured(3)};
    item.amountDollars = match.captured(4);
    const auto knuts = amountKnuts(item.fields);
    if (!knuts)
        return false;
    item.knuts = item.fields.galleons.trimmed().startsWith(u'-') ? -qint64{*knuts} : *knuts;
    return true;
}

bool readBalance(const QString& line, TransactionItem& item) {
    static const QRegularExpression balance(
        QStringLiteral("^Balance: Galleons:(\\S*) Sickles:(\\S*) Knuts:(\\S*)\\s+\\((.*) USD\\)$"));
    const auto match = balance.match(line);
    if (!match.hasMatch())
        return false;
    item.balance = {match.captured(1), match.captured(2), match.captured(3)};
    item.balanceDollars = match.captured(4);
    return true;
}

bool readParty(QString line, TransactionItem& item) {
    if (!line.startsWith(QLatin1String("Other party: ")))
        return false;
    line.remove(0, 13);
    item.inDebt = line.endsWith(DebtMark);
    if (item.inDebt)
        line.chop(DebtMark.size());
    if (line.startsWith(QLatin1String("anonymous(")) && line.endsWith(u')')) {
        const auto name = Module1::Unscramble(line.mid(10).chopped(1));
        item.party = {QString(), name.value_or(QString()), true};
        return name.has_value();
    }
    static const QRegularExpression link(QStringLiteral("^\\[url=([^\\]]*)\\] (.*)\\[/url\\]$"));
    const auto match = link.match(line);
    if (!match.hasMatch())
        return false;
    item.party = {threadNumberIn(match.captured(1)), match.captured(2), false};
    return !item.party.threadNumber.isEmpty();
}

// One item's lines, without its "[*]"; the line that stops the reader when
// the item cannot be read.
std::optional<QString> readItem(const QStringList& lines, TransactionItem& item) {
    qsizetype at = 0;
    auto next = [&] {
        return at < lines.size() ? lines[at++] : QString();
    };
    item.dateLine = next();
    item.made = madeAt(item.dateLine);
    QString line = next();
    if (!readAmount(line, item))
        return line;
    line = next();
    item.aborted = withoutColour(line) == AbortText;
    if (item.aborted)
        line = next();
    if (!readBalance(line, item))
        return line;
    line = next();
    if (!line.startsWith(QLatin1String("Type:")))
        return line;
    item.type = line.mid(5);
    if (line = next(); !readParty(line, item))
        return line;
    if (line = next(); !line.startsWith(QLatin1String("Description:")))
        return line;
    item.description = (line.mid(12) + u'\n' + lines.mid(at).join(u'\n')).trimmed();
    return std::nullopt;
}

} // namespace

PostItems readItems(const QString& post) {
    PostItems read;
    const QString text = QString(post).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    qsizetype from = 0;
    while (true) {
        const qsizetype start = text.indexOf(QLatin1String("[list]"), from, Qt::CaseInsensitive);
        if (start < 0)
            return read;
        const qsizetype end = text.indexOf(QLatin1String("[/list]"), start, Qt::CaseInsensitive);
        if (end < 0) {
            read.unreadable = text.mid(start).section(u'\n', 0, 0);
            return read;
        }
        const QStringList pieces = text.mid(start + 6, end - start - 6).split(QLatin1String("[*]"));
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            TransactionItem item;
            if (const auto stop = readItem(pieces[i].split(u'\n'), item)) {
                read.unreadable = *stop;
                return read;
            }
            read.items.append(item);
        }
        from = end + 7;
    }
}

} // namespace bank
