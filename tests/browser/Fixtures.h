#pragma once

#include "HtmlDocument.h"
#include "QtPrinting.h"

#include <QFile>
#include <ostream>

inline HtmlDocument page(const QString& markup, const QString& charset = QStringLiteral("UTF-8")) {
    return HtmlDocument::parse(markup, QUrl("http://bank.example.org/forum/page.cgi?x=1"), charset);
}

// A saved page of tests/fixtures, by its path there.
inline QString fixture(const QString& path) {
    QFile file(QStringLiteral(BROWSER_FIXTURES "/../") + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The piece written `times` times over: the stuff of pages built to be large or deep.
inline QString many(const char* piece, int times) {
    return QString::fromUtf8(piece).repeated(times);
}
