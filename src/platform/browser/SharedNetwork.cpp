#include "SharedNetwork.h"

#include "CookieJar.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>

namespace browser {

namespace {

std::function<void(const QString&)>& logHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

} // namespace

QString cookieFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/cookies.txt");
}

QNetworkAccessManager& sharedNetwork() {
    static QPointer<QNetworkAccessManager> manager;
    if (!manager) {
        // Honours http_proxy and no_proxy, as every browser on Linux does.
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        manager = new QNetworkAccessManager(QCoreApplication::instance());
        manager->setCookieJar(new PersistentCookieJar(cookieFilePath()));
        auto* cache = new QNetworkDiskCache;
        cache->setCacheDirectory(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                                 QStringLiteral("/browser"));
        manager->setCache(cache);
    }
    return *manager;
}

void logBrowserFailure(const QString& message) {
    if (logHook())
        logHook()(message);
}

} // namespace browser

void setBrowserLog(std::function<void(const QString&)> log) {
    browser::logHook() = std::move(log);
}

bool DeleteUrlCacheEntry(const QString& url) {
    QAbstractNetworkCache* cache = browser::sharedNetwork().cache();
    return cache && cache->remove(QUrl(url));
}
