#include "CookieJar.h"

#include "QtPrinting.h"
#include "SharedNetwork.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QScopeGuard>
#include <QTemporaryDir>
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

} // namespace
