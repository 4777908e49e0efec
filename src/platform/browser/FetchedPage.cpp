#include "FetchedPage.h"

#include "PageDecoding.h"

namespace browser {

PageMarkup pageMarkup(const FetchedPage& page) {
    if (page.error.isEmpty()) {
        DecodedPage decoded = decodePage(page.body, page.headerCharset);
        return {std::move(decoded.text), std::move(decoded.charset)};
    }
    return {errorPageMarkup(page.url, page.error), QStringLiteral("UTF-8")};
}

QString errorPageMarkup(const QUrl& url, const QString& reason) {
    // The title carries "Error" so that pages waiting for a forum page recognise a failure.
    const QString title = (QStringLiteral("An Error Has Occurred - ") + reason).toHtmlEscaped();
    return QStringLiteral("<html><head><title>%1</title></head><body><h1>%1</h1>"
                          "<p>The page at %2 could not be opened.</p></body></html>")
        .arg(title, url.toString().toHtmlEscaped());
}

} // namespace browser
