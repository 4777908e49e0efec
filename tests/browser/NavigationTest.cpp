#include "LoopbackServer.h"
#include "PageLoader.h"
#include "SharedNetwork.h"

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBrowser>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <random>

namespace {

const QString kErrorTitle = QStringLiteral("An Error Has Occurred");

std::string noise(size_t size) {
    std::mt19937 random(size);
    std::string text(size, ' ');
    for (char& c : text)
        c = char('!' + random() % 90);
    return text;
}

class BrowserNavigation : public ::testing::Test {
protected:
    void SetUp() override {
        httplib::Server& routes = m_server.server();
        routes.Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<title>Page</title><p>content</p>", "text/html");
        });
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
                           response.set_content("<title>Arrived</title>", "text/html");
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
        routes.Get("/huge", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(noise(16 * 1024 * 1024 + 1), "text/html");
        });
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
        routes.Get("/cached", [this](const httplib::Request&, httplib::Response& response) {
            ++m_cachedHits;
            response.set_header("Cache-Control", "max-age=3600");
            response.set_content("<title>Cached " + std::to_string(m_cachedHits) + "</title>",
                                 "text/html");
        });
        m_server.start();
        browser::sharedNetwork(); // created before any test changes the log hook
        setBrowserLog([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override {
        setBrowserLog(nullptr);
        for (QWidget* window : QApplication::topLevelWidgets())
            delete window;
    }

    LoopbackServer m_server;
    std::atomic<bool> m_release = false;
    std::atomic<int> m_cachedHits = 0;
    QStringList m_log;
};

TEST_F(BrowserNavigation, ReadyStateMovesLikeABrowsersAndCompletesOnce) {
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
    const QString url = m_server.url(QStringLiteral("/slow"));
    browser.Navigate(url);
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
    EXPECT_EQ(complete.takeFirst(), (QList<QVariant>{url, true}));
    EXPECT_EQ(browser.LocationURL(), url);
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Slow"));
    EXPECT_EQ(browser.Document().body().innerText(), QStringLiteral("done"));
    EXPECT_FALSE(complete.wait(200)); // exactly one notice per page
}

TEST_F(BrowserNavigation, AboutPagesCompleteAsynchronously) {
    WebBrowser browser;
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate(QStringLiteral("about:blank"));
    EXPECT_EQ(complete.count(), 0);
    EXPECT_TRUE(browser.Busy());
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(browser.LocationURL(), QStringLiteral("about:blank"));
    HtmlDocument document = browser.Document();
    document.write(QStringLiteral("<html><body><p>written</p></body></html>"));
    document.setBgColor(QStringLiteral("ECE9D8"));
    EXPECT_EQ(browser.Document().body().innerText(), QStringLiteral("written"));
    EXPECT_EQ(browser.Document().bgColor(), QStringLiteral("ECE9D8"));

    browser.Navigate(QStringLiteral("about:home"));
    ASSERT_TRUE(complete.wait(20'000));
    EXPECT_EQ(complete.last(), (QList<QVariant>{QStringLiteral("about:home"), true}));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
}

TEST_F(BrowserNavigation, ANewNavigationSupersedesThePageInFlight) {
    WebBrowser browser;
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate(m_server.url(QStringLiteral("/slow")));
    browser.Navigate(m_server.url(QStringLiteral("/page")));
    ASSERT_TRUE(complete.wait(20'000));
    m_release = true;
    EXPECT_FALSE(complete.wait(300));
    ASSERT_EQ(complete.count(), 1);
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Page"));
}

// A server on loopback that misbehaves below HTTP.
class SocketServer : public QTcpServer {
public:
    enum class Fault { Drop, Silence, Drip };

    explicit SocketServer(Fault fault) : m_fault(fault) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }

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
};

struct FailureCase {
    const char* name;
    const char* path; // on the test server, or a misbehaving socket server
    const char* reason;
    bool waitsForATimeLimit = false; // shortened for the test
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
        BrowserNavigation::TearDown();
    }

    // Where the case's page is: a closed port, a misbehaving socket, or the test server.
    QString urlOf(const QString& path) {
        const std::pair<const char*, SocketServer::Fault> faults[] = {
            {"dropped", SocketServer::Fault::Drop},
            {"silent", SocketServer::Fault::Silence},
            {"dripping", SocketServer::Fault::Drip}};
        for (const auto& [name, fault] : faults) {
            if (path == QLatin1String(name)) {
                m_socketServer = std::make_unique<SocketServer>(fault);
                m_socketServer->listen(QHostAddress::LocalHost);
                return QStringLiteral("http://127.0.0.1:%1/").arg(m_socketServer->serverPort());
            }
        }
        if (path == QLatin1String("refused")) {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost);
            return QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        }
        return path.contains(QLatin1Char(':')) ? path : m_server.url(path);
    }

    static inline QStringList s_warnings;
    QtMessageHandler m_previousHandler = nullptr;
    std::unique_ptr<SocketServer> m_socketServer;
};

TEST_P(BrowserFailure, CompletesAsAnErrorDocumentThatSaysWhy) {
    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, urlOf(QString::fromLatin1(GetParam().path))))
        << GetParam().name;
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
    EXPECT_TRUE(browser.LocationName().startsWith(kErrorTitle))
        << browser.LocationName().toStdString();
    EXPECT_TRUE(browser.LocationName().contains(QString::fromLatin1(GetParam().reason)))
        << browser.LocationName().toStdString();
    ASSERT_EQ(m_log.size(), 1);
    EXPECT_TRUE(m_log.front().contains(QString::fromLatin1(GetParam().reason)));
    EXPECT_EQ(s_warnings, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Browser, BrowserFailure,
    ::testing::Values(
        FailureCase{"refused", "refused", "The forum refused the connection"},
        FailureCase{"dropped", "dropped", "The forum closed the connection"},
        FailureCase{"silent", "silent", "The forum did not answer within 1 second", true},
        FailureCase{"dripping", "dripping",
                    "The forum did not send the whole page within 2 seconds", true},
        FailureCase{"server error", "/status500", "HTTP 500"},
        FailureCase{"oversize", "/huge", "larger than 16 MiB"},
        FailureCase{"oversize without length", "/huge-stream", "larger than 16 MiB"},
        FailureCase{"eleven redirects", "/redirect/11", "redirected more than 10 times"},
        FailureCase{"redirect to a file", "/to-file", "another site"},
        FailureCase{"local file", "file:///etc/passwd", "Only web addresses"}));

TEST_F(BrowserNavigation, FollowsUpToTenRedirects) {
    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, m_server.url(QStringLiteral("/redirect/10"))));
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Arrived"));
    EXPECT_EQ(browser.LocationURL(), m_server.url(QStringLiteral("/redirect/0")));
    EXPECT_TRUE(m_log.isEmpty());
}

