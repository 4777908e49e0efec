#pragma once

#include "HtmlDocument.h"
#include "QtPrinting.h"

#include <QFile>

inline HtmlDocument fixtureDocument(const QString& name) {
    QFile file(QStringLiteral(BROWSER_FIXTURES "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return HtmlDocument::parse(QString::fromUtf8(file.readAll()),
                               QUrl(QStringLiteral("http://bank.example.org/index.cgi?board=bank")),
                               QStringLiteral("UTF-8"));
}

inline HtmlDocument page(const QString& markup, const QString& charset = QStringLiteral("UTF-8")) {
    return HtmlDocument::parse(
        markup, QUrl(QStringLiteral("http://bank.example.org/forum/page.cgi?x=1")), charset);
}
