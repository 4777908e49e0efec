#pragma once

#include <QAbstractNetworkCache>
#include <QCache>
#include <QHash>
#include <QUrl>

namespace browser {

// The pages of the process kept in memory, so that a page the server lets
// browsers reuse is not fetched again until its entry is deleted; a page it
// does not is not kept at all. It holds at most a given number of bytes of
// page bodies and drops the least recently used pages past that.
class MemoryPageCache : public QAbstractNetworkCache {
    Q_OBJECT
public:
    explicit MemoryPageCache(qint64 maximumBytes, QObject* parent = nullptr);
    ~MemoryPageCache() override;

    QNetworkCacheMetaData metaData(const QUrl& url) override;
    void updateMetaData(const QNetworkCacheMetaData& metaData) override;
    QIODevice* data(const QUrl& url) override;
    bool remove(const QUrl& url) override;
    qint64 cacheSize() const override;
    QIODevice* prepare(const QNetworkCacheMetaData& metaData) override;
    void insert(QIODevice* device) override;

public slots:
    void clear() override;

private:
    struct Page {
        QNetworkCacheMetaData metaData;
        QByteArray body;
    };

    qint64 m_maximumBytes;
    QCache<QUrl, Page> m_pages; // the cost of a page is its body's size
    // Pages being received, by the device the network writes them into.
    QHash<QIODevice*, QNetworkCacheMetaData> m_receiving;
};

} // namespace browser
