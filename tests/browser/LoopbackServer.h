#pragma once

#include "QtPrinting.h"
#include "WebBrowser.h"

#include <QApplication>
#include <QSignalSpy>
#include <QString>
#include <QTest>
#include <httplib.h>
#include <thread>

// An HTTP server on an ephemeral loopback port, serving on its own thread.
// Register routes on server() before start().
class LoopbackServer {
public:
    LoopbackServer() = default;
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
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

// Navigates and lets events run until the page has completed.
inline bool navigateAndWait(WebBrowser& browser, const QString& url, int flags = 0) {
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate(url, flags);
    return complete.wait(20'000);
}

inline bool waitForCompletion(WebBrowser& browser) {
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    return complete.wait(20'000);
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