TEST_F(BrowserNavigation, CacheIsReadUnlessForbiddenOrDeleted) {
    WebBrowser browser;
    const QString url = m_server.url(QStringLiteral("/cached"));
    ASSERT_TRUE(navigateAndWait(browser, url));
    ASSERT_TRUE(navigateAndWait(browser, url));
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Cached 1"));
    ASSERT_TRUE(
        navigateAndWait(browser, url, WebBrowser::navNoReadFromCache | WebBrowser::navNoHistory));
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Cached 2"));
    EXPECT_TRUE(DeleteUrlCacheEntry(url));
    EXPECT_FALSE(DeleteUrlCacheEntry(url));
    ASSERT_TRUE(navigateAndWait(browser, url));
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Cached 3"));
    EXPECT_EQ(browser.History(), QStringList(3, url)); // the visit with flag 2 is not recorded
}

TEST_F(BrowserNavigation, NewWindowShowsThePageInAViewerOfItsOwn) {
    WebBrowser browser;
    ASSERT_TRUE(navigateAndWait(browser, m_server.url(QStringLiteral("/page"))));
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    const QString url = m_server.url(QStringLiteral("/redirect/1"));
    browser.Navigate(url, WebBrowser::navOpenInNewWindow);
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateLoading);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return browser.ReadyState() == WebBrowser::ReadyStateComplete; }, 20'000));
    EXPECT_EQ(complete.count(), 0);
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Page")); // the browser's own page stays

    ASSERT_EQ(pageViewers().size(), 1);
    const QWidget* viewer = pageViewers().front();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->findChild<QLineEdit*>(QStringLiteral("address"))->text(),
              m_server.url(QStringLiteral("/redirect/0")));
}

