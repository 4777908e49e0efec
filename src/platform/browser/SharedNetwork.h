#pragma once

#include <QString>
#include <functional>

class QNetworkAccessManager;

namespace browser {

// The one network access manager of the process: every WebBrowser shares its
// cookies (the forum login), its page cache and its proxy settings.
QNetworkAccessManager& sharedNetwork();

// Sends every browser of the process through the HTTP proxy on this loopback port.
void routeThroughLoopbackProxy(quint16 port);

// Lets every browser of the process take its proxies from the environment again.
void routeThroughSystemProxies();

// Where the persistent cookies of the process are kept.
QString cookieFilePath();

void logBrowserFailure(const QString& message);

} // namespace browser

// Receives every page that could not be fetched and every private file that was
// refused; the program sends it to its log.
void setBrowserLog(std::function<void(const QString&)> log);

// Removes the cached copy of an address; true when there was one.
bool DeleteUrlCacheEntry(const QString& url);
