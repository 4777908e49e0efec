#include "MemoryPageCache.h"

#include "QtPrinting.h"

#include <QDateTime>
#include <QIODevice>
#include <QNetworkCacheMetaData>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using browser::MemoryPageCache;

namespace {

// A page that the server lets browsers reuse for an hour.
QNetworkCacheMetaData page(const char* path) {
    QNetworkCacheMetaData metaData;
    metaData.setUrl(QUrl(QStringLiteral("http://bank.example.org") + QLatin1String(path)));
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
    EXPECT_EQ(read(cache, "/b"), "(none)");
    EXPECT_EQ(read(cache, "/a"), "aaaa");
    EXPECT_EQ(cache.cacheSize(), 8);
    store(cache, "/huge", "more than ten bytes");
    EXPECT_EQ(read(cache, "/huge"), "(none)");
    EXPECT_TRUE(cache.remove(page("/a").url()));
    EXPECT_FALSE(cache.remove(page("/a").url()));
    EXPECT_EQ(read(cache, "/a"), "(none)");
    EXPECT_EQ(read(cache, "/c"), "cccc");
}

TEST(MemoryPageCache, APageRemovedWhileItCameInIsNotKept) {
    MemoryPageCache cache(100);
    QIODevice* device = cache.prepare(page("/a"));
    ASSERT_NE(device, nullptr);
    device->write("partial");
    EXPECT_TRUE(cache.remove(page("/a").url()));
    cache.insert(device); // the network may still hand it over; it is gone
    EXPECT_EQ(read(cache, "/a"), "(none)");
}

TEST(MemoryPageCache, KeepsOnlyPagesThatMayBeReused) {
    // The page as the server describes it, from a page with a lifetime.
    const auto described = [](const std::function<void(QNetworkCacheMetaData&)>& change) {
        QNetworkCacheMetaData metaData = page("/a");
        change(metaData);
        return metaData;
    };
    const auto noLifetime = [](QNetworkCacheMetaData& m) {
        m.setExpirationDate({});
    };
    const struct {
        const char* what;
        QNetworkCacheMetaData metaData;
        bool kept;
    } cases[] = {
        {"a lifetime", page("/a"), true},
        {"a date of change", described([&](QNetworkCacheMetaData& m) {
             noLifetime(m);
             m.setLastModified(QDateTime::currentDateTimeUtc().addDays(-1));
         }),
         true},
        {"an entity tag", described([&](QNetworkCacheMetaData& m) {
             noLifetime(m);
             m.setRawHeaders({{"ETag", "\"v1\""}});
         }),
         true},
        {"neither a lifetime nor a validator", described(noLifetime), false},
        {"a ban on storing", described([](QNetworkCacheMetaData& m) { m.setSaveToDisk(false); }),
         false},
        {"more bytes than the cache holds", described([](QNetworkCacheMetaData& m) {
             m.setRawHeaders({{"Content-Length", "101"}});
         }),
         false},
    };
    for (const auto& c : cases) {
        MemoryPageCache cache(100);
        EXPECT_EQ(cache.prepare(c.metaData) != nullptr, c.kept) << c.what;
    }
}
