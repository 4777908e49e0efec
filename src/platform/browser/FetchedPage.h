#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace browser {

// The outcome of one page request.
struct FetchedPage {
    QUrl url; // after redirects
    QByteArray body;
    QString headerCharset;
    QString error; // why the page could not be fetched; empty on success
};

struct PageMarkup {
    QString markup;
    QString charset;
};

// The page as markup: its decoded text, or an error page whose title says what
// went wrong, so that whoever waits for the page sees it complete.
PageMarkup pageMarkup(const FetchedPage& page);

// The markup of an error page for the address, whose title gives the reason.
QString errorPageMarkup(const QUrl& url, const QString& reason);

} // namespace browser
