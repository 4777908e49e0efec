#pragma once

#include "PageLoader.h"

#include <QWidget>

class HtmlDocument;
class QLineEdit;
class QTextBrowser;

namespace browser {

class PageParser;

// The separate window that a navigation with the new-window flag opens: a
// read-only rendering of the page under its address. The page is fetched by
// this process, with its cookies, so it shows what the logged-in user sees.
// It is rendered from the parsed page within the viewer bounds, never from
// its markup, so that no page can hold the window up.
class PageViewer : public QWidget {
    Q_OBJECT
public:
    explicit PageViewer(const PageRequest& request);

    PageLoader* loader() const { return m_loader; }

signals:
    void pageShown();

private:
    void showPage(const HtmlDocument& document);

    PageLoader* m_loader;
    PageParser* m_parser;
    QLineEdit* m_address;
    QTextBrowser* m_view;
};

} // namespace browser
