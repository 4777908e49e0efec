#include "BrowserLimits.h"
#include "CookieJar.h"
#include "Fixtures.h"
#include "PageLoader.h"
#include "SharedNetwork.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QNetworkCookie>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>
#include <httplib.h> // with the thread, mutex, atomic and random headers it uses

namespace {

// Runs the action and lets events run until the browser's page has completed.
bool completes(WebBrowser& browser, const std::function<void()>& action) {
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    action();
    return complete.wait(20'000);
}

bool navigateAndWait(WebBrowser& browser, const QString& url, int flags = 0) {
    return completes(browser, [&] { browser.Navigate(url, flags); });
}

// The windows that navigations with the new-window flag opened.
QList<QWidget*> pageViewers() {
    QList<QWidget*> windows = QApplication::topLevelWidgets();
    windows.removeIf([](const QWidget* window) { return window->objectName() != "PageViewer"; });
    return windows;
}

std::string noise(size_t size) {
    std::mt19937 random(size);
    std::string text(size, ' ');
    for (char& c : text)
        c = char('!' + random() % 90);
    return text;
}

// A loopback forum, the browser's log collected, and no window left behind.
class BrowserNavigation : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.Get("/huge", [](auto&, auto& response) { // noise: compression cannot shrink it
            response.set_content(noise((16 << 20) + 1), "text/html");
        });
        m_server.Get("/complex", [](auto&, auto& response) {
            response.set_content(many("<div>", 100'000).toStdString(), "text/html");
        });
        // A page of the size its address names, in bytes, that ends with "end of page".
        m_server.Get(R"(/sized/(\d+))", [](const httplib::Request& request, auto& response) {
            const std::string head = "<title>Sized</title><p>", tail = "<p>end of page";
            const size_t size = std::stoul(request.matches[1]);
            response.set_content(head + std::string(size - head.size() - tail.size(), 'x') + tail,
                                 "text/html");
        });
        m_server.Get("/slow", [this](auto&, httplib::Response& response) {
            response.set_chunked_content_provider("text/html", [this](size_t offset, auto& sink) {
                if (offset == 0)
                    return sink.write("<title>Slow</title>", 19);
                while (!m_release) // set by the test, or at its end
                    std::this_thread::yield();
                sink.write("<p>done</p>", 11);
                sink.done();
                return true;
            });
        });
        m_server.Get("/huge-stream", [](auto&, httplib::Response& response) {
            response.set_chunked_content_provider("text/html", [](size_t, auto& sink) {
                const std::string block = noise(1024 * 1024);
                return sink.write(block.data(), block.size()); // until the browser hangs up
            });
        });
        m_server.Get(R"(/redirect/(\d+))", [](const httplib::Request& request, auto& response) {
            const int left = std::stoi(request.matches[1]);
            if (left == 0)
                response.set_content("<title>Arrived</title>arrived", "text/html");
            else
                response.set_redirect("/redirect/" + std::to_string(left - 1));
        });
        m_server.Get("/cached", [this](auto&, httplib::Response& response) {
            response.set_header("Cache-Control", "max-age=3600");
            response.set_content("<title>Cached " + std::to_string(++m_cachedHits), "text/html");
        });
        m_server.Get("/form", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.get_param_value("markup"),
                                 "text/html; charset=windows-1252");
        });
        // A server that echoes the password into the address it sends the browser on to.
        m_server.Post("/leak", [this](const httplib::Request& request, auto& response) {
            const std::lock_guard lock(m_mutex);
            m_received = request.method + ' ' + request.target + ' ' +
                         request.get_header_value("Content-Type") + ' ' + request.body;
            response.set_redirect("/broken?pw=" + request.get_param_value("pw") +
                                  "&username=" + request.get_param_value("username"));
        });
        m_server.Post("/login", [](const httplib::Request& request, auto& response) {
            const std::string user = request.get_param_value("username");
            response.set_header("Set-Cookie", "session=" + user + "; Path=/");
            response.set_header("Set-Cookie", "remember=" + user + "; Max-Age=3600; Path=/");
            response.set_redirect("/whoami", 302);
        });
        // Sends a post on with the redirect status its address names; says how it arrived.
        m_server.Post(R"(/moved/(\d+))", [](const httplib::Request& request, auto& response) {
            response.set_redirect("/arrival", std::stoi(request.matches[1]));
        });
        const auto arrival = [](const httplib::Request& request, httplib::Response& response) {
            response.set_content("<p>" + request.method + ' ' + request.body, "text/html");
        };
        m_server.Post("/arrival", arrival);
        m_server.Get("/arrival", arrival);
        m_server.Get("/whoami", [](const httplib::Request& request, auto& response) {
            response.set_content("<p>Sent " + request.get_header_value("Cookie"), "text/html");
        });
        // As the proxy: a forum at http://board.example.org/ that sends its start page on.
        m_server.Get(R"(http://.*)", [this](const httplib::Request& request, auto& response) {
            const std::lock_guard lock(m_mutex);
            m_received += ' ' + request.target;
            if (request.target.ends_with("/start"))
                response.set_redirect(m_location);
            else
                response.set_content("<title>Arrived</title>", "text/html");
        });
        m_server.set_keep_alive_timeout(0); // idle connections would hold stop() up for seconds
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        browser::sharedNetwork(); // created before the test changes the log hook
        setBrowserLog([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override {
        setBrowserLog(nullptr);
        m_release = true;
        for (QWidget* window : QApplication::topLevelWidgets())
            delete window;
        while (!m_server.is_running())
            std::this_thread::yield();
        m_server.stop();
        m_thread.join();
    }

    QString url(const QString& path) const { // an address of its own stays as it is
        return path.contains(':') ? path
                                  : QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

    // Serves the markup as a windows-1252 page and opens it.
    void open(WebBrowser& browser, const QString& markup) {
        ASSERT_TRUE(
            navigateAndWait(browser, url("/form?markup=") + QUrl::toPercentEncoding(markup)));
        EXPECT_EQ(browser.Document().charset(), "windows-1252");
    }

    httplib::Server m_server; // on a loopback port of its own, serving on its own thread
    std::thread m_thread;
    int m_port = 0;
    QStringList m_log;
    std::atomic<bool> m_release = false;
    std::atomic<int> m_cachedHits = 0;
    std::mutex m_mutex;
    std::string m_received; // what the last form sent, or the targets asked of the proxy
    std::string m_location; // where the proxied forum sends its start page
};

TEST_F(BrowserNavigation, ReadyStateMovesLikeABrowsersAndCompletesOncePerPage) {
    WebBrowser browser;
    EXPECT_TRUE(browser.ReadyState() == WebBrowser::ReadyStateUninitialized && !browser.Busy());
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    QStringList notices; // each as its address, the ready state then and what is amiss
    QObject::connect(
        &browser, &WebBrowser::DocumentComplete, &browser, [&](const QString& address, bool top) {
            notices.append(address + QStringLiteral(" %1%2%3")
                                         .arg(browser.ReadyState())
                                         .arg(browser.Busy() ? " busy" : "", top ? "" : " frame"));
        });
    for (const QString local : {"about:home", "about:blank"}) {
        browser.Navigate(local); // completes on a later turn, as a page from the network does
        EXPECT_TRUE(browser.Busy() && complete.isEmpty()) << qPrintable(local);
        ASSERT_TRUE(complete.wait(20'000));
        complete.clear();
    }

    browser.Navigate(url("/slow"));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return browser.ReadyState() == WebBrowser::ReadyStateLoaded; }, 20'000));
    EXPECT_EQ(complete.count(), 0);
    m_release = true;
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(browser.LocationName() + ' ' + browser.Document().body().innerText(), "Slow done");

    browser.Navigate(url("/slow"));
    browser.Navigate(url("/redirect/0")); // supersedes the page in flight
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(browser.LocationName(), "Arrived");
    EXPECT_FALSE(complete.wait(300)); // exactly one notice per page
    EXPECT_EQ(notices, (QStringList{"about:home 4", "about:blank 4", url("/slow") + " 4",
                                    url("/redirect/0") + " 4"}));
}

// Small pages are parsed where they arrive, larger ones on a worker thread: each arrives whole.
TEST_F(BrowserNavigation, PagesOfEverySizeArriveWhole) {
    WebBrowser browser;
    for (const qsizetype size : {qsizetype(100), browser::kMaxParseAtOnceBytes,
                                 browser::kMaxParseAtOnceBytes + 1, qsizetype(1) << 20}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(navigateAndWait(browser, url(QStringLiteral("/sized/%1").arg(size))));
        EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
        EXPECT_EQ(browser.LocationName(), "Sized");
        EXPECT_EQ(browser.Document().body().innerText(),
                  QString(size - 37, 'x') + "\n\nend of page"); // the markup less its tags
    }
    EXPECT_TRUE(m_log.isEmpty());
}

enum class Fault { None, Refuse, Drop, Silence, Drip };
using Limits = browser::PageLoader::TimeLimits;
using namespace std::chrono_literals;

// A server on loopback that misbehaves below HTTP.
class SocketServer : public QTcpServer {
public:
    explicit SocketServer(Fault fault) {
        connect(this, &QTcpServer::newConnection, this, [this, fault] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, fault] {
                socket->readAll();
                if (fault == Fault::Drop)
                    socket->abort();
                if (fault != Fault::Drip || socket->property("dripping").toBool())
                    return;
                socket->setProperty("dripping", true);
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                              "Content-Length: 1000000\r\n\r\n<title>");
                auto* drip = new QTimer(socket);
                connect(drip, &QTimer::timeout, socket, [socket] { socket->write("x"); });
                drip->start(200);
            });
        });
        listen(QHostAddress::LocalHost);
        m_url = QStringLiteral("http://127.0.0.1:%1/").arg(serverPort());
        if (fault == Fault::Refuse)
            close();
    }
    QString m_url;
};

TEST_F(BrowserNavigation, AFailureCompletesAsAnErrorDocumentThatSaysWhy) {
    // Where the browser is sent (a path on the test server, an address of its own, or a
    // misbehaving socket) and the reason given.
    const struct {
        const char *path, *reason;
        Fault fault = Fault::None;
    } cases[] = {
        {"", "The forum refused the connection", Fault::Refuse},
        {"", "The forum closed the connection without answering", Fault::Drop},
        {"", "The forum did not answer within 1 second", Fault::Silence},
        {"", "The forum did not send the whole page within 2 seconds", Fault::Drip},
        {"/missing", "The forum answered with an error (HTTP 404 Not Found)"},
        {"/huge", "The page is larger than 16 MiB"},
        {"/huge-stream", "The page is larger than 16 MiB"},
        {"/redirect/11", "The forum redirected more than 10 times"},
        {"file:///etc/passwd", "Only web addresses can be opened"},
        {"/complex", "The page is too complex to show"},
    };
    // A failure is told in the error page and the log; Qt has nothing to add on the console.
    static QStringList warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                warnings.append(text);
        });
    const auto restore = qScopeGuard([previous] {
        browser::PageLoader::setTimeLimits({});
        qInstallMessageHandler(previous);
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        warnings.clear();
        const SocketServer socket(c.fault);
        // Short limits only where they are waited for: under the sanitizers a 16 MiB page
        // takes more than a second.
        const bool timed = c.fault == Fault::Silence || c.fault == Fault::Drip;
        browser::PageLoader::setTimeLimits(timed ? Limits{1s, 2s} : Limits{});
        m_log.clear();
        WebBrowser browser;
        ASSERT_TRUE(navigateAndWait(browser, c.fault != Fault::None ? socket.m_url : url(c.path)));
        EXPECT_EQ(browser.LocationName(), "An Error Has Occurred - " + QString(c.reason));
        // One line of the log, with the address and the reason.
        EXPECT_EQ(m_log.join('\n').remove(QRegularExpression("^Cannot open \\S+: ")),
                  QString(c.reason));
        EXPECT_EQ(warnings, QStringList());
    }
}

