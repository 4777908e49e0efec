#include "CookieJar.h"

#include "BrowserLimits.h"
#include "QtPrinting.h"
#include "SharedNetwork.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QUrl kBoard(QStringLiteral("http://bank.example.org/index.cgi"));

QNetworkCookie cookie(const char* name, const QDateTime& expires = {}) {
    QNetworkCookie result(name, "value-" + QByteArray(name));
    if (expires.isValid())
        result.setExpirationDate(expires);
    return result;
}

QStringList cookieNames(const QNetworkCookieJar& jar) {
    QStringList names;
    for (const QNetworkCookie& c : jar.cookiesForUrl(kBoard))
        names.append(QString::fromLatin1(c.name()));
    names.sort();
    return names;
}

TEST(BrowserCookieJar, OnlyPersistentCookiesSurviveARestart) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("data/cookies.txt"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        browser::PersistentCookieJar jar(path);
        jar.setCookiesFromUrl(
            {cookie("session"), cookie("login", now.addDays(30)), cookie("gone", now.addDays(30))},
            kBoard);
        jar.setCookiesFromUrl({cookie("gone", now.addDays(-1))}, kBoard); // the server deletes it
        EXPECT_EQ(cookieNames(jar),
                  (QStringList{QStringLiteral("login"), QStringLiteral("session")}));
    }
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("session"));

    const browser::PersistentCookieJar restarted(path);
    EXPECT_EQ(cookieNames(restarted), QStringList{QStringLiteral("login")});
    const QList<QNetworkCookie> kept = restarted.cookiesForUrl(kBoard);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.front().value(), QByteArray("value-login"));
    EXPECT_TRUE(
        restarted.cookiesForUrl(QUrl(QStringLiteral("http://other.example.org/"))).isEmpty());
}

TEST(BrowserCookieJar, ExpiredAndDamagedLinesAreIgnoredOnLoad) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cookies.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old=1; expires=Thu, 01-Jan-2015 00:00:00 GMT; domain=bank.example.org; path=/\n"
               "\x01\x02 not a cookie\n"
               "fresh=2; expires=Fri, 01-Jan-2100 00:00:00 GMT; domain=bank.example.org; path=/\n");
    file.close();
    const browser::PersistentCookieJar jar(path);
    EXPECT_EQ(cookieNames(jar), QStringList{QStringLiteral("fresh")});
}

TEST(BrowserCookieJar, ALinkInPlaceOfTheFileIsNeverFollowed) {
    QStringList log;
    setBrowserLog([&](const QString& line) { log.append(line); });
    const auto restore = qScopeGuard([] { setBrowserLog(nullptr); });
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("elsewhere.txt"));
    const QByteArray original =
        "planted=1; expires=Fri, 01-Jan-2100 00:00:00 GMT; domain=bank.example.org; path=/\n";
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    const QFile::Permissions mode = QFile::permissions(target);
    const QString path = folder.filePath(QStringLiteral("cookies.txt"));
    ASSERT_TRUE(QFile::link(target, path));

    browser::PersistentCookieJar jar(path);
    EXPECT_TRUE(cookieNames(jar).isEmpty());
    jar.setCookiesFromUrl({cookie("login", QDateTime::currentDateTimeUtc().addDays(1))}, kBoard);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original);
    EXPECT_EQ(QFile::permissions(target), mode);
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(cookieNames(browser::PersistentCookieJar(path)), QStringList{"login"});
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.front().contains(target)) << log.front().toStdString();
}

const QByteArray kNextCentury = "; Expires=Fri, 01-Jan-2100 00:00:00 GMT";

int sentTo(const QNetworkCookieJar& jar, const char* url) {
    return int(jar.cookiesForUrl(QUrl(QString::fromLatin1(url))).size());
}

struct ScopeCase {
    const char* name;
    const char* setBy;
    QByteArray setCookie;
    const char* readBy;
    int sent;
};

void PrintTo(const ScopeCase& scope, std::ostream* out) {
    *out << scope.name;
}

class CookieScope : public ::testing::TestWithParam<ScopeCase> {};

