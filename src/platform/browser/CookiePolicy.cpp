#include "CookiePolicy.h"

#include "BrowserLimits.h"

#include <QHash>
#include <algorithm>

namespace browser {

namespace {

QString withoutLeadingDot(const QString& domain) {
    return domain.startsWith(QLatin1Char('.')) ? domain.mid(1) : domain;
}

bool isOversized(const QNetworkCookie& cookie) {
    return cookie.name().size() + cookie.value().size() > kMaxCookieBytes;
}

bool isSharedParentOf(const QString& domain, const QString& host) {
    return host.endsWith(QLatin1Char('.') + domain) &&
           std::any_of(std::begin(kSharedParentDomains), std::end(kSharedParentDomains),
                       [&](const char* shared) { return domain == QLatin1String(shared); });
}

} // namespace

QList<QNetworkCookie> admittedCookies(QList<QNetworkCookie> cookies, const QUrl& url) {
    cookies.removeIf(isOversized); // and any cookie of that name stays as it was
    const QString host = url.host().toLower();
    for (QNetworkCookie& cookie : cookies) {
        if (isSharedParentOf(withoutLeadingDot(cookie.domain()).toLower(), host))
            cookie.setDomain(QString()); // the jar then keeps it for this host alone
    }
    return cookies;
}

QList<QNetworkCookie> boundedCookies(const QList<QNetworkCookie>& cookies, const QDateTime& now) {
    QList<QNetworkCookie> kept;
    QHash<QString, int> perHost;
    for (auto cookie = cookies.crbegin(); cookie != cookies.crend(); ++cookie) {
        if ((!cookie->isSessionCookie() && cookie->expirationDate() <= now) || isOversized(*cookie))
            continue;
        int& ofHost = perHost[withoutLeadingDot(cookie->domain())];
        if (ofHost == kMaxCookiesPerHost || kept.size() == kMaxCookies)
            continue;
        ++ofHost;
        kept.append(*cookie);
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}

} // namespace browser
