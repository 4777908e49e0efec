#include "Module1.h"

#include "OsServices.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace Module1 {
namespace {

const char* const ParamKeys[] = {"action=", "board=", "thread=", "post=", "page="};

// The first element of a query that holds a parameter's key, case-sensitively.
qsizetype findParam(const QStringList& elements, UrlParamKind kind) {
    for (qsizetype i = 0; i < elements.size(); ++i)
        if (elements[i].contains(QLatin1String(ParamKeys[kind])))
            return i;
    return -1;
}

} // namespace

bool Delay(int ms) {
    if (ms <= 0)
        return true;
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        bool woke = false;
        QTimer::singleShot(deadline.remainingTime(), Qt::PreciseTimer, &loop, [&] {
            woke = true;
            loop.quit();
        });
        loop.exec();
        if (!woke)
            return false; // every event loop was told to end: the program is quitting
    }
    return true;
}

bool IsBoardUrl(const QString& url) {
    return url.trimmed().left(7).toLower() == QLatin1String("http://") &&
           url.contains(HostMarker, Qt::CaseInsensitive) &&
           url.contains(DomainMarker + QLatin1String("/index.cgi"), Qt::CaseInsensitive);
}

QString GetUrlParam(const QString& url, UrlParamKind kind, bool valueOnly) {
    if (!IsBoardUrl(url) || !url.contains('?'))
        return {};
    const QStringList elements = url.section('?', 1, 1).split('&');
    const qsizetype found = findParam(elements, kind);
    if (found < 0)
        return {};
    return valueOnly ? elements[found].section('=', 1, 1) : elements[found];
}

QString SetUrlParam(const QString& url, UrlParamKind kind, const QString& value) {
    QString newValue = value;
    if (newValue.contains('='))
        newValue = newValue.section('=', 1, 1);
    if (newValue.contains('#'))
        newValue = newValue.section('#', 1, 1);

    QString address = url.toLower();
    if (!address.contains(QLatin1String("/index.cgi?"))) {
        if (!address.endsWith('/'))
            address += '/';
        address += QLatin1String("index.cgi?");
    }
    const QString base = address.section('?', 0, 0) + '?';
    const QStringList elements = address.section('?', 1, 1).split('&');

    QString oldText = QStringLiteral("?");
    QString newText = QStringLiteral("?");
    const qsizetype found = findParam(elements, kind);
    if (found >= 0) {
        oldText = elements[found];
        newText = newValue.isEmpty() ? QString() : oldText.section('=', 0, 0) + '=' + newValue;
    } else if (!newValue.isEmpty()) {
        newText = '?' + QLatin1String(ParamKeys[kind]) + newValue + '&';
    }
    QString result = base + elements.join('&');
    result.replace(oldText, newText);
    result.replace(QLatin1String("?&"), QLatin1String("?"));
    result.replace(QLatin1String("&&"), QLatin1String("&"));
    result.replace(QLatin1String("?#"), QLatin1String("?"));
    result.replace(QLatin1String("&#"), QLatin1String("&page="));
    return result;
}

QString timeZoneText(const std::optional<QString>& zoneName) {
    if (!zoneName)
        return QStringLiteral(" (TimeZone Unknown)");
    QString name = *zoneName;
    name.remove(QChar(0));
    return " (" + name + ')';
}

void LoadTimeZoneText() {
    TimeZoneText = timeZoneText(platform::currentTimeZoneName());
}

} // namespace Module1