// The cache is read unless forbidden or deleted; a page asked for in a new window opens in a
// viewer of its own.
TEST_F(BrowserNavigation, CacheAndViewerWindows) {
    WebBrowser browser;
    const QString cached = url("/cached");
    QStringList titles;
    for (const int flags : {0, 0, WebBrowser::navNoReadFromCache | WebBrowser::navNoHistory, -1}) {
        EXPECT_TRUE(flags >= 0 || DeleteUrlCacheEntry(cached)); // -1: out of the cache first
        ASSERT_TRUE(navigateAndWait(browser, cached, std::max(flags, 0)));
        titles.append(browser.LocationName());
    }
    EXPECT_EQ(titles, (QStringList{"Cached 1", "Cached 1", "Cached 2", "Cached 3"}));
    EXPECT_EQ(browser.History(), QStringList(3, cached)); // the visit with flag 2 is not recorded

    ASSERT_TRUE(navigateAndWait(browser, url("/redirect/10"))); // ten redirects are followed
    EXPECT_EQ(browser.LocationName() + ' ' + browser.LocationURL(),
              "Arrived " + url("/redirect/0"));
    EXPECT_TRUE(m_log.isEmpty());
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);

    browser.Navigate(url("/redirect/1"), WebBrowser::navOpenInNewWindow);
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
    ASSERT_EQ(pageViewers().size(), 1);
    const QTextBrowser* view = pageViewers().front()->findChild<QTextBrowser*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(complete.count(), 0);
    EXPECT_TRUE(view->window()->isVisible());
    // The browser's own page stays.
    EXPECT_EQ(browser.LocationName() + ' ' + view->toPlainText(), "Arrived arrived");
    delete view->window();

    // Closing the window before its page came must not leave the browser busy.
    browser.Navigate(url("/slow"), WebBrowser::navOpenInNewWindow);
    EXPECT_TRUE(browser.Busy());
    ASSERT_EQ(pageViewers().size(), 1);
    pageViewers().front()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
}

