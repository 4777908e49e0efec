#pragma once

#include <QByteArray>
#include <QString>

namespace browser {

struct DecodedPage {
    QString text;
    QString charset; // the name the page was decoded with
};

// Decodes page bytes as a browser does: byte order mark, then the charset of
// the HTTP header, then a <meta> near the top, else Windows-1252.
DecodedPage decodePage(const QByteArray& bytes, const QString& headerCharset);

// The charset named in a Content-Type value ("text/html; charset=x"), or empty.
QString charsetFromContentType(const QString& contentType);

// The encoding a label stands for in web content, or empty when unsupported.
QString canonicalCharset(const QString& label);

} // namespace browser
