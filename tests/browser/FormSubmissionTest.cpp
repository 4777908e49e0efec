#include "CookieJar.h"
#include "LoopbackServer.h"

#include <QNetworkCookie>
#include <QTextBrowser>
#include <gtest/gtest.h>
#include <mutex>

namespace {

struct Received {
    std::string method;
    std::string target; // path and query as sent
    std::string contentType;
    std::string body;
};

class BrowserForms : public BrowserTest {
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
            // A server that echoes the password into the address it sends the browser on to.
            if (request.path == "/leak")
                response.set_redirect("/broken?pw=" + request.get_param_value("pw") +
                                      "&username=" + request.get_param_value("username"));
        };
        routes.Get("/echo", record);
        routes.Post("/echo", record);
        routes.Post("/leak", record);
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
            response.set_content("<p>Sent " + request.get_header_value("Cookie"), "text/html");
        });
        m_server.start();
        BrowserTest::SetUp();
    }

    // Serves the markup as a windows-1252 page and opens it.
    void open(WebBrowser& browser, const QString& markup) {
        ASSERT_TRUE(navigateAndWait(browser, m_server.url("/form?markup=") +
                                                 QUrl::toPercentEncoding(markup)));
    }

    Received received() {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

    std::mutex m_mutex;
    Received m_received;
};

struct SubmitCase {
    const char* name;
    const char* form;  // the form f of a windows-1252 page
    const char* typed; // into its field with the id "typed", if any
    const char* method;
    const char* target; // as the server received it
    const char* body;
    const char* logged = nullptr; // in the one line of the log; none if null
};

void PrintTo(const SubmitCase& submit, std::ostream* out) {
    *out << submit.name;
}

class FormSent : public BrowserForms, public ::testing::WithParamInterface<SubmitCase> {};

TEST_P(FormSent, SendsWhatTheFormHolds) {
    const SubmitCase& c = GetParam();
    WebBrowser browser;
    open(browser, QString::fromUtf8(c.form));
    EXPECT_EQ(browser.Document().charset(), "windows-1252");
    if (c.typed)
        browser.Document().getElementById("typed").setValue(QString::fromUtf8(c.typed));
    ASSERT_TRUE(completes(browser, [&] {
        ASSERT_TRUE(browser.Document().forms("f").submit());
        EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    }));
    const Received request = received();
    EXPECT_EQ(request.method, c.method);
    EXPECT_EQ(request.target, c.target);
    EXPECT_EQ(request.body, c.body);
    EXPECT_EQ(request.contentType,
              request.method == "POST" ? "application/x-www-form-urlencoded" : "");
    if (!c.logged) {
        EXPECT_EQ(browser.LocationName(), "Received");
        EXPECT_EQ(m_log, QStringList());
        return;
    }
    ASSERT_EQ(m_log.size(), 1);
    EXPECT_TRUE(m_log.front().contains(c.logged)) << m_log.front();
    EXPECT_FALSE(m_log.front().contains("s3cret")) << m_log.front();
}

INSTANTIATE_TEST_SUITE_P(
    Browser, FormSent,
    ::testing::Values(
        SubmitCase{"a post in the page charset",
                   "<form name=f method=POST action=echo><input type=hidden name=nextaction "
                   "value=post><select name=coin><option>galleon<option selected>sickle</select>"
                   "<textarea id=typed name=message></textarea>"
                   "<input type=submit name=go value=Send></form>",
                   "caf\xc3\xa9 \xe2\x82\xac\n\xe4\xb8\xad", "POST", "/echo",
                   "nextaction=post&coin=sickle&message=caf%E9+%80%0D%0A%26%2320013%3B"},
        SubmitCase{"a get replaces the query of the action",
                   "<form id=f action='echo?stale=1'><input name=q value='a&b c'>"
                   "<input type=checkbox name=unchecked></form>",
                   nullptr, "GET", "/echo?q=a%26b+c", ""},
        SubmitCase{"a password is posted and masked in the log",
                   "<form name=f method=get action='leak?from=form'><input name=username "
                   "value=teller><input type=password id=typed name=pw></form>",
                   "s3cret!", "POST", "/leak?from=form", "username=teller&pw=s3cret%21",
                   "/broken?pw=***&username=teller"}));

TEST_F(BrowserForms, LoginIsSharedByEveryBrowserAndOutlivesTheSession) {
    WebBrowser login;
    open(login, "<form name=loginform method=post action=login><input name=username value=teller>");
    ASSERT_TRUE(completes(login, [&] { login.Document().forms("loginform").submit(); }));
    EXPECT_TRUE(login.Document().body().innerText().contains("session=teller"));

    WebBrowser other;
    other.Navigate(m_server.url("/whoami"), WebBrowser::navOpenInNewWindow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !other.Busy(); }, 20'000));
    ASSERT_EQ(pageViewers().size(), 1);
    const auto* page = pageViewers().front()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains("session=teller")) << page->toPlainText();

    // What a restart finds: only the cookie with an expiry date.
    const QList<QNetworkCookie> kept = browser::PersistentCookieJar(browser::cookieFilePath())
                                           .cookiesForUrl(m_server.url("/whoami"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.front().name(), "remember");
}

} // namespace
