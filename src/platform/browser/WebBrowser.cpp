#include "WebBrowser.h"

#include "PageLoader.h"
#include "PageParser.h"
#include "PageViewer.h"
#include "SharedNetwork.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>

using browser::PageRequest;

namespace {

const QString kBlank = QStringLiteral("about:blank");
const QString kHome = QStringLiteral("about:home");
const QString kHomeMarkup =
    QStringLiteral("<html><head><title>Home</title></head><body></body></html>");

} // namespace

WebBrowser::WebBrowser(QObject* parent)
    : QObject(parent), m_loader(new browser::PageLoader(this)),
      m_parser(new browser::PageParser(this)) {
    connect(m_loader, &browser::PageLoader::responseStarted, this,
            [this] { setProgress(m_loader, ReadyStateLoaded); });
    connect(m_loader, &browser::PageLoader::finished, m_parser, &browser::PageParser::start);
    connect(m_parser, &browser::PageParser::parsed, this, &WebBrowser::showDocument);
}

WebBrowser::~WebBrowser() = default;

QString WebBrowser::LocationURL() const {
    const QUrl url = m_document.url();
    return url.scheme() == QLatin1String("about") ? url.toString()
                                                  : url.toString(QUrl::FullyEncoded);
}

void WebBrowser::Navigate(const QString& url, int flags) {
    PageRequest request;
    request.url = QUrl(url.trimmed());
    request.readCache = !(flags & navNoReadFromCache);
    if (flags & navOpenInNewWindow)
        openViewer(request);
    else
        load(request, flags);
}

void WebBrowser::load(const PageRequest& request, int flags) {
    m_loader->abort();
    m_parser->cancel();
    m_addToHistory = !(flags & navNoHistory);
    ++m_navigation;
    m_progressSource = m_loader;
    m_readyState = ReadyStateLoading;
    const QString address = request.url.toString();
    if (address != kBlank && address != kHome) {
        m_loader->start(request);
        return;
    }
    const quint64 navigation = m_navigation;
    QTimer::singleShot(0, this, [this, navigation, url = request.url] {
        if (navigation == m_navigation)
            showLocalPage(url);
    });
}

void WebBrowser::showLocalPage(const QUrl& url) {
    showDocument(url.toString() == kHome
                     ? HtmlDocument::parse(kHomeMarkup, url, QStringLiteral("UTF-8"))
                     : HtmlDocument());
}

void WebBrowser::openViewer(const PageRequest& request) {
    auto* viewer = new browser::PageViewer(request);
    const browser::PageLoader* loader = viewer->loader();
    if (!Busy()) {
        m_progressSource = loader;
        m_readyState = ReadyStateLoading;
    }
    connect(loader, &browser::PageLoader::responseStarted, this,
            [this, loader] { setProgress(loader, ReadyStateLoaded); });
    connect(loader, &browser::PageLoader::finished, this,
            [this, loader] { setProgress(loader, ReadyStateInteractive); });
    connect(viewer, &browser::PageViewer::pageShown, this,
            [this, loader] { setProgress(loader, ReadyStateComplete); });
    // A window closed before its page arrived must not leave callers waiting.
    connect(loader, &QObject::destroyed, this,
            [this, loader] { setProgress(loader, ReadyStateComplete); });
    viewer->show();
}

void WebBrowser::showDocument(const HtmlDocument& document) {
    m_document = document;
    m_document.setSubmitHandler(
        [self = QPointer<WebBrowser>(this)](const browser::FormSubmission& submission) {
            if (!self)
                return;
            PageRequest request;
            request.url = submission.url;
            request.method = submission.method;
            request.body = submission.body;
            request.secretFields = submission.secretFields;
            self->load(request, 0);
        });
    if (m_addToHistory)
        m_history.append(LocationURL());
    m_readyState = ReadyStateInteractive;
    // Like a real browser, the page is interactive first and complete on a later turn.
    const quint64 navigation = m_navigation;
    QTimer::singleShot(0, this, [this, navigation] {
        if (navigation != m_navigation)
            return;
        m_readyState = ReadyStateComplete;
        emit DocumentComplete(LocationURL(), true);
    });
}

void WebBrowser::setProgress(const QObject* source, int state) {
    // A page's progress only goes forward: a small page in a viewer window is
    // shown before its loader's other receivers hear that it has arrived.
    if (source == m_progressSource)
        m_readyState = std::max(m_readyState, state);
}