TEST_F(BrowserNavigation, ClosingANewWindowEarlyDoesNotLeaveTheBrowserBusy) {
    WebBrowser browser;
    browser.Navigate(m_server.url(QStringLiteral("/slow")), WebBrowser::navOpenInNewWindow);
    EXPECT_TRUE(browser.Busy());
    ASSERT_EQ(pageViewers().size(), 1);
    pageViewers().front()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
    EXPECT_EQ(browser.ReadyState(), WebBrowser::ReadyStateComplete);
    m_release = true;
}

TEST_F(BrowserNavigation, NewWindowNeverOpensALocalFile) {
    WebBrowser browser;
    browser.Navigate(QStringLiteral("file:///etc/passwd"), WebBrowser::navOpenInNewWindow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !browser.Busy(); }, 20'000));
    ASSERT_EQ(pageViewers().size(), 1);
    const auto* page = pageViewers().front()->findChild<QTextBrowser*>();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains(kErrorTitle));
    EXPECT_FALSE(page->toPlainText().contains(QStringLiteral("root:")));
    EXPECT_EQ(m_log.size(), 1);
}

TEST(BrowserProxy, WebTrafficGoesThroughTheProxyOfTheEnvironment) {
    LoopbackServer proxy;
    std::mutex mutex;
    std::string target;
    proxy.server().Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        const std::lock_guard lock(mutex);
        target = request.target;
        response.set_content("<title>Through the proxy</title>", "text/html");
    });
    proxy.start();
    qputenv("http_proxy", proxy.url(QString()).toUtf8());
    const auto restore = qScopeGuard([] { qunsetenv("http_proxy"); });
    WebBrowser browser;
    ASSERT_TRUE(
        navigateAndWait(browser, QStringLiteral("http://board.example.org/index.cgi?board=bank")));
    EXPECT_EQ(browser.LocationName(), QStringLiteral("Through the proxy"));
    const std::lock_guard lock(mutex);
    EXPECT_EQ(target, "http://board.example.org/index.cgi?board=bank");
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

TEST_P(BrowserRedirect, StaysOnTheForumsOwnAddress) {
    LoopbackServer local; // a service on this machine that no page may reach
    std::atomic<int> localHits = 0;
    local.server().Get(".*", [&](const httplib::Request&, httplib::Response& response) {
        ++localHits;
        response.set_content("<title>Local service</title>", "text/html");
    });
    local.start();
    LoopbackServer proxy;
    std::mutex mutex;
    std::vector<std::string> targets;
    const std::string location = QString::fromLatin1(GetParam().location)
                                     .replace(QStringLiteral("LOCAL"), local.url(QString()))
                                     .toStdString();
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
    ASSERT_TRUE(navigateAndWait(browser, QStringLiteral("http://board.example.org/start")));
    EXPECT_EQ(localHits, 0);
    const std::lock_guard lock(mutex);
    if (GetParam().followed) {
        EXPECT_EQ(browser.LocationName(), QStringLiteral("Arrived"));
        ASSERT_EQ(targets.size(), 2u);
        EXPECT_TRUE(targets.back().starts_with("http://board.example.org")) << targets.back();
        EXPECT_TRUE(targets.back().ends_with("/next")) << targets.back();
    } else {
        EXPECT_TRUE(browser.LocationName().contains(QStringLiteral("another site")))
            << browser.LocationName().toStdString();
        EXPECT_EQ(targets, std::vector<std::string>{"http://board.example.org/start"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Browser, BrowserRedirect,
    ::testing::Values(RedirectCase{"same address", "/next", true},
                      RedirectCase{"same address spelt out", "http://BOARD.example.org:80/next",
                                   true},
                      RedirectCase{"a service on this machine", "LOCAL/secret", false},
                      RedirectCase{"localhost", "http://localhost/secret", false},
                      RedirectCase{"a private address", "http://10.0.0.1/next", false},
                      RedirectCase{"another host", "http://other.example.org/next", false},
                      RedirectCase{"another port", "http://board.example.org:8080/next", false},
                      RedirectCase{"another scheme", "https://board.example.org/next", false}));

} // namespace