TEST_P(CookieScope, IsSentOnlyWhereItsHostMayReach) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cookies.txt"));
    {
        browser::PersistentCookieJar jar(path);
        jar.setCookiesFromUrl(QNetworkCookie::parseCookies(GetParam().setCookie + kNextCentury),
                              QUrl(QString::fromLatin1(GetParam().setBy)));
        EXPECT_EQ(sentTo(jar, GetParam().readBy), GetParam().sent);
    }
    EXPECT_EQ(sentTo(browser::PersistentCookieJar(path), GetParam().readBy), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(
    Browser, CookieScope,
    ::testing::Values(ScopeCase{"a board's session for the forum's parent, at the board",
                                "http://bank.proboards.com/index.cgi", "s=1; Domain=.proboards.com",
                                "http://bank.proboards.com/index.cgi?board=a", 1},
                      ScopeCase{"a board's session for the forum's parent, at another board",
                                "http://bank.proboards.com/index.cgi", "s=1; Domain=.proboards.com",
                                "http://other.proboards.com/index.cgi", 0},
                      ScopeCase{"a sibling's cookie for the forum's parent, at a board",
                                "http://evil.proboards.com/", "s=evil; Domain=proboards.com",
                                "http://bank.proboards.com/index.cgi", 0},
                      ScopeCase{"a sibling's cookie for a board", "http://evil.proboards.com/",
                                "s=evil; Domain=bank.proboards.com", "http://bank.proboards.com/",
                                0},
                      ScopeCase{"a cookie for a parent the suffix rule allows",
                                "http://www.example.org/", "s=1; Domain=example.org",
                                "http://mail.example.org/", 1},
                      ScopeCase{"a cookie for a public suffix", "http://shop.example.co.uk/",
                                "s=1; Domain=co.uk", "http://bank.co.uk/", 0},
                      ScopeCase{"a cookie of 4 KB", "http://bank.example.org/",
                                "s=" + QByteArray(4095, 'x'), "http://bank.example.org/", 1},
                      ScopeCase{"a cookie over 4 KB", "http://bank.example.org/",
                                "s=" + QByteArray(4096, 'x'), "http://bank.example.org/", 0}));

struct CountCase {
    const char* name;
    int hosts;
    int cookiesPerHost;
    int firstHostKept;
    int firstCookieKept; // of each host kept
};

void PrintTo(const CountCase& count, std::ostream* out) {
    *out << count.name;
}

class CookieCount : public ::testing::TestWithParam<CountCase> {
protected:
    static QUrl host(int index) {
        return QUrl(QStringLiteral("http://h%1.example.org/").arg(index));
    }
    // The cookies in the order they are set, each with its line in the file.
    static void forEachCookie(const std::function<void(const QUrl&, const QByteArray&)>& visit) {
        for (int h = 0; h < GetParam().hosts; ++h) {
            for (int c = 0; c < GetParam().cookiesPerHost; ++c)
                visit(host(h), "c" + QByteArray::number(c) + "=1" + kNextCentury +
                                   "; Domain=" + host(h).host().toLatin1());
        }
    }
    static void expectTheNewestKept(const QNetworkCookieJar& jar) {
        for (int h = 0; h < GetParam().hosts; ++h) {
            const QList<QNetworkCookie> cookies = jar.cookiesForUrl(host(h));
            if (h < GetParam().firstHostKept) {
                EXPECT_TRUE(cookies.isEmpty()) << h;
                continue;
            }
            ASSERT_EQ(cookies.size(), GetParam().cookiesPerHost - GetParam().firstCookieKept) << h;
            QList<QByteArray> names;
            for (const QNetworkCookie& cookie : cookies)
                names.append(cookie.name());
            EXPECT_TRUE(names.contains("c" + QByteArray::number(GetParam().firstCookieKept)));
            EXPECT_TRUE(names.contains("c" + QByteArray::number(GetParam().cookiesPerHost - 1)));
        }
    }
};

TEST_P(CookieCount, KeepsTheNewestWithinTheBounds) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("cookies.txt"));
    {
        browser::PersistentCookieJar jar(path);
        forEachCookie([&](const QUrl& url, const QByteArray& line) {
            jar.setCookiesFromUrl(QNetworkCookie::parseCookies(line), url);
        });
        expectTheNewestKept(jar);
    }
    expectTheNewestKept(browser::PersistentCookieJar(path));

    QFile file(folder.filePath(QStringLiteral("written-elsewhere.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    forEachCookie([&](const QUrl&, const QByteArray& line) { file.write(line + '\n'); });
    file.close();
    expectTheNewestKept(browser::PersistentCookieJar(file.fileName()));
}

static_assert(browser::kMaxCookiesPerHost == 50 && browser::kMaxCookies == 300);
INSTANTIATE_TEST_SUITE_P(Browser, CookieCount,
                         ::testing::Values(CountCase{"60 from one host", 1, 60, 0, 10},
                                           CountCase{"400 from 40 hosts", 40, 10, 10, 0}));

} // namespace
