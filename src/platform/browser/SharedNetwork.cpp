#include "SharedNetwork.h"

#include "CookieJar.h"
#include "MemoryPageCache.h"
#include "ProgramLog.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>

namespace browser {

QString cookieFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/cookies.txt");
}

QNetworkAccessManager& sharedNetwork() {
    static QPointer<QNetworkAccessManager> manager;
    if (!manager) {
        routeThroughSystemProxies();
        manager = new QNetworkAccessManager(QCoreApplication::instance());
        manager->setCookieJar(new PersistentCookieJar(cookieFilePath()));
        // Room for a good many forum pages, and a bound on what they take.
        manager->setCache(new MemoryPageCache(8 * 1024 * 1024));
    }
    return *manager;
}

void routeThroughLoopbackProxy(quint16 port) {
    sharedNetwork(); // it sets up its proxies first; this one must win
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port));
}

void routeThroughSystemProxies() {
    // Honours http_proxy and no_proxy, as every browser on Linux does.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

void logBrowserFailure(const QString& message) {
    platform::logProblem(message);
}

} // namespace browser

void setBrowserLog(std::function<void(const QString&)> log) {
    platform::setProgramLog(std::move(log));
}

bool DeleteUrlCacheEntry(const QString& url) {
    QAbstractNetworkCache* cache = browser::sharedNetwork().cache();
    return cache && cache->remove(QUrl(url));
}