// Through the test server as the proxy of the environment, which sees every request made.
TEST_F(BrowserNavigation, RedirectsStayOnTheForumsOwnAddress) {
    // Where the forum at http://board.example.org/ sends the browser; the address then asked
    // for, if any.
    const struct {
        const char *location, *followed = nullptr;
    } cases[] = {{"/next", "http://board.example.org/next"},
                 {"http://BOARD.example.org:80/next", "http://board.example.org:80/next"},
                 {"http://other.example.org/next"},
                 {"http://127.0.0.1/secret"},
                 {"http://board.example.org:8080/next"},
                 {"https://board.example.org/next"}};
    qputenv("http_proxy", url("").toUtf8());
    const auto restore = qScopeGuard([] { qunsetenv("http_proxy"); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.location);
        {
            const std::lock_guard lock(m_mutex);
            m_location = c.location;
            m_received.clear();
        }
        WebBrowser browser;
        ASSERT_TRUE(navigateAndWait(browser, "http://board.example.org/start"));
        const std::lock_guard lock(m_mutex);
        EXPECT_EQ(browser.LocationName(),
                  c.followed ? "Arrived"
                             : "An Error Has Occurred - The forum redirected to another site");
        EXPECT_EQ(m_received, " http://board.example.org/start" +
                                  (c.followed ? ' ' + std::string(c.followed) : std::string()));
    }
}

