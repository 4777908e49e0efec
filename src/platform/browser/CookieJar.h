#pragma once

#include <QNetworkCookieJar>

namespace browser {

// The process's cookies. Cookies with an expiry date are kept in a file that
// only the user can read, so the login survives a restart; session cookies
// live in memory only and die with the process. The file is never read or
// written through a link.
class PersistentCookieJar : public QNetworkCookieJar {
    Q_OBJECT
public:
    explicit PersistentCookieJar(const QString& filePath, QObject* parent = nullptr);

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override;

private:
    void load();
    void save();
    QString m_filePath;
};

} // namespace browser
