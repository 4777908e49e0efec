#pragma once

#include <QDateTime>
#include <QList>
#include <QNetworkCookie>
#include <QUrl>

namespace browser {

// What the jar takes of the cookies that the answer from `url` sets: none
// larger than kMaxCookieBytes, and a cookie for a shared parent domain made
// host-only, so that no host can set a cookie that its siblings are sent.
// The public suffix rule for the other parent domains is the jar's own.
QList<QNetworkCookie> admittedCookies(QList<QNetworkCookie> cookies, const QUrl& url);

// The cookies, oldest first, less the expired and oversized ones and the
// oldest of those past kMaxCookiesPerHost for one host or kMaxCookies in all.
QList<QNetworkCookie> boundedCookies(const QList<QNetworkCookie>& cookies, const QDateTime& now);

} // namespace browser
