#include "PageViewer.h"

#include "PageParser.h"
#include "ViewerContent.h"

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
    : m_loader(new PageLoader(this)), m_parser(new PageParser(this)),
      m_address(new QLineEdit(this)), m_view(new PageView(this)) {
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
    connect(m_loader, &PageLoader::finished, m_parser, &PageParser::start);
    connect(m_parser, &PageParser::parsed, this, &PageViewer::showPage);
    m_loader->start(request);
}

void PageViewer::showPage(const HtmlDocument& document) {
    m_address->setText(document.url().toString());
    setWindowTitle(document.url().toString());
    const ViewerContent content = viewerContent(*document.body().tree());
    if (content.rich)
        m_view->setHtml(content.text);
    else
        m_view->setPlainText(content.text);
    emit pageShown();
}

} // namespace browser
