#include "PageViewer.h"

#include <QLineEdit>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace browser {

namespace {

// Renders the page only: page content never makes it read a file or follow a link.
class PageView : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

} // namespace

PageViewer::PageViewer(const PageRequest& request)
    : m_loader(new PageLoader(this)), m_address(new QLineEdit(this)), m_view(new PageView(this)) {
    setObjectName(QStringLiteral("PageViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(request.url.toString());
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setAccessibleName(tr("Address"));
    m_address->setReadOnly(true);
    m_address->setText(request.url.toString());
    m_view->setObjectName(QStringLiteral("page"));
    m_view->setAccessibleName(tr("Page"));
    m_view->setOpenLinks(false);
    m_view->setPlainText(tr("Loading..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_address);
    layout->addWidget(m_view);
    resize(800, 600);
    connect(m_loader, &PageLoader::finished, this, &PageViewer::showPage);
    m_loader->start(request);
}

void PageViewer::showPage(const FetchedPage& page) {
    m_address->setText(page.url.toString());
    setWindowTitle(page.url.toString());
    m_view->setHtml(pageMarkup(page).markup);
}

} // namespace browser
