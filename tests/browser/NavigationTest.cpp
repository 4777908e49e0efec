#include "CookieJar.h"
#include "LoopbackServer.h"
#include "PageLoader.h"

#include <QLineEdit>
#include <QNetworkCookie>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBrowser>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <random>

namespace {

const QString kErrorTitle = "An Error Has Occurred";

std::string noise(size_t size) {
    std::mt19937 random(size);
    std::string text(size, ' ');
    for (char& c : text)
        c = char('!' + random() % 90);
    return text;
}

struct Received {
    std::string method;
    std::string target; // path and query as sent
    std::string contentType;
    std::string body;
};

class BrowserNavigation : public BrowserTest {
protected:
    void SetUp() override {
        httplib::Server& routes = m_server.server();
        m_server.servePage("/page", "<title>Page</title><p>content</p>");
        routes.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("text/html", [this](size_t offset,
                                                                      httplib::DataSink& sink) {
                if (offset == 0) {
                    sink.write("<title>Slow</title>", 19);
                    return true;
                }
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                while (!m_release && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::yield();
                sink.write("<p>done</p>", 11);
                sink.done();
                return true;
            });
        });
        routes.Get(R"(/redirect/(\d+))",
                   [](const httplib::Request& request, httplib::Response& response) {
                       const int left = std::stoi(request.matches[1]);
                       if (left == 0)
                           response.set_content("<title>Arrived</title>arrived", "text/html");
                       else
                           response.set_redirect("/redirect/" + std::to_string(left - 1));
                   });
        routes.Get("/to-file", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("file:///etc/passwd");
        });
        routes.Get("/status500", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
            response.set_content("<title>Internal</title>", "text/html");
        });
        // Noise, so that compression cannot shrink it below the limit.
        m_server.servePage("/huge", noise(16 * 1024 * 1024 + 1));
        routes.Get("/huge-stream", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("text/html",
                                                  [](size_t offset, httplib::DataSink& sink) {
                                                      const std::string block = noise(1024 * 1024);
                                                      sink.write(block.data(), block.size());
                                                      if (offset > 20u * 1024 * 1024)
                                                          sink.done();
                                                      return true;
                                                  });
        });
        m_server.servePage("/complex", many("<div>", 100'000).toStdString());
        routes.Get("/cached", [this](const httplib::Request&, httplib::Response& response) {
            ++m_cachedHits;
            response.set_header("Cache-Control", "max-age=3600");
            response.set_content("<title>Cached " + std::to_string(m_cachedHits) + "</title>",
                                 "text/html");
        });
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
        routes.Post("/echo", record);
        routes.Post("/leak", record);
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

    QString url(const char* path) const { return m_server.url(path); }

    // Serves the markup as a windows-1252 page and opens it.
    void open(WebBrowser& browser, const QString& markup) {
        ASSERT_TRUE(navigateAndWait(browser, m_server.url("/form?markup=") +
                                                 QUrl::toPercentEncoding(markup)));
    }

    Received received() {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

    std::atomic<bool> m_release = false;
    std::atomic<int> m_cachedHits = 0;
    std::mutex m_mutex;
    Received m_received;
};

TEST_F(BrowserNavigation, ReadyStateMovesLikeABrowsersAndCompletesOncePerPage) {
    WebBrowser browser;
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateUninitialized);
    EXPECT_FALSE(browser.Busy());

    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    int stateAtNotice = -1;
    bool busyAtNotice = true;
    QObject::connect(&browser, &WebBrowser::DocumentComplete, &browser, [&] {
        stateAtNotice = browser.ReadyState();
        busyAtNotice = browser.Busy();
    });
    browser.Navigate(url("/slow"));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    EXPECT_TRUE(browser.Busy());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return browser.ReadyState() == WebBrowser::ReadyStateLoaded; }, 20'000));
    EXPECT_TRUE(browser.Busy());
    EXPECT_EQ(complete.count(), 0);

    m_release = true;
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(stateAtNotice, WebBrowser::ReadyStateComplete);
    EXPECT_FALSE(busyAtNotice);
    EXPECT_EQ(complete.takeFirst(), (QList<QVariant>{url("/slow"), true}));
    EXPECT_EQ(browser.LocationURL(), url("/slow"));
    EXPECT_EQ(browser.LocationName(), "Slow");
    EXPECT_EQ(browser.Document().body().innerText(), "done");

    browser.Navigate(url("/slow"));
    browser.Navigate(url("/page")); // supersedes the page in flight
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(browser.LocationName(), "Page");
    EXPECT_FALSE(complete.wait(300)); // exactly one notice per page
    EXPECT_EQ(complete.count(), 1);
}

TEST_F(BrowserNavigation, AboutPagesCompleteAsynchronously) {
    WebBrowser browser;
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate("about:blank");
    EXPECT_EQ(complete.count(), 0);
    EXPECT_TRUE(browser.Busy());
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(browser.LocationURL(), "about:blank");
    browser.Document().write("<html><body><p>written</p></body></html>");
    EXPECT_EQ(browser.Document().body().innerText(), "written");

    browser.Navigate("about:home");
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(complete.last(), (QList<QVariant>{"about:home", true}));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
}

