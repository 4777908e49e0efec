#include "LoggableAddress.h"

#include <QUrlQuery>

namespace browser {

QString loggableAddress(QUrl url, const QStringList& secretFields) {
    const QString mask = QStringLiteral("***");
    if (!url.password().isEmpty())
        url.setPassword(mask);
    QUrlQuery query(url);
    QList<std::pair<QString, QString>> items = query.queryItems(QUrl::FullyEncoded);
    bool masked = false;
    for (auto& [name, value] : items) {
        if (secretFields.contains(QUrl::fromPercentEncoding(name.toLatin1()))) {
            value = mask;
            masked = true;
        }
    }
    if (masked) {
        query.setQueryItems(items);
        url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    }
    return url.toString();
}

} // namespace browser
