#include "PageDecoding.h"

#include "NodeTree.h"

#include <QStringDecoder>

namespace browser {

namespace {

const QString kDefaultCharset = QStringLiteral("windows-1252");
constexpr qsizetype kMetaScanBytes = 1024;

QString charsetFromMeta(const QByteArray& bytes) {
    // Latin-1 keeps every byte as one character, which is all the scan needs.
    const auto tree = parseHtml(QString::fromLatin1(bytes.left(kMetaScanBytes)));
    for (const Node& node : tree->nodes) {
        if (!node.isElement("meta"))
            continue;
        QString label;
        if (const QString* charset = node.attribute(QStringLiteral("charset"))) {
            label = *charset;
        } else {
            const QString* httpEquiv = node.attribute(QStringLiteral("http-equiv"));
            const QString* content = node.attribute(QStringLiteral("content"));
            if (httpEquiv && content &&
                httpEquiv->trimmed().compare(QLatin1String("content-type"), Qt::CaseInsensitive) ==
                    0)
                label = charsetFromContentType(*content);
        }
        QString charset = canonicalCharset(label);
        if (charset.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive))
            charset = QStringLiteral("UTF-8"); // bytes read as ASCII cannot be UTF-16
        if (!charset.isEmpty())
            return charset;
    }
    return {};
}

} // namespace

QString charsetFromContentType(const QString& contentType) {
    qsizetype at = contentType.indexOf(QLatin1String("charset"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    at += 7;
    while (at < contentType.size() && contentType.at(at).isSpace())
        ++at;
    if (at >= contentType.size() || contentType.at(at) != u'=')
        return {};
    ++at;
    while (at < contentType.size() && contentType.at(at).isSpace())
        ++at;
    QChar quote;
    if (at < contentType.size() && (contentType.at(at) == u'"' || contentType.at(at) == u'\''))
        quote = contentType.at(at++);
    qsizetype stop = at;
    while (stop < contentType.size()) {
        const QChar c = contentType.at(stop);
        if (quote.isNull() ? (c.isSpace() || c == u';') : c == quote)
            break;
        ++stop;
    }
    return contentType.mid(at, stop - at);
}

QString canonicalCharset(const QString& label) {
    const QString name = label.trimmed().toLower();
    if (name.isEmpty())
        return {};
    // Web content means Windows-1252 by all of these names.
    static const char* const kWindows1252[] = {
        "ascii",      "cp1252", "cp819",  "ibm819",   "iso-8859-1",   "iso8859-1", "iso88591",
        "iso_8859-1", "l1",     "latin1", "us-ascii", "windows-1252", "x-cp1252"};
    for (const char* alias : kWindows1252) {
        if (name == QLatin1String(alias))
            return kDefaultCharset;
    }
    const QStringDecoder decoder(name.toLatin1().constData());
    return decoder.isValid() ? QString::fromLatin1(decoder.name()) : QString();
}

DecodedPage decodePage(const QByteArray& bytes, const QString& headerCharset) {
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        return {decoder.decode(bytes), QString::fromLatin1(decoder.name())};
    }
    QString charset = canonicalCharset(headerCharset);
    if (charset.isEmpty())
        charset = charsetFromMeta(bytes);
    if (charset.isEmpty())
        charset = kDefaultCharset;
    QStringDecoder decoder(charset.toLatin1().constData());
    return {decoder.decode(bytes), charset};
}

} // namespace browser
