#include "FormEncoding.h"

#include <QStringEncoder>

namespace browser {

namespace {

// A browser sends each lone surrogate as U+FFFD; an encoder would flag it, and a reference
// to it would name no character.
QString scalarValues(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QByteArray encodeText(const QString& anyText, const QString& charset) {
    const QString text = scalarValues(anyText);
    const QByteArray charsetName = charset.toLatin1();
    QStringEncoder whole(charsetName.constData());
    const QByteArray encoded = whole.encode(text);
    if (!whole.hasError())
        return encoded;
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
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
