#include "MemoryPageCache.h"

#include <QBuffer>
#include <QDateTime>
#include <optional>

namespace browser {

namespace {

std::optional<QByteArray> header(const QNetworkCacheMetaData& metaData, const QByteArray& name) {
    for (const auto& [key, value] : metaData.rawHeaders())
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

// The network reads a kept page again only while it is fresh or to check it
// with the server; a page with neither a lifetime nor a validator never is.
bool reusable(const QNetworkCacheMetaData& metaData) {
    return metaData.expirationDate().isValid() || metaData.lastModified().isValid() ||
           header(metaData, "etag").has_value();
}

} // namespace

MemoryPageCache::MemoryPageCache(qint64 maximumBytes, QObject* parent)
    : QAbstractNetworkCache(parent), m_maximumBytes(maximumBytes), m_pages(maximumBytes) {}

MemoryPageCache::~MemoryPageCache() {
    qDeleteAll(m_receiving.keyBegin(), m_receiving.keyEnd());
}

QNetworkCacheMetaData MemoryPageCache::metaData(const QUrl& url) {
    const Page* page = m_pages.object(url);
    return page ? page->metaData : QNetworkCacheMetaData();
}

void MemoryPageCache::updateMetaData(const QNetworkCacheMetaData& metaData) {
    if (Page* page = m_pages.object(metaData.url()))
        page->metaData = metaData;
}

QIODevice* MemoryPageCache::data(const QUrl& url) {
    const Page* page = m_pages.object(url);
    if (!page)
        return nullptr;
    auto* device = new QBuffer; // the network takes it over
    device->setData(page->body);
    device->open(QIODevice::ReadOnly);
    return device;
}

bool MemoryPageCache::remove(const QUrl& url) {
    // The network also removes an address to drop a page it is still receiving.
    bool removed = m_pages.remove(url);
    for (auto it = m_receiving.begin(); it != m_receiving.end();) {
        if (it.value().url() == url) {
            delete it.key();
            it = m_receiving.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

qint64 MemoryPageCache::cacheSize() const {
    return m_pages.totalCost();
}

QIODevice* MemoryPageCache::prepare(const QNetworkCacheMetaData& metaData) {
    if (!metaData.isValid() || !metaData.url().isValid() || !metaData.saveToDisk() ||
        !reusable(metaData) ||
        header(metaData, "content-length").value_or("0").toLongLong() > m_maximumBytes)
        return nullptr;
    auto* device = new QBuffer(this);
    device->open(QIODevice::WriteOnly);
    m_receiving.insert(device, metaData);
    return device;
}

void MemoryPageCache::insert(QIODevice* device) {
    // A page whose address was removed while it came in is no longer expected.
    const auto it = m_receiving.find(device);
    if (it == m_receiving.end())
        return;
    auto* page = new Page{it.value(), static_cast<QBuffer*>(device)->data()};
    m_receiving.erase(it);
    delete device;
    m_pages.insert(page->metaData.url(), page, page->body.size()); // drops a page past the limit
}

void MemoryPageCache::clear() {
    m_pages.clear();
}

} // namespace browser