// A server on loopback that misbehaves below HTTP.
class SocketServer : public QTcpServer {
public:
    enum class Fault { Refuse, Drop, Silence, Drip };

    explicit SocketServer(Fault fault) : m_fault(fault) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
        listen(QHostAddress::LocalHost);
        m_url = QStringLiteral("http://127.0.0.1:%1/").arg(serverPort());
        if (fault == Fault::Refuse)
            close();
    }
    QString url() const { return m_url; }

private:
    void answer(QTcpSocket* socket) {
        socket->readAll();
        if (m_fault == Fault::Drop) {
            socket->abort();
        } else if (m_fault == Fault::Drip && !socket->property("dripping").toBool()) {
            socket->setProperty("dripping", true);
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                          "Content-Length: 1000000\r\n\r\n<title>");
            auto* drip = new QTimer(socket);
            connect(drip, &QTimer::timeout, socket, [socket] { socket->write("x"); });
            drip->start(200);
        }
    }

    Fault m_fault;
    QString m_url;
};

struct FailureCase {
    const char* name;
    const char* path; // on the test server, or an address of its own
    const char* reason;
    std::optional<SocketServer::Fault> fault = {}; // served by a misbehaving socket instead
    bool waitsForATimeLimit = false;               // shortened for the test
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class BrowserFailure : public BrowserNavigation, public ::testing::WithParamInterface<FailureCase> {
protected:
    void SetUp() override {
        BrowserNavigation::SetUp();
        // Short limits only where a case waits for them: under the sanitizers a 16 MiB page
        // takes more than a second.
        if (GetParam().waitsForATimeLimit)
            browser::PageLoader::setTimeLimits({std::chrono::seconds(1), std::chrono::seconds(2)});
        s_warnings.clear();
        m_previousHandler = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& message) {
                if (type != QtDebugMsg && type != QtInfoMsg)
                    s_warnings.append(message);
            });
    }
    void TearDown() override {
        qInstallMessageHandler(m_previousHandler);
        browser::PageLoader::setTimeLimits({});
        BrowserTest::TearDown();
    }

    static inline QStringList s_warnings;
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_P(BrowserFailure, CompletesAsAnErrorDocumentThatSaysWhy) {
    std::optional<SocketServer> socketServer;
    if (GetParam().fault)
        socketServer.emplace(*GetParam().fault);
    const QString path = QString::fromLatin1(GetParam().path);
    const QString reason = QString::fromLatin1(GetParam().reason);
    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, socketServer         ? socketServer->url()
                                         : path.contains(':') ? path
                                                              : m_server.url(path)));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
    EXPECT_EQ(browser.LocationName(), kErrorTitle + " - " + reason);
    ASSERT_EQ(m_log.size(), 1);
    EXPECT_TRUE(m_log.front().startsWith("Cannot open ")) << m_log.front();
    EXPECT_TRUE(m_log.front().endsWith(": " + reason)) << m_log.front();
    EXPECT_EQ(s_warnings, QStringList());
}

using Fault = SocketServer::Fault;
INSTANTIATE_TEST_SUITE_P(
    Browser, BrowserFailure,
    ::testing::Values(
        FailureCase{"refused", "", "The forum refused the connection", Fault::Refuse},
        FailureCase{"dropped", "", "The forum closed the connection without answering",
                    Fault::Drop},
        FailureCase{"silent", "", "The forum did not answer within 1 second", Fault::Silence, true},
        FailureCase{"dripping", "", "The forum did not send the whole page within 2 seconds",
                    Fault::Drip, true},
        FailureCase{"server error", "/status500",
                    "The forum answered with an error (HTTP 500 Internal Server Error)"},
        FailureCase{"oversize", "/huge", "The page is larger than 16 MiB"},
        FailureCase{"oversize without length", "/huge-stream", "The page is larger than 16 MiB"},
        FailureCase{"eleven redirects", "/redirect/11", "The forum redirected more than 10 times"},
        FailureCase{"redirect to a file", "/to-file", "The forum redirected to another site"},
        FailureCase{"local file", "file:///etc/passwd", "Only web addresses can be opened"},
        FailureCase{"too complex to parse", "/complex", "The page is too complex to show"}));

TEST_F(BrowserNavigation, CacheIsReadUnlessForbiddenOrDeleted) {
    WebBrowser browser;
    const QString cached = url("/cached");
    ASSERT_TRUE(navigateAndWait(browser, cached));
    ASSERT_TRUE(navigateAndWait(browser, cached));
    EXPECT_EQ(browser.LocationName(), "Cached 1");
    ASSERT_TRUE(navigateAndWait(browser, cached,
                                WebBrowser::navNoReadFromCache | WebBrowser::navNoHistory));
    EXPECT_EQ(browser.LocationName(), "Cached 2");
    EXPECT_TRUE(DeleteUrlCacheEntry(cached));
    EXPECT_FALSE(DeleteUrlCacheEntry(cached));
    ASSERT_TRUE(navigateAndWait(browser, cached));
    EXPECT_EQ(browser.LocationName(), "Cached 3");
    EXPECT_EQ(browser.History(), QStringList(3, cached)); // the visit with flag 2 is not recorded
}

