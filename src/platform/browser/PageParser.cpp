#include "PageParser.h"

#include "BrowserLimits.h"
#include "LoggableAddress.h"
#include "SharedNetwork.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace browser {

PageParser::PageParser(QObject* parent) : QObject(parent) {}

PageParser::~PageParser() {
    cancel();
}

namespace {

HtmlDocument parsedPage(const FetchedPage& page, const std::atomic<bool>* cancelled) {
    const PageMarkup markup = pageMarkup(page);
    return HtmlDocument::parse(markup.markup, page.url, markup.charset, cancelled);
}

void logParseFailure(const HtmlDocument& document, const QUrl& url) {
    if (!document.parseFailure().isEmpty())
        logBrowserFailure(QStringLiteral("Cannot open ") + loggableAddress(url, {}) +
                          QStringLiteral(": ") + document.parseFailure());
}

} // namespace

void PageParser::start(const FetchedPage& page) {
    cancel();
    if (page.body.size() <= kMaxParseAtOnceBytes) {
        const HtmlDocument document = parsedPage(page, nullptr);
        logParseFailure(document, page.url);
        emit parsed(document);
        return;
    }
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    auto* watcher = new QFutureWatcher<HtmlDocument>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, url = page.url] {
        const HtmlDocument document = watcher->result();
        m_watcher = nullptr;
        watcher->deleteLater();
        logParseFailure(document, url);
        emit parsed(document);
    });
    watcher->setFuture(QtConcurrent::run(
        [page, cancelled = m_cancelled] { return parsedPage(page, cancelled.get()); }));
}

void PageParser::cancel() {
    if (m_cancelled)
        m_cancelled->store(true);
    if (!m_watcher)
        return;
    m_watcher->disconnect(this);
    m_watcher->deleteLater();
    m_watcher = nullptr;
}

} // namespace browser
