#pragma once

#include "PageLoader.h"

#include <QWidget>

class QLineEdit;
class QTextBrowser;

namespace browser {

// The separate window that a navigation with the new-window flag opens: a
// read-only rendering of the page under its address. The page is fetched by
// this process, with its cookies, so it shows what the logged-in user sees.
class PageViewer : public QWidget {
    Q_OBJECT
public:
    explicit PageViewer(const PageRequest& request);

    PageLoader* loader() const { return m_loader; }

private:
    void showPage(const FetchedPage& page);

    PageLoader* m_loader;
    QLineEdit* m_address;
    QTextBrowser* m_view;
};

} // namespace browser