TEST_F(BrowserNavigation, NewWindowsShowPagesInViewersOfTheirOwn) {
    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, url("/redirect/10"))); // ten redirects are followed
    EXPECT_EQ(browser.LocationName(), "Arrived");
    EXPECT_EQ(browser.LocationURL(), url("/redirect/0"));
    EXPECT_TRUE(m_log.isEmpty());
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    // The one viewer window the navigation opened, once the browser is no longer busy.
    const auto openViewer = [&](const QString& address) -> QTextBrowser* {
        browser.Navigate(address, WebBrowser::navOpenInNewWindow);
        EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
        EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
        return pageViewers().size() == 1 ? pageViewers().front()->findChild<QTextBrowser*>()
                                         : nullptr;
    };

    const QTextBrowser* view = openViewer(url("/redirect/1"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(complete.count(), 0);
    EXPECT_EQ(browser.LocationName(), "Arrived"); // the browser's own page stays
    EXPECT_TRUE(view->window()->isVisible());
    EXPECT_EQ(view->window()->findChild<QLineEdit*>("address")->text(), url("/redirect/0"));
    EXPECT_EQ(view->toPlainText(), "arrived");
    delete view->window();

    view = openViewer("file:///etc/passwd");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->toPlainText().startsWith(kErrorTitle)) << view->toPlainText();
    EXPECT_FALSE(view->toPlainText().contains("root:"));
    EXPECT_EQ(m_log.size(), 1);
    delete view->window();

    // Closing the window before its page came must not leave the browser busy.
    browser.Navigate(url("/slow"), WebBrowser::navOpenInNewWindow);
    EXPECT_TRUE(browser.Busy());
    ASSERT_EQ(pageViewers().size(), 1);
    pageViewers().front()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
    m_release = true;
}

struct RedirectCase {
    const char* name;
    const char* location; // where the forum at http://board.example.org/ sends the browser
    bool followed;
};

void PrintTo(const RedirectCase& redirect, std::ostream* out) {
    *out << redirect.name;
}

class BrowserRedirect : public ::testing::TestWithParam<RedirectCase> {};

// Through the proxy of the environment, which sees every request the browser makes.
TEST_P(BrowserRedirect, StaysOnTheForumsOwnAddress) {
    LoopbackServer proxy;
    std::mutex mutex;
    std::vector<std::string> targets;
    const std::string location = GetParam().location;
    proxy.server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        const std::lock_guard lock(mutex);
        targets.push_back(request.target);
        if (request.target.ends_with("/start"))
            response.set_redirect(location);
        else
            response.set_content("<title>Arrived</title>", "text/html");
    });
    proxy.start();
    qputenv("http_proxy", proxy.url(QString()).toUtf8());
    const auto restore = qScopeGuard([] { qunsetenv("http_proxy"); });

    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, "http://board.example.org/start"));
    const std::lock_guard lock(mutex);
    if (GetParam().followed) {
        EXPECT_EQ(browser.LocationName(), "Arrived");
        ASSERT_EQ(targets.size(), 2u);
        EXPECT_TRUE(targets[1].starts_with("http://board.example.org") &&
                    targets[1].ends_with("/next"))
            << targets[1];
    } else {
        EXPECT_EQ(browser.LocationName(), kErrorTitle + " - The forum redirected to another site");
        EXPECT_EQ(targets, std::vector<std::string>{"http://board.example.org/start"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Browser, BrowserRedirect,
    ::testing::Values(RedirectCase{"same address", "/next", true},
                      RedirectCase{"same address spelt out", "http://BOARD.example.org:80/next",
                                   true},
                      RedirectCase{"a service on this machine", "http://127.0.0.1:1/secret", false},
                      RedirectCase{"localhost", "http://localhost/secret", false},
                      RedirectCase{"a private address", "http://10.0.0.1/next", false},
                      RedirectCase{"another host", "http://other.example.org/next", false},
                      RedirectCase{"another port", "http://board.example.org:8080/next", false},
                      RedirectCase{"another scheme", "https://board.example.org/next", false}));

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

class FormSent : public BrowserNavigation, public ::testing::WithParamInterface<SubmitCase> {};

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
        SubmitCase{"a password is posted and masked in the log",
                   "<form name=f method=get action='leak?from=form'><input name=username "
                   "value=teller><input type=password id=typed name=pw></form>",
                   "s3cret!", "POST", "/leak?from=form", "username=teller&pw=s3cret%21",
                   "/broken?pw=***&username=teller"}));

TEST_F(BrowserNavigation, LoginIsSharedByEveryBrowserAndOutlivesTheSession) {
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
