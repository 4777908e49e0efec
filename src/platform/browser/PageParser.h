#pragma once

#include "FetchedPage.h"
#include "HtmlDocument.h"

#include <QObject>
#include <atomic>
#include <memory>

template <class T> class QFutureWatcher;

namespace browser {

// Decodes and parses fetched pages: a small one at once, a larger one on a
// worker thread, so that no page holds up the windows however long it takes
// within the parse budget. A page that is past the budget is logged and
// arrives as an error page.
class PageParser : public QObject {
    Q_OBJECT
public:
    explicit PageParser(QObject* parent = nullptr);
    ~PageParser() override;

    // Drops the page in flight, if any, and parses this one.
    void start(const FetchedPage& page);
    // Drops the page in flight without reporting it.
    void cancel();

signals:
    void parsed(const HtmlDocument& document);

private:
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QFutureWatcher<HtmlDocument>* m_watcher = nullptr;
};

} // namespace browser
