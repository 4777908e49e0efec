#include "PageDecoding.h"

#include "NodeTree.h"

#include <QStringDecoder>
#include <utility>

namespace browser {

namespace {

const QString kDefaultCharset = QStringLiteral("windows-1252");
constexpr qsizetype kMetaScanBytes = 1024;

QString charsetFromMeta(const QByteArray& bytes) {
    // Latin-1 keeps every byte as one character, which is all the scan needs.
    const auto tree = parseHtml(QString::fromLatin1(bytes.left(kMetaScanBytes)));
    if (!tree)
        return {};
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
    // Labels the web reads as a wider or different encoding than the codec library does, and
    // one whose name the codec library does not report.
    static const std::pair<const char*, const char*> kWebAliases[] = {
        {"gb2312", "GBK"},
        {"gb_2312-80", "GBK"},
        {"x-gbk", "GBK"},
        {"csgb2312", "GBK"},
        {"chinese", "GBK"},
        {"iso-ir-58", "GBK"},
        {"big5-hkscs", "Big5"},
        {"cn-big5", "Big5"},
        {"csbig5", "Big5"},
        {"ks_c_5601-1987", "EUC-KR"},
        {"windows-949", "EUC-KR"},
        {"korean", "EUC-KR"},
        {"iso-8859-9", "windows-1254"},
        {"latin5", "windows-1254"},
        {"l5", "windows-1254"},
        {"iso-8859-11", "windows-874"},
        {"tis-620", "windows-874"},
        {"dos-874", "windows-874"},
        {"windows-874", "windows-874"},
        {"utf-16", "UTF-16LE"},
        {"ucs-2", "UTF-16LE"},
        {"unicode", "UTF-16LE"},
        {"iso-8859-8-i", "ISO-8859-8"}};
    for (const auto& [alias, encoding] : kWebAliases) {
        if (name == QLatin1String(alias))
            return QString::fromLatin1(encoding);
    }
    // Only the encodings browsers decode: others, such as UTF-7, EBCDIC or ISO-2022-KR, read
    // plain ASCII differently and can turn escaped text into markup.
    static const char* const kWebEncodings[] = {
        "UTF-8",          "IBM866",       "ISO-8859-2",   "ISO-8859-3",   "ISO-8859-4",
        "ISO-8859-5",     "ISO-8859-6",   "ISO-8859-7",   "ISO-8859-8",   "ISO-8859-10",
        "ISO-8859-13",    "ISO-8859-14",  "ISO-8859-15",  "KOI8-R",       "KOI8-U",
        "macintosh",      "windows-874",  "windows-1250", "windows-1251", "windows-1253",
        "windows-1254",   "windows-1255", "windows-1256", "windows-1257", "windows-1258",
        "x-mac-cyrillic", "GBK",          "GB18030",      "Big5",         "EUC-JP",
        "ISO-2022-JP",    "Shift_JIS",    "EUC-KR",       "UTF-16BE",     "UTF-16LE"};
    const QStringDecoder decoder(name.toLatin1().constData());
    const QLatin1String decoderName(decoder.isValid() ? decoder.name() : nullptr);
    for (const char* encoding : kWebEncodings) {
        if (decoderName == QLatin1String(encoding))
            return decoderName;
    }
    return {};
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
