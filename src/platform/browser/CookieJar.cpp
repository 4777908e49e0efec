#include "CookieJar.h"

#include "CookiePolicy.h"
#include "PrivateFile.h"
#include "SharedNetwork.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QSaveFile>
#include <sys/stat.h>

namespace browser {

PersistentCookieJar::PersistentCookieJar(const QString& filePath, QObject* parent)
    : QNetworkCookieJar(parent), m_filePath(filePath) {
    load();
}

bool PersistentCookieJar::setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) {
    const bool accepted = QNetworkCookieJar::setCookiesFromUrl(admittedCookies(cookies, url), url);
    // The jar lists its cookies in the order they were last set.
    setAllCookies(boundedCookies(allCookies(), QDateTime::currentDateTimeUtc()));
    save(); // also when an expired cookie only deleted one
    return accepted;
}

void PersistentCookieJar::load() {
    if (!platform::removeLinkInPlaceOf(m_filePath))
        return;
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QList<QNetworkCookie> cookies;
    while (!file.atEnd()) {
        for (const QNetworkCookie& cookie :
             QNetworkCookie::parseCookies(file.readLine().trimmed())) {
            if (!cookie.isSessionCookie())
                cookies.append(cookie);
        }
    }
    setAllCookies(boundedCookies(cookies, QDateTime::currentDateTimeUtc()));
}

void PersistentCookieJar::save() {
    if (!platform::removeLinkInPlaceOf(m_filePath))
        return;
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    bool saved = file.open(QIODevice::WriteOnly);
    if (saved) {
        ::fchmod(file.handle(), S_IRUSR | S_IWUSR); // before any cookie is written
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (const QNetworkCookie& cookie : allCookies()) {
            if (!cookie.isSessionCookie() && cookie.expirationDate() > now)
                file.write(cookie.toRawForm(QNetworkCookie::Full) + '\n');
        }
        saved = file.commit();
    }
    if (!saved)
        logBrowserFailure(QStringLiteral("Cannot save cookies to ") + m_filePath +
                          QStringLiteral(": ") + file.errorString());
}

} // namespace browser
