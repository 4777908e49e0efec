#pragma once

#include "HtmlDocument.h"

#include <QObject>
#include <QStringList>

namespace browser {
class PageLoader;
class PageParser;
struct PageRequest;
} // namespace browser

// One browser control: a headless browser that fetches pages over the shared
// network (one login for the whole process), parses them, and offers their
// document. Navigation is asynchronous: DocumentComplete arrives while the
// caller lets events run.
class WebBrowser : public QObject {
    Q_OBJECT
public:
    enum NavigateFlag {
        navOpenInNewWindow = 1,
        navNoHistory = 2,
        navNoReadFromCache = 4,
    };
    enum ReadyStateValue {
        ReadyStateUninitialized = 0,
        ReadyStateLoading = 1,
        ReadyStateLoaded = 2,
        ReadyStateInteractive = 3,
        ReadyStateComplete = 4,
    };

    explicit WebBrowser(QObject* parent = nullptr);
    ~WebBrowser() override;

    void Navigate(const QString& url, int flags = 0);
    int ReadyState() const { return m_readyState; }
    bool Busy() const {
        return m_readyState != ReadyStateUninitialized && m_readyState != ReadyStateComplete;
    }
    QString LocationURL() const;
    QString LocationName() const { return m_document.title(); }
    HtmlDocument Document() const { return m_document; }
    QStringList History() const { return m_history; }

signals:
    // The page at URL has completed; topLevel is false for a frame's document.
    void DocumentComplete(const QString& URL, bool topLevel);

private:
    void load(const browser::PageRequest& request, int flags);
    void openViewer(const browser::PageRequest& request);
    void showLocalPage(const QUrl& url);
    void showDocument(const HtmlDocument& document);
    void setProgress(const QObject* source, int state);

    HtmlDocument m_document;
    QStringList m_history;
    int m_readyState = ReadyStateUninitialized;
    bool m_addToHistory = true;
    browser::PageLoader* m_loader;
    browser::PageParser* m_parser;
    // The load whose progress ReadyState reports: this browser's own page, or a
    // new window's page while the browser itself is idle. Only ever compared.
    const QObject* m_progressSource = nullptr;
    quint64 m_navigation = 0;
};
