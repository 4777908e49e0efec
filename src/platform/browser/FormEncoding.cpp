#include "FormEncoding.h"

#include <QStringEncoder>

namespace browser {

namespace {

QByteArray encodeText(const QString& text, const QString& charset) {
    const QByteArray charsetName = charset.toLatin1();
    QStringEncoder whole(charsetName.constData());
    const QByteArray encoded = whole.encode(text);
    if (!whole.hasError())
        return encoded;
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QStringView character = QStringView(text).mid(i, length);
        QStringEncoder single(charsetName.constData());
        const QByteArray bytes = single.encode(character);
        if (single.hasError())
            out += "&#" + QByteArray::number(character.toUcs4().value(0)) + ';';
        else
            out += bytes;
        i += length;
    }
    return out;
}

QByteArray encodeComponent(const QString& text, const QString& charset) {
    // The urlencoded byte serialiser leaves only alphanumerics and *-._ as
    // they are and writes a space as "+".
    return encodeText(text, charset).toPercentEncoding(" *", "~").replace(' ', '+');
}

} // namespace

QByteArray urlEncodeFormData(const FormDataSet& data, const QString& charset) {
    QByteArray out;
    for (const auto& [name, value] : data) {
        if (!out.isEmpty())
            out += '&';
        out += encodeComponent(name, charset) + '=' + encodeComponent(value, charset);
    }
    return out;
}

} // namespace browser
