#include "CookieJar.h"

#include "BrowserLimits.h"
#include "Fixtures.h"
#include "SharedNetwork.h"

#include <QDateTime>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QUrl kBoard("http://bank.example.org/index.cgi");
const QByteArray kNextCentury = "; Expires=Fri, 01-Jan-2100 00:00:00 GMT";

QNetworkCookie cookie(const char* name, const QDateTime& expires = {}) {
    QNetworkCookie result(name, "value-" + QByteArray(name));
    result.setExpirationDate(expires);
    return result;
}

QStringList cookieNames(const QNetworkCookieJar& jar) {
    QStringList names;
    for (const QNetworkCookie& c : jar.cookiesForUrl(kBoard))
        names.append(c.name() + '=' + c.value());
    names.sort();
    return names;
}

bool writeFile(const QString& path, const QByteArray& text, QIODevice::OpenMode mode = {}) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | mode) && file.write(text) == text.size();
}

TEST(BrowserCookieJar, OnlyPersistentCookiesSurviveARestart) {
    QTemporaryDir folder;
    const QString path = folder.filePath("data/cookies.txt");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        browser::PersistentCookieJar jar(path);
        jar.setCookiesFromUrl(
            {cookie("session"), cookie("login", now.addDays(30)), cookie("gone", now.addDays(30))},
            kBoard);
        jar.setCookiesFromUrl({cookie("gone", now.addDays(-1))}, kBoard); // the server deletes it
        EXPECT_EQ(cookieNames(jar), (QStringList{"login=value-login", "session=value-session"}));
    }
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    // Lines the program did not write: one expired, one damaged.
    ASSERT_TRUE(writeFile(path,
                          "old=1; expires=Thu, 01-Jan-2015 00:00:00 GMT; domain=bank.example.org\n"
                          "\x01\x02 not a cookie\nfresh=2; domain=bank.example.org; path=/" +
                              kNextCentury + '\n',
                          QIODevice::Append));

    const browser::PersistentCookieJar restarted(path);
    EXPECT_EQ(cookieNames(restarted), (QStringList{"fresh=2", "login=value-login"}));
    EXPECT_TRUE(restarted.cookiesForUrl(QUrl("http://other.example.org/")).isEmpty());
}

TEST(BrowserCookieJar, ALinkInPlaceOfTheFileIsNeverFollowed) {
    QStringList log;
    setBrowserLog([&](const QString& line) { log.append(line); });
    const auto restore = qScopeGuard([] { setBrowserLog(nullptr); });
    QTemporaryDir folder;
    const QString target = folder.filePath("elsewhere.txt");
    const QByteArray original = "planted=1; domain=bank.example.org" + kNextCentury + '\n';
    ASSERT_TRUE(writeFile(target, original));
    const QFile::Permissions mode = QFile::permissions(target);
    const QString path = folder.filePath("cookies.txt");
    ASSERT_TRUE(QFile::link(target, path));

    browser::PersistentCookieJar jar(path);
    EXPECT_TRUE(cookieNames(jar).isEmpty());
    jar.setCookiesFromUrl({cookie("login", QDateTime::currentDateTimeUtc().addDays(1))}, kBoard);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original);
    EXPECT_EQ(QFile::permissions(target), mode);
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(cookieNames(browser::PersistentCookieJar(path)), QStringList{"login=value-login"});
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.front().contains(target)) << log.front();
}

int sentTo(const QNetworkCookieJar& jar, const char* url) {
    return int(jar.cookiesForUrl(QUrl(url)).size());
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
    const QString path = folder.filePath("cookies.txt");
    {
        browser::PersistentCookieJar jar(path);
        jar.setCookiesFromUrl(QNetworkCookie::parseCookies(GetParam().setCookie + kNextCentury),
                              QUrl(GetParam().setBy));
        EXPECT_EQ(sentTo(jar, GetParam().readBy), GetParam().sent);
    }
    EXPECT_EQ(sentTo(browser::PersistentCookieJar(path), GetParam().readBy), GetParam().sent);
}

const char* const kBank = "http://bank.proboards.com/index.cgi";
INSTANTIATE_TEST_SUITE_P(
    Browser, CookieScope,
    ::testing::Values(
        ScopeCase{"a board's session for the forum's parent, at the board", kBank,
                  "s=1; Domain=.proboards.com", "http://bank.proboards.com/index.cgi?board=a", 1},
        ScopeCase{"a board's session for the forum's parent, at another board", kBank,
                  "s=1; Domain=.proboards.com", "http://other.proboards.com/index.cgi", 0},
        ScopeCase{"a sibling's cookie for the forum's parent, at a board",
                  "http://evil.proboards.com/", "s=evil; Domain=proboards.com", kBank, 0},
        ScopeCase{"a sibling's cookie for a board", "http://evil.proboards.com/",
                  "s=evil; Domain=bank.proboards.com", kBank, 0},
        ScopeCase{"a cookie for a parent the suffix rule allows", "http://www.example.org/",
                  "s=1; Domain=example.org", "http://mail.example.org/", 1},
        ScopeCase{"a cookie for a public suffix", "http://shop.example.co.uk/", "s=1; Domain=co.uk",
                  "http://bank.co.uk/", 0},
        ScopeCase{"a cookie of 4 KB", "http://bank.example.org/", "s=" + QByteArray(4095, 'x'),
                  "http://bank.example.org/", 1},
        ScopeCase{"a cookie over 4 KB", "http://bank.example.org/", "s=" + QByteArray(4096, 'x'),
                  "http://bank.example.org/", 0}));

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
        const CountCase& c = GetParam();
        for (int h = 0; h < c.hosts; ++h) {
            QStringList names;
            for (const QNetworkCookie& cookie : jar.cookiesForUrl(host(h)))
                names.append(cookie.name());
            names.sort();
            QStringList kept;
            for (int i = h < c.firstHostKept ? c.cookiesPerHost : c.firstCookieKept;
                 i < c.cookiesPerHost; ++i)
                kept.append(QStringLiteral("c%1").arg(i));
            kept.sort();
            EXPECT_EQ(names, kept) << "host " << h;
        }
    }
};

TEST_P(CookieCount, KeepsTheNewestWithinTheBounds) {
    QTemporaryDir folder;
    const QString path = folder.filePath("cookies.txt");
    {
        browser::PersistentCookieJar jar(path);
        forEachCookie([&](const QUrl& url, const QByteArray& line) {
            jar.setCookiesFromUrl(QNetworkCookie::parseCookies(line), url);
        });
        expectTheNewestKept(jar);
    }
    expectTheNewestKept(browser::PersistentCookieJar(path));

    QByteArray written; // by another program
    forEachCookie([&](const QUrl&, const QByteArray& line) { written += line + '\n'; });
    ASSERT_TRUE(writeFile(folder.filePath("elsewhere.txt"), written));
    expectTheNewestKept(browser::PersistentCookieJar(folder.filePath("elsewhere.txt")));
}

static_assert(browser::kMaxCookiesPerHost == 50 && browser::kMaxCookies == 300);
INSTANTIATE_TEST_SUITE_P(Browser, CookieCount,
                         ::testing::Values(CountCase{"60 from one host", 1, 60, 0, 10},
                                           CountCase{"400 from 40 hosts", 40, 10, 10, 0}));

} // namespace
