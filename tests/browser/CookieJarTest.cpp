#include "CookieJar.h"

#include "BrowserLimits.h"
#include "Fixtures.h"

#include <QNetworkCookie>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QUrl kBoard("http://bank.example.org/index.cgi");
const QByteArray kNextCentury = "; Expires=Fri, 01-Jan-2100 00:00:00 GMT";

// Sets the cookies of Set-Cookie lines as the address sends them.
void set(QNetworkCookieJar& jar, const QByteArray& lines, const QUrl& url = kBoard) {
    jar.setCookiesFromUrl(QNetworkCookie::parseCookies(lines), url);
}

QStringList cookieNames(const QNetworkCookieJar& jar, const QUrl& url = kBoard) {
    QStringList names;
    for (const QNetworkCookie& c : jar.cookiesForUrl(url))
        names.append(c.name() + '=' + c.value());
    names.sort();
    return names;
}

bool writeFile(const QString& path, const QByteArray& text, QIODevice::OpenMode mode = {}) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | mode) && file.write(text) == text.size();
}

TEST(BrowserCookieJar, OnlyPersistentCookiesSurviveARestartInAPrivateFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("data/cookies.txt");
    {
        browser::PersistentCookieJar jar(path);
        set(jar, "session=1\nlogin=2" + kNextCentury + "\ngone=3" + kNextCentury);
        set(jar, "gone=3; Expires=Thu, 01-Jan-2015 00:00:00 GMT"); // the server deletes it
        EXPECT_EQ(cookieNames(jar), (QStringList{"login=2", "session=1"}));
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
    EXPECT_EQ(cookieNames(restarted), (QStringList{"fresh=2", "login=2"}));

    // A link in place of the file is never followed: no cookie read nor written through it.
    const QByteArray original = "planted=1; domain=bank.example.org" + kNextCentury + '\n';
    ASSERT_TRUE(writeFile(path, original));
    const QString link = folder.filePath("cookies.txt");
    ASSERT_TRUE(QFile::link(path, link));
    browser::PersistentCookieJar jar(link);
    EXPECT_TRUE(cookieNames(jar).isEmpty());
    set(jar, "login=1" + kNextCentury);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == original);
    EXPECT_EQ(cookieNames(browser::PersistentCookieJar(link)), QStringList{"login=1"});
}

// A cookie set by one address, with its scope, and how many of it another address is sent.
TEST(BrowserCookieJar, IsSentOnlyWhereItsHostMayReach) {
    const char* const kBank = "http://bank.proboards.com/index.cgi";
    const char* const kSibling = "http://evil.proboards.com/";
    const char* const kOrg = "http://bank.example.org/";
    const struct {
        const char *name, *setBy, *readBy;
        QByteArray setCookie;
        int sent;
    } cases[] = {
        {"forum's parent, same board", kBank, kBank, "s=1; Domain=.proboards.com", 1},
        {"parent, other board", kBank, "http://o.proboards.com/", "s=1; Domain=.proboards.com", 0},
        {"sibling for the forum's parent", kSibling, kBank, "s=evil; Domain=proboards.com", 0},
        {"sibling for a board", kSibling, kBank, "s=evil; Domain=bank.proboards.com", 0},
        {"parent by the suffix rule", kOrg, "http://b.example.org/", "s=1; Domain=example.org", 1},
        {"public suffix", "http://a.example.co.uk/", "http://b.co.uk/", "s=1; Domain=co.uk", 0},
        {"4 KB", kOrg, kOrg, "s=" + QByteArray(4095, 'x'), 1},
        {"over 4 KB", kOrg, kOrg, "s=" + QByteArray(4096, 'x'), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath("cookies.txt");
        {
            browser::PersistentCookieJar jar(path);
            set(jar, c.setCookie + kNextCentury, QUrl(c.setBy));
            EXPECT_EQ(jar.cookiesForUrl(QUrl(c.readBy)).size(), c.sent);
        }
        EXPECT_EQ(browser::PersistentCookieJar(path).cookiesForUrl(QUrl(c.readBy)).size(), c.sent);
    }
}

// Cookies c0.. of hosts h0.. set in that order: the newest within the bounds are kept, in the
// jar, after a restart and from a file another program wrote.
TEST(BrowserCookieJar, KeepsTheNewestWithinTheBounds) {
    // Hosts, cookies of each, and the first host and the first cookie of each host kept.
    for (const auto& [hosts, perHost, firstHostKept, firstCookieKept] :
         {std::array{1, 60, 0, 10}, std::array{40, 10, 10, 0}}) {
        SCOPED_TRACE(hosts);
        const auto host = [](int h) {
            return QUrl(QStringLiteral("http://h%1.example.org/").arg(h));
        };
        const auto sent = [&](const QNetworkCookieJar& jar) {
            QStringList names;
            for (int h = 0; h < hosts; ++h)
                names.append(cookieNames(jar, host(h)).join(','));
            return names;
        };
        QTemporaryDir folder;
        QNetworkCookieJar kept; // the cookies expected, in a jar without bounds
        QByteArray lines;
        {
            browser::PersistentCookieJar jar(folder.filePath("cookies.txt"));
            for (int h = 0; h < hosts; ++h)
                for (int i = 0; i < perHost; ++i) {
                    const QByteArray line = "c" + QByteArray::number(i) + "=1" + kNextCentury +
                                            "; Domain=" + host(h).host().toLatin1();
                    set(jar, line, host(h));
                    lines += line + '\n';
                    if (h >= firstHostKept && i >= firstCookieKept)
                        set(kept, line, host(h));
                }
            EXPECT_EQ(sent(jar), sent(kept));
        }
        EXPECT_EQ(sent(browser::PersistentCookieJar(folder.filePath("cookies.txt"))), sent(kept));
        ASSERT_TRUE(writeFile(folder.filePath("elsewhere.txt"), lines));
        EXPECT_EQ(sent(browser::PersistentCookieJar(folder.filePath("elsewhere.txt"))), sent(kept));
    }
}

} // namespace
