#pragma once

#include "AccountPages.h"
#include "HtmlDocument.h"

namespace bank {

inline QString threadLinkText(const HtmlElement& cell) {
    for (const HtmlElement& link : cell.getElementsByTagName(QStringLiteral("A")))
        if (link.getAttribute(QStringLiteral("href")).contains(QLatin1String("thread=")))
            return link.textContent();
    return {};
}

// The board page's thread table, its seventh TABLE, as cell markup and text;
// empty when the page has fewer tables.
inline QList<TableRow> threadTable(const HtmlDocument& document) {
    QList<TableRow> rows;
    const QList<HtmlElement> tables = document.getElementsByTagName(QStringLiteral("TABLE"));
    if (tables.size() < 7)
        return rows;
    for (const HtmlElement& row : tables[6].rows()) {
        TableRow cells;
        for (const HtmlElement& cell : row.cells())
            cells.append({cell.innerHTML(), cell.innerText(), threadLinkText(cell)});
        rows.append(cells);
    }
    return rows;
}

// The forum shows a member who may start threads its new-thread button.
inline bool offersNewThread(const HtmlDocument& document) {
    for (const HtmlElement& image : document.getElementsByTagName(QStringLiteral("IMG")))
        if (image.getAttribute(QStringLiteral("src"))
                .contains(QLatin1String("newthread.gif"), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace bank
