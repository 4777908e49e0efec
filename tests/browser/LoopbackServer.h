#pragma once

#include "Fixtures.h"
#include "SharedNetwork.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

// An HTTP server on an ephemeral loopback port, serving on its own thread.
// Register routes on server() before start().
class LoopbackServer {
public:
    ~LoopbackServer() {
        if (!m_thread.joinable())
            return;
        while (!m_server.is_running())
            std::this_thread::yield();
        m_server.stop();
        m_thread.join();
    }

    httplib::Server& server() { return m_server; }

    // Serves the markup at the path as a UTF-8 page.
    void servePage(const char* path, std::string markup) {
        m_server.Get(path, [markup = std::move(markup)](const httplib::Request&,
                                                        httplib::Response& response) {
            response.set_content(markup, "text/html; charset=utf-8");
        });
    }

    void start() {
        // Idle keep-alive connections would hold stop() up for seconds.
        m_server.set_keep_alive_timeout(0);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }

    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

// Runs the action and lets events run until the browser's page has completed.
inline bool completes(WebBrowser& browser, const std::function<void()>& action) {
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    action();
    return complete.wait(20'000);
}

inline bool navigateAndWait(WebBrowser& browser, const QString& url, int flags = 0) {
    return completes(browser, [&] { browser.Navigate(url, flags); });
}

// The windows that navigations with the new-window flag opened.
inline QList<QWidget*> pageViewers() {
    QList<QWidget*> viewers;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("PageViewer"))
            viewers.append(window);
    }
    return viewers;
}

// A test with a loopback server, the browser's log collected, and no window left behind.
// Register routes and start the server before calling SetUp().
class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        browser::sharedNetwork(); // created before the test changes the log hook
        setBrowserLog([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override {
        setBrowserLog(nullptr);
        for (QWidget* window : QApplication::topLevelWidgets())
            delete window;
    }

    LoopbackServer m_server;
    QStringList m_log;
};
