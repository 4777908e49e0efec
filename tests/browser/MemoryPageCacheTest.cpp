#include "MemoryPageCache.h"

#include "QtPrinting.h"

#include <QDateTime>
#include <QIODevice>
#include <QNetworkCacheMetaData>
#include <gtest/gtest.h>
#include <memory>

using browser::MemoryPageCache;

namespace {

// A page that the server lets browsers reuse for an hour.
QNetworkCacheMetaData page(const char* path) {
    QNetworkCacheMetaData metaData;
    metaData.setUrl(QUrl("http://bank.example.org" + QLatin1String(path)));
    metaData.setExpirationDate(QDateTime::currentDateTimeUtc().addSecs(3600));
    return metaData;
}

// Stores a page the way the network does: prepare, write, insert.
void store(MemoryPageCache& cache, const char* path, const QByteArray& body) {
    QIODevice* device = cache.prepare(page(path));
    ASSERT_NE(device, nullptr) << path;
    device->write(body);
    cache.insert(device);
}

QByteArray read(MemoryPageCache& cache, const char* path) {
    const std::unique_ptr<QIODevice> device(cache.data(page(path).url()));
    return device ? device->readAll() : QByteArray("(none)");
}

} // namespace

TEST(MemoryPageCache, KeepsPagesUntilTheyAreRemovedOrCrowdedOut) {
    MemoryPageCache cache(10);
    store(cache, "/a", "aaaa");
    store(cache, "/b", "bbbb");
    EXPECT_EQ(read(cache, "/a"), "aaaa");
    store(cache, "/c", "cccc"); // past the limit: /b was used least recently
    store(cache, "/huge", "more than ten bytes");
    EXPECT_EQ(read(cache, "/a") + read(cache, "/b") + read(cache, "/c") + read(cache, "/huge") +
                  QByteArray::number(cache.cacheSize()),
              "aaaa(none)cccc(none)8");
    EXPECT_TRUE(cache.remove(page("/a").url()) && !cache.remove(page("/a").url())); // once
    EXPECT_EQ(read(cache, "/a") + read(cache, "/c"), "(none)cccc");

    QIODevice* partial = cache.prepare(page("/d"));
    ASSERT_NE(partial, nullptr);
    partial->write("part");
    EXPECT_TRUE(cache.remove(page("/d").url()));
    cache.insert(partial); // the network may still hand it over; it is gone
    EXPECT_EQ(read(cache, "/d"), "(none)");
}

TEST(MemoryPageCache, KeepsOnlyPagesThatMayBeReused) {
    const struct {
        const char* what;
        bool lifetime; // an expiry date an hour ahead
        QDateTime changed;
        QNetworkCacheMetaData::RawHeaderList headers;
        bool mayStore, kept;
    } cases[] = {
        {"a lifetime", true, {}, {}, true, true},
        {"a date of change", false, QDateTime::currentDateTimeUtc().addDays(-1), {}, true, true},
        {"an entity tag", false, {}, {{"ETag", "\"v1\""}}, true, true},
        {"neither a lifetime nor a validator", false, {}, {}, true, false},
        {"a ban on storing", true, {}, {}, false, false},
        {"more bytes than the cache holds", true, {}, {{"Content-Length", "101"}}, true, false},
    };
    for (const auto& c : cases) {
        QNetworkCacheMetaData metaData = page("/a");
        if (!c.lifetime)
            metaData.setExpirationDate({});
        metaData.setLastModified(c.changed);
        metaData.setRawHeaders(c.headers);
        metaData.setSaveToDisk(c.mayStore);
        MemoryPageCache cache(100);
        EXPECT_EQ(cache.prepare(metaData) != nullptr, c.kept) << c.what;
    }
}