// As browsers do: a 307 or 308 sends a post on as it was, any other redirect fetches the target.
TEST_F(BrowserNavigation, APostIsSentOnOnlyWhereTheRedirectSaysSo) {
    const struct {
        int status;
        const char* arrived;
    } cases[] = {
        {307, "POST amount=3"}, {308, "POST amount=3"}, {303, "GET"}, {302, "GET"}, {301, "GET"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        WebBrowser browser;
        open(browser, QStringLiteral("<form name=f method=post action=moved/%1><input "
                                     "name=amount value=3>")
                          .arg(c.status));
        ASSERT_TRUE(completes(browser, [&] { browser.Document().forms("f").submit(); }));
        EXPECT_EQ(browser.Document().body().innerText(), c.arrived);
    }
}

// A login's cookies come with the page it leads to and only the lasting one is saved; a form is
// sent in the page's charset from the server, a password makes it post, and the log masks it.
TEST_F(BrowserNavigation, FormsLogInAndPostPasswordsMasked) {
    WebBrowser browser;
    open(browser, "<form name=f method=post action=login><input name=username value=teller>");
    ASSERT_TRUE(completes(browser, [&] { browser.Document().forms("f").submit(); }));
    EXPECT_EQ(browser.Document().body().innerText(), "Sent session=teller; remember=teller");
    EXPECT_EQ(m_log, QStringList());
    const QList<QNetworkCookie> kept =
        browser::PersistentCookieJar(browser::cookieFilePath()).cookiesForUrl(url("/whoami"));
    EXPECT_EQ(kept.size() == 1 ? kept.front().name() : "not one", "remember");

    open(browser, "<form name=f method=get action='leak?from=form'><textarea id=message "
                  "name=message></textarea><input name=username value=teller><input "
                  "type=password id=pw name=pw></form>");
    browser.Document().getElementById("message").setValue(
        QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac\n\xe4\xb8\xad"));
    browser.Document().getElementById("pw").setValue("s3cret!");
    ASSERT_TRUE(completes(browser, [&] {
        ASSERT_TRUE(browser.Document().forms("f").submit());
        EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    }));
    {
        const std::lock_guard lock(m_mutex);
        EXPECT_EQ(m_received, "POST /leak?from=form application/x-www-form-urlencoded "
                              "message=caf%E9+%80%0D%0A%26%2320013%3B"
                              "&username=teller&pw=s3cret%21");
    }
    EXPECT_EQ(m_log, QStringList{"Cannot open " + url("/broken?pw=***&username=teller") +
                                 ": The forum answered with an error (HTTP 404 Not Found)"});
}

} // namespace
