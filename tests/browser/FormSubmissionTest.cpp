#include "CookieJar.h"
#include "LoopbackServer.h"
#include "SharedNetwork.h"

#include <QApplication>
#include <QFile>
#include <QNetworkCookie>
#include <QScopeGuard>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>

namespace {

struct Received {
    std::string method;
    std::string target; // path and query as sent
    std::string contentType;
    std::string body;
};

class BrowserForms : public ::testing::Test {
protected:
    void SetUp() override {
        httplib::Server& routes = m_server.server();
        routes.Get("/form", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.get_param_value("markup"),
                                 "text/html; charset=windows-1252");
        });
        const auto record = [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(m_mutex);
            m_received = {request.method, request.target, request.get_header_value("Content-Type"),
                          request.body};
            response.set_content("<title>Received</title>", "text/html");
        };
        routes.Get("/echo", record);
        routes.Post("/echo", record);
        // A server that echoes the password into the address it sends the browser on to.
        routes.Post("/leak", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(m_mutex);
            m_received = {request.method, request.target, request.get_header_value("Content-Type"),
                          request.body};
            response.set_redirect("/broken?pw=" + request.get_param_value("pw") +
                                  "&username=" + request.get_param_value("username"));
        });
        routes.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
        });
        routes.Post("/login", [](const httplib::Request& request, httplib::Response& response) {
            const std::string user = request.get_param_value("username");
            response.set_header("Set-Cookie", "session=" + user + "; Path=/");
            response.set_header("Set-Cookie", "remember=" + user + "; Max-Age=3600; Path=/");
            response.set_redirect("/whoami", 302);
        });
        routes.Get("/whoami", [](const httplib::Request& request, httplib::Response& response) {
            const std::string cookies = request.get_header_value("Cookie");
            const auto at = cookies.find("session=");
            const std::string user = at == std::string::npos
                                         ? "Guest"
                                         : cookies.substr(at + 8, cookies.find(';', at) - at - 8);
            response.set_content("<script>var pb_username = \"" + user +
                                     "\";</script><p>Logged in as " + user + "</p>",
                                 "text/html");
        });
        m_server.start();
    }
    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets())
            delete window;
    }

    // Serves the markup as a windows-1252 page and opens it.
    void open(WebBrowser& browser, const QString& markup) {
        ASSERT_TRUE(
            navigateAndWait(browser, m_server.url(QStringLiteral("/form?markup=")) +
                                         QString::fromLatin1(QUrl::toPercentEncoding(markup))));
    }

    Received received() {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

    LoopbackServer m_server;
    std::mutex m_mutex;
    Received m_received;
};

TEST_F(BrowserForms, PostSendsTheSuccessfulControlsInThePageCharset) {
    WebBrowser browser;
    open(browser,
         QString::fromUtf8("<form name=postForm method=POST action=echo>"
                           "<input type=hidden name=nextaction value=post>"
                           "<select name=coin><option>galleon<option selected>sickle</select>"
                           "<textarea id=message name=message></textarea>"
                           "<input type=submit name=go value=Send></form>"));
    EXPECT_EQ(browser.Document().charset(), QStringLiteral("windows-1252"));
    browser.Document()
        .getElementById(QStringLiteral("message"))
        .setValue(QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac\n\xe4\xb8\xad"));
    ASSERT_TRUE(browser.Document().forms(QStringLiteral("postForm")).submit());
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    ASSERT_TRUE(waitForCompletion(browser));
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Received"));
    const Received request = received();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(request.body, "nextaction=post&coin=sickle&message=caf%E9+%80%0D%0A%26%2320013%3B");
}

TEST_F(BrowserForms, GetReplacesTheQueryOfTheAction) {
    WebBrowser browser;
    open(browser,
         QStringLiteral("<form id=search action='echo?stale=1'><input name=q value='a&b c'>"
                        "<input type=checkbox name=unchecked></form>"));
    ASSERT_TRUE(browser.Document().forms(QStringLiteral("search")).submit());
    ASSERT_TRUE(waitForCompletion(browser));
    EXPECT_EQ(received().method, "GET");
    EXPECT_EQ(received().target, "/echo?q=a%26b+c");
}

TEST_F(BrowserForms, PasswordsAreAlwaysPostedAndNeverLogged) {
    QStringList log;
    setBrowserLog([&](const QString& line) { log.append(line); });
    const auto restore = qScopeGuard([] { setBrowserLog(nullptr); });
    WebBrowser browser;
    open(browser, QStringLiteral("<form name=loginform method=get action='leak?from=form'>"
                                 "<input name=username value=teller>"
                                 "<input type=password name=pw></form>"));
    browser.Document()
        .forms(QStringLiteral("loginform"))
        .field(QStringLiteral("pw"))
        .setValue(QStringLiteral("s3cret!"));
    ASSERT_TRUE(browser.Document().forms(QStringLiteral("loginform")).submit());
    ASSERT_TRUE(waitForCompletion(browser));
    const Received request = received();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/leak?from=form");
    EXPECT_EQ(request.body, "username=teller&pw=s3cret%21");
    ASSERT_EQ(log.size(), 1);
    EXPECT_FALSE(log.front().contains(QStringLiteral("s3cret"))) << log.front().toStdString();
    EXPECT_TRUE(log.front().contains(QStringLiteral("/broken?pw=***&username=teller")))
        << log.front().toStdString();
}

TEST_F(BrowserForms, LoginIsSharedByEveryBrowserAndOutlivesTheSession) {
    WebBrowser login;
    open(login,
         QStringLiteral(
             "<table><form name=loginform method=post action=login><tr><td>"
             "<input id=username name=username><input id=password type=password name=password>"
             "</td></tr></form></table>"));
    login.Document().getElementById(QStringLiteral("username")).setValue(QStringLiteral("teller"));
    login.Document().getElementById(QStringLiteral("password")).setValue(QStringLiteral("teller"));
    ASSERT_TRUE(login.Document().forms(QStringLiteral("loginform")).submit());
    ASSERT_TRUE(waitForCompletion(login));
    EXPECT_EQ(login.Document().scriptVariable(QStringLiteral("pb_username")),
              QStringLiteral("teller"));

    WebBrowser other;
    ASSERT_TRUE(navigateAndWait(other, m_server.url(QStringLiteral("/whoami"))));
    EXPECT_EQ(other.Document().scriptVariable(QStringLiteral("pb_username")),
              QStringLiteral("teller"));

    other.Navigate(m_server.url(QStringLiteral("/whoami")), WebBrowser::navOpenInNewWindow);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return other.ReadyState() == WebBrowser::ReadyStateComplete; }, 20'000));
    ASSERT_EQ(pageViewers().size(), 1);
    const auto* page = pageViewers().front()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("Logged in as teller")));

    // What a restart finds: only the cookie with an expiry date, in a file only the user may read.
    const QString path = browser::cookieFilePath();
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const browser::PersistentCookieJar restarted(path);
    const QList<QNetworkCookie> kept =
        restarted.cookiesForUrl(QUrl(m_server.url(QStringLiteral("/whoami"))));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.front().name(), QByteArray("remember"));
}

} // namespace
